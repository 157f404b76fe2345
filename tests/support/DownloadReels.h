#pragma once

// A reel as the download queue takes it: one address, for one quality, and a minute and five
// seconds long.

#include "core/Reel.h"

#include <QUrl>

inline Reel reelAt(const QString &id, const QUrl &url, VideoQuality quality = VideoQuality::hd720)
{
    Reel reel;
    reel.id = id;
    reel.variants.insert(quality, url);
    reel.durationSeconds = 65;
    return reel;
}
