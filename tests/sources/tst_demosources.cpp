#include "FetchRecorder.h"
#include "TestEnvironment.h"

#include "core/Config.h"
#include "sources/DemoServices.h"

#include <QtTest>

class TestDemoSources : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    DemoInstagramService m_instagram;
    DemoFacebookService m_facebook;

private slots:
    void errorMessages_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("message");
        // The other messages are checked where the sources and the view model produce them.
        using E = InstagramServiceError;
        QTest::newRow("http without body") << E::http(403).errorDescription() << "HTTP 403.";
        QTest::newRow("network") << E::network("Connection refused").errorDescription() << "Connection refused";
        QTest::newRow("no videos") << E::noVideosFound().errorDescription()
                << "No videos found on that page (the page may require login or have no public videos).";
    }
    void errorMessages()
    {
        QFETCH(QString, actual);
        QTEST(actual, "message");
    }

    // The profile made from what was typed, in two instalments after their waits, the second
    // extending the first. Verified when the handle's length in characters as a reader counts
    // them is a multiple of three (four on Facebook).
    void fetch_data()
    {
        QTest::addColumn<bool>("facebook");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<bool>("verified");

        QTest::newRow("ig three letters") << false << "https://www.instagram.com/abc/" << "abc" << "Abc" << true;
        QTest::newRow("ig underscores") << false << "@NAT_geo_TV" << "nat_geo_tv" << "Nat Geo Tv" << false;
        QTest::newRow("fb four letters") << true << "facebook:abcd" << "abcd" << "Abcd" << true;
        QTest::newRow("fb dots") << true << "https://www.facebook.com/pages/Nat.Geo" << "Nat.Geo" << "Nat Geo" << false;
        QTest::newRow("unreadable text is the handle") << false << "@@" << "@@" << "@@" << false;
        // Three characters: five UTF-16 units, four code points.
        const QString accented = QStringLiteral("e\u0301\U00010330x");
        QTest::newRow("an accent and a letter outside the BMP are one character each")
                << false << accented << accented << QStringLiteral("E\u0301\U00010330x") << true;
    }
    void fetch()
    {
        QFETCH(bool, facebook);
        QFETCH(QString, text);
        QFETCH(QString, username);
        // What each source makes: instalments, days between reels, thumbnail size, the sample
        // videos and durations of reels 5 and 10; followers, views and likes within [lower, upper).
        struct Recipe { QList<int> sizes; int daysApart; QString thumbnailSize, idPrefix; QList<int> samples; QList<qint64> durations, bounds; };
        const Recipe r = facebook
                ? Recipe{ { 9, 18 }, 2, "/640/360", "fb-", { 2, 2 }, { 73, 38 }, { 200, 12000000, 4000, 980000, 50, 22000 } }
                : Recipe{ { 12, 24 }, 1, "/480/854", "", { 5, 2 }, { 47, 34 }, { 5000, 8500000, 12000, 3400000, 500, 240000 } };
        ProfileServiceType &source = facebook ? static_cast<ProfileServiceType &>(m_facebook) : m_instagram;
        FetchRecorder recorder, second;
        const QDateTime called = QDateTime::currentDateTime();
        recorder.fetch(source, text);
        second.fetch(source, text);
        QCOMPARE(recorder.updates.size(), 0); // nothing arrives synchronously
        QVERIFY(recorder.waitFinished() && second.waitFinished());
        QVERIFY(recorder.outcome->succeeded());
        QCOMPARE(recorder.completions, 1);
        QCOMPARE(recorder.updates.size(), 2);
        const auto &[profile, first, firstAt] = recorder.updates.at(0);
        const auto &[same, reels, secondAt] = recorder.updates.at(1);
        // Waits are lower bounds only: a slow machine may take longer, never shorter.
        QVERIFY2(firstAt >= 590 && secondAt - firstAt >= 340, qPrintable(QString::number(secondAt)));
        QCOMPARE(QList<int>({ int(first.size()), int(reels.size()) }), r.sizes);
        QCOMPARE(reels.mid(0, r.sizes[0]), first);
        QCOMPARE(same, profile);

        QCOMPARE(profile.username, username);
        QTEST(profile.displayName, "displayName");
        QCOMPARE(profile.avatarURL.toString(),
                 Config::current().placeholderImageBase() + username + (facebook ? "-fb-avatar" : "-avatar") + "/240/240");
        QTEST(profile.isVerified, "verified");
        QCOMPARE(profile.platform, facebook ? SocialPlatform::facebook : SocialPlatform::instagram);
        QVERIFY2(profile.isDemo, "a made-up profile says so");
        QCOMPARE(profile.reelCount, r.sizes[1]);
        QVERIFY(profile.followerCount >= r.bounds[0] && profile.followerCount < r.bounds[1]);
        for (int i = 0; i < reels.size(); ++i) {
            const Reel &reel = reels.at(i);
            QCOMPARE(reel.id, r.idPrefix + username + u'-' + QString::number(i));
            QCOMPARE(reel.variants.size(), 4);
            QCOMPARE(QSet<QUrl>(reel.variants.cbegin(), reel.variants.cend()).size(), 1);
            QCOMPARE(reel.thumbnailURL.toString(), Config::current().placeholderImageBase() + reel.id + r.thumbnailSize);
            QVERIFY(qAbs(reel.postedAt.secsTo(called) - i * r.daysApart * 86400) < 5);
            QVERIFY(reel.viewCount >= r.bounds[2] && reel.viewCount < r.bounds[3]);
            QVERIFY(reel.likeCount >= r.bounds[4] && reel.likeCount < r.bounds[5]);
        }
        for (int k : { 0, 1 }) {
            QCOMPARE(reels.at(5 + 5 * k).variants.value(VideoQuality::audio), sampleVideoURLs().at(r.samples[k]));
            QCOMPARE(reels.at(5 + 5 * k).durationSeconds, r.durations[k]);
        }

        // Same account twice: a fresh id each time, the same generated numbers within one run.
        const FetchRecorder::Update &again = second.updates.last();
        QVERIFY(profile.id != again.profile.id);
        QCOMPARE(again.profile.followerCount, profile.followerCount);
        QCOMPARE(again.reels.at(3).viewCount, reels.at(3).viewCount);
    }

    // Cancelling ends the fetch at once, and only that fetch: another one beside it goes on.
    void cancellation_data()
    {
        QTest::addColumn<int>("cancelAfterMs");
        QTest::addColumn<int>("expectedUpdates");
        QTest::newRow("before the call") << -1 << 0;
        QTest::newRow("during the first wait") << 200 << 0;
        QTest::newRow("during the second wait") << 800 << 1;
    }
    void cancellation()
    {
        QFETCH(int, cancelAfterMs);
        QFETCH(int, expectedUpdates);

        FetchRecorder recorder, beside;
        Cancellation cancel;
        if (cancelAfterMs < 0)
            cancel.cancel();
        recorder.fetch(m_instagram, QStringLiteral("nasa"), cancel);
        beside.fetch(m_instagram, QStringLiteral("other"));
        if (cancelAfterMs >= 0) {
            QTest::qWait(cancelAfterMs);
            cancel.cancel();
            QVERIFY2(!recorder.finished(), "the completion never runs inside cancel()");
        }
        QVERIFY(recorder.waitFinished(2000));
        const qint64 endedAt = recorder.clock.elapsed();
        QVERIFY(recorder.outcome->wasCancelled());
        QCOMPARE(recorder.updates.size(), expectedUpdates);
        // Cancelling ends the wait at once rather than when it would have run out.
        QVERIFY2(endedAt < qMax(cancelAfterMs, 0) + 300, qPrintable(QString::number(endedAt)));

        QVERIFY(beside.waitFinished());
        QVERIFY(beside.outcome->succeeded());
        QCOMPARE(beside.updates.size(), 2);
        QCOMPARE(beside.updates.last().profile.username, "other");
        QTest::qWait(1200); // nothing more arrives after a cancelled end
        QCOMPARE(recorder.updates.size(), expectedUpdates);
        QCOMPARE(recorder.completions, 1);
    }

    void pseudoCountStaysInRangeAndIsStable()
    {
        for (int i = 0; i < 2000; ++i) {
            const QString seed = QStringLiteral("seed-%1").arg(i);
            const qint64 value = pseudoCount(seed, i % 13, 5, 9);
            QVERIFY(value >= 5 && value < 9);
            QCOMPARE(pseudoCount(seed, i % 13, 5, 9), value);
        }
        QCOMPARE(pseudoCount(QStringLiteral("x"), 1, 7, 8), 7);
    }
};

QTEST_GUILESS_MAIN(TestDemoSources)
#include "tst_demosources.moc"
