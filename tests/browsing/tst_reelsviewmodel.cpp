// The reels view model: its phases as a fetch runs and how it ends, what a newer search or a reset
// does to a fetch still running, selection and the two date filters as the clock moves on, and
// routing of a search to the demo or the real source by sign-in state.

#include "InstagramSimulator.h"
#include "ScriptedSource.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "browsing/ReelsViewModel.h"
#include "core/Http.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

InstagramProfile profileNamed(const QString &username)
{
    InstagramProfile profile;
    profile.username = username;
    return profile;
}

QList<Reel> reelsAged(const QList<int> &daysAgo, const QString &prefix = QStringLiteral("r"))
{
    // One clock reading for the whole run, so that two lists of the same reels are equal and a
    // longer one extends a shorter one.
    static const QDateTime now = QDateTime::currentDateTime();
    QList<Reel> reels;
    for (int i = 0; i < daysAgo.size(); ++i) {
        Reel reel;
        reel.id = prefix + QString::number(i);
        reel.variants.insert(VideoQuality::hd720, QUrl(QStringLiteral("https://cdn.test/%1.mp4").arg(i)));
        reel.postedAt = now.addDays(-daysAgo.at(i));
        reels.append(reel);
    }
    return reels;
}

QList<Reel> reelsCounted(int count, const QString &prefix = QStringLiteral("r"))
{
    return reelsAged(QList<int>(count, 1), prefix);
}

QStringList ids(const QList<Reel> &reels)
{
    QStringList list;
    for (const auto &reel : reels)
        list.append(reel.id);
    return list;
}

using Phase = ReelsViewModel::Phase;
using E = InstagramServiceError;

} // namespace

class TestReelsViewModel : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    BrowserStore m_store; // a browser without an engine: the tests play it
    ScriptedSource m_source;
    std::unique_ptr<PlatformAuth> m_instagramAuth;
    std::unique_ptr<PlatformAuth> m_facebookAuth;
    std::unique_ptr<ReelsViewModel> m_model;

    ScriptedSource::Fetch &search(const QString &text = QStringLiteral("natgeo"))
    {
        m_model->setInputText(text);
        m_model->search();
        return m_source.fetches.last();
    }

private slots:
    void init()
    {
        Http::jar()->setAllCookies({});
        m_instagramAuth = std::make_unique<PlatformAuth>(SocialPlatform::instagram, &m_store);
        m_facebookAuth = std::make_unique<PlatformAuth>(SocialPlatform::facebook, &m_store);
        m_source = ScriptedSource();
        m_model = std::make_unique<ReelsViewModel>(m_instagramAuth.get(), m_facebookAuth.get(), &m_source);
    }
    void cleanup() { m_model.reset(); }

    void updatesReplaceTheListAndAppendRows()
    {
        auto &fetch = search(QStringLiteral("  NatGeo \n"));
        QCOMPARE(fetch.text, QStringLiteral("NatGeo"));
        QCOMPARE(m_model->phase(), Phase::Loading);
        QVERIFY(m_model->isLoadingMore());
        QSignalSpy step(m_model.get(), &ReelsViewModel::loadingStepChanged);
        QVERIFY(fetch.step);
        fetch.step(QStringLiteral("Reading the reels page"));
        QCOMPARE(m_model->loadingStep(), QStringLiteral("Reading the reels page"));

        auto *rows = m_model->reelModel();
        QSignalSpy resets(rows, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(rows, &QAbstractItemModel::rowsInserted);
        QSignalSpy phase(m_model.get(), &ReelsViewModel::phaseChanged);
        fetch.update(profileNamed("natgeo"), reelsCounted(12));
        fetch.update(profileNamed("natgeo"), reelsCounted(24));
        QCOMPARE(m_model->reels(), reelsCounted(24));
        QCOMPARE(rows->rowCount(), 24);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(inserts.size(), 2);
        QCOMPARE(phase.size(), 1); // loaded once, not again for the second page
        QVERIFY(m_model->isLoadingMore());

        fetch.done(Outcome<E>::success());
        QCOMPARE(m_model->phase(), Phase::Loaded);
        QVERIFY(!m_model->isLoadingMore());
        QVERIFY(m_model->loadingStep().isEmpty());
        QCOMPARE(step.size(), 2);
    }

    // A failure before any reel was shown sends the search screen back with the message; one
    // after reels were shown keeps them, ends loading more and says why no more come. A blank
    // search changes none of it.
    void failureEndsTheFetch_data()
    {
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<E>("error");
        QTest::addColumn<bool>("keepsReels");
        QTest::addColumn<QString>("then");

        QTest::newRow("before any page") << QList<int>{} << E::rateLimited() << false << "search";
        QTest::newRow("after a page without reels") << QList<int>{ 0 } << E::noVideosFound() << false << "reset";
        QTest::newRow("on the third page") << QList<int>{ 12, 24 } << E::rateLimited() << true << "search";
        QTest::newRow("after one page") << QList<int>{ 4 } << E::http(500, QStringLiteral("oops")) << true << "reset";
    }
    void failureEndsTheFetch()
    {
        QFETCH(QList<int>, pages);
        QFETCH(E, error);
        QFETCH(bool, keepsReels);
        QFETCH(QString, then);

        auto &fetch = search();
        for (int count : pages)
            fetch.update(profileNamed("natgeo"), reelsCounted(count));
        QSignalSpy phase(m_model.get(), &ReelsViewModel::phaseChanged);
        QSignalSpy note(m_model.get(), &ReelsViewModel::loadingMoreErrorChanged);
        fetch.done(error);
        search(QStringLiteral(" \n\t "));
        QCOMPARE(m_source.fetches.size(), 1);
        QVERIFY(!m_model->isLoadingMore());
        QCOMPARE(phase.isEmpty(), keepsReels);
        QCOMPARE(m_model->phase(), keepsReels ? Phase::Loaded : Phase::Error);
        QCOMPARE(m_model->errorMessage(), keepsReels ? QString() : error.errorDescription());
        QCOMPARE(m_model->loadingMoreError(), keepsReels ? error.errorDescription() : QString());
        QCOMPARE(note.size(), keepsReels ? 1 : 0);
        if (keepsReels) {
            QCOMPARE(m_model->reels(), reelsCounted(pages.last()));
            QCOMPARE(m_model->reelModel()->rowCount(), pages.last());
        }

        // The note belongs to the profile it was about.
        if (then == QLatin1String("search"))
            search();
        else
            m_model->reset();
        QCOMPARE(m_model->phase(), then == QLatin1String("search") ? Phase::Loading : Phase::Empty);
        QVERIFY(m_model->loadingMoreError().isEmpty());
        QCOMPARE(m_model->reelCount(), 0);
        QCOMPARE(note.size(), keepsReels ? 2 : 0);
    }

    // While the source waits for the platform the model counts the seconds down in the step's
    // words. The wait ends by itself; stopping it ends the fetch, keeps the reels received and
    // shows no error; a new search or a reset ends it with them, and whatever the older fetch
    // still says (it may ignore the cancellation for a moment) reaches the model no more. What
    // the person chose stays.
    void waitsForThePlatform_data()
    {
        QTest::addColumn<int>("reels"); // delivered before the wait
        QTest::addColumn<QString>("end");
        QTest::addColumn<Phase>("phase");

        QTest::newRow("goes on by itself") << 12 << "goes on" << Phase::Loaded;
        QTest::newRow("stopped") << 12 << "stop" << Phase::Loaded;
        QTest::newRow("stopped before any reel") << 0 << "stop" << Phase::Empty;
        QTest::newRow("a new search") << 12 << "search" << Phase::Loading;
        QTest::newRow("a reset before any reel") << 0 << "reset" << Phase::Empty;
    }
    void waitsForThePlatform()
    {
        QFETCH(int, reels);
        QFETCH(QString, end);

        m_model->setLayout(ReelsViewModel::LayoutMode::List);
        m_model->setDateFilterKind(DateRangeFilter::Kind::last30);
        auto fetch = search();
        if (reels > 0)
            fetch.update(profileNamed("natgeo"), reelsCounted(reels));
        QVERIFY(fetch.step);
        fetch.step(FetchStep(QStringLiteral("Instagram asked to slow down"), 1500));
        const auto words = [](int seconds) {
            return QStringLiteral("Instagram asked to slow down \u2014 continuing in %1 s").arg(seconds);
        };
        QCOMPARE(m_model->waitSecondsLeft(), 2);
        QCOMPARE(m_model->loadingStep(), words(2));
        QTRY_COMPARE(m_model->waitSecondsLeft(), 1);
        QCOMPARE(m_model->loadingStep(), words(1));
        QVERIFY(m_model->isLoadingMore());

        const bool goesOn = end == QLatin1String("goes on"), stops = end == QLatin1String("stop");
        if (goesOn) {
            fetch.step(FetchStep());
            fetch.update(profileNamed("natgeo"), reelsCounted(reels + 12));
        } else if (stops) {
            m_model->stopWaiting();
        } else if (end == QLatin1String("search")) {
            search();
        } else {
            m_model->reset();
        }
        QCOMPARE(fetch.cancel.isCancelled(), !goesOn);
        if (stops) {
            fetch.done(Outcome<E>::cancelled());
        } else if (!goesOn) {
            fetch.step(FetchStep(QStringLiteral("stale step"), 5000));
            fetch.update(profileNamed("natgeo"), reelsCounted(reels + 6, "a"));
            fetch.done(E::profileNotFound());
        }
        QTest::qWait(1100); // the countdown has stopped
        QCOMPARE(m_model->waitSecondsLeft(), 0);
        QVERIFY(m_model->loadingStep().isEmpty());
        QTEST(m_model->phase(), "phase");
        QVERIFY(m_model->errorMessage().isEmpty());
        QVERIFY(m_model->loadingMoreError().isEmpty());
        QCOMPARE(m_model->isLoadingMore(), goesOn || end == QLatin1String("search"));
        QCOMPARE(m_model->reelCount(), goesOn ? reels + 12 : stops ? reels : 0);
        QCOMPARE(m_model->inputText().isEmpty(), end == QLatin1String("reset"));
        QCOMPARE(m_model->layout(), ReelsViewModel::LayoutMode::List);
        QCOMPARE(m_model->dateFilter().kind(), DateRangeFilter::Kind::last30);
        if (end == QLatin1String("search")) { // the newer fetch is heard
            m_source.fetches.last().update(profileNamed("second"), reelsCounted(2, "b"));
            QCOMPARE(ids(m_model->reels()), (QStringList{ "b0", "b1" }));
        }
    }

    void selectionAndFilters()
    {
        search().update(profileNamed("natgeo"), reelsAged({ 2, 10, 40 }));

        m_model->setDateFilterKind(DateRangeFilter::Kind::last7);
        QCOMPARE(ids(m_model->filteredReels()), QStringList{ "r0" });
        QCOMPARE(m_model->filteredModel()->rowCount(), 1);
        QCOMPARE(m_model->primaryActionLabel(), QStringLiteral("Download All"));

        // With nothing selected the download filter alone decides, whatever the browsing one.
        m_model->setDownloadDateFilterKind(DateRangeFilter::Kind::last30);
        QCOMPARE(ids(m_model->reelsToDownload()), (QStringList{ "r0", "r1" }));
        QCOMPARE(m_model->downloadCount(), 2);

        // Select all takes the reels the browsing filter hides, too.
        m_model->selectAll();
        QCOMPARE(ids(m_model->reelsToDownload()), (QStringList{ "r0", "r1", "r2" }));
        QCOMPARE(m_model->primaryActionLabel(), QStringLiteral("Download 3"));

        m_model->toggleSelection(QStringLiteral("r1"));
        QCOMPARE(ids(m_model->reelsToDownload()), (QStringList{ "r0", "r2" }));
        QVERIFY(!m_model->isSelectionMode()); // toggling a reel does not start selection mode

        m_model->toggleSelectionMode();
        m_model->clearSelection();
        QVERIFY(m_model->isSelectionMode());
        m_model->toggleSelection(QStringLiteral("r2"));
        m_model->toggleSelectionMode();
        QCOMPARE(m_model->selectedCount(), 0);

        // The reel rows follow the selection in place.
        QSignalSpy changed(m_model->reelModel(), &QAbstractItemModel::dataChanged);
        m_model->toggleSelection(QStringLiteral("r1"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
    }

    // A time-dependent filter is applied again when its answer changes, without anything else
    // happening: at local midnight, and for a "last N days" filter when a reel's N whole days
    // (counted from its own time of day) run out. Each step moves the clock past the next such
    // moment; the list that follows must come by itself.
    void dateFiltersFollowTheClock_data()
    {
        QTest::addColumn<DateRangeFilter::Kind>("kind");
        QTest::addColumn<bool>("forDownload");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QList<QDateTime>>("posted");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QList<QDateTime>>("steps");
        QTest::addColumn<QList<QStringList>>("after");

        const auto at = [](int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0) {
            return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
        };
        QTest::newRow("last 7 days, browsing")
                << DateRangeFilter::Kind::last7 << false << at(2024, 6, 14, 23, 59, 59, 600)
                << QList<QDateTime>{ at(2024, 6, 10, 12), at(2024, 6, 7, 0, 0, 0, 400), at(2024, 6, 7) }
                << QStringList{ "r0", "r1", "r2" }
                << QList<QDateTime>{ at(2024, 6, 15, 0, 0, 0, 100), at(2024, 6, 15, 0, 0, 0, 500) }
                << QList<QStringList>{ { "r0", "r1" }, { "r0" } };
        QTest::newRow("this year, download")
                << DateRangeFilter::Kind::thisYear << true << at(2024, 12, 31, 23, 59, 59, 600)
                << QList<QDateTime>{ at(2024, 12, 31, 10), at(2024, 6, 1) }
                << QStringList{ "r0", "r1" }
                << QList<QDateTime>{ at(2025, 1, 1, 0, 0, 0, 100) } << QList<QStringList>{ {} };
    }

    void dateFiltersFollowTheClock()
    {
        QFETCH(DateRangeFilter::Kind, kind);
        QFETCH(bool, forDownload);
        QFETCH(QDateTime, start);
        QFETCH(QList<QDateTime>, posted);
        QFETCH(QStringList, before);
        QFETCH(QList<QDateTime>, steps);
        QFETCH(QList<QStringList>, after);
        const auto now = std::make_shared<QDateTime>(start);
        m_model->setClock([now] { return *now; });
        QList<Reel> reels = reelsCounted(int(posted.size()));
        for (int i = 0; i < reels.size(); ++i)
            reels[i].postedAt = posted.at(i);
        auto *rows = m_model->filteredModel();
        QAbstractItemModelTester tester(rows);
        if (forDownload)
            m_model->setDownloadDateFilterKind(kind);
        else
            m_model->setDateFilterKind(kind);
        search().update(profileNamed("natgeo"), reels);
        const auto shown = [&] { return ids(forDownload ? m_model->reelsToDownload() : rows->reels()); };
        QCOMPARE(shown(), before);
        QSignalSpy resets(rows, &QAbstractItemModel::modelReset);
        QSignalSpy counts(m_model.get(), &ReelsViewModel::downloadCountChanged);
        for (int i = 0; i < steps.size(); ++i) {
            counts.clear();
            *now = steps.at(i);
            // The download count is worked out when asked: what matters is that it is announced.
            if (forDownload)
                QTRY_VERIFY_WITH_TIMEOUT(!counts.isEmpty(), 10000);
            else
                QTRY_COMPARE_WITH_TIMEOUT(rows->rowCount(), int(after.at(i).size()), 10000);
            QCOMPARE(shown(), after.at(i));
        }
        QCOMPARE(resets.size(), 0); // reels leaving the end of the list keep the rows before them
    }

    // The app's own model routes to the demo sources while signed out and to the platform when
    // signed in; a link it cannot read is refused with its message.
    void routing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("reels");
        QTest::addColumn<QString>("error");

        QTest::newRow("instagram demo") << "natgeo" << false << "instagram" << -1 << "";
        QTest::newRow("facebook demo") << "https://facebook.com/natgeo" << false << "facebook" << -1 << "";
        QTest::newRow("instagram real") << "https://www.instagram.com/nasa/" << true << "instagram" << 30 << "";
        QTest::newRow("rate limited on the third page")
                << "busybee" << true << "instagram" << 24 << "Too many requests \u2014 try again in a moment.";
        QTest::newRow("unknown real profile") << "nobody" << true << "" << 0 << "We couldn't find that profile.";
        QTest::newRow("unreadable link")
                << "@/?=:&#" << false << "" << 0 << "That doesn't look like a valid Instagram or Facebook link.";
    }

    void routing()
    {
        QFETCH(QString, text);
        QFETCH(bool, signedIn);
        QFETCH(QString, platform);
        QFETCH(int, reels);
        QFETCH(QString, error);

        TestServer server;
        InstagramSimulator instagram(server);
        instagram.addProfile(QStringLiteral("nasa"), 30, 12);
        instagram.addProfile(QStringLiteral("busybee"), 36, 12);
        instagram.setPageResponse(QStringLiteral("busybee"), 3, TestServer::Response::text("Please wait a few minutes.", 429));
        qputenv("CLIPDOCK_RATE_LIMIT_WAITS_MS", "1,1,1");
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", server.origin() } });
        QNetworkCookie session("sessionid", "s3ss");
        session.setDomain(server.origin().host());
        session.setPath(QStringLiteral("/"));
        if (signedIn)
            Http::jar()->insertCookie(session);
        PlatformAuth instagramAuth(SocialPlatform::instagram, &m_store);
        PlatformAuth facebookAuth(SocialPlatform::facebook, &m_store);
        QCOMPARE(instagramAuth.isSignedIn(), signedIn);

        ReelsViewModel model(&instagramAuth, &facebookAuth);
        QSignalSpy resets(model.reelModel(), &QAbstractItemModel::modelReset);
        model.setInputText(text);
        model.search();
        QTRY_VERIFY_WITH_TIMEOUT(!model.isLoadingMore(), 20000);

        QCOMPARE(model.phase(), reels == 0 ? Phase::Error : Phase::Loaded);
        QCOMPARE(reels == 0 ? model.errorMessage() : model.loadingMoreError(), error);
        if (reels == 0)
            return;
        QCOMPARE(model.profile()->platform, *socialPlatformFromRaw(platform));
        if (reels >= 0)
            QCOMPARE(model.reelCount(), reels);
        QVERIFY(model.reelCount() > 0);
        QCOMPARE(model.reelModel()->rowCount(), model.reelCount());
        QCOMPARE(resets.size(), 0); // every page was appended
        // busybee's third page is asked for again after each of the three waits.
        QCOMPARE(instagram.pagesServed(), !signedIn ? 0 : error.isEmpty() ? 3 : 6);
    }

};

QTEST_GUILESS_MAIN(TestReelsViewModel)
#include "tst_reelsviewmodel.moc"
