#include "sources/InstagramServiceError.h"

#include <QCoreApplication>

InstagramServiceError InstagramServiceError::notAuthenticated(SocialPlatform platform)
{
    InstagramServiceError error(Kind::notAuthenticated);
    error.m_platform = platform;
    return error;
}

InstagramServiceError InstagramServiceError::decoding(const QString &what)
{
    InstagramServiceError error(Kind::decoding);
    error.m_detail = what;
    return error;
}

InstagramServiceError InstagramServiceError::http(int status, const std::optional<QString> &body)
{
    InstagramServiceError error(Kind::http);
    error.m_status = status;
    error.m_detail = body;
    return error;
}

InstagramServiceError InstagramServiceError::network(const QString &description)
{
    InstagramServiceError error(Kind::network);
    error.m_detail = description;
    return error;
}

InstagramServiceError InstagramServiceError::rateLimited(std::optional<qint64> retryAfterSeconds)
{
    InstagramServiceError error(Kind::rateLimited);
    error.m_retryAfterSeconds = retryAfterSeconds;
    return error;
}

QString InstagramServiceError::errorDescription() const
{
    switch (m_kind) {
    case Kind::notAuthenticated:
        return QCoreApplication::translate("InstagramServiceError", "Sign in to %1 first.")
            .arg(m_platform == SocialPlatform::facebook ? QStringLiteral("Facebook")
                                                        : QStringLiteral("Instagram"));
    case Kind::decoding:
        return QCoreApplication::translate("InstagramServiceError",
                                           "Couldn't read the response (%1).")
                .arg(m_detail.value_or(QString()));
    case Kind::http:
        if (m_detail && !m_detail->isEmpty())
            return QCoreApplication::translate("InstagramServiceError", "HTTP %1: %2")
                    .arg(QString::number(m_status), *m_detail);
        return QCoreApplication::translate("InstagramServiceError", "HTTP %1.").arg(m_status);
    case Kind::network:
        return m_detail.value_or(QString());
    case Kind::invalidURL:
        return QCoreApplication::translate(
                "InstagramServiceError", "That doesn't look like a valid Instagram or Facebook link.");
    case Kind::profileNotFound:
        return QCoreApplication::translate("InstagramServiceError",
                                           "We couldn't find that profile.");
    case Kind::rateLimited:
        return QCoreApplication::translate("InstagramServiceError",
                                           "Too many requests — try again in a moment.");
    case Kind::noVideosFound:
        return QCoreApplication::translate("InstagramServiceError",
                                           "No videos found on that page (the page may require "
                                           "login or have no public videos).");
    }
    return {};
}
