#include "Answers.h"

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

// Local wall-clock time in the zone fixed by main(): Berlin, with its 2024 daylight-saving dates.
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
    void values_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const auto row = [](const QByteArray &name, const QString &actual, const char *expected) {
            QTest::newRow(name) << actual << QString::fromUtf8(expected);
        };

        // Whether a filter takes a reel posted at `date` when it is `now`.
        const auto takes = [&](const QByteArray &name, const DateRangeFilter &filter, const QDateTime &date,
                                  const QDateTime &now, bool taken) {
            row(name, answers(filter.includes(date, now)), taken ? "true" : "false");
        };
        const QDateTime june = at(2024, 6, 15, 12);
        takes("all: long ago", Kind::all, at(1970, 1, 2), june, true);
        takes("last7: 7 days 23 hours", Kind::last7, at(2024, 6, 7, 13), june, true);
        takes("last7: exactly 8 days", Kind::last7, at(2024, 6, 7, 12), june, false);
        takes("last30: 30 days 23:59", Kind::last30, at(2024, 5, 15, 12, 1), june, true);
        takes("last30: exactly 31 days", Kind::last30, at(2024, 5, 15, 12), june, false);
        takes("last90: 90 days 23:59", Kind::last90, at(2024, 3, 16, 12, 1), june, true);
        takes("last90: exactly 91 days", Kind::last90, at(2024, 3, 16, 12), june, false);
        for (Kind kind : { Kind::last7, Kind::last30, Kind::last90 }) {
            const QByteArray name = QTest::toString(kind);
            takes(name + ": one minute ahead", kind, june.addSecs(60), june, true);
            takes(name + ": far ahead", kind, june.addDays(400), june, true);
        }
        // Days are counted on the calendar: 8 days across the spring change are only 191 hours, and
        // 7 days 23.5 hours across the autumn change are 192.5 hours.
        takes("last7: 8 days over spring change", Kind::last7, at(2024, 3, 26, 12), at(2024, 4, 3, 12), false);
        takes("last7: 7d23h30 over autumn change", Kind::last7, at(2024, 10, 22, 12, 30), at(2024, 10, 30, 12), true);

        const QDateTime newYear = at(2025, 1, 1, 0, 30);
        takes("thisYear: new year's eve", Kind::thisYear, at(2024, 12, 31, 23, 59), newYear, false);
        takes("thisYear: first minute", Kind::thisYear, at(2025, 1, 1), newYear, true);
        takes("thisYear: UTC date, local year", Kind::thisYear, utc(2024, 12, 31, 23, 30), newYear, true);
        takes("thisYear: UTC now, local year", Kind::thisYear, at(2024, 12, 31, 22), utc(2024, 12, 31, 23, 30), false);

        // `now` is deliberately a day long past: today is read from the clock.
        const QDate today = QDate::currentDate();
        const QDateTime past = at(2001, 1, 1, 12);
        takes("today: midnight", Kind::today, today.startOfDay(), past, true);
        takes("today: last second", Kind::today, QDateTime(today, QTime(23, 59, 59)), past, true);
        takes("today: yesterday", Kind::today, QDateTime(today.addDays(-1), QTime(23, 59, 59)), past, false);
        takes("today: tomorrow", Kind::today, today.addDays(1).startOfDay(), past, false);
        takes("today: same day as now", Kind::today, past, past, false);

        const DateRangeFilter march = DateRangeFilter::custom(at(2024, 3, 3, 15), at(2024, 3, 9, 8));
        takes("custom: start day midnight", march, at(2024, 3, 3), june, true);
        takes("custom: end day 23:59", march, at(2024, 3, 9, 23, 59), june, true);
        takes("custom: midnight after end", march, at(2024, 3, 10), june, true);
        takes("custom: one second later", march, at(2024, 3, 10, 0, 0, 1), june, false);
        takes("custom: day before", march, at(2024, 3, 2, 23, 59), june, false);
        const DateRangeFilter sameDay = DateRangeFilter::custom(at(2024, 5, 5, 10), at(2024, 5, 5, 10));
        takes("same day: last second", sameDay, at(2024, 5, 5, 23, 59, 59), june, true);
        // The autumn change day has 25 hours; its end is midnight, not start + 24 h.
        const DateRangeFilter autumn = DateRangeFilter::custom(at(2024, 10, 20, 10), at(2024, 10, 27, 10));
        takes("custom: 25-hour end day", autumn, at(2024, 10, 27, 23, 30), june, true);
        takes("custom: after 25-hour day", autumn, at(2024, 10, 28, 0, 0, 1), june, false);
        // A start given in UTC is 3 March in Berlin.
        const DateRangeFilter utcStart = DateRangeFilter::custom(utc(2024, 3, 2, 23, 30), at(2024, 3, 9, 8));
        takes("custom: UTC start, local day", utcStart, at(2024, 3, 3), june, true);
        takes("custom: UTC start, day before", utcStart, at(2024, 3, 2, 23, 59), june, false);

        // A filter's label | its short label.
        const auto labels = [](const DateRangeFilter &filter) { return answers(filter.label(), filter.shortLabel()); };
        row("label: last7", labels(DateRangeFilter(Kind::last7)), "Last 7 days | 7 days");
        row("label: thisYear", labels(DateRangeFilter(Kind::thisYear)), "This year | Year");
        row("label: custom", labels(DateRangeFilter::custom(at(2024, 3, 3, 15), at(2024, 4, 9, 8))), "Custom range | Mar 3 \u2013 Apr 9");
        row("label: custom, UTC ends", labels(DateRangeFilter::custom(utc(2024, 3, 2, 23, 30), utc(2024, 12, 31, 23, 30))),
            "Custom range | Mar 3 \u2013 Jan 1");

        // The rendition played by default, of those offered (each at an address named after it).
        using Q = VideoQuality;
        const auto played = [](const QList<VideoQuality> &offered) {
            Reel reel;
            for (VideoQuality quality : offered)
                reel.variants.insert(quality, QUrl(QStringLiteral("https://media.invalid/") + rawValue(quality)));
            return reel.defaultVideoURL().fileName();
        };
        row("played: all four", played({ Q::audio, Q::sd480, Q::hd1080, Q::hd720 }), "720p");
        row("played: 1080 before 480", played({ Q::audio, Q::sd480, Q::hd1080 }), "1080p");
        row("played: 480 and audio", played({ Q::audio, Q::sd480 }), "480p");
        row("played: audio only", played({ Q::audio }), "Audio only");
        row("played: nothing", played({}), "");

        // Raw value | read back | subtitle | file extension.
        const auto quality = [](VideoQuality q) {
            return answers(rawValue(q), videoQualityFromRaw(rawValue(q)) == q, subtitle(q), fileExtension(q));
        };
        row("hd1080", quality(Q::hd1080), "1080p | true | Full HD \u00b7 best quality | mp4");
        row("audio", quality(Q::audio), "Audio only | true | M4A \u00b7 audio track only | m4a");
        for (const char *raw : { "", "720P", " 720p", "720", "audio only", "Audio Only", "Audio", "hd720", "4K" })
            row("no quality: " + QByteArray(raw), answers(videoQualityFromRaw(raw).has_value()), "false");
        for (const char *raw : { "", "Instagram", "FACEBOOK", "fb", "facebook ", "tiktok" })
            row("no platform: " + QByteArray(raw), answers(socialPlatformFromRaw(raw).has_value()), "false");

        // a == b | b == a | a's progress within [0, 1].
        using S = DownloadState;
        const auto equal = [](const DownloadState &a, const DownloadState &b) {
            return answers(a == b, b == a, a.progress() >= 0.0 && a.progress() <= 1.0);
        };
        const QUrl file = QUrl::fromLocalFile(QStringLiteral("/tmp/a.mp4"));
        row("queued vs zero progress", equal(S::queued(), S::downloading(0)), "false | false | true");
        row("clamped above", equal(S::downloading(1.7), S::downloading(1.0)), "true | true | true");
        row("clamped below", equal(S::downloading(-0.3), S::downloading(0.0)), "true | true | true");
        row("other file", equal(S::completed(file), S::completed(QUrl::fromLocalFile("/tmp/b.mp4"))), "false | false | true");
        row("empty failure vs idle", equal(S::failed(QString()), S::idle()), "false | false | true");
    }
    void values()
    {
        QFETCH(QString, actual);
        QTEST(actual, "expected");
    }
};

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
