#pragma once

// What the profile screen and the download options sheets show, worked out from the view
// model's values: counts and durations as text, the section header's count, the options sheet's
// subtitle and button, the grid's columns and spacing, the menus' entries, a download state's
// badge and the date-order check of the custom range. The screens only bind to these.

#include "core/DateRangeFilter.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QtQmlIntegration>

// 999, 1K, 1.5K, 12.3K, 1000K, 2M: one rounded decimal, every ".0" dropped.
QString formatCount(qint64 count);
// "1:05", "10:00"; a negative duration reads as 0:00.
QString formatDuration(qint64 seconds);

class ProfilePresentation : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit ProfilePresentation(QObject *parent = nullptr);

    Q_INVOKABLE static QString count(qint64 count) { return formatCount(count); }
    Q_INVOKABLE static QString duration(qint64 seconds) { return formatDuration(seconds); }

    // "30 of 48 reels" while the date filter hides some, else "48 reels" (also "1 reels").
    Q_INVOKABLE static QString reelCountText(int shown, int loaded);
    // "Select all", or "Deselect all" once every loaded reel is selected.
    Q_INVOKABLE static QString selectAllTitle(int selected, int loaded);

    // The grid shows at least two columns; the stored number is kept as it is.
    Q_INVOKABLE static int columnsShown(int gridColumns);
    Q_INVOKABLE static int gridSpacing(int gridColumns);
    // Cards lose their bigger badges beyond three columns.
    Q_INVOKABLE static bool compactCards(int gridColumns) { return gridColumns > 3; }
    Q_INVOKABLE static QList<int> columnChoices() { return { 2, 4, 6, 8, 10 }; }

    // The date menu's preset entries in order: { filter, label, key }. An entry carries the
    // checkmark when its key is filterKey() of the current filter.
    Q_INVOKABLE static QVariantList datePresetEntries();
    // The filter's kind by name: "all", "today", "last7", ... "custom".
    Q_INVOKABLE static QString filterKey(const DateRangeFilter &filter);
    Q_INVOKABLE static bool isAllTime(const DateRangeFilter &filter);
    Q_INVOKABLE static bool isCustomRange(const DateRangeFilter &filter);

    // The download options: "12 reels match 30 days", "1 reel selected".
    Q_INVOKABLE static QString optionsSubtitle(int reelCount, bool showDateFilter,
                                               const DateRangeFilter &filter);
    // "Download 12", or "Nothing to download".
    Q_INVOKABLE static QString downloadButtonText(int reelCount);
    // Every quality in the options list's order: { raw, subtitle, symbol }.
    Q_INVOKABLE static QVariantList qualityEntries();

    // The custom range holds while its first day is not after its last; the time of day the
    // stored dates carry plays no part.
    Q_INVOKABLE static bool rangeIsValid(const QDateTime &start, const QDateTime &end);
    // `date` moved to another day of the local calendar, keeping its time of day. `month` is
    // 1-based.
    Q_INVOKABLE static QDateTime withDay(const QDateTime &date, int year, int month, int day);
    // "May 3, 2025"
    Q_INVOKABLE static QString dayText(const QDateTime &date);

    // A download state (a DownloadState, or undefined for a reel never queued) as the cards read
    // it: "none", "idle", "queued", "downloading", "completed" or "failed".
    Q_INVOKABLE static QString downloadKind(const QVariant &state);
    Q_INVOKABLE static double downloadProgress(const QVariant &state);
    // The list row's button: "checkmark" when saved, "ellipsis" while downloading, else
    // "arrow.down".
    Q_INVOKABLE static QString downloadSymbol(const QVariant &state);
};
