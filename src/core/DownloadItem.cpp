#include "core/DownloadItem.h"

#include <algorithm>
#include <cmath>

DownloadState DownloadState::downloading(double progress)
{
    DownloadState state(Kind::downloading);
    state.m_progress = std::isnan(progress) ? 0.0 : std::clamp(progress, 0.0, 1.0);
    return state;
}

DownloadState DownloadState::completed(const QUrl &fileURL)
{
    DownloadState state(Kind::completed);
    state.m_fileURL = fileURL;
    return state;
}

DownloadState DownloadState::alreadySaved(const QUrl &fileURL)
{
    DownloadState state = completed(fileURL);
    state.m_alreadySaved = true;
    return state;
}

DownloadState DownloadState::failed(const QString &message)
{
    DownloadState state(Kind::failed);
    state.m_message = message;
    return state;
}

QString DownloadItem::makeId(const QString &reelId, VideoQuality quality)
{
    return reelId + u'#' + rawValue(quality);
}
