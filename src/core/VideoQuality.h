#pragma once

#include <QList>
#include <QString>

#include <optional>

// A download quality. The raw value is the text that goes into download item ids, file names
// and settings, so "Audio only" keeps its blank; the title is what the user reads, the raw value
// in the user's language.
enum class VideoQuality { hd1080, hd720, sd480, audio };

// In the order the download options list them.
QList<VideoQuality> allVideoQualities();
std::optional<VideoQuality> videoQualityFromRaw(const QString &raw);
QString rawValue(VideoQuality quality);
QString title(VideoQuality quality);
QString subtitle(VideoQuality quality);
QString symbolName(VideoQuality quality);
QString fileExtension(VideoQuality quality);
