#include "core/Reel.h"

QUrl Reel::defaultVideoURL() const
{
    for (VideoQuality quality : { VideoQuality::hd720, VideoQuality::hd1080, VideoQuality::sd480 }) {
        const auto found = variants.constFind(quality);
        if (found != variants.constEnd())
            return *found;
    }
    return variants.isEmpty() ? QUrl() : variants.constBegin().value();
}
