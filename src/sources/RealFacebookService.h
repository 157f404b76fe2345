#pragma once

// The Facebook source for a signed-in user: it reads the account's "/reels" page, and its
// "/videos" page when the first has no video, through a hidden browser page, and turns the
// addresses found into one profile and its reels, delivered once.

#include "sources/HiddenWebExtractor.h"
#include "sources/ProfileServiceType.h"

#include <QObject>
#include <QPointer>

#include <memory>

class PlatformAuth;

class RealFacebookService : public QObject, public ProfileServiceType
{
    Q_OBJECT
public:
    // `auth` is the Facebook sign-in state; the pages are read with `userAgent`.
    RealFacebookService(PlatformAuth *auth, QString userAgent, QObject *parent = nullptr);

    // Refuses while signed out. Otherwise delivers one update, even an empty one; when neither
    // page had a video it then fails with HTTP 0 and a report of what the last page held.
    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      Completion done) override;
    // Tells which page it is reading.
    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      StepHandler onStep, Completion done) override;

    // One reel per video address that forms an absolute URL, paired by position with the
    // thumbnail addresses; ids start with "fb-" + `fallbackPrefix`.
    static QList<Reel> build(const ExtractionResult &result, const QString &fallbackPrefix);

    // At most: a page is scrolled no further once a pass brings nothing new.
    static constexpr int scrollPasses = 6;

private:
    struct Fetch;

    void readPage(const std::shared_ptr<Fetch> &fetch, int index);
    static void deliver(const Fetch &fetch);

    QPointer<PlatformAuth> m_auth;
    QString m_userAgent;
};
