#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// Where a profile lives. QML sees a platform by its raw value ("instagram", "facebook").
enum class SocialPlatform { instagram, facebook };

QList<SocialPlatform> allSocialPlatforms();
std::optional<SocialPlatform> socialPlatformFromRaw(const QString &raw);
QString rawValue(SocialPlatform platform);
QString displayName(SocialPlatform platform);
QString symbolName(SocialPlatform platform);
// The platform's own login page, opened by the login screen.
QUrl loginURL(SocialPlatform platform);
// The platform's web origin, as configured.
QUrl webOrigin(SocialPlatform platform);
