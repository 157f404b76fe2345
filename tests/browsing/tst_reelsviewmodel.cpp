// The reels view model driven through a scripted source, and the app's own routing by sign-in.

#include "LocalInstagram.h"
#include "ScriptedSource.h"
#include "SignInCookies.h"
#include "TestEnvironment.h"

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "browsing/ReelsViewModel.h"

#include <QtTest>

using Phase = ReelsViewModel::Phase;
using E = InstagramServiceError;

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

    // A fetch appends each page's reels as rows. One that fails after reels were shown keeps them and
    // says why no more come; one that fails before any reel returns to the search screen with its message.
    void fetchEnds_data()
    {
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<Outcome<E>>("outcome");
        QTest::addColumn<bool>("keepsReels");
        QTest::addColumn<bool>("searchAgain"); // else a reset

        const auto row = [](const char *name, const QList<int> &pages, const Outcome<E> &outcome, bool keeps,
                            bool again) { QTest::newRow(name) << pages << outcome << keeps << again; };
        row("done after two pages", { 12, 24 }, Outcome<E>::success(), true, true);
        row("failed before any page", {}, E::rateLimited(), false, true);
        row("failed after a page without reels", { 0 }, E::noVideosFound(), false, false);
        row("failed on the third page", { 12, 24 }, E::rateLimited(), true, true);
        row("failed after one page", { 4 }, E::http(500, QStringLiteral("oops")), true, false);
    }
    void fetchEnds()
    {
        QFETCH(QList<int>, pages);
        QFETCH(Outcome<E>, outcome);
        QFETCH(bool, keepsReels);
        QFETCH(bool, searchAgain);
        const QString message = outcome.failed() ? outcome.error().errorDescription() : QString();

        auto &fetch = search(QStringLiteral("  NatGeo \n"));
        QCOMPARE(fetch.text, QStringLiteral("NatGeo"));
        QSignalSpy step(m_model.get(), &ReelsViewModel::loadingStepChanged);
        fetch.step(QStringLiteral("Reading the reels page"));
        QCOMPARE(m_model->loadingStep(), QStringLiteral("Reading the reels page"));
        auto *rows = m_model->reelModel();
        QSignalSpy resets(rows, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(rows, &QAbstractItemModel::rowsInserted);
        QSignalSpy phase(m_model.get(), &ReelsViewModel::phaseChanged);
        for (int count : pages)
            fetch.update(profileNamed("natgeo"), reelsCounted(count));
        QCOMPARE(phase.size(), pages.isEmpty() ? 0 : 1); // loaded once, not again for the next page
        phase.clear();
        QSignalSpy note(m_model.get(), &ReelsViewModel::loadingMoreErrorChanged);
        fetch.done(outcome);
        search(QStringLiteral(" \n\t "));
        QCOMPARE(m_source.fetches.size(), 1);
        QVERIFY(!m_model->isLoadingMore());
        QVERIFY(m_model->loadingStep().isEmpty());
        QCOMPARE(step.size(), 2);
        QCOMPARE(phase.isEmpty(), keepsReels);
        QCOMPARE(m_model->phase(), keepsReels ? Phase::Loaded : Phase::Error);
        QCOMPARE(m_model->errorMessage(), keepsReels ? QString() : message);
        QCOMPARE(m_model->loadingMoreError(), keepsReels ? message : QString());
        if (keepsReels) {
            QCOMPARE(m_model->reels(), reelsCounted(pages.last()));
            QCOMPARE(rows->rowCount(), pages.last());
            QCOMPARE(inserts.size(), pages.size());
            QCOMPARE(resets.size(), 0);
        }

        if (searchAgain)
            search();
        else
            m_model->reset();
        QCOMPARE(m_model->phase(), searchAgain ? Phase::Loading : Phase::Empty);
        QVERIFY(m_model->loadingMoreError().isEmpty());
        QCOMPARE(m_model->reelCount(), 0);
        QCOMPARE(note.size(), message.isEmpty() || !keepsReels ? 0 : 2); // once set, once cleared
    }

    // The model counts a wait down in the step's words. Stopping the wait ends the fetch and keeps the
    // reels; a new search or a reset drops them and all the older fetch still says. Choices stay.
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
        fetch.step(FetchStep(QStringLiteral("Instagram asked to slow down"), 1500));
        const QString words = QStringLiteral("Instagram asked to slow down \u2014 continuing in %1 s");
        QCOMPARE(m_model->waitSecondsLeft(), 2);
        QCOMPARE(m_model->loadingStep(), words.arg(2));
        QTRY_COMPARE(m_model->waitSecondsLeft(), 1);
        QCOMPARE(m_model->loadingStep(), words.arg(1));
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
            QCOMPARE(reelIds(m_model->reels()), (QStringList{ "b0", "b1" }));
        }
    }

    void selectionAndFilters()
    {
        search().update(profileNamed("natgeo"), reelsAged({ 2, 10, 40 }));

        m_model->setDateFilterKind(DateRangeFilter::Kind::last7);
        QCOMPARE(reelIds(m_model->filteredReels()), QStringList{ "r0" });
        QCOMPARE(m_model->filteredModel()->rowCount(), 1);
        QCOMPARE(m_model->primaryActionLabel(), QStringLiteral("Download All"));

        // With nothing selected the download filter alone decides, whatever the browsing one.
        m_model->setDownloadDateFilterKind(DateRangeFilter::Kind::last30);
        QCOMPARE(reelIds(m_model->reelsToDownload()), (QStringList{ "r0", "r1" }));

        // Select all takes the reels the browsing filter hides, too.
        m_model->selectAll();
        QCOMPARE(reelIds(m_model->reelsToDownload()), (QStringList{ "r0", "r1", "r2" }));
        QCOMPARE(m_model->primaryActionLabel(), QStringLiteral("Download 3"));

        m_model->toggleSelection(QStringLiteral("r1"));
        QCOMPARE(reelIds(m_model->reelsToDownload()), (QStringList{ "r0", "r2" }));
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

    // A date filter is applied again by itself when its answer changes: at local midnight, and for
    // "last N days" when a reel's N whole days (from its own time of day) run out. Each step moves
    // the clock past the next such moment.
    void dateFiltersFollowTheClock_data()
    {
        QTest::addColumn<DateRangeFilter::Kind>("kind");
        QTest::addColumn<bool>("forDownload");
        QTest::addColumn<QList<QDateTime>>("posted");
        QTest::addColumn<QList<QDateTime>>("clock"); // when the reels arrive, then each step
        QTest::addColumn<QList<QStringList>>("shown"); // at each reading of the clock

        const auto at = [](int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0) {
            return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
        };
        QTest::newRow("last 7 days, browsing")
                << DateRangeFilter::Kind::last7 << false
                << QList<QDateTime>{ at(2024, 6, 10, 12), at(2024, 6, 7, 0, 0, 0, 400), at(2024, 6, 7) }
                << QList<QDateTime>{ at(2024, 6, 14, 23, 59, 59, 600), at(2024, 6, 15, 0, 0, 0, 100),
                                     at(2024, 6, 15, 0, 0, 0, 500) }
                << QList<QStringList>{ { "r0", "r1", "r2" }, { "r0", "r1" }, { "r0" } };
        QTest::newRow("this year, download")
                << DateRangeFilter::Kind::thisYear << true
                << QList<QDateTime>{ at(2024, 12, 31, 10), at(2024, 6, 1) }
                << QList<QDateTime>{ at(2024, 12, 31, 23, 59, 59, 600), at(2025, 1, 1, 0, 0, 0, 100) }
                << QList<QStringList>{ { "r0", "r1" }, {} };
    }

    void dateFiltersFollowTheClock()
    {
        QFETCH(DateRangeFilter::Kind, kind);
        QFETCH(bool, forDownload);
        QFETCH(QList<QDateTime>, posted);
        QFETCH(QList<QDateTime>, clock);
        QFETCH(QList<QStringList>, shown);
        const auto now = std::make_shared<QDateTime>(clock.first());
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
        const auto ids = [&] { return reelIds(forDownload ? m_model->reelsToDownload() : rows->reels()); };
        QCOMPARE(ids(), shown.first());
        QSignalSpy resets(rows, &QAbstractItemModel::modelReset);
        QSignalSpy counts(m_model.get(), &ReelsViewModel::downloadCountChanged);
        for (int i = 1; i < clock.size(); ++i) {
            counts.clear();
            *now = clock.at(i);
            // The download count is worked out when asked: what matters is that it is announced.
            if (forDownload)
                QTRY_VERIFY_WITH_TIMEOUT(!counts.isEmpty(), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(ids(), shown.at(i), 10000);
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
        QTest::addColumn<QString>("error");

        QTest::newRow("instagram demo") << "natgeo" << false << "instagram" << "";
        QTest::newRow("facebook demo") << "https://facebook.com/natgeo" << false << "facebook" << "";
        QTest::newRow("instagram real") << "https://www.instagram.com/nasa/" << true << "instagram" << "";
        QTest::newRow("unknown real profile") << "nobody" << true << "" << "We couldn't find that profile.";
        QTest::newRow("unreadable link")
                << "@/?=:&#" << false << "" << "That doesn't look like a valid Instagram or Facebook link.";
    }

    void routing()
    {
        QFETCH(QString, text);
        QFETCH(bool, signedIn);
        QFETCH(QString, platform);
        QFETCH(QString, error);

        LocalInstagram instagram;
        instagram.simulator.addProfile(QStringLiteral("nasa"), 30, 12);
        if (signedIn)
            Http::jar()->insertCookie(lastingCookie("sessionid", "s3ss", instagram.server.origin().host()));
        PlatformAuth instagramAuth(SocialPlatform::instagram, &m_store); // after the jar has its cookie
        PlatformAuth facebookAuth(SocialPlatform::facebook, &m_store);
        ReelsViewModel model(&instagramAuth, &facebookAuth);
        model.setInputText(text);
        model.search();
        QTRY_VERIFY_WITH_TIMEOUT(!model.isLoadingMore(), 20000);

        QCOMPARE(model.phase(), error.isEmpty() ? Phase::Loaded : Phase::Error);
        QCOMPARE(error.isEmpty() ? model.loadingMoreError() : model.errorMessage(), error);
        if (!error.isEmpty())
            return;
        QCOMPARE(model.profile()->platform, *socialPlatformFromRaw(platform));
        QVERIFY(model.reelCount() > 0);
        QCOMPARE(instagram.simulator.pagesServed(), signedIn ? 3 : 0); // the real walk reads every page
    }

};

QTEST_GUILESS_MAIN(TestReelsViewModel)
#include "tst_reelsviewmodel.moc"
