#pragma once

#include <QList>
#include <QString>

#include <optional>

// A download quality. The raw value is also the title the user sees and the text that goes into
// download item ids and file names, so "Audio only" keeps its blank.
enum class VideoQuality { hd1080, hd720, sd480, audio };

// In the order the download options list them.
QList<VideoQuality> allVideoQualities();
std::optional<VideoQuality> videoQualityFromRaw(const QString &raw);
QString rawValue(VideoQuality quality);
QString subtitle(VideoQuality quality);
QString symbolName(VideoQuality quality);
QString fileExtension(VideoQuality quality);
