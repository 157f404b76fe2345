#pragma once

#include "core/SocialPlatform.h"

#include <QString>
#include <QUrl>

#include <optional>

// What a pasted link or handle names: a platform and the account identifier there.
struct DetectedLink
{
    SocialPlatform platform = SocialPlatform::instagram;
    QString identifier;

    bool operator==(const DetectedLink &) const = default;
};

// Turns whatever was typed or pasted into a platform and an account identifier. Never touches the
// network; text it cannot read gives nothing.
class URLRouter
{
public:
    URLRouter() = delete;

    static std::optional<DetectedLink> detect(const QString &input);

    // Keeps letters, marks and digits of any script plus ".", "_" and "-"; lowercases for
    // Instagram. Nothing when no character is left.
    static std::optional<QString> sanitize(const QString &text, SocialPlatform platform);

    // The account named by a link's path: the second segment under "pages", "people", "p" or
    // "groups" (case kept), otherwise the first segment (lowercased).
    static std::optional<QString> pathUsername(const QUrl &url);
};
