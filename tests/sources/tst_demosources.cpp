#include "FetchRecorder.h"
#include "TestEnvironment.h"

#include "core/Config.h"
#include "sources/DemoServices.h"

#include <QtTest>

class TestDemoSources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void errorMessages_data();
    void errorMessages();
    void instagramInstalments();
    void facebookInstalments();
    void profileFields_data();
    void profileFields();
    void cancellation_data();
    void cancellation();
    void concurrentFetchesAreIndependent();
    void pseudoCountStaysInRangeAndIsStable();

private:
    TestEnvironment m_environment;
};

void TestDemoSources::errorMessages_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("message");

    // The other messages are checked where the sources and the view model produce them.
    using E = InstagramServiceError;
    QTest::newRow("http without body") << E::http(403).errorDescription() << "HTTP 403.";
    QTest::newRow("network") << E::network("Connection refused").errorDescription() << "Connection refused";
    QTest::newRow("no videos") << E::noVideosFound().errorDescription() << "No videos found on that page (the page may require login or have no public videos).";
}

void TestDemoSources::errorMessages()
{
    QFETCH(QString, actual);
    QFETCH(QString, message);
    QCOMPARE(actual, message);
}

void TestDemoSources::instagramInstalments()
{
    DemoInstagramService source;
    FetchRecorder recorder;
    const QDateTime called = QDateTime::currentDateTime();
    recorder.fetch(source, QStringLiteral("https://www.instagram.com/nasa/"));
    QCOMPARE(recorder.updates.size(), 0); // nothing arrives synchronously
    QVERIFY(recorder.waitFinished());

    QVERIFY(recorder.outcome->succeeded());
    QCOMPARE(recorder.completions, 1);
    QCOMPARE(recorder.updates.size(), 2);
    const auto &first = recorder.updates.at(0);
    const auto &second = recorder.updates.at(1);
    // Waits are lower bounds only: a slow machine may take longer, never shorter.
    QVERIFY2(first.atMs >= 590, qPrintable(QString::number(first.atMs)));
    QVERIFY2(second.atMs - first.atMs >= 340, qPrintable(QString::number(second.atMs - first.atMs)));

    QCOMPARE(first.reels.size(), 12);
    QCOMPARE(second.reels.size(), 24);
    QCOMPARE(second.reels.mid(0, 12), first.reels);
    QCOMPARE(first.profile, second.profile);
    QCOMPARE(first.reels.first().id, "nasa-0");
    QCOMPARE(first.reels.last().id, "nasa-11");
    QCOMPARE(second.reels.last().id, "nasa-23");

    const QList<QUrl> samples = sampleVideoURLs();
    const Reel &fifth = second.reels.at(5);
    QCOMPARE(fifth.durationSeconds, 47);
    QCOMPARE(fifth.variants.size(), 4);
    for (const QUrl &url : fifth.variants)
        QCOMPARE(url, samples.at(5));
    QCOMPARE(second.reels.at(9).variants.value(VideoQuality::audio), samples.at(1));
    QCOMPARE(fifth.thumbnailURL.toString(), Config::current().placeholderImageBase() + "nasa-5/480/854");
    const qint64 fifthAge = fifth.postedAt.secsTo(called);
    QVERIFY2(qAbs(fifthAge - 5 * 86400) < 5, qPrintable(QString::number(fifthAge)));
    for (const Reel &reel : second.reels) {
        QVERIFY(reel.viewCount >= 12000 && reel.viewCount < 3400000);
        QVERIFY(reel.likeCount >= 500 && reel.likeCount < 240000);
    }
}

void TestDemoSources::facebookInstalments()
{
    DemoFacebookService source;
    FetchRecorder recorder;
    const QDateTime called = QDateTime::currentDateTime();
    recorder.fetch(source, QStringLiteral("fb:nasa"));
    QVERIFY(recorder.waitFinished());

    QVERIFY(recorder.outcome->succeeded());
    QCOMPARE(recorder.updates.size(), 2);
    QCOMPARE(recorder.updates.at(0).reels.size(), 9);
    const QList<Reel> reels = recorder.updates.at(1).reels;
    QCOMPARE(reels.size(), 18);
    QCOMPARE(reels.mid(0, 9), recorder.updates.at(0).reels);
    QCOMPARE(reels.first().id, "fb-nasa-0");
    QCOMPARE(reels.last().id, "fb-nasa-17");

    const QUrl fifteenSeconds = sampleVideoURLs().at(2);
    for (const Reel &reel : reels) {
        QCOMPARE(reel.variants.size(), 4);
        for (const QUrl &url : reel.variants)
            QCOMPARE(url, fifteenSeconds);
        QVERIFY(reel.thumbnailURL.toString().endsWith(reel.id + "/640/360"));
    }
    const Reel &tenth = reels.at(10);
    QCOMPARE(tenth.durationSeconds, 38);
    QVERIFY(qAbs(tenth.postedAt.secsTo(called) - 20 * 86400) < 5);

    const InstagramProfile profile = recorder.updates.at(1).profile;
    QCOMPARE(profile.platform, SocialPlatform::facebook);
    QCOMPARE(profile.reelCount, 18);
    QVERIFY(profile.followerCount >= 200 && profile.followerCount < 12000000);
}

void TestDemoSources::profileFields_data()
{
    QTest::addColumn<bool>("facebook");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("displayName");
    QTest::addColumn<QString>("avatarSeed");
    QTest::addColumn<bool>("verified");

    QTest::newRow("ig three letters") << false << "abc" << "abc" << "Abc" << "abc-avatar" << true;
    QTest::newRow("ig underscores") << false << "@NAT_geo_TV" << "nat_geo_tv" << "Nat Geo Tv" << "nat_geo_tv-avatar" << false;
    QTest::newRow("fb four letters") << true << "facebook:abcd" << "abcd" << "Abcd" << "abcd-fb-avatar" << true;
    QTest::newRow("fb dots") << true << "https://www.facebook.com/pages/Nat.Geo" << "Nat.Geo" << "Nat Geo" << "Nat.Geo-fb-avatar" << false;
    QTest::newRow("unreadable text is the handle") << false << "@@" << "@@" << "@@" << "@@-avatar" << false;
}

void TestDemoSources::profileFields()
{
    QFETCH(bool, facebook);
    QFETCH(QString, text);
    QFETCH(QString, username);
    QFETCH(QString, displayName);
    QFETCH(QString, avatarSeed);
    QFETCH(bool, verified);

    DemoInstagramService instagram;
    DemoFacebookService facebookSource;
    ProfileServiceType &source = facebook ? static_cast<ProfileServiceType &>(facebookSource) : instagram;
    FetchRecorder first, second;
    first.fetch(source, text);
    second.fetch(source, text);
    QVERIFY(first.waitFinished() && second.waitFinished());

    const InstagramProfile profile = first.updates.last().profile;
    QCOMPARE(profile.username, username);
    QCOMPARE(profile.displayName, displayName);
    QCOMPARE(profile.avatarURL.toString(), Config::current().placeholderImageBase() + avatarSeed + "/240/240");
    QCOMPARE(profile.isVerified, verified);
    QCOMPARE(profile.platform, facebook ? SocialPlatform::facebook : SocialPlatform::instagram);
    QVERIFY2(profile.isDemo, "a made-up profile says so");

    // Same account twice: a fresh id each time, the same generated numbers within one run.
    const InstagramProfile again = second.updates.last().profile;
    QVERIFY(profile.id != again.id);
    QCOMPARE(again.followerCount, profile.followerCount);
    QCOMPARE(second.updates.last().reels.at(3).viewCount, first.updates.last().reels.at(3).viewCount);
}

void TestDemoSources::cancellation_data()
{
    QTest::addColumn<int>("cancelAfterMs");
    QTest::addColumn<int>("expectedUpdates");

    QTest::newRow("before the call") << -1 << 0;
    QTest::newRow("during the first wait") << 200 << 0;
    QTest::newRow("during the second wait") << 800 << 1;
}

void TestDemoSources::cancellation()
{
    QFETCH(int, cancelAfterMs);
    QFETCH(int, expectedUpdates);

    DemoInstagramService source;
    FetchRecorder recorder;
    Cancellation cancel;
    if (cancelAfterMs < 0)
        cancel.cancel();
    recorder.fetch(source, QStringLiteral("nasa"), cancel);
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

    QTest::qWait(1200); // nothing more arrives after a cancelled end
    QCOMPARE(recorder.updates.size(), expectedUpdates);
    QCOMPARE(recorder.completions, 1);
}

void TestDemoSources::concurrentFetchesAreIndependent()
{
    DemoInstagramService source;
    FetchRecorder kept, dropped;
    Cancellation cancel;
    kept.fetch(source, QStringLiteral("first"));
    dropped.fetch(source, QStringLiteral("second"), cancel);
    QTest::qWait(100);
    cancel.cancel();
    QVERIFY(kept.waitFinished() && dropped.waitFinished());
    QVERIFY(kept.outcome->succeeded());
    QCOMPARE(kept.updates.size(), 2);
    QCOMPARE(kept.updates.last().profile.username, "first");
    QVERIFY(dropped.outcome->wasCancelled());
}

void TestDemoSources::pseudoCountStaysInRangeAndIsStable()
{
    for (int i = 0; i < 2000; ++i) {
        const QString seed = QStringLiteral("seed-%1").arg(i);
        const qint64 value = pseudoCount(seed, i % 13, 5, 9);
        QVERIFY(value >= 5 && value < 9);
        QCOMPARE(pseudoCount(seed, i % 13, 5, 9), value);
    }
    QCOMPARE(pseudoCount(QStringLiteral("x"), 1, 7, 8), 7);
}

QTEST_GUILESS_MAIN(TestDemoSources)
#include "tst_demosources.moc"
