// The Facebook source against simulated pages in the real browser engine: what the page script
// finds, how the two pages combine into reels, every way a fetch ends, and that the hidden page
// never outlives its operation.

#include "FacebookSimulator.h"
#include "FetchRecorder.h"
#include "SignInCookies.h"
#include "Spin.h"
#include "TestEnvironment.h"

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "core/Config.h"
#include "core/WebIdentity.h"
#include "sources/HiddenWebExtractor.h"
#include "sources/RealFacebookService.h"

#include <QGuiApplication>
#include <QWebEnginePage>
#include <QtTest>
#include <QtWebEngineQuick>

// Rows name only the fields of a page or a result that they need.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Page = FacebookSimulator::Page;
using Sim = FacebookSimulator;
constexpr auto reels = FacebookSimulator::Tab::reels;
constexpr auto videos = FacebookSimulator::Tab::videos;

namespace {

const QString placeholder = QStringLiteral("<placeholder>");
const QByteArray probeAgent = "ClipDockProbe/1.0";

int livePages(const QObject &owner)
{
    return int(owner.findChildren<QWebEnginePage *>().size());
}

void setWaits(const QByteArray &settleMs, const QByteArray &scrollMs)
{
    qputenv("CLIPDOCK_FB_SETTLE_MS", settleMs);
    qputenv("CLIPDOCK_FB_SCROLL_MS", scrollMs);
    Config::reload();
}

using Outcomes = std::vector<Outcome<InstagramServiceError, ExtractionResult>>;

// Reads `url` with an extractor of its own: every outcome reported once the first came and the
// page is gone.
Outcomes extract(const QUrl &url, const QString &agent, int passes, int loadTimeoutMs = 30000)
{
    QObject owner;
    auto *extractor = new HiddenWebExtractor(&owner);
    extractor->setLoadTimeoutMs(loadTimeoutMs);
    Outcomes outcomes;
    extractor->extractFacebookVideos(url, agent, passes, {}, &owner,
                                     [&](const auto &result) { outcomes.push_back(result); });
    spinUntil([&] { return !outcomes.empty() && livePages(owner) == 0; });
    return outcomes;
}

} // namespace

Q_DECLARE_METATYPE(ExtractionResult)

class TestFacebook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The engine applies cookies given to the store only once a page of the profile loads.
        QWebEnginePage blank(BrowserStore::profile());
        QSignalSpy loaded(&blank, &QWebEnginePage::loadFinished);
        blank.load(QUrl(QStringLiteral("about:blank")));
        QVERIFY(loaded.wait(20000));
        m_facebook.pointAppAtIt();
        m_facebook.addSampleAccounts();
        signIn();
    }
    void cleanup() { setWaits("200", "50"); }

    void fromScriptValue_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<ExtractionResult>("expected");
        QTest::newRow("nothing") << QVariant() << ExtractionResult();
        QTest::newRow("wrong types") << QVariant(QVariantMap{ { "videos", "v1" }, { "thumbs", QVariantList{ "t1", 2 } },
                                                              { "title", 7 }, { "htmlLength", "42" } }) << ExtractionResult();
        QTest::newRow("empty title, fraction") << QVariant(QVariantMap{ { "title", "" }, { "htmlLength", 4.5 } }) << ExtractionResult();
        QTest::newRow("length beyond int") << QVariant(QVariantMap{ { "htmlLength", 3e9 } }) << ExtractionResult{ {}, {}, {}, 3000000000 };
    }
    void fromScriptValue()
    {
        QFETCH(QVariant, value);
        QTEST(ExtractionResult::from(value), "expected");
    }

    // A video that is no address is skipped; thumbnails pair with videos by position.
    void build()
    {
        const QString v1 = Sim::videoAddress("a"), v2 = Sim::videoAddress("b"), t1 = Sim::imageAddress("a");
        const QStringList videos{ v1, "no address", "/relative.mp4", v2, v2 + "&x" };
        const QList<int> positions{ 0, 3, 4 };
        const QDateTime before = QDateTime::currentDateTime();
        const QList<Reel> built =
                RealFacebookService::build({ videos, { "no address", t1, t1, t1 }, {}, 0 }, "page");
        QCOMPARE(built.size(), positions.size());
        for (int r = 0; r < built.size(); ++r) {
            const Reel &reel = built.at(r);
            const QString id = QStringLiteral("^fb-page-%1-\\d+$").arg(positions.at(r));
            QVERIFY2(QRegularExpression(id).match(reel.id).hasMatch(), qPrintable(reel.id));
            const QString placeholderURL = Config::current().placeholderImageBase() + reel.id + "/640/360";
            QCOMPARE(reel.thumbnailURL, QUrl(positions.at(r) == 3 ? t1 : placeholderURL));
            QCOMPARE(reel.variants.values(), QList<QUrl>(4, QUrl(videos.at(positions.at(r)))));
            QCOMPARE(reel.durationSeconds, qint64(30));
            QVERIFY(reel.postedAt >= before && reel.postedAt <= QDateTime::currentDateTime());
        }
    }

    // Scrolling stops at the first pass that adds neither page height nor a video address, and
    // never goes beyond the passes asked for.
    void extraction_data()
    {
        QTest::addColumn<Page>("page");
        QTest::addColumn<int>("passes");
        QTest::addColumn<int>("scrolled");
        QTest::addColumn<ExtractionResult>("expected"); // its length is not compared
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, const Page &page, int passes, int scrolled,
                            const ExtractionResult &expected = {}, const QString &error = {}) {
            QTest::newRow(name) << page << passes << scrolled << expected << error;
        };

        const QString a = Sim::videoAddress("a"), ig = Sim::instagramVideoAddress("i"),
                      other = Sim::otherVideoAddress("o"), element = m_facebook.servedAddress("/e.mp4");
        const QString t1 = Sim::imageAddress("1"), t2 = Sim::imageAddress("2");
        QStringList lazy;
        for (int i = 0; i < 8; ++i)
            lazy.append(Sim::videoAddress("l" + QString::number(i)));
        row("escaped and plain copies once, element after, blob dropped",
            { .title = "Name | Facebook", .embeddedVideos = { a, ig }, .textVideos = { a },
              .elementVideos = { element }, .blobVideoElements = 1, .thumbnails = { t1, t2, t1 } },
            1, 1, { { a, ig, element }, { t1, t2 }, "Name" });
        row("cdn addresses shut out others", { .title = "Name - Facebook Watch", .embeddedVideos = { a },
            .textVideos = { other } }, 1, 1, { { a }, {}, "Name" });
        row("any mp4 when no cdn address", { .title = "  Spaced Name \t| FACEBOOK  ", .textVideos = { other } },
            1, 1, { { other }, {}, "Spaced Name" });
        row("no separator keeps the title", { .title = "Facebook" }, 1, 1, { {}, {}, "Facebook" });
        row("no title, nothing grows: one pass", {}, 6, 1);
        row("error status page still read", { .title = "Lost", .embeddedVideos = { a }, .status = 404 }, 1, 1,
            { { a }, {}, "Lost" });
        row("lazy videos need scrolling", { .lazyVideos = lazy }, 0, 0);
        row("stops a pass after the last lazy video", { .lazyVideos = lazy.mid(0, 2) }, 6, 3, { lazy.mid(0, 2) });
        row("keeps growing: every pass", { .lazyVideos = lazy }, 6, 6, { lazy.mid(0, 6) });
        row("grows without videos", { .endless = true }, 3, 3);
        row("videos without growth", { .lazyVideos = lazy, .revealHeight = 0 }, 3, 3, { lazy.mid(0, 3) });
        row("no answer", { .stall = true }, 1, 0, {}, "The request timed out.");
    }
    void extraction()
    {
        QFETCH(Page, page);
        QFETCH(int, passes);
        QFETCH(int, scrolled);
        QFETCH(QString, error);
        setWaits("200", "300");
        m_facebook.setPage("extract", reels, page);
        m_server.clearRequests();
        const auto outcomes =
                extract(m_facebook.url("extract", reels), probeAgent, passes, page.stall ? 500 : 30000);
        QCOMPARE(outcomes.size(), 1u);
        QCOMPARE(m_facebook.requests("extract", reels).first().header("User-Agent"), probeAgent);
        const auto &outcome = outcomes.front();
        QCOMPARE(outcome.failed() ? outcome.error().errorDescription() : QString(), error);
        QTRY_COMPARE(m_facebook.scrollsSeen("extract", reels), scrolled);
        if (outcome.succeeded()) {
            ExtractionResult found = outcome.value();
            QVERIFY(found.htmlLength > 0);
            found.htmlLength = 0;
            QTEST(found, "expected");
        }
    }

    // The reels page is read, and the videos page when the first shows no video; each is told as it
    // is read, with the session and the desktop user agent, and no page stays behind.
    void fetch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("handle");
        QTest::addColumn<QString>("displayName"); // empty: no update
        QTest::addColumn<QStringList>("thumbnails");
        QTest::addColumn<bool>("readsVideos");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, const QString &text, const QString &handle,
                            const QString &displayName, const QStringList &thumbnails, bool readsVideos,
                            const QString &error = {}) {
            QTest::newRow(name) << text << handle << displayName << thumbnails << readsVideos << error;
        };

        row("reels page", "reels.page", "reels.page", "Reels Page",
            { Sim::imageAddress("reels-1"), Sim::imageAddress("reels-2"), placeholder }, false);
        row("videos page after empty reels", "https://www.facebook.com/Videos.Page/", "videos.page", "Videos Page",
            { Sim::imageAddress("videos-0"), Sim::imageAddress("videos-1") }, true);
        row("no video anywhere", "empty.page", "empty.page", "Empty Page", {}, true,
            "HTTP 0: No MP4 addresses from the Facebook video CDN were found on /reels or /videos. HTML %1 bytes, "
            "thumbs: 1");
        row("page fails", "broken.page", "broken.page", {}, {}, false, "net::ERR_EMPTY_RESPONSE");
        row("signed out", "reels.page", "reels.page", {}, {}, false, "Sign in to Facebook first.");
    }
    void fetch()
    {
        QFETCH(QString, text);
        QFETCH(QString, handle);
        QFETCH(QString, displayName);
        QFETCH(QStringList, thumbnails);
        QFETCH(bool, readsVideos);
        QFETCH(QString, error);
        m_server.clearRequests();
        const bool signedOut = error.startsWith(QLatin1String("Sign in")); // the row is run signed out
        if (signedOut)
            m_auth->signOut();
        RealFacebookService service(m_auth, WebIdentity::desktopUserAgent());
        FetchRecorder recorder;
        QStringList steps;
        service.fetchProfile(text, {}, recorder.onUpdate(), [&](const FetchStep &step) {
            steps.append(recorder.finished() ? "after the end: " + step.text : step.text);
        }, recorder.done());
        QCOMPARE(recorder.completions, 0); // answered from the event loop
        QVERIFY(spinUntil([&] { return recorder.finished(); }));
        if (signedOut)
            signIn();

        const QStringList reading{ "Reading the reels page\u2026", "Reading the videos page\u2026" };
        QCOMPARE(steps, reading.mid(0, signedOut ? 0 : readsVideos ? 2 : 1));
        QCOMPARE(m_facebook.requests(handle, videos).size(), readsVideos ? 1 : 0);
        for (const auto &request : m_server.requests()) {
            QCOMPARE(request.header("User-Agent"), WebIdentity::desktopUserAgent().toUtf8());
            QVERIFY(request.header("Cookie").contains("c_user=1234"));
        }
        QTRY_COMPARE(livePages(service), 0);
        QCOMPARE(m_server.requests().isEmpty(), signedOut);
        if (error.contains("%1")) // the length of the last page read
            error = error.arg(extract(m_facebook.url(handle, videos), {}, 0).front().value().htmlLength);
        QCOMPARE(recorder.errorMessage(), error);
        QCOMPARE(recorder.updates.size(), displayName.isEmpty() ? 0 : 1);
        if (displayName.isEmpty())
            return;
        const auto &[profile, reels, at] = recorder.updates.first();
        QCOMPARE(profile.username, handle);
        QCOMPARE(profile.displayName, displayName);
        QCOMPARE(profile.reelCount, reels.size());
        QCOMPARE(reels.size(), thumbnails.size());
        for (int i = 0; i < reels.size(); ++i) {
            if (thumbnails.at(i) != placeholder)
                QCOMPARE(reels.at(i).thumbnailURL, QUrl(thumbnails.at(i)));
        }
        if (!reels.isEmpty())
            QCOMPARE(profile.avatarURL, QUrl(thumbnails.first()));
    }

    // Cancelling ends the fetch at once as cancelled; an owner that goes away takes the page
    // along and hears nothing more. Neither leaves an update behind.
    void interruptions_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : { "cancel while settling", "cancel while scrolling", "cancel before start",
                                 "destroy service", "destroy context", "destroy extractor" })
            QTest::newRow(how) << how;
    }
    void interruptions()
    {
        QFETCH(QString, how);
        setWaits(how.endsWith("scrolling") ? "0" : "60000", "60000");
        m_server.clearRequests();
        QObject root;
        auto *service = new RealFacebookService(m_auth, WebIdentity::desktopUserAgent(), &root);
        auto *context = new QObject(&root);
        auto *extractor = new HiddenWebExtractor(&root);
        FetchRecorder recorder;
        Cancellation cancel;
        const bool early = how.endsWith("before start"), cancelled = how.startsWith("cancel");
        if (early)
            cancel.cancel();
        if (how.endsWith("context") || how.endsWith("extractor"))
            extractor->extractFacebookVideos(m_facebook.url("reels.page", reels), {}, 1, {}, context,
                                             [&](auto &&) { ++recorder.completions; });
        else
            recorder.fetch(*service, "reels.page", cancel);
        if (!early) {
            QVERIFY(spinUntil([&] { return !m_server.requests().isEmpty(); }));
            spinUntil([] { return false; }, 500);
            QCOMPARE(livePages(root), 1);
        }

        QPointer<QWebEnginePage> page = root.findChild<QWebEnginePage *>();
        if (cancelled)
            cancel.cancel();
        else
            delete (how.endsWith("service") ? service : how.endsWith("context") ? context : static_cast<QObject *>(extractor));
        QCOMPARE(recorder.completions, 0); // never inside cancel()
        const auto settled = [&] { return page.isNull() && !livePages(root) && recorder.finished() == cancelled; };
        QVERIFY(spinUntil(settled, 5000));
        spinUntil([] { return false; }, 200);
        QCOMPARE(recorder.completions, cancelled ? 1 : 0);
        QVERIFY(!cancelled || recorder.outcome->wasCancelled());
        QVERIFY(recorder.updates.isEmpty());
        QCOMPARE(m_server.requestCount("/reels.page/reels"), early ? 0 : 1);
    }

private:
    // Signs in as the Facebook login page would: its session cookies land in the browser store.
    void signIn()
    {
        for (const auto &[name, value] : { std::pair("c_user", "1234"), std::pair("xs", "55%3Asecret") }) {
            const QNetworkCookie cookie = lastingCookie(name, value, m_server.origin().host());
            BrowserStore::instance()->setCookie(cookie, m_server.origin());
        }
        QTRY_VERIFY(m_auth->isSignedIn());
    }

    TestEnvironment m_environment;
    TestServer m_server{ QHostAddress(QStringLiteral("127.0.0.2")) };
    FacebookSimulator m_facebook{ m_server };
    PlatformAuth *m_auth = new PlatformAuth(SocialPlatform::facebook, nullptr, this);
};

int main(int argc, char *argv[])
{
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    setWaits("200", "50");
    TestFacebook test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_facebook.moc"
