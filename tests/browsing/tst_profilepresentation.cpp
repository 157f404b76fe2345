// What the profile screen and the download options show: counts, durations, the section
// header's count, the options sheet's subtitle and button, the grid's metrics, the custom range's
// date-order check and the download badges.

#include "Answers.h"

#include "browsing/ProfilePresentation.h"
#include "core/DownloadItem.h"

#include <QtTest>

class TestProfilePresentation : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &actual, const char *expected) {
            QTest::newRow(name) << actual << QString::fromUtf8(expected);
        };
        using P = ProfilePresentation;
        using K = DateRangeFilter::Kind;

        row("count below a thousand", formatCount(999), "999");
        row("count: a thousand", formatCount(1000), "1K");
        row("count: rounded decimal", formatCount(12345), "12.3K");
        row("count: rounds up to 1000K", formatCount(999999), "1000K");
        row("count: a million", formatCount(1000000), "1M");
        row("count: millions with a decimal", formatCount(15300000), "15.3M");
        row("count: a thousand millions", formatCount(1000000000), "1000M");
        row("duration: seconds padded", formatDuration(65), "1:05");
        row("duration: an hour stays in minutes", formatDuration(3725), "62:05");
        row("duration: negative reads zero", formatDuration(-3), "0:00");
        row("reels: some hidden", P::reelCountText(30, 48), "30 of 48 reels");
        row("reels: all shown", P::reelCountText(48, 48), "48 reels");
        row("reels: one, still plural", P::reelCountText(1, 1), "1 reels");

        // The options sheet's subtitle | its button.
        const auto options = [](int count, bool showDateFilter, K kind) {
            return answers(P::optionsSubtitle(count, showDateFilter, DateRangeFilter(kind)), P::downloadButtonText(count));
        };
        row("options: one", options(1, true, K::all), "1 reel selected | Download 1");
        row("options: none", options(0, true, K::all), "0 reels selected | Nothing to download");
        row("options: filtered", options(7, true, K::last30), "7 reels match 30 days | Download 7");
        row("options: filtered to one", options(1, true, K::today), "1 reel match Today | Download 1");
        row("options: selection ignores the filter", options(3, false, K::last30), "3 reels selected | Download 3");

        // Columns shown | spacing | compact cards, for the stored number of columns.
        const auto grid = [](int stored) { return answers(P::columnsShown(stored), P::gridSpacing(stored), P::compactCards(stored)); };
        row("grid: 0", grid(0), "2 | 12 | false");
        row("grid: 2", grid(2), "2 | 12 | false");
        row("grid: 3", grid(3), "3 | 10 | false");
        row("grid: 4", grid(4), "4 | 10 | true");
        row("grid: 10", grid(10), "10 | 8 | true");

        // Whole days are compared, whatever time of day the stored dates carry.
        const auto range = [](const QDateTime &start, const QDateTime &end) { return answers(P::rangeIsValid(start, end)); };
        const QDate day(2025, 3, 10);
        row("range: before", range(QDateTime(day, QTime(9, 0)), QDateTime(day.addDays(5), QTime(9, 0))), "true");
        row("range: same day, later hour", range(QDateTime(day, QTime(18, 0)), QDateTime(day, QTime(8, 0))), "true");
        row("range: a day after", range(QDateTime(day.addDays(1), QTime(0, 0)), QDateTime(day, QTime(23, 59))), "false");
        row("range: no start", range(QDateTime(), QDateTime(day, QTime(8, 0))), "false");
        const QDateTime stored(QDate(2025, 1, 31), QTime(14, 30));
        row("withDay: a leap day", answers(P::withDay(stored, 2024, 2, 29)), "2024-02-29T14:30:00.000");
        row("withDay: no such day", answers(P::withDay(stored, 2025, 2, 30)), "2025-01-31T14:30:00.000");

        // A download state's badge kind | its list button's symbol.
        const auto badge = [](const QVariant &state) { return answers(P::downloadKind(state), P::downloadSymbol(state)); };
        row("badge: never queued", badge(QVariant()), "none | arrow.down");
        row("badge: queued", badge(QVariant::fromValue(DownloadState::queued())), "queued | arrow.down");
        row("badge: downloading", badge(QVariant::fromValue(DownloadState::downloading(0.4))), "downloading | ellipsis");
        row("badge: completed", badge(QVariant::fromValue(DownloadState::completed(QUrl("file:///tmp/a.mp4")))),
            "completed | checkmark");
        row("badge: failed", badge(QVariant::fromValue(DownloadState::failed("No"))), "failed | arrow.down");
    }
    void rules()
    {
        QFETCH(QString, actual);
        QTEST(actual, "expected");
    }
};

QTEST_GUILESS_MAIN(TestProfilePresentation)
#include "tst_profilepresentation.moc"
