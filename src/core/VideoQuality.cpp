#include "core/VideoQuality.h"

#include <QCoreApplication>

QList<VideoQuality> allVideoQualities()
{
    return { VideoQuality::hd1080, VideoQuality::hd720, VideoQuality::sd480, VideoQuality::audio };
}

std::optional<VideoQuality> videoQualityFromRaw(const QString &raw)
{
    for (VideoQuality quality : allVideoQualities()) {
        if (rawValue(quality) == raw)
            return quality;
    }
    return std::nullopt;
}

QString rawValue(VideoQuality quality)
{
    switch (quality) {
    case VideoQuality::hd1080: return QStringLiteral("1080p");
    case VideoQuality::hd720: return QStringLiteral("720p");
    case VideoQuality::sd480: return QStringLiteral("480p");
    case VideoQuality::audio: return QStringLiteral("Audio only");
    }
    return {};
}

QString title(VideoQuality quality)
{
    if (quality == VideoQuality::audio)
        return QCoreApplication::translate("VideoQuality", "Audio only");
    return rawValue(quality);
}

QString subtitle(VideoQuality quality)
{
    switch (quality) {
    case VideoQuality::hd1080:
        return QCoreApplication::translate("VideoQuality", "Full HD · best quality");
    case VideoQuality::hd720:
        return QCoreApplication::translate("VideoQuality", "HD · balanced");
    case VideoQuality::sd480:
        return QCoreApplication::translate("VideoQuality", "Standard · smaller files");
    case VideoQuality::audio:
        return QCoreApplication::translate("VideoQuality", "M4A · audio track only");
    }
    return {};
}

QString symbolName(VideoQuality quality)
{
    switch (quality) {
    case VideoQuality::hd1080: return QStringLiteral("4k.tv");
    case VideoQuality::hd720: return QStringLiteral("tv");
    case VideoQuality::sd480: return QStringLiteral("rectangle.compress.vertical");
    case VideoQuality::audio: return QStringLiteral("waveform");
    }
    return {};
}

QString fileExtension(VideoQuality quality)
{
    return quality == VideoQuality::audio ? QStringLiteral("m4a") : QStringLiteral("mp4");
}
