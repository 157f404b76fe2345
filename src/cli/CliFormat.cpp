#include "cli/CliFormat.h"

#include "browsing/ProfilePresentation.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString postedText(const QDateTime &postedAt)
{
    if (!postedAt.isValid())
        return QStringLiteral("-");
    return postedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString fileText(const DownloadItem &item)
{
    return QDir::toNativeSeparators(item.state.fileURL().toLocalFile());
}

QString itemName(const DownloadItem &item)
{
    return QStringLiteral("%1 (%2)").arg(item.reel.id, CliFormat::qualityName(item.quality));
}

} // namespace

namespace CliFormat {

QString qualityName(VideoQuality quality)
{
    return quality == VideoQuality::audio ? QStringLiteral("audio") : rawValue(quality);
}

QStringList qualityNames(const Reel &reel)
{
    QStringList names;
    for (const VideoQuality quality : allVideoQualities()) {
        if (reel.variants.contains(quality))
            names.append(qualityName(quality));
    }
    return names;
}

QString profileText(const InstagramProfile &profile)
{
    const QString name = profile.displayName.isEmpty() ? profile.username : profile.displayName;
    return QStringLiteral("Name:      %1\n"
                          "Handle:    @%2\n"
                          "Platform:  %3\n"
                          "Followers: %4 (%5)\n"
                          "Reels:     %6\n"
                          "Verified:  %7\n")
            .arg(name, profile.username, displayName(profile.platform))
            .arg(profile.followerCount)
            .arg(formatCount(profile.followerCount))
            .arg(profile.reelCount)
            .arg(yesNo(profile.isVerified));
}

QString reelTable(const QList<Reel> &reels)
{
    QList<QStringList> rows;
    rows.append({ QStringLiteral("ID"), QStringLiteral("POSTED"), QStringLiteral("DURATION"),
                  QStringLiteral("VIEWS"), QStringLiteral("LIKES"), QStringLiteral("QUALITIES") });
    for (const Reel &reel : reels) {
        rows.append({ reel.id, postedText(reel.postedAt), formatDuration(reel.durationSeconds),
                      QString::number(reel.viewCount), QString::number(reel.likeCount),
                      qualityNames(reel).join(u',') });
    }
    QList<qsizetype> widths(rows.constFirst().size(), 0);
    for (const QStringList &row : std::as_const(rows)) {
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row.at(column).size());
    }
    QString text;
    for (const QStringList &row : std::as_const(rows)) {
        QString line;
        for (qsizetype column = 0; column < row.size(); ++column) {
            const bool last = column + 1 == row.size();
            // Counts line up on the right, words on the left.
            const bool numeric = column == 3 || column == 4;
            const QString cell = last ? row.at(column)
                    : numeric ? row.at(column).rightJustified(widths.at(column))
                              : row.at(column).leftJustified(widths.at(column));
            line += cell;
            if (!last)
                line += QStringLiteral("  ");
        }
        text += line + u'\n';
    }
    return text;
}

QByteArray profileJson(const InstagramProfile &profile)
{
    const QJsonObject object{
        { QStringLiteral("type"), QStringLiteral("profile") },
        { QStringLiteral("platform"), rawValue(profile.platform) },
        { QStringLiteral("username"), profile.username },
        { QStringLiteral("displayName"), profile.displayName },
        { QStringLiteral("followerCount"), profile.followerCount },
        { QStringLiteral("reelCount"), profile.reelCount },
        { QStringLiteral("isVerified"), profile.isVerified },
        { QStringLiteral("avatarURL"), profile.avatarURL.toString() },
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray reelJson(const Reel &reel)
{
    QJsonObject variants;
    for (const VideoQuality quality : allVideoQualities()) {
        if (reel.variants.contains(quality))
            variants.insert(qualityName(quality), reel.variants.value(quality).toString());
    }
    const QJsonObject object{
        { QStringLiteral("type"), QStringLiteral("reel") },
        { QStringLiteral("id"), reel.id },
        { QStringLiteral("postedAt"), reel.postedAt.isValid()
                  ? QJsonValue(reel.postedAt.toUTC().toString(Qt::ISODate)) : QJsonValue() },
        { QStringLiteral("durationSeconds"), reel.durationSeconds },
        { QStringLiteral("viewCount"), reel.viewCount },
        { QStringLiteral("likeCount"), reel.likeCount },
        { QStringLiteral("qualities"), QJsonArray::fromStringList(qualityNames(reel)) },
        { QStringLiteral("variants"), variants },
        { QStringLiteral("thumbnailURL"), reel.thumbnailURL.toString() },
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString liveLine(const DownloadItem &item, int width)
{
    constexpr int barWidth = 20;
    const double progress = item.state.kind() == DownloadState::Kind::downloading
            ? item.state.progress() : 0.0;
    const int filled = int(std::floor(progress * barWidth));
    const QString bar = QString(filled, u'#') + QString(barWidth - filled, u'.');
    const QString line = QStringLiteral("%1  %2  [%3] %4%")
                                 .arg(item.reel.id, qualityName(item.quality), bar)
                                 .arg(int(std::floor(progress * 100.0)), 3);
    return width > 0 ? line.left(width) : line;
}

QString finishedLine(const DownloadItem &item)
{
    if (item.state.kind() == DownloadState::Kind::completed)
        return QStringLiteral("saved %1: %2").arg(itemName(item), fileText(item));
    return QStringLiteral("failed %1: %2").arg(itemName(item), item.state.message());
}

QString summary(const QList<DownloadItem> &items, const QStringList &missing,
                const QString &folder, bool interrupted)
{
    QStringList failures;
    int saved = 0;
    for (const DownloadItem &item : items) {
        if (item.state.kind() == DownloadState::Kind::completed)
            ++saved;
        else
            failures.append(QStringLiteral("  %1: %2").arg(itemName(item), item.state.message()));
    }
    for (const QString &id : missing)
        failures.append(QStringLiteral("  %1: no reel with this id in the profile").arg(id));

    const qsizetype asked = items.size() + missing.size();
    QString text = interrupted ? QStringLiteral("Interrupted. ") : QString();
    text += QStringLiteral("Saved %1 of %2 to %3\n")
                    .arg(saved)
                    .arg(asked)
                    .arg(QDir::toNativeSeparators(folder));
    if (!failures.isEmpty())
        text += QStringLiteral("Failed %1:\n").arg(failures.size()) + failures.join(u'\n') + u'\n';
    return text;
}

} // namespace CliFormat
