#include "core/Config.h"

#include <QHostAddress>
#include <QtGlobal>

namespace {

QString trimmedOrigin(const QUrl &url)
{
    return url.toString(QUrl::StripTrailingSlash);
}

void overrideUrl(QUrl &target, const char *name)
{
    const QString value = qEnvironmentVariable(name).trimmed();
    if (value.isEmpty())
        return;
    const QUrl url(value);
    if (url.isValid() && !url.host().isEmpty())
        target = url.adjusted(QUrl::StripTrailingSlash);
    else
        qWarning("Ignoring %s: %s is not an origin", name, qPrintable(value));
}

void overrideText(QString &target, const char *name)
{
    const QString value = qEnvironmentVariable(name).trimmed();
    if (!value.isEmpty())
        target = value;
}

void overrideInt(int &target, const char *name)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    if (ok && value >= 0)
        target = value;
}

// A list of milliseconds, "30000,60000,120000": each a whole number, none negative.
void overrideWaits(QList<int> &target, const char *name)
{
    const QString value = qEnvironmentVariable(name).trimmed();
    if (value.isEmpty())
        return;
    QList<int> waits;
    for (const QString &part : value.split(u',')) {
        bool ok = false;
        const int ms = part.trimmed().toInt(&ok);
        if (!ok || ms < 0) {
            qWarning("Ignoring %s: %s is not a list of milliseconds", name, qPrintable(value));
            return;
        }
        waits.append(ms);
    }
    target = waits;
}

Config &storage()
{
    static Config config = Config::fromEnvironment();
    return config;
}

} // namespace

Config Config::defaults()
{
    Config config;
    config.instagramOrigin = QUrl(QStringLiteral("https://www.instagram.com"));
    config.facebookOrigin = QUrl(QStringLiteral("https://www.facebook.com"));
    config.placeholderImageOrigin = QUrl(QStringLiteral("https://picsum.photos"));
    config.sampleVideoOrigins = {
        QUrl(QStringLiteral("https://download.samplelib.com")),
        QUrl(QStringLiteral("https://www.w3schools.com")),
        QUrl(QStringLiteral("https://commondatastorage.googleapis.com")),
    };
    config.updateOrigin = QUrl(QStringLiteral("https://clipdock.app"));
    config.facebookVideoCdnMarker = QStringLiteral("fbcdn.net");
    config.instagramCdnMarker = QStringLiteral("cdninstagram.com");
    config.imageCdnPrefix = QStringLiteral("scontent");
    return config;
}

Config Config::fromEnvironment()
{
    Config config = defaults();
    overrideUrl(config.instagramOrigin, "CLIPDOCK_INSTAGRAM_ORIGIN");
    overrideUrl(config.facebookOrigin, "CLIPDOCK_FACEBOOK_ORIGIN");
    overrideUrl(config.placeholderImageOrigin, "CLIPDOCK_PLACEHOLDER_ORIGIN");
    QUrl sampleMedia;
    overrideUrl(sampleMedia, "CLIPDOCK_SAMPLE_MEDIA_ORIGIN");
    if (!sampleMedia.isEmpty())
        config.sampleVideoOrigins = { sampleMedia, sampleMedia, sampleMedia };
    overrideUrl(config.updateOrigin, "CLIPDOCK_UPDATE_ORIGIN");
    overrideText(config.facebookVideoCdnMarker, "CLIPDOCK_FB_VIDEO_CDN_MARKER");
    overrideText(config.instagramCdnMarker, "CLIPDOCK_IG_CDN_MARKER");
    overrideText(config.imageCdnPrefix, "CLIPDOCK_IMAGE_CDN_PREFIX");
    overrideInt(config.facebookSettleMs, "CLIPDOCK_FB_SETTLE_MS");
    overrideInt(config.facebookScrollMs, "CLIPDOCK_FB_SCROLL_MS");
    overrideInt(config.downloadTimeoutMs, "CLIPDOCK_DOWNLOAD_TIMEOUT_MS");
    overrideWaits(config.rateLimitWaitsMs, "CLIPDOCK_RATE_LIMIT_WAITS_MS");
    return config;
}

const Config &Config::current()
{
    return storage();
}

void Config::reload()
{
    storage() = fromEnvironment();
}

QString Config::placeholderImageBase() const
{
    return trimmedOrigin(placeholderImageOrigin) + QStringLiteral("/seed/");
}

QUrl Config::updateManifestURL() const
{
    return QUrl(trimmedOrigin(updateOrigin) + QStringLiteral("/apps/clip-dock/manifest.json"));
}

QString Config::cookieDomainKey(const QUrl &origin)
{
    const QString host = origin.host().toLower();
    if (QHostAddress(host).protocol() != QAbstractSocket::UnknownNetworkLayerProtocol)
        return host;
    const QStringList labels = host.split(u'.', Qt::SkipEmptyParts);
    if (labels.size() <= 2)
        return host;
    return labels.mid(labels.size() - 2).join(u'.');
}
