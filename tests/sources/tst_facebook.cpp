// The Facebook source against simulated pages in the real browser engine: what the page script
// finds, how the two pages combine into reels, every way a fetch ends, and that the hidden page
// never outlives its operation.

#include "FacebookSimulator.h"
#include "FetchRecorder.h"
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
        const QVariantMap full{ { "videos", QVariantList{ "v1", "v2" } }, { "thumbs", QVariantList{ "t1" } },
                                { "title", "Name" }, { "htmlLength", 42 } };
        QTest::newRow("object") << QVariant(full) << ExtractionResult{ { "v1", "v2" }, { "t1" }, "Name", 42 };
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

    void build_data()
    {
        QTest::addColumn<QStringList>("videos");
        QTest::addColumn<QStringList>("thumbs");
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QStringList>("thumbnails");

        const QString v1 = Sim::videoAddress("a"), v2 = Sim::videoAddress("b"), t1 = Sim::imageAddress("a");
        QTest::newRow("three videos, one thumbnail") << QStringList{ v1, v2, v2 + "&x" } << QStringList{ t1 }
                << QList<int>{ 0, 1, 2 } << QStringList{ t1, placeholder, placeholder };
        QTest::newRow("no address skipped, position kept") << QStringList{ "no address", v1, "/relative.mp4", v2 }
                << QStringList{ t1, "no address", t1, t1 } << QList<int>{ 1, 3 } << QStringList{ placeholder, t1 };
        QTest::newRow("no videos") << QStringList() << QStringList{ t1 } << QList<int>() << QStringList();
    }
    void build()
    {
        QFETCH(QStringList, videos);
        QFETCH(QStringList, thumbs);
        QFETCH(QList<int>, positions);
        QFETCH(QStringList, thumbnails);
        const QDateTime before = QDateTime::currentDateTime();
        const QList<Reel> built = RealFacebookService::build({ videos, thumbs, {}, 0 }, "page");
        QCOMPARE(built.size(), positions.size());
        for (int r = 0; r < built.size(); ++r) {
            const Reel &reel = built.at(r);
            const QString id = QStringLiteral("^fb-page-%1-\\d+$").arg(positions.at(r));
            QVERIFY2(QRegularExpression(id).match(reel.id).hasMatch(), qPrintable(reel.id));
            QCOMPARE(reel.thumbnailURL, QUrl(thumbnails.at(r) == placeholder
                    ? Config::current().placeholderImageBase() + reel.id + "/640/360" : thumbnails.at(r)));
            QCOMPARE(reel.variants.size(), 4);
            for (const QUrl &url : reel.variants)
                QCOMPARE(url, QUrl(videos.at(positions.at(r))));
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

        const QString a = Sim::videoAddress("a"), ig = Sim::instagramVideoAddress("i"),
                      other = Sim::otherVideoAddress("o"), element = m_facebook.servedAddress("/e.mp4");
        const QString t1 = Sim::imageAddress("1"), t2 = Sim::imageAddress("2");
        QStringList lazy;
        for (int i = 0; i < 8; ++i)
            lazy.append(Sim::videoAddress("l" + QString::number(i)));
        QTest::newRow("escaped and plain copies once, element after, blob dropped")
                << Page{ .title = "Name | Facebook", .embeddedVideos = { a, ig }, .textVideos = { a }, .elementVideos = { element },
                         .blobVideoElements = 1, .thumbnails = { t1, t2, t1 } }
                << 1 << 1 << ExtractionResult{ { a, ig, element }, { t1, t2 }, "Name" } << QString();
        QTest::newRow("cdn addresses shut out others")
                << Page{ .title = "Name - Facebook Watch", .embeddedVideos = { a }, .textVideos = { other } }
                << 1 << 1 << ExtractionResult{ { a }, {}, "Name" } << QString();
        QTest::newRow("any mp4 when no cdn address") << Page{ .title = "  Spaced Name \t| FACEBOOK  ", .textVideos = { other } }
                << 1 << 1 << ExtractionResult{ { other }, {}, "Spaced Name" } << QString();
        QTest::newRow("no separator keeps the title") << Page{ .title = "Facebook" } << 1 << 1 << ExtractionResult{ {}, {}, "Facebook" } << QString();
        QTest::newRow("no title, nothing grows: one pass") << Page() << 6 << 1 << ExtractionResult() << QString();
        QTest::newRow("error status page still read") << Page{ .title = "Lost", .embeddedVideos = { a }, .status = 404 }
                << 1 << 1 << ExtractionResult{ { a }, {}, "Lost" } << QString();
        QTest::newRow("lazy videos need scrolling") << Page{ .lazyVideos = lazy } << 0 << 0 << ExtractionResult() << QString();
        QTest::newRow("stops a pass after the last lazy video") << Page{ .lazyVideos = lazy.mid(0, 2) } << 6 << 3
                << ExtractionResult{ lazy.mid(0, 2) } << QString();
        QTest::newRow("keeps growing: every pass") << Page{ .lazyVideos = lazy } << 6 << 6 << ExtractionResult{ lazy.mid(0, 6) } << QString();
        QTest::newRow("grows without videos") << Page{ .endless = true } << 3 << 3 << ExtractionResult() << QString();
        QTest::newRow("videos without growth") << Page{ .lazyVideos = lazy, .revealHeight = 0 } << 3 << 3
                << ExtractionResult{ lazy.mid(0, 3) } << QString();
        QTest::newRow("no answer") << Page{ .stall = true } << 1 << 0 << ExtractionResult() << "The request timed out.";
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
        QObject owner;
        auto *extractor = new HiddenWebExtractor(&owner);
        extractor->setLoadTimeoutMs(page.stall ? 500 : 30000);
        std::optional<Outcome<InstagramServiceError, ExtractionResult>> outcome;
        int completions = 0;
        extractor->extractFacebookVideos(m_facebook.url("extract", reels), probeAgent, passes, {}, &owner,
                                         [&](const auto &result) {
                                             ++completions;
                                             outcome = result;
                                         });
        QVERIFY(spinUntil([&] { return completions > 0; }));

        QCOMPARE(m_facebook.requests("extract", reels).first().header("User-Agent"), probeAgent);
        QTRY_COMPARE(livePages(owner), 0);
        QCOMPARE(completions, 1);
        QCOMPARE(outcome->failed() ? outcome->error().errorDescription() : QString(), error);
        QTRY_COMPARE(m_facebook.scrollsSeen("extract", reels), scrolled);
        if (outcome->succeeded()) {
            ExtractionResult found = outcome->value();
            QVERIFY(found.htmlLength > 0);
            found.htmlLength = 0;
            QTEST(found, "expected");
        }
    }

    void fetch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("handle");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QStringList>("thumbnails");
        QTest::addColumn<int>("videosRequests");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("steps");

        const QString readingReels = "Reading the reels page\u2026", readingVideos = "Reading the videos page\u2026";
        QTest::newRow("reels page") << "reels.page" << "reels.page" << "Reels Page"
                << QStringList{ Sim::imageAddress("reels-1"), Sim::imageAddress("reels-2"), placeholder } << 0 << QString()
                << QStringList{ readingReels };
        QTest::newRow("videos page after empty reels") << "https://www.facebook.com/Videos.Page/" << "videos.page" << "Videos Page"
                << QStringList{ Sim::imageAddress("videos-0"), Sim::imageAddress("videos-1") } << 1 << QString()
                << QStringList{ readingReels, readingVideos };
        QTest::newRow("no video anywhere") << "empty.page" << "empty.page" << "Empty Page" << QStringList() << 1
                << "HTTP 0: No MP4 addresses from the Facebook video CDN were found on /reels or /videos. HTML %1 bytes, thumbs: 1"
                << QStringList{ readingReels, readingVideos };
        QTest::newRow("page fails") << "broken.page" << "broken.page" << QString() << QStringList() << 0 << "net::ERR_EMPTY_RESPONSE"
                << QStringList{ readingReels };
        QTest::newRow("signed out") << "reels.page" << "reels.page" << QString() << QStringList() << 0 << "Sign in to Facebook first."
                << QStringList();
    }
    void fetch()
    {
        QFETCH(QString, text);
        QFETCH(QString, handle);
        QFETCH(QStringList, thumbnails);
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

        QTEST(steps, "steps");
        QTEST(int(m_facebook.requests(handle, videos).size()), "videosRequests");
        for (const auto &request : m_server.requests()) {
            QCOMPARE(request.header("User-Agent"), WebIdentity::desktopUserAgent().toUtf8());
            QVERIFY(request.header("Cookie").contains("c_user=1234"));
            QVERIFY(request.header("Cookie").contains("xs=55%3Asecret"));
        }
        QTRY_COMPARE(livePages(service), 0);
        QCOMPARE(m_server.requests().isEmpty(), signedOut);
        if (signedOut || error.startsWith("net::")) {
            QCOMPARE(recorder.errorMessage(), error);
            QVERIFY(recorder.updates.isEmpty());
            return;
        }
        QCOMPARE(recorder.updates.size(), 1);
        const InstagramProfile &profile = recorder.updates.first().profile;
        const QList<Reel> &reels = recorder.updates.first().reels;
        QCOMPARE(profile.username, handle);
        QTEST(profile.displayName, "displayName");
        QCOMPARE(profile.reelCount, reels.size());
        QCOMPARE(reels.size(), thumbnails.size());
        for (int i = 0; i < reels.size(); ++i) {
            if (thumbnails.at(i) != placeholder)
                QCOMPARE(reels.at(i).thumbnailURL, QUrl(thumbnails.at(i)));
        }
        if (error.isEmpty()) {
            QVERIFY(recorder.outcome->succeeded());
            QCOMPARE(profile.avatarURL, QUrl(thumbnails.first()));
            return;
        }
        // The report gives the length of the last page read.
        QObject owner;
        std::optional<qint64> length;
        (new HiddenWebExtractor(&owner))->extractFacebookVideos(m_facebook.url(handle, videos), {}, 0, {}, &owner,
                [&](const auto &result) { length = result.value().htmlLength; });
        QVERIFY(spinUntil([&] { return length.has_value(); }));
        QCOMPARE(recorder.errorMessage(), error.arg(*length));
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
        const bool early = how.endsWith("before start");
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
        if (how.startsWith("cancel"))
            cancel.cancel();
        else
            delete (how.endsWith("service") ? service : how.endsWith("context") ? context : static_cast<QObject *>(extractor));
        QCOMPARE(recorder.completions, 0); // never inside cancel()
        QVERIFY(spinUntil([&] { return page.isNull() && livePages(root) == 0; }, 5000));
        if (how.startsWith("cancel")) {
            QVERIFY(spinUntil([&] { return recorder.finished(); }, 5000));
            QVERIFY(recorder.outcome->wasCancelled());
        }
        spinUntil([] { return false; }, 200);
        QCOMPARE(recorder.completions, how.startsWith("cancel") ? 1 : 0);
        QVERIFY(recorder.updates.isEmpty());
        QCOMPARE(m_server.requestCount("/reels.page/reels"), early ? 0 : 1);
    }

private:
    // Signs in as the Facebook login page would: its session cookies land in the browser store.
    void signIn()
    {
        for (const auto &[name, value] : { std::pair("c_user", "1234"), std::pair("xs", "55%3Asecret") }) {
            QNetworkCookie cookie(name, value);
            cookie.setDomain(m_server.origin().host());
            cookie.setPath("/");
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
