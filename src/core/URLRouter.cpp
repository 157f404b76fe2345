#include "core/URLRouter.h"

#include <QStringList>

#include <algorithm>

namespace {

const QString instagramDomain = QStringLiteral("instagram.com");
const QStringList facebookDomains = {
    QStringLiteral("facebook.com"),
    QStringLiteral("fb.com"),
    QStringLiteral("fb.watch"),
};
// The platforms' web domains as people type them without a scheme, each also after "www." or "m.".
const QStringList typedDomains = {
    QStringLiteral("instagram.com"),
    QStringLiteral("facebook.com"),
    QStringLiteral("fb.com"),
};
const QStringList reservedSegments = {
    QStringLiteral("pages"),
    QStringLiteral("people"),
    QStringLiteral("p"),
    QStringLiteral("groups"),
};

bool isAllowed(char32_t c)
{
    if (c == U'.' || c == U'_' || c == U'-')
        return true;
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
        return true;
    default:
        return false;
    }
}

// Whether `lower` begins with one of the platforms' web domains as a whole host name, so that
// "instagram.com/natgeo" is a link while "instagram.company" and "instagram.comnatgeo" are not.
bool startsWithPlatformDomain(const QString &lower)
{
    for (const QString &prefix : { QString(), QStringLiteral("www."), QStringLiteral("m.") }) {
        for (const QString &domain : typedDomains) {
            const QString host = prefix + domain;
            if (!lower.startsWith(host))
                continue;
            if (lower.size() == host.size() || QStringView(u"/?#:").contains(lower.at(host.size())))
                return true;
        }
    }
    return false;
}

} // namespace

std::optional<QString> URLRouter::sanitize(const QString &text, SocialPlatform platform)
{
    QString kept;
    kept.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        if (isAllowed(c))
            kept.append(QString::fromUcs4(&c, 1));
    }
    if (kept.isEmpty())
        return std::nullopt;
    return platform == SocialPlatform::instagram ? kept.toLower() : kept;
}

std::optional<QString> URLRouter::pathUsername(const QUrl &url)
{
    const QStringList segments = url.path(QUrl::FullyDecoded).split(u'/', Qt::SkipEmptyParts);
    if (segments.isEmpty())
        return std::nullopt;
    if (segments.size() >= 2 && reservedSegments.contains(segments.first().toLower()))
        return sanitize(segments.at(1), SocialPlatform::facebook);
    return sanitize(segments.first(), SocialPlatform::instagram);
}

std::optional<DetectedLink> URLRouter::detect(const QString &input)
{
    QString trimmed = input.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // A platform's domain typed without a scheme, as the search field suggests, is read exactly
    // as if "https://" had been typed. Any other text without a scheme has no host here and falls
    // through to the handle rule below.
    if (startsWithPlatformDomain(trimmed.toLower()))
        trimmed.prepend(QStringLiteral("https://"));
    const QString lower = trimmed.toLower();

    const QUrl url(trimmed, QUrl::TolerantMode);
    if (url.isValid() && !url.host().isEmpty()) {
        const QString host = url.host().toLower();
        if (host.contains(instagramDomain)) {
            if (auto name = pathUsername(url))
                return DetectedLink{ SocialPlatform::instagram, *name };
        }
        const bool isFacebook = std::any_of(facebookDomains.begin(), facebookDomains.end(),
                                            [&](const QString &domain) { return host.contains(domain); });
        if (isFacebook) {
            if (auto name = pathUsername(url))
                return DetectedLink{ SocialPlatform::facebook, *name };
            if (url.hasQuery()) {
                const QStringList pieces = url.query(QUrl::FullyEncoded).split(u'&', Qt::SkipEmptyParts);
                for (const QString &piece : pieces) {
                    if (piece.startsWith(QStringLiteral("id=")))
                        return DetectedLink{ SocialPlatform::facebook, piece.mid(3) };
                }
            }
        }
    }

    if (lower.startsWith(QStringLiteral("fb:")) || lower.startsWith(QStringLiteral("facebook:"))) {
        const QStringList pieces = lower.split(u':', Qt::SkipEmptyParts);
        const QString last = pieces.isEmpty() ? QString() : pieces.last();
        return DetectedLink{ SocialPlatform::facebook,
                             sanitize(last, SocialPlatform::facebook).value_or(QString()) };
    }

    QString handle = trimmed;
    if (handle.startsWith(u'@'))
        handle.remove(0, 1);
    if (auto name = sanitize(handle, SocialPlatform::instagram))
        return DetectedLink{ SocialPlatform::instagram, *name };
    return std::nullopt;
}
