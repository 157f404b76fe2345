#pragma once

// The one source the view model holds: it hands each fetch to the real or the demo source of the
// link's platform, by that platform's sign-in state at the moment of routing.

#include "sources/DemoServices.h"
#include "sources/ProfileServiceType.h"

#include <QObject>
#include <QPointer>

class PlatformAuth;

class MultiPlatformService : public QObject, public ProfileServiceType
{
    Q_OBJECT
public:
    // `ig` and `fb` are the real sources, shared with their owner; the demo sources are its own.
    MultiPlatformService(PlatformAuth *instagramAuth, PlatformAuth *facebookAuth,
                         ProfileServiceType *ig, ProfileServiceType *fb,
                         QObject *parent = nullptr);

    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      Completion done) override;
    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      StepHandler onStep, Completion done) override;

private:
    QPointer<PlatformAuth> m_instagramAuth;
    QPointer<PlatformAuth> m_facebookAuth;
    ProfileServiceType *m_ig;
    ProfileServiceType *m_fb;
    DemoInstagramService *m_demoIG;
    DemoFacebookService *m_demoFB;
};
