#include "core/SocialPlatform.h"

#include "core/Config.h"

QList<SocialPlatform> allSocialPlatforms()
{
    return { SocialPlatform::instagram, SocialPlatform::facebook };
}

std::optional<SocialPlatform> socialPlatformFromRaw(const QString &raw)
{
    for (SocialPlatform platform : allSocialPlatforms()) {
        if (rawValue(platform) == raw)
            return platform;
    }
    return std::nullopt;
}

QString rawValue(SocialPlatform platform)
{
    switch (platform) {
    case SocialPlatform::instagram: return QStringLiteral("instagram");
    case SocialPlatform::facebook: return QStringLiteral("facebook");
    }
    return {};
}

QString displayName(SocialPlatform platform)
{
    switch (platform) {
    case SocialPlatform::instagram: return QStringLiteral("Instagram");
    case SocialPlatform::facebook: return QStringLiteral("Facebook");
    }
    return {};
}

QString symbolName(SocialPlatform platform)
{
    switch (platform) {
    case SocialPlatform::instagram: return QStringLiteral("camera.fill");
    case SocialPlatform::facebook: return QStringLiteral("f.cursive.circle.fill");
    }
    return {};
}

QUrl webOrigin(SocialPlatform platform)
{
    const Config &config = Config::current();
    return platform == SocialPlatform::facebook ? config.facebookOrigin : config.instagramOrigin;
}

QUrl loginURL(SocialPlatform platform)
{
    QUrl url = webOrigin(platform);
    url.setPath(platform == SocialPlatform::facebook ? QStringLiteral("/login/")
                                                     : QStringLiteral("/accounts/login/"));
    return url;
}
