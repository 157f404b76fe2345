#include "sources/MultiPlatformService.h"

#include "auth/PlatformAuth.h"
#include "core/URLRouter.h"

MultiPlatformService::MultiPlatformService(PlatformAuth *instagramAuth, PlatformAuth *facebookAuth,
                                           ProfileServiceType *ig, ProfileServiceType *fb,
                                           QObject *parent)
    : QObject(parent),
      m_instagramAuth(instagramAuth),
      m_facebookAuth(facebookAuth),
      m_ig(ig),
      m_fb(fb),
      m_demoIG(new DemoInstagramService(this)),
      m_demoFB(new DemoFacebookService(this))
{
}

void MultiPlatformService::fetchProfile(const QString &text, const Cancellation &cancel,
                                        UpdateHandler onUpdate, Completion done)
{
    fetchProfile(text, cancel, std::move(onUpdate), {}, std::move(done));
}

void MultiPlatformService::fetchProfile(const QString &text, const Cancellation &cancel,
                                        UpdateHandler onUpdate, StepHandler onStep, Completion done)
{
    const auto link = URLRouter::detect(text);
    if (!link) {
        post(this, [done = std::move(done)] { done(InstagramServiceError::invalidURL()); });
        return;
    }
    // The chosen source gets the text as typed: it detects the identifier again itself.
    ProfileServiceType *source = nullptr;
    if (link->platform == SocialPlatform::facebook)
        source = m_facebookAuth && m_facebookAuth->isSignedIn() && m_fb ? m_fb : m_demoFB;
    else
        source = m_instagramAuth && m_instagramAuth->isSignedIn() && m_ig ? m_ig : m_demoIG;
    source->fetchProfile(text, cancel, std::move(onUpdate), std::move(onStep), std::move(done));
}
