#pragma once

// What the command line prints: the profile and its reels as text for people or as JSON lines for
// programs, and the download queue's lines. Pure functions of the records, so the program only
// decides where and when a text goes.

#include "core/DownloadItem.h"
#include "core/InstagramProfile.h"
#include "core/Reel.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace CliFormat {

// The quality as --quality spells it: "1080p", "720p", "480p", "audio".
QString qualityName(VideoQuality quality);
// The qualities a reel offers, best first.
QStringList qualityNames(const Reel &reel);

// Name, handle, platform, followers, reel count, verified: one "Label: value" line each.
QString profileText(const InstagramProfile &profile);
// A header and one aligned row per reel: id, posted (local time), duration, views, likes,
// qualities. Just the header for no reels.
QString reelTable(const QList<Reel> &reels);

// One compact JSON object each, with "type" "profile" or "reel".
QByteArray profileJson(const InstagramProfile &profile);
QByteArray reelJson(const Reel &reel);

// A running item on a terminal: "nasa_3  720p  [#######.........]  45%", cut to `width`.
QString liveLine(const DownloadItem &item, int width);
// A finished item, once: "saved nasa_3 (720p): /path/reel-nasa_3-720p.mp4" or
// "failed nasa_4 (720p): HTTP 404: Not Found".
QString finishedLine(const DownloadItem &item);
// The end of a run: how many of how many were saved where, then each failure with its message.
// `missing` are asked-for ids the profile does not have.
QString summary(const QList<DownloadItem> &items, const QStringList &missing,
                const QString &folder, bool interrupted);

} // namespace CliFormat
