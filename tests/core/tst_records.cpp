#include "core/DateRangeFilter.h"
#include "core/DownloadItem.h"
#include "core/Reel.h"
#include "core/SocialPlatform.h"
#include "core/VideoQuality.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTest>
#include <QTimeZone>

#include <time.h>

using Kind = DateRangeFilter::Kind;

namespace {

// Local wall-clock time in the zone fixed by main().
QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

QDateTime utc(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi), QTimeZone::utc());
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void includes_data();
    void includes();
    void labels_data();
    void labels();
    void defaultVideoURL_data();
    void defaultVideoURL();
    void videoQuality_data();
    void videoQuality();
    void unknownRawValues();
    void downloadStateEquality_data();
    void downloadStateEquality();
};

void TestRecords::initTestCase()
{
    // Every expectation below assumes Berlin's offsets and its 2024 daylight-saving dates.
    QCOMPARE(at(2024, 1, 15).offsetFromUtc(), 3600);
    QCOMPARE(at(2024, 7, 15).offsetFromUtc(), 7200);
    QCOMPARE(at(2024, 3, 31, 12).offsetFromUtc(), 7200);
    QCOMPARE(at(2024, 10, 27, 12).offsetFromUtc(), 3600);
}

void TestRecords::includes_data()
{
    QTest::addColumn<DateRangeFilter>("filter");
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("expected");

    const QDateTime june = at(2024, 6, 15, 12);
    QTest::newRow("all: long ago") << DateRangeFilter(Kind::all) << at(1970, 1, 2) << june << true;

    QTest::newRow("last7: 7 days 23 hours") << DateRangeFilter(Kind::last7) << at(2024, 6, 7, 13) << june << true;
    QTest::newRow("last7: exactly 8 days") << DateRangeFilter(Kind::last7) << at(2024, 6, 7, 12) << june << false;
    QTest::newRow("last30: 30 days 23:59") << DateRangeFilter(Kind::last30) << at(2024, 5, 15, 12, 1) << june << true;
    QTest::newRow("last30: exactly 31 days") << DateRangeFilter(Kind::last30) << at(2024, 5, 15, 12) << june << false;
    QTest::newRow("last90: 90 days 23:59") << DateRangeFilter(Kind::last90) << at(2024, 3, 16, 12, 1) << june << true;
    QTest::newRow("last90: exactly 91 days") << DateRangeFilter(Kind::last90) << at(2024, 3, 16, 12) << june << false;
    for (Kind kind : { Kind::last7, Kind::last30, Kind::last90 }) {
        const QByteArray name = QTest::toString(kind);
        QTest::newRow(name + ": one minute ahead") << DateRangeFilter(kind) << june.addSecs(60) << june << true;
        QTest::newRow(name + ": far ahead") << DateRangeFilter(kind) << june.addDays(400) << june << true;
    }
    // Days are counted on the calendar: 8 days across the spring change are only 191 hours, and
    // 7 days 23.5 hours across the autumn change are 192.5 hours.
    QTest::newRow("last7: 8 days over spring change")
        << DateRangeFilter(Kind::last7) << at(2024, 3, 26, 12) << at(2024, 4, 3, 12) << false;
    QTest::newRow("last7: 7d23h30 over autumn change")
        << DateRangeFilter(Kind::last7) << at(2024, 10, 22, 12, 30) << at(2024, 10, 30, 12) << true;

    const QDateTime newYear = at(2025, 1, 1, 0, 30);
    QTest::newRow("thisYear: new year's eve") << DateRangeFilter(Kind::thisYear) << at(2024, 12, 31, 23, 59) << newYear << false;
    QTest::newRow("thisYear: first minute") << DateRangeFilter(Kind::thisYear) << at(2025, 1, 1) << newYear << true;
    QTest::newRow("thisYear: UTC date, local year") << DateRangeFilter(Kind::thisYear) << utc(2024, 12, 31, 23, 30) << newYear << true;
    QTest::newRow("thisYear: UTC now, local year") << DateRangeFilter(Kind::thisYear) << at(2024, 12, 31, 22) << utc(2024, 12, 31, 23, 30) << false;

    // `now` is deliberately a day long past: today is read from the clock.
    const QDate today = QDate::currentDate();
    const QDateTime past = at(2001, 1, 1, 12);
    const DateRangeFilter todayFilter(Kind::today);
    QTest::newRow("today: midnight") << todayFilter << today.startOfDay() << past << true;
    QTest::newRow("today: last second") << todayFilter << QDateTime(today, QTime(23, 59, 59)) << past << true;
    QTest::newRow("today: yesterday") << todayFilter << QDateTime(today.addDays(-1), QTime(23, 59, 59)) << past << false;
    QTest::newRow("today: tomorrow") << todayFilter << today.addDays(1).startOfDay() << past << false;
    QTest::newRow("today: same day as now") << todayFilter << past << past << false;

    const DateRangeFilter march = DateRangeFilter::custom(at(2024, 3, 3, 15), at(2024, 3, 9, 8));
    QTest::newRow("custom: start day midnight") << march << at(2024, 3, 3) << june << true;
    QTest::newRow("custom: end day 23:59") << march << at(2024, 3, 9, 23, 59) << june << true;
    QTest::newRow("custom: midnight after end") << march << at(2024, 3, 10) << june << true;
    QTest::newRow("custom: one second later") << march << at(2024, 3, 10, 0, 0, 1) << june << false;
    QTest::newRow("custom: day before") << march << at(2024, 3, 2, 23, 59) << june << false;
    const DateRangeFilter sameDay = DateRangeFilter::custom(at(2024, 5, 5, 10), at(2024, 5, 5, 10));
    QTest::newRow("same day: last second") << sameDay << at(2024, 5, 5, 23, 59, 59) << june << true;
    // The autumn change day has 25 hours; its end is midnight, not start + 24 h.
    const DateRangeFilter autumn = DateRangeFilter::custom(at(2024, 10, 20, 10), at(2024, 10, 27, 10));
    QTest::newRow("custom: 25-hour end day") << autumn << at(2024, 10, 27, 23, 30) << june << true;
    QTest::newRow("custom: after 25-hour day") << autumn << at(2024, 10, 28, 0, 0, 1) << june << false;
    // A start given in UTC is 3 March in Berlin.
    const DateRangeFilter utcStart = DateRangeFilter::custom(utc(2024, 3, 2, 23, 30), at(2024, 3, 9, 8));
    QTest::newRow("custom: UTC start, local day") << utcStart << at(2024, 3, 3) << june << true;
    QTest::newRow("custom: UTC start, day before") << utcStart << at(2024, 3, 2, 23, 59) << june << false;
}

void TestRecords::includes()
{
    QFETCH(DateRangeFilter, filter);
    QFETCH(QDateTime, date);
    QFETCH(QDateTime, now);
    QFETCH(bool, expected);
    QCOMPARE(filter.includes(date, now), expected);
}

void TestRecords::labels_data()
{
    QTest::addColumn<DateRangeFilter>("filter");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shortLabel");

    QTest::newRow("last7") << DateRangeFilter(Kind::last7) << "Last 7 days" << "7 days";
    QTest::newRow("thisYear") << DateRangeFilter(Kind::thisYear) << "This year" << "Year";
    QTest::newRow("custom") << DateRangeFilter::custom(at(2024, 3, 3, 15), at(2024, 4, 9, 8))
                            << "Custom range" << u"Mar 3 \u2013 Apr 9"_qs;
    QTest::newRow("custom, UTC ends") << DateRangeFilter::custom(utc(2024, 3, 2, 23, 30), utc(2024, 12, 31, 23, 30))
                                      << "Custom range" << u"Mar 3 \u2013 Jan 1"_qs;
}

void TestRecords::labels()
{
    QFETCH(DateRangeFilter, filter);
    QFETCH(QString, label);
    QFETCH(QString, shortLabel);
    QCOMPARE(filter.label(), label);
    QCOMPARE(filter.shortLabel(), shortLabel);
}

void TestRecords::defaultVideoURL_data()
{
    QTest::addColumn<QList<VideoQuality>>("offered");
    QTest::addColumn<QString>("expected"); // raw value of the chosen quality, empty for none

    using Q = VideoQuality;
    QTest::newRow("all four") << QList{ Q::audio, Q::sd480, Q::hd1080, Q::hd720 } << "720p";
    QTest::newRow("1080 before 480") << QList{ Q::audio, Q::sd480, Q::hd1080 } << "1080p";
    QTest::newRow("480 and audio") << QList{ Q::audio, Q::sd480 } << "480p";
    QTest::newRow("audio only") << QList{ Q::audio } << "Audio only";
    QTest::newRow("nothing") << QList<Q>{} << "";
}

void TestRecords::defaultVideoURL()
{
    QFETCH(QList<VideoQuality>, offered);
    QFETCH(QString, expected);

    auto urlFor = [](const QString &raw) { return QUrl(QStringLiteral("https://media.invalid/") + raw); };
    Reel reel;
    for (VideoQuality quality : offered)
        reel.variants.insert(quality, urlFor(rawValue(quality)));
    QCOMPARE(reel.defaultVideoURL(), expected.isEmpty() ? QUrl() : urlFor(expected));
}

void TestRecords::videoQuality_data()
{
    QTest::addColumn<VideoQuality>("quality");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("subtitle");
    QTest::addColumn<QString>("extension");

    QTest::newRow("hd1080") << VideoQuality::hd1080 << "1080p" << u"Full HD · best quality"_qs << "mp4";
    QTest::newRow("audio") << VideoQuality::audio << "Audio only" << u"M4A · audio track only"_qs << "m4a";
}

void TestRecords::videoQuality()
{
    QFETCH(VideoQuality, quality);
    QFETCH(QString, raw);
    QFETCH(QString, subtitle);
    QFETCH(QString, extension);

    QCOMPARE(rawValue(quality), raw);
    QCOMPARE(videoQualityFromRaw(raw), std::optional(quality));
    QCOMPARE(::subtitle(quality), subtitle);
    QCOMPARE(fileExtension(quality), extension);
}

void TestRecords::unknownRawValues()
{
    for (const char *raw : { "", "720P", " 720p", "720", "audio only", "Audio Only", "Audio", "hd720", "4K" })
        QVERIFY2(!videoQualityFromRaw(QString::fromLatin1(raw)), raw);
    for (const char *raw : { "", "Instagram", "FACEBOOK", "fb", "facebook ", "tiktok" })
        QVERIFY2(!socialPlatformFromRaw(QString::fromLatin1(raw)), raw);
}

void TestRecords::downloadStateEquality_data()
{
    QTest::addColumn<DownloadState>("a");
    QTest::addColumn<DownloadState>("b");
    QTest::addColumn<bool>("equal");

    using S = DownloadState;
    const QUrl file = QUrl::fromLocalFile(QStringLiteral("/tmp/a.mp4"));
    QTest::newRow("queued vs zero progress") << S::queued() << S::downloading(0) << false;
    QTest::newRow("clamped above") << S::downloading(1.7) << S::downloading(1.0) << true;
    QTest::newRow("clamped below") << S::downloading(-0.3) << S::downloading(0.0) << true;
    QTest::newRow("other file") << S::completed(file) << S::completed(QUrl::fromLocalFile(QStringLiteral("/tmp/b.mp4"))) << false;
    QTest::newRow("empty failure vs idle") << S::failed(QString()) << S::idle() << false;
}

void TestRecords::downloadStateEquality()
{
    QFETCH(DownloadState, a);
    QFETCH(DownloadState, b);
    QFETCH(bool, equal);
    QCOMPARE(a == b, equal);
    QCOMPARE(b == a, equal);
    QVERIFY(a.progress() >= 0.0 && a.progress() <= 1.0);
}

int main(int argc, char **argv)
{
    // libc reads TZ once and Qt caches the zone: both must see Berlin before anything asks.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TestRecords test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_records.moc"
