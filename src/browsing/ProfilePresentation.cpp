#include "browsing/ProfilePresentation.h"

#include "core/DownloadItem.h"
#include "core/VideoQuality.h"

#include <QLocale>
#include <QMetaEnum>

#include <algorithm>

QString formatCount(qint64 count)
{
    QString text;
    if (count < 1000)
        return QString::number(count);
    if (count < 1000000)
        text = QString::asprintf("%.1fK", double(count) / 1000.0);
    else
        text = QString::asprintf("%.1fM", double(count) / 1000000.0);
    // The decimal is rounded first, so 999,999 reads 1000K.
    return text.remove(QStringLiteral(".0"));
}

QString formatDuration(qint64 seconds)
{
    const qint64 total = std::max<qint64>(seconds, 0);
    return QString::asprintf("%lld:%02lld", total / 60, total % 60);
}

namespace {

std::optional<DownloadState> downloadState(const QVariant &state)
{
    if (state.metaType() != QMetaType::fromType<DownloadState>())
        return std::nullopt;
    return state.value<DownloadState>();
}

} // namespace

ProfilePresentation::ProfilePresentation(QObject *parent) : QObject(parent) { }

QString ProfilePresentation::reelCountText(int shown, int loaded)
{
    if (shown != loaded)
        return tr("%1 of %2 reels").arg(shown).arg(loaded);
    return tr("%1 reels").arg(loaded);
}

QString ProfilePresentation::selectAllTitle(int selected, int loaded)
{
    return selected == loaded ? tr("Deselect all") : tr("Select all");
}

int ProfilePresentation::columnsShown(int gridColumns)
{
    return std::max(gridColumns, 2);
}

int ProfilePresentation::gridSpacing(int gridColumns)
{
    if (gridColumns < 3)
        return 12;
    return gridColumns <= 4 ? 10 : 8;
}

QVariantList ProfilePresentation::datePresetEntries()
{
    QVariantList entries;
    for (const DateRangeFilter &preset : DateRangeFilter::presets()) {
        entries.append(QVariantMap{ { QStringLiteral("filter"), QVariant::fromValue(preset) },
                                    { QStringLiteral("label"), preset.label() },
                                    { QStringLiteral("key"), filterKey(preset) } });
    }
    return entries;
}

QString ProfilePresentation::filterKey(const DateRangeFilter &filter)
{
    return QString::fromLatin1(
            QMetaEnum::fromType<DateRangeFilter::Kind>().valueToKey(int(filter.kind())));
}

bool ProfilePresentation::isAllTime(const DateRangeFilter &filter)
{
    return filter.kind() == DateRangeFilter::Kind::all;
}

bool ProfilePresentation::isCustomRange(const DateRangeFilter &filter)
{
    return filter.kind() == DateRangeFilter::Kind::custom;
}

QString ProfilePresentation::optionsSubtitle(int reelCount, bool showDateFilter,
                                             const DateRangeFilter &filter)
{
    const bool one = reelCount == 1;
    if (showDateFilter && !isAllTime(filter))
        return (one ? tr("%1 reel match %2") : tr("%1 reels match %2"))
                .arg(QString::number(reelCount), filter.shortLabel());
    return (one ? tr("%1 reel selected") : tr("%1 reels selected")).arg(reelCount);
}

QString ProfilePresentation::downloadButtonText(int reelCount)
{
    return reelCount > 0 ? tr("Download %1").arg(reelCount) : tr("Nothing to download");
}

QVariantList ProfilePresentation::qualityEntries()
{
    QVariantList entries;
    for (const VideoQuality quality : allVideoQualities()) {
        entries.append(QVariantMap{ { QStringLiteral("raw"), rawValue(quality) },
                                    { QStringLiteral("title"), title(quality) },
                                    { QStringLiteral("subtitle"), subtitle(quality) },
                                    { QStringLiteral("symbol"), symbolName(quality) } });
    }
    return entries;
}

bool ProfilePresentation::rangeIsValid(const QDateTime &start, const QDateTime &end)
{
    if (!start.isValid() || !end.isValid())
        return false;
    return start.toLocalTime().date() <= end.toLocalTime().date();
}

QDateTime ProfilePresentation::withDay(const QDateTime &date, int year, int month, int day)
{
    const QDate picked(year, month, day);
    if (!picked.isValid())
        return date;
    const QTime time = date.isValid() ? date.toLocalTime().time() : QTime(0, 0);
    return QDateTime(picked, time);
}

QString ProfilePresentation::dayText(const QDateTime &date)
{
    return QLocale().toString(date.toLocalTime().date(), QStringLiteral("MMM d, yyyy"));
}

QString ProfilePresentation::downloadKind(const QVariant &state)
{
    const auto known = downloadState(state);
    if (!known)
        return QStringLiteral("none");
    return QString::fromLatin1(
            QMetaEnum::fromType<DownloadState::Kind>().valueToKey(int(known->kind())));
}

double ProfilePresentation::downloadProgress(const QVariant &state)
{
    const auto known = downloadState(state);
    return known ? known->progress() : 0.0;
}

QString ProfilePresentation::downloadSymbol(const QVariant &state)
{
    const auto known = downloadState(state);
    if (known && known->kind() == DownloadState::Kind::completed)
        return QStringLiteral("checkmark");
    if (known && known->kind() == DownloadState::Kind::downloading)
        return QStringLiteral("ellipsis");
    return QStringLiteral("arrow.down");
}
