#include "cli/CliFormat.h"

#include "browsing/ProfilePresentation.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

enum class Shown { asIs, blank, replaced };

Shown shownAs(char16_t c)
{
    // Line breaks (CR, LF, VT, FF, NEL, the line and paragraph separators) and tabs.
    if (c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' || c == 0x85
        || c == 0x2028 || c == 0x2029)
        return Shown::blank;
    // C0 with ESC, DEL and C1; the bidi embeddings and overrides, then the isolates.
    if (c < 0x20 || (c >= 0x7f && c <= 0x9f) || (c >= 0x202a && c <= 0x202e)
        || (c >= 0x2066 && c <= 0x2069))
        return Shown::replaced;
    return Shown::asIs;
}

QString yesNo(bool value)
{
    return value ? QCoreApplication::translate("CliFormat", "yes")
                 : QCoreApplication::translate("CliFormat", "no");
}

QString postedText(const QDateTime &postedAt)
{
    if (!postedAt.isValid())
        return QStringLiteral("-");
    return postedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString fileText(const DownloadItem &item)
{
    return CliFormat::printable(QDir::toNativeSeparators(item.state.fileURL().toLocalFile()));
}

QString itemName(const DownloadItem &item)
{
    return QStringLiteral("%1 (%2)").arg(CliFormat::printable(item.reel.id),
                                         CliFormat::qualityName(item.quality));
}

QString reelsText(qsizetype count)
{
    return count == 1 ? QCoreApplication::translate("CliFormat", "1 reel")
                      : QCoreApplication::translate("CliFormat", "%1 reels").arg(count);
}

QString message(const DownloadItem &item)
{
    return CliFormat::printable(item.state.message());
}

} // namespace

namespace CliFormat {

QString printable(const QString &text)
{
    // Every character concerned is one UTF-16 unit: a surrogate pair never holds one.
    const auto changed = [](QChar c) { return shownAs(c.unicode()) != Shown::asIs; };
    if (std::none_of(text.cbegin(), text.cend(), changed))
        return text;
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        switch (shownAs(c.unicode())) {
        case Shown::asIs: shown += c; break;
        case Shown::blank: shown += u' '; break;
        case Shown::replaced: shown += QChar::ReplacementCharacter; break;
        }
    }
    return shown;
}

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
    const QString text = QCoreApplication::translate("CliFormat", "Name:      %1\n"
                                                                "Handle:    @%2\n"
                                                                "Platform:  %3\n"
                                                                "Followers: %4 (%5)\n"
                                                                "Reels:     %6\n"
                                                                "Verified:  %7\n")
            // In one pass: a later arg() would fill a "%1" inside the name.
            .arg(printable(name), printable(profile.username), displayName(profile.platform),
                 QString::number(profile.followerCount), formatCount(profile.followerCount),
                 QString::number(profile.reelCount), yesNo(profile.isVerified));
    if (!profile.isDemo)
        return text;
    return QCoreApplication::translate("CliFormat", "Demo profile: generated sample data, not "
                                                    "the account's own.")
            + u'\n' + text;
}

QString reelTable(const QList<Reel> &reels)
{
    QList<QStringList> rows;
    rows.append({ QCoreApplication::translate("CliFormat", "ID"),
                  QCoreApplication::translate("CliFormat", "POSTED"),
                  QCoreApplication::translate("CliFormat", "DURATION"),
                  QCoreApplication::translate("CliFormat", "VIEWS"),
                  QCoreApplication::translate("CliFormat", "LIKES"),
                  QCoreApplication::translate("CliFormat", "QUALITIES") });
    for (const Reel &reel : reels) {
        rows.append({ printable(reel.id), postedText(reel.postedAt),
                      formatDuration(reel.durationSeconds),
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
        { QStringLiteral("demo"), profile.isDemo },
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
    const QString percent = QStringLiteral("%1").arg(int(std::floor(progress * 100.0)), 3);
    const QString line = QStringLiteral("%1  %2  [%3] %4%")
                                 .arg(printable(item.reel.id), qualityName(item.quality), bar,
                                      percent);
    return width > 0 ? line.left(width) : line;
}

QString finishedLine(const DownloadItem &item)
{
    if (item.state.isAlreadySaved())
        return QCoreApplication::translate("CliFormat", "skipped %1: already saved: %2")
                .arg(itemName(item), fileText(item));
    if (item.state.kind() == DownloadState::Kind::completed)
        return QCoreApplication::translate("CliFormat", "saved %1: %2")
                .arg(itemName(item), fileText(item));
    return QCoreApplication::translate("CliFormat", "failed %1: %2")
            .arg(itemName(item), message(item));
}

QString incompleteNote(const QString &username, qsizetype received, const QString &error)
{
    return QCoreApplication::translate("CliFormat", "@%1: the list is incomplete, fetching "
                                                    "stopped after %2: %3")
            .arg(printable(username), reelsText(received), printable(error));
}

QString summary(const QList<DownloadItem> &items, const QStringList &missing,
                const QString &folder, bool interrupted,
                std::optional<qsizetype> receivedIfIncomplete)
{
    QStringList failures;
    int saved = 0;
    int savedBefore = 0;
    for (const DownloadItem &item : items) {
        if (item.state.kind() == DownloadState::Kind::completed) {
            ++saved;
            savedBefore += item.state.isAlreadySaved() ? 1 : 0;
        } else {
            failures.append(QStringLiteral("  %1: %2").arg(itemName(item), message(item)));
        }
    }
    const QString why = receivedIfIncomplete
            ? QCoreApplication::translate("CliFormat", "not among the %1 received")
                      .arg(reelsText(*receivedIfIncomplete))
            : QCoreApplication::translate("CliFormat", "no reel with this id in the profile");
    for (const QString &id : missing)
        failures.append(QStringLiteral("  %1: %2").arg(printable(id), why));

    const qsizetype asked = items.size() + missing.size();
    QString text = interrupted ? QCoreApplication::translate("CliFormat", "Interrupted.") + u' '
                               : QString();
    text += QCoreApplication::translate("CliFormat", "Saved %1 of %2 to %3")
                    .arg(QString::number(saved), QString::number(asked),
                         printable(QDir::toNativeSeparators(folder)));
    if (savedBefore > 0)
        text += u' '
                + QCoreApplication::translate("CliFormat", "(%1 already saved)").arg(savedBefore);
    text += u'\n';
    if (!failures.isEmpty()) {
        text += QCoreApplication::translate("CliFormat", "Failed %1:").arg(failures.size()) + u'\n'
                + failures.join(u'\n') + u'\n';
    }
    return text;
}

} // namespace CliFormat
