// What the profile screen and the download options show: counts, durations, the section
// header's count, the options sheet's subtitle and button, the grid's metrics, the custom range's
// date-order check and the download badges.

#include "browsing/ProfilePresentation.h"
#include "core/DownloadItem.h"

#include <QtTest>

class TestProfilePresentation : public QObject
{
    Q_OBJECT

private slots:
    void count_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("below a thousand") << qint64(999) << "999";
        QTest::newRow("a thousand") << qint64(1000) << "1K";
        QTest::newRow("rounded decimal") << qint64(12345) << "12.3K";
        QTest::newRow("rounds up to 1000K") << qint64(999999) << "1000K";
        QTest::newRow("a million") << qint64(1000000) << "1M";
        QTest::newRow("millions with a decimal") << qint64(15300000) << "15.3M";
        QTest::newRow("a thousand millions") << qint64(1000000000) << "1000M";
    }
    void count()
    {
        QFETCH(qint64, value);
        QFETCH(QString, text);
        QCOMPARE(formatCount(value), text);
    }

    void duration_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0:00";
        QTest::newRow("seconds padded") << qint64(65) << "1:05";
        QTest::newRow("an hour stays in minutes") << qint64(3725) << "62:05";
        QTest::newRow("negative reads zero") << qint64(-3) << "0:00";
    }
    void duration()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(formatDuration(seconds), text);
    }

    void reelCountText_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QString>("text");
        QTest::newRow("some hidden") << 30 << 48 << "30 of 48 reels";
        QTest::newRow("all shown") << 48 << 48 << "48 reels";
        QTest::newRow("one, still plural") << 1 << 1 << "1 reels";
    }
    void reelCountText()
    {
        QFETCH(int, shown);
        QFETCH(int, loaded);
        QFETCH(QString, text);
        QCOMPARE(ProfilePresentation::reelCountText(shown, loaded), text);
    }

    void options_data()
    {
        QTest::addColumn<int>("reelCount");
        QTest::addColumn<bool>("showDateFilter");
        QTest::addColumn<DateRangeFilter>("filter");
        QTest::addColumn<QString>("subtitle");
        QTest::addColumn<QString>("button");
        using K = DateRangeFilter::Kind;
        QTest::newRow("one") << 1 << true << DateRangeFilter(K::all) << "1 reel selected" << "Download 1";
        QTest::newRow("none") << 0 << true << DateRangeFilter(K::all) << "0 reels selected"
                              << "Nothing to download";
        QTest::newRow("filtered") << 7 << true << DateRangeFilter(K::last30) << "7 reels match 30 days"
                                  << "Download 7";
        QTest::newRow("filtered to one") << 1 << true << DateRangeFilter(K::today) << "1 reel match Today"
                                         << "Download 1";
        QTest::newRow("selection ignores the filter") << 3 << false << DateRangeFilter(K::last30)
                                                      << "3 reels selected" << "Download 3";
    }
    void options()
    {
        QFETCH(int, reelCount);
        QFETCH(bool, showDateFilter);
        QFETCH(DateRangeFilter, filter);
        QFETCH(QString, subtitle);
        QFETCH(QString, button);
        QCOMPARE(ProfilePresentation::optionsSubtitle(reelCount, showDateFilter, filter), subtitle);
        QCOMPARE(ProfilePresentation::downloadButtonText(reelCount), button);
    }

    void grid_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<bool>("compact");
        QTest::newRow("0") << 0 << 2 << 12 << false;
        QTest::newRow("2") << 2 << 2 << 12 << false;
        QTest::newRow("3") << 3 << 3 << 10 << false;
        QTest::newRow("4") << 4 << 4 << 10 << true;
        QTest::newRow("10") << 10 << 10 << 8 << true;
    }
    void grid()
    {
        QFETCH(int, stored);
        QFETCH(int, columns);
        QFETCH(int, spacing);
        QFETCH(bool, compact);
        QCOMPARE(ProfilePresentation::columnsShown(stored), columns);
        QCOMPARE(ProfilePresentation::gridSpacing(stored), spacing);
        QCOMPARE(ProfilePresentation::compactCards(stored), compact);
    }

    // Whole days are compared, whatever time of day the stored dates carry.
    void range_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("valid");
        const QDate day(2025, 3, 10);
        QTest::newRow("before") << QDateTime(day, QTime(9, 0)) << QDateTime(day.addDays(5), QTime(9, 0)) << true;
        QTest::newRow("same day, later hour") << QDateTime(day, QTime(18, 0)) << QDateTime(day, QTime(8, 0)) << true;
        QTest::newRow("a day after") << QDateTime(day.addDays(1), QTime(0, 0)) << QDateTime(day, QTime(23, 59)) << false;
        QTest::newRow("no start") << QDateTime() << QDateTime(day, QTime(8, 0)) << false;
    }
    void range()
    {
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, end);
        QFETCH(bool, valid);
        QCOMPARE(ProfilePresentation::rangeIsValid(start, end), valid);
    }

    void withDay()
    {
        const QDateTime stored(QDate(2025, 1, 31), QTime(14, 30));
        QCOMPARE(ProfilePresentation::withDay(stored, 2024, 2, 29), QDateTime(QDate(2024, 2, 29), QTime(14, 30)));
        QCOMPARE(ProfilePresentation::withDay(stored, 2025, 2, 30), stored);
    }

    void downloadBadges_data()
    {
        QTest::addColumn<QVariant>("state");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("never queued") << QVariant() << "none" << "arrow.down";
        QTest::newRow("queued") << QVariant::fromValue(DownloadState::queued()) << "queued" << "arrow.down";
        QTest::newRow("downloading") << QVariant::fromValue(DownloadState::downloading(0.4))
                                     << "downloading" << "ellipsis";
        QTest::newRow("completed") << QVariant::fromValue(DownloadState::completed(QUrl(QStringLiteral("file:///tmp/a.mp4"))))
                                   << "completed" << "checkmark";
        QTest::newRow("failed") << QVariant::fromValue(DownloadState::failed(QStringLiteral("No"))) << "failed"
                                << "arrow.down";
    }
    void downloadBadges()
    {
        QFETCH(QVariant, state);
        QFETCH(QString, kind);
        QFETCH(QString, symbol);
        QCOMPARE(ProfilePresentation::downloadKind(state), kind);
        QCOMPARE(ProfilePresentation::downloadSymbol(state), symbol);
    }
};

QTEST_GUILESS_MAIN(TestProfilePresentation)
#include "tst_profilepresentation.moc"
