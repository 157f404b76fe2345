#pragma once

#include "core/SocialPlatform.h"

#include <QString>

#include <optional>

// The one error of every profile source, each case with its user-facing message.
class InstagramServiceError
{
public:
    enum class Kind {
        notAuthenticated,
        decoding,
        http,
        network, // a failure of the transport, the JSON parser or the page's script, passed on
                 // with its own description
        invalidURL,
        profileNotFound,
        rateLimited,
        noVideosFound,
    };

    static InstagramServiceError notAuthenticated(SocialPlatform platform);
    static InstagramServiceError decoding(const QString &what);
    static InstagramServiceError http(int status, const std::optional<QString> &body = std::nullopt);
    static InstagramServiceError network(const QString &description);
    static InstagramServiceError invalidURL() { return InstagramServiceError(Kind::invalidURL); }
    static InstagramServiceError profileNotFound() { return InstagramServiceError(Kind::profileNotFound); }
    // `retryAfterSeconds`: how long the platform asked to wait before the next request, when it
    // said.
    static InstagramServiceError rateLimited(std::optional<qint64> retryAfterSeconds = std::nullopt);
    static InstagramServiceError noVideosFound() { return InstagramServiceError(Kind::noVideosFound); }

    Kind kind() const { return m_kind; }
    SocialPlatform platform() const { return m_platform; }
    int statusCode() const { return m_status; }
    // The decoding payload's name, the HTTP body or the underlying description.
    std::optional<QString> detail() const { return m_detail; }
    std::optional<qint64> retryAfterSeconds() const { return m_retryAfterSeconds; }

    // One line of text for the user.
    QString errorDescription() const;

    bool operator==(const InstagramServiceError &) const = default;

private:
    explicit InstagramServiceError(Kind kind) : m_kind(kind) { }

    Kind m_kind;
    SocialPlatform m_platform = SocialPlatform::instagram;
    int m_status = 0;
    std::optional<QString> m_detail;
    std::optional<qint64> m_retryAfterSeconds;
};
