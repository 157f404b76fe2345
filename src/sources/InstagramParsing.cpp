#include "sources/InstagramParsing.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

namespace InstagramParsing {

std::optional<QString> stringValue(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<qint64> integerValue(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    // toInteger() answers its default for anything that is not a whole qint64; asking with two
    // different defaults tells a real 0 or -1 from that answer.
    const qint64 first = value.toInteger(0);
    if (first != 0 || value.toInteger(-1) == 0)
        return first;
    return std::nullopt;
}

std::optional<double> numberValue(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    return value.toDouble();
}

std::optional<bool> boolValue(const QJsonValue &value)
{
    if (!value.isBool())
        return std::nullopt;
    return value.toBool();
}

std::optional<QJsonObject> objectValue(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    return value.toObject();
}

std::optional<QList<QJsonObject>> objectList(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    QList<QJsonObject> objects;
    objects.reserve(array.size());
    for (const QJsonValue &element : array) {
        if (!element.isObject())
            return std::nullopt;
        objects.append(element.toObject());
    }
    return objects;
}

std::optional<QUrl> webURL(const QString &text)
{
    const QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    // Only web addresses: an answer must not make the app read or hand on a local file.
    if (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))
        return std::nullopt;
    return url;
}

std::optional<qint64> roundedSeconds(double seconds)
{
    // 2^63 as a double; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(seconds) || std::fabs(seconds) >= limit)
        return std::nullopt;
    return static_cast<qint64>(std::llround(seconds));
}

QHash<VideoQuality, QUrl> variantsByWidth(QList<Rendition> renditions)
{
    QHash<VideoQuality, QUrl> variants;
    if (renditions.isEmpty())
        return variants;
    std::stable_sort(renditions.begin(), renditions.end(),
                     [](const Rendition &a, const Rendition &b) { return a.width > b.width; });
    for (const Rendition &rendition : std::as_const(renditions)) {
        const VideoQuality quality = rendition.width >= 1000 ? VideoQuality::hd1080
                : rendition.width >= 700                     ? VideoQuality::hd720
                                                             : VideoQuality::sd480;
        if (!variants.contains(quality))
            variants.insert(quality, rendition.url);
    }
    variants.insert(VideoQuality::audio, renditions.constLast().url);
    return variants;
}


QByteArray percentEncoded(const QString &text)
{
    return QUrl::toPercentEncoding(text);
}

} // namespace InstagramParsing
