#pragma once

// What the command line prints: the profile and its reels as text for people or as JSON lines for
// programs, and the download queue's lines. Pure functions of the records, so the program only
// decides where and when a text goes. Every text for people passes what came from elsewhere (a
// server, a file, the arguments) through printable(); JSON escapes such text itself.

#include "core/DownloadItem.h"
#include "core/InstagramProfile.h"
#include "core/Reel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace CliFormat {

// `text` made inert on a terminal, as one piece of a line: line breaks and tabs become blanks;
// every other control character (C0 with ESC, DEL, C1) and the bidi embeddings, overrides and
// isolates become U+FFFD. A name can then neither clear the screen, set the window title, forge
// a line nor read backwards; every script stays as it is.
QString printable(const QString &text);

// The quality as --quality spells it: "1080p", "720p", "480p", "audio".
QString qualityName(VideoQuality quality);
// The qualities a reel offers, best first.
QStringList qualityNames(const Reel &reel);

// Name, handle, platform, followers, reel count, verified: one "Label: value" line each, after
// a line that says so when the profile is the demo's.
QString profileText(const InstagramProfile &profile);
// A header and one aligned row per reel: id, posted (local time), duration, views, likes,
// qualities. Just the header for no reels.
QString reelTable(const QList<Reel> &reels);

// One compact JSON object each, with "type" "profile" or "reel"; a profile's "demo" says whether
// the demo made it up.
QByteArray profileJson(const InstagramProfile &profile);
QByteArray reelJson(const Reel &reel);

// A running item on a terminal: "nasa_3  720p  [#######.........]  45%", cut to `width`.
QString liveLine(const DownloadItem &item, int width);
// A finished item, once: "saved nasa_3 (720p): /path/reel-nasa_3-720p.mp4",
// "skipped nasa_3 (720p): already saved: /path/reel-nasa_3-720p.mp4" or
// "failed nasa_4 (720p): HTTP 404: Not Found".
QString finishedLine(const DownloadItem &item);
// Why a list is short: the walk through @username's reels stopped with `error` after `received`.
QString incompleteNote(const QString &username, qsizetype received, const QString &error);

// The end of a run: how many of how many were saved where (those saved before included, and
// counted), then each failure with its message.
// `missing` are asked-for ids the profile does not have.
// `receivedIfIncomplete`: the walk through the profile stopped early after that many reels, so a
// missing id may be among those that never came.
QString summary(const QList<DownloadItem> &items, const QStringList &missing,
                const QString &folder, bool interrupted,
                std::optional<qsizetype> receivedIfIncomplete = std::nullopt);

} // namespace CliFormat
