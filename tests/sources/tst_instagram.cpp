// The Instagram source against the simulated web API: what goes over the wire, how statuses and
// payloads become errors, how items become reels, and how the page walk ends.

#include "Answers.h"
#include "FetchRecorder.h"
#include "InstagramSimulator.h"
#include "SignInCookies.h"
#include "Spin.h"
#include "TestEnvironment.h"

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "core/Config.h"
#include "core/Http.h"
#include "core/URLRouter.h"
#include "core/WebIdentity.h"
#include "sources/RealInstagramService.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

#include <numeric>

// Rows and profiles name only the fields they need.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Options = InstagramSimulator::ProfileOptions;
using Ending = InstagramSimulator::Ending;
using Response = TestServer::Response;

namespace {

QNetworkCookie cookie(const QByteArray &name, const QByteArray &value)
{
    return lastingCookie(name, value, QStringLiteral("127.0.0.1"));
}

const Cookies signedIn{ cookie("sessionid", "s3ss"), cookie("csrftoken", "tok") };

// A rendition named after its file.
QByteArray video(const char *name, int width)
{
    return QByteArray(R"({"url":"https://cdn.test/)") + name + R"(.mp4","width":)" + QByteArray::number(width) + '}';
}

const QByteArray oneVideo = R"("video_versions":[)" + video("a", 720) + ']';

Response redirect(int status, const QUrl &to)
{
    return { .status = status, .headers = { { "Location", to.toEncoded() } } };
}

// "name: value" for each header the source sets, in the order received; what the network stack
// adds is left out.
QByteArrayList sourceHeaders(const TestServer::Request &request)
{
    static const QByteArrayList names{ "user-agent", "x-ig-app-id", "x-asbd-id", "x-requested-with",
        "accept", "accept-language", "origin", "sec-fetch-dest", "sec-fetch-mode", "sec-fetch-site",
        "referer", "x-csrftoken", "cookie", "content-type" };
    QByteArrayList headers;
    for (const auto &[name, value] : request.headers) {
        if (names.contains(name.toLower()))
            headers.append(name.toLower() + ": " + value);
    }
    return headers;
}

} // namespace

class TestInstagram : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    std::unique_ptr<TestServer> m_server;
    TestServer m_elsewhere{ QHostAddress(QStringLiteral("127.0.0.2")) }; // another site
    std::unique_ptr<InstagramSimulator> m_instagram;
    BrowserStore m_store; // detached: the jar alone decides
    std::unique_ptr<PlatformAuth> m_auth;
    std::unique_ptr<RealInstagramService> m_service;

    void signIn(const Cookies &cookies)
    {
        Http::jar()->setAllCookies({});
        for (const QNetworkCookie &c : cookies)
            Http::jar()->insertCookie(c);
        m_service.reset();
        m_auth = std::make_unique<PlatformAuth>(SocialPlatform::instagram, &m_store);
        QSignalSpy synced(m_auth.get(), &PlatformAuth::synced);
        QVERIFY(synced.wait());
        m_service = std::make_unique<RealInstagramService>(m_auth.get(), WebIdentity::instagramAppID(),
                                                           WebIdentity::desktopUserAgent());
    }

    bool run(FetchRecorder &recorder, const QString &text)
    {
        recorder.fetch(*m_service, text);
        return spinUntil([&] { return recorder.finished(); });
    }

private slots:
    void init()
    {
        m_server = std::make_unique<TestServer>();
        m_instagram = std::make_unique<InstagramSimulator>(*m_server);
        qputenv("CLIPDOCK_RATE_LIMIT_WAITS_MS", "40,80,160"); // after a refused page
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_server->origin() } });
        signIn(signedIn);
    }

    void requestShape_data()
    {
        QTest::addColumn<Cookies>("cookies");
        QTest::addColumn<bool>("emptyJarAfterSignIn");
        QTest::addColumn<QByteArrayList>("session");

        QTest::newRow("session and token") << signedIn << false
                << QByteArrayList{ "x-csrftoken: tok", "cookie: sessionid=s3ss; csrftoken=tok" };
        QTest::newRow("session without token") << Cookies{ cookie("sessionid", "s3ss") } << false
                << QByteArrayList{ "cookie: sessionid=s3ss" };
        QTest::newRow("jar emptied after sign-in") << signedIn << true << QByteArrayList{};
    }
    void requestShape()
    {
        QFETCH(Cookies, cookies);
        QFETCH(bool, emptyJarAfterSignIn);
        QFETCH(QByteArrayList, session);

        signIn(cookies);
        if (emptyJarAfterSignIn)
            Http::jar()->setAllCookies({});
        m_instagram->addProfile("nasa", 30, 12, { .trickyCursors = true }); // "Q+V/F= &c<n>"
        FetchRecorder recorder;
        QVERIFY(run(recorder, "https://www.instagram.com/NASA/reels/"));
        QVERIFY2(recorder.outcome->succeeded(), qPrintable(recorder.errorMessage()));

        const QByteArray origin = m_server->origin().toString().toUtf8();
        const QByteArrayList common{ "user-agent: " + WebIdentity::desktopUserAgent().toUtf8(),
            "x-ig-app-id: 417305928164253", "x-asbd-id: 552019", "x-requested-with: XMLHttpRequest",
            "accept: */*", "accept-language: en-US,en;q=0.9", "origin: " + origin,
            "sec-fetch-dest: empty", "sec-fetch-mode: cors", "sec-fetch-site: same-origin" };
        const auto requests = m_server->requests();
        QCOMPARE(requests.size(), 4);
        QCOMPARE(requests.at(0).method, "GET");
        QCOMPARE(requests.at(0).url.query(), "username=nasa");
        QCOMPARE(sourceHeaders(requests.at(0)), common + QByteArrayList{ "referer: " + origin + "/nasa/" } + session);
        const QByteArray form = "target_user_id=" + m_instagram->userID("nasa").toUtf8() + "&page_size=12&include_feed_video=true";
        for (int page = 0; page < 3; ++page) {
            const auto &request = requests.at(page + 1);
            QCOMPARE(request.method, "POST");
            QCOMPARE(request.body, page ? form + "&max_id=Q%2BV%2FF%3D%20%26c" + QByteArray::number(page + 1) : form);
            QCOMPARE(sourceHeaders(request), common + QByteArrayList{ "referer: " + origin + "/" } + session
                             + QByteArrayList{ "content-type: application/x-www-form-urlencoded" });
        }
    }

    // Every way a fetch ends short: an answer that fails it, a cancel (once the stalled request is
    // in, or from inside an update) or no session. What came before stays delivered, one update per
    // page; the one completion comes from the event loop, and nothing follows it.
    void endings_data();
    void endings()
    {
        QFETCH(int, page);
        QFETCH(Response, response);
        QFETCH(QString, message);
        QFETCH(int, cancelInUpdate);
        QFETCH(Cookies, cookies);

        signIn(cookies);
        m_instagram->addProfile("nasa", 72); // six pages
        if (page == 0)
            m_instagram->setLookupResponse("nasa", response);
        else if (page > 0)
            m_instagram->setPageResponse("nasa", page, response);
        Cancellation cancel;
        FetchRecorder recorder;
        m_service->fetchProfile("nasa", cancel, [&](const InstagramProfile &profile, const QList<Reel> &reels) {
            recorder.onUpdate()(profile, reels);
            if (recorder.updates.size() == cancelInUpdate)
                cancel.cancel();
        }, recorder.done());
        QVERIFY(!recorder.finished()); // never inside the call
        if (cancelInUpdate == 0) {
            if (page >= 0)
                QTRY_COMPARE(m_server->requests().size(), page + 1);
            cancel.cancel();
        }
        QVERIFY(recorder.waitFinished());
        QTest::qWait(100); // nothing may follow
        QCOMPARE(recorder.completions, 1);
        QCOMPARE(recorder.outcome->wasCancelled(), message.isEmpty());
        QCOMPARE(recorder.errorMessage(), message);
        const int pages = cancelInUpdate > 0 ? cancelInUpdate : std::max(0, page);
        QCOMPARE(recorder.updates.size(), cancelInUpdate > 0 ? pages : std::max(0, page - 1));
        for (int i = 0; i < recorder.updates.size(); ++i)
            QCOMPARE(recorder.updates.at(i).reels.size(), 12 * (i + 1));
        QCOMPARE(m_server->requestCount(InstagramSimulator::clipsPath), pages);
        // A refused lookup is not asked for again.
        QCOMPARE(m_server->requestCount(InstagramSimulator::lookupPath), m_auth->isSignedIn() ? 1 : 0);
        QCOMPARE(TestServer::exhaustedStreams(), 0); // an endless body is cut short
        QCOMPARE(m_elsewhere.requests().size(), 0);
    }

    // The profile read from the lookup: "username | display name | avatar | followers | reels |
    // verified". A redirect within the host is followed, with the session.
    void userInfo_data();
    void userInfo()
    {
        QFETCH(QString, typed);
        QFETCH(Response, lookup);

        const QString handle = URLRouter::detect(typed)->identifier;
        m_instagram->setRequireSession(true);
        m_instagram->setMediaOrigin(QUrl("https://cdn.test"));
        m_instagram->addProfile(handle, 0);
        m_instagram->addProfile("moved", 0);
        lookup.body.replace("$ID", m_instagram->userID(handle).toUtf8());
        m_instagram->setLookupResponse(handle, lookup);
        FetchRecorder recorder;
        QVERIFY(run(recorder, typed));
        QVERIFY2(recorder.outcome->succeeded(), qPrintable(recorder.errorMessage()));
        QCOMPARE(recorder.updates.size(), 1);
        const InstagramProfile p = recorder.updates.first().profile;
        QTEST(answers(p.username, p.displayName, p.avatarURL, p.followerCount, p.reelCount, p.isVerified), "profile");
    }

    // An item read as a reel: "qualities | id | thumbnail | duration | views | likes | posted at
    // (ms)", empty for no reel. Each quality names its rendition's file; "*" stands for a fresh
    // random id, a thumbnail without a scheme follows the placeholder base, and "now" is a posting
    // time within a minute of now.
    void items_data();
    void items()
    {
        QFETCH(QByteArray, item);
        QFETCH(QString, expected);
        const auto reel = RealInstagramService::parseReel(QJsonDocument::fromJson(item).object());
        QCOMPARE(reel.has_value(), !expected.isEmpty());
        if (!reel)
            return;
        QStringList qualities; // "1080p=a 720p=b 480p=c Audio only=c"
        for (VideoQuality quality : allVideoQualities()) {
            if (reel->variants.contains(quality))
                qualities.append(rawValue(quality) + u'=' + reel->variants.value(quality).fileName().chopped(4));
        }
        const bool fresh = !QUuid(reel->id).isNull();
        const QString placeholderBase = Config::current().placeholderImageBase();
        QString thumbnail = reel->thumbnailURL.toString(QUrl::FullyEncoded).remove(placeholderBase);
        if (fresh)
            thumbnail.replace(reel->id, "*");
        const bool now = qAbs(reel->postedAt.secsTo(QDateTime::currentDateTime())) < 60;
        QCOMPARE(answers(qualities.join(u' '), fresh ? "*" : reel->id, thumbnail, reel->durationSeconds,
                         reel->viewCount, reel->likeCount,
                         now ? "now" : QString::number(reel->postedAt.toMSecsSinceEpoch())),
                 expected);
    }

    // How the walk ends: when the listing says so, after two pages in a row that add nothing, at a
    // missing or repeated cursor, or after 250 pages.
    void pageWalk_data()
    {
        QTest::addColumn<int>("reelCount");
        QTest::addColumn<Options>("options");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("reels");

        using PagingInfo = InstagramSimulator::PagingInfo;
        QTest::newRow("more_available false after 45 pages with repeats and photos")
                << 540 << Options{ .repeats = 3, .photosPerPage = 2 } << 45 << 540;
        QTest::newRow("two empty pages") << 480 << Options{ .ending = Ending::emptyForever } << 42 << 480;
        QTest::newRow("two stale pages stop") << 480 << Options{ .stalePages = { 20, 21 } } << 21 << 228;
        QTest::newRow("no cursor") << 480 << Options{ .ending = Ending::noCursor } << 40 << 480;
        QTest::newRow("cursor sent back") << 480 << Options{ .ending = Ending::sameCursor } << 40 << 480;
        QTest::newRow("first cursor sent back") << 5 << Options{ .ending = Ending::sameCursor } << 2 << 5;
        QTest::newRow("more_available missing, cursor present")
                << 480 << Options{ .paging = PagingInfo::cursorOnly } << 40 << 480;
        QTest::newRow("no paging info: one page") << 480 << Options{ .paging = PagingInfo::absent } << 1 << 12;
        QTest::newRow("250 pages at most") << 12 * 260 << Options() << 250 << 3000;
    }
    void pageWalk()
    {
        QFETCH(int, reelCount);
        QFETCH(Options, options);
        QFETCH(int, pages);
        QFETCH(int, reels);

        m_instagram->addProfile("nasa", reelCount, 12, options);
        FetchRecorder recorder;
        QVERIFY(run(recorder, "nasa"));
        QVERIFY2(recorder.outcome->succeeded(), qPrintable(recorder.errorMessage()));
        QCOMPARE(m_server->requestCount(InstagramSimulator::clipsPath), pages);
        QCOMPARE(recorder.updates.size(), pages);
        const QList<Reel> last = recorder.updates.last().reels;
        QCOMPARE(last.size(), reels);
        for (int i = 0; i < reels; ++i)
            QCOMPARE(last.at(i).id, InstagramSimulator::reelID("nasa", i));
        // Every update carries the whole list so far, and the same profile.
        for (int i = 1; i < pages; ++i) {
            const auto &before = recorder.updates.at(i - 1);
            QCOMPARE(recorder.updates.at(i).reels.mid(0, before.reels.size()), before.reels);
            QCOMPARE(recorder.updates.at(i).profile, before.profile);
        }
        QCOMPARE(recorder.updates.last().profile.reelCount, reelCount);
    }

    // A refused page is asked for again after a wait: the server's Retry-After when it sends one
    // (seconds or a date, within a second and ten minutes), else the configured waits, one per
    // refusal in a row. After the third the walk ends with the refusal's message. Each wait is
    // told, and so is its end; stopping during a wait ends the fetch at once.
    void rateLimits_data()
    {
        QTest::addColumn<QList<int>>("refusedPages");
        QTest::addColumn<int>("refusals"); // of each page; -1: every time
        QTest::addColumn<QByteArray>("retryAfter");
        QTest::addColumn<QList<int>>("waits"); // told, in ms
        QTest::addColumn<int>("updates");      // -1: stopped during the first wait
        QTest::addColumn<int>("pageRequests");
        const auto row = [](const char *name, const QList<int> &pages, int refusals, const QByteArray &retryAfter,
                            const QList<int> &waits, int updates, int requests) {
            QTest::newRow(name) << pages << refusals << retryAfter << waits << updates << requests;
        };
        const QByteArray inNinetySeconds = QLocale::c()
                .toString(QDateTime::currentDateTimeUtc().addSecs(90), "ddd, dd MMM yyyy hh:mm:ss 'GMT'")
                .toLatin1();

        row("refusals are counted per page", { 2, 3 }, 2, "", { 40, 80, 40, 80 }, 3, 7);
        row("refused every time, a Retry-After that is no time", { 3 }, -1, "soon", { 40, 80, 160 }, 2, 6);
        row("Retry-After in seconds", { 2 }, -1, " 7 ", { 7000 }, -1, 2);
        row("Retry-After as a date", { 2 }, -1, inNinetySeconds, { 90000 }, -1, 2);
        row("Retry-After of a day", { 1 }, -1, "86400", { 600000 }, -1, 1);
        row("Retry-After of nothing", { 2 }, -1, "0", { 1000 }, -1, 2);
    }
    void rateLimits()
    {
        QFETCH(QList<int>, refusedPages);
        QFETCH(int, refusals);
        QFETCH(QByteArray, retryAfter);
        QFETCH(QList<int>, waits);
        QFETCH(int, updates);

        m_instagram->addProfile("nasa", 36);
        Response refusal = Response::text("Please wait a few minutes before you try again.", 429);
        if (!retryAfter.isEmpty())
            refusal.headers = { { "Retry-After", retryAfter } };
        for (int page : refusedPages)
            m_instagram->setPageResponse("nasa", page, refusal, refusals);
        Cancellation cancel;
        FetchRecorder recorder;
        QStringList told, expected;
        m_service->fetchProfile("nasa", cancel, recorder.onUpdate(), [&](const FetchStep &step) {
            // A wait counted from a date set when the rows were made is somewhat shorter.
            const int ms = step.waitMs > 60000 && step.waitMs < 90000 ? 90000 : step.waitMs;
            told.append(step == FetchStep() ? "end" : step.text + u' ' + QString::number(ms));
            if (updates < 0 && step.isWaiting())
                cancel.cancel();
        }, recorder.done());
        QVERIFY(recorder.waitFinished());

        for (int ms : waits)
            expected << "Instagram asked to slow down " + QString::number(ms) << "end";
        QCOMPARE(told, updates < 0 ? expected.mid(0, 1) : expected);
        QCOMPARE(recorder.completions, 1);
        QTEST(m_server->requestCount(InstagramSimulator::clipsPath), "pageRequests");
        QCOMPARE(recorder.outcome->wasCancelled(), updates < 0);
        if (updates < 0)
            return;
        QCOMPARE(recorder.updates.size(), updates);
        QCOMPARE(recorder.errorMessage(),
                 refusals < 0 ? QString::fromUtf8("Too many requests \u2014 try again in a moment.") : QString());
        if (refusals < 0)
            return;
        QCOMPARE(recorder.updates.last().reels.size(), 36);
        // The second page came after its waits, not before.
        const qint64 waited = std::accumulate(waits.begin(), waits.end(), 0) / refusedPages.size();
        QVERIFY(recorder.updates.at(1).atMs - recorder.updates.at(0).atMs >= waited);
    }
};

void TestInstagram::endings_data()
{
    QTest::addColumn<int>("page"); // whose answer is replaced: 0 the lookup, -1 none
    QTest::addColumn<Response>("response");
    QTest::addColumn<QString>("message");    // empty: cancelled
    QTest::addColumn<int>("cancelInUpdate"); // -1: never; 0: once the page is asked for
    QTest::addColumn<Cookies>("cookies");
    const auto row = [](const char *name, int page, const Response &response, const QString &message,
                        int cancelInUpdate = -1, const Cookies &cookies = signedIn) {
        QTest::newRow(name) << page << response << message << cancelInUpdate << cookies;
    };
    const auto text = [](const QByteArray &body, int status) { return Response::text(body, status); };
    const QString userPayload = "Couldn't read the response (user payload).";
    const QByteArray thumbsUp = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"; // one character, four UTF-16 units

    row("lookup 404 whatever the body", 0, text("{\"message\": \"gone\"}", 404),
        "We couldn't find that profile.");
    row("lookup 429", 0, text("slow down", 429), "Too many requests \u2014 try again in a moment.");
    row("lookup 403, JSON over several lines",
        0, text("{\n  \"message\": \"checkpoint_required\",\n  \"status\": \"fail\"\n}\n", 403),
        R"(HTTP 403: {   "message": "checkpoint_required",   "status": "fail" })");
    row("lookup 502, only blank lines", 0, text("\n \t\r\n", 502), "HTTP 502.");
    row("lookup 403, not UTF-8", 0, text("\xFF\xFE oops", 403), "HTTP 403.");
    row("lookup 500, trimmed, cut after 160 whole characters", 0,
        text("\t" + QByteArray(159, 'a') + thumbsUp + "tail", 500),
        "HTTP 500: " + QString(159, 'a') + QString::fromUtf8(thumbsUp));
    row("lookup 200, a login page", 0, text("<html>login</html>", 200), "illegal value");
    row("lookup without data.user", 0, Response::json(R"({"data":{}})"), userPayload);
    row("lookup with a numeric id", 0, Response::json(R"({"data":{"user":{"id":123}}})"), userPayload);
    row("page 1: 403, no update at all", 1, text("denied", 403), "HTTP 403: denied");
    row("page 3: items not a list", 3, Response::json(R"({"items":{}})"),
        "Couldn't read the response (clips payload).");
    row("page 3: a body that never ends", 3, Response{ .body = R"({"items":[)", .endless = true },
        "The server's answer was larger than 16 MB and was not read.");
    // A redirect to another host is not followed, so nothing of the session goes there.
    row("page 2 redirected to another host", 2, redirect(307, m_elsewhere.url(InstagramSimulator::clipsPath)),
        "The server redirected the request to another site (127.0.0.2); it was not followed.");
    row("cancelled during the lookup", 0, Response{ .stall = true }, "", 0);
    row("cancelled while page 6 is on its way", 6, Response{ .stall = true }, "", 0);
    row("cancelled from inside the last update", -1, {}, "", 6);
    row("no cookies", -1, {}, "Sign in to Instagram first.", -1, {});
    row("empty session", -1, {}, "Sign in to Instagram first.", -1,
        { cookie("sessionid", ""), cookie("csrftoken", "t") });
    row("signed out, cancelled before the answer", -1, {}, "", 0, {});
}

void TestInstagram::userInfo_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Response>("lookup"); // $ID stands for the simulator's user id
    QTest::addColumn<QString>("profile");
    const auto user = [](const QByteArray &json) { return Response::json(R"({"data":{"user":)" + json + "}}"); };

    QTest::newRow("full record") << "nasa"
            << user(R"({"id":"$ID","username":"nasa","full_name":"NASA","profile_pic_url_hd":"https://cdn.test/hd.jpg",
                 "profile_pic_url":"https://cdn.test/sd.jpg","edge_followed_by":{"count":97000000},
                 "edge_felix_video_timeline":{"count":1234},"is_verified":true})")
            << "nasa | NASA | https://cdn.test/hd.jpg | 97000000 | 1234 | true";
    QTest::newRow("empty name shows the username")
            << "nasa" << user(R"({"id":"$ID","username":"NASA.Official","full_name":""})")
            << "NASA.Official | NASA.Official |  | 0 | 0 | false";
    QTest::newRow("fields of other types fall back")
            << "nasa" << user(R"({"id":"$ID","username":7,"full_name":null,"profile_pic_url_hd":5,
                 "profile_pic_url":"https://cdn.test/sd.jpg","edge_followed_by":{"count":"12"},
                 "edge_felix_video_timeline":{"count":12.5},"is_verified":"true"})")
            << "nasa | nasa | https://cdn.test/sd.jpg | 0 | 0 | false";
    QTest::newRow("handle outside ASCII is percent-encoded, a picture that is no web address dropped")
            << "@Café" << user(R"({"id":"$ID","profile_pic_url_hd":"file:///etc/passwd"})")
            << "café | café |  | 0 | 0 | false";
    QTest::newRow("redirected within the host")
            << "nasa" << redirect(302, QUrl(InstagramSimulator::lookupPath + "?username=moved"))
            << "moved | moved | https://cdn.test/avatars/moved-320.jpg | 4200 | 0 | false";
}

void TestInstagram::items_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QString>("expected");

    // Renditions alone, and fields beside one 720 rendition.
    const auto reel = [](const QByteArray &versions) {
        return R"({"media":{"id":"r","video_versions":[)" + versions + "]}}";
    };
    const auto plain = [](const QString &qualities) { return qualities + " | r | r/480/854 | 15 | 0 | 0 | now"; };
    const auto with = [](const QByteArray &fields) { return "{" + oneVideo + "," + fields + "}"; };
    const auto one = [](const QString &fields) { return "720p=a Audio only=a | " + fields; };
    QTest::newRow("1080, 720, 480") << reel(video("a", 1080) + ',' + video("b", 720) + ',' + video("c", 480))
            << plain("1080p=a 720p=b 480p=c Audio only=c");
    QTest::newRow("1440 and 1080") << reel(video("a", 1440) + ',' + video("b", 1080))
            << plain("1080p=a Audio only=b");
    QTest::newRow("equal widths keep their order") << reel(video("a", 720) + ',' + video("b", 720))
            << plain("720p=a Audio only=b");
    QTest::newRow("bounds 1000, 999, 700, 699")
            << reel(video("a", 699) + ',' + video("b", 1000) + ',' + video("c", 700) + ',' + video("d", 999))
            << plain("1080p=b 720p=d 480p=a Audio only=a");
    QTest::newRow("missing or fractional width counts as 0")
            << reel(R"({"url":"https://cdn.test/a.mp4"},{"url":"https://cdn.test/b.mp4","width":"1080"},)"
                    R"({"url":"https://cdn.test/c.mp4","width":720.5},)" + video("d", 720))
            << plain("720p=d 480p=a Audio only=c");
    QTest::newRow("unusable addresses are skipped")
            << reel(R"({"width":1080},{"url":5,"width":1080},{"url":"file:///etc/passwd","width":1080},)"
                    R"({"url":"not a url","width":1080},{"url":"ftp://cdn.test/f.mp4"},)" + video("e", 720))
            << plain("720p=e Audio only=e");
    QTest::newRow("an address outside ASCII is encoded, not dropped")
            << reel(R"({"url":"https://cdn.test/vidéo.mp4","width":720})")
            << plain("720p=vidéo Audio only=vidéo");
    QTest::newRow("\"media\" that is no object: the item itself")
            << R"({"media":"x","video_versions":[)" + video("a", 480) + "]}"
            << "480p=a Audio only=a | * | */480/854 | 15 | 0 | 0 | now";
    QTest::newRow("a rendition that is no object") << reel(video("a", 720) + ",3") << "";
    QTest::newRow("photo") << QByteArray(R"({"media":{"id":"p","image_versions2":{}}})") << "";

    const QByteArray thumb = R"("image_versions2":{"candidates":[{"url":"https://cdn.test/t.jpg"}]})";
    QTest::newRow("all fields") << R"({"media":{)" + oneVideo + R"(,"id":"r1","pk":"9",)" + thumb
                    + R"(,"video_duration":14.5,"play_count":10,"view_count":11,"like_count":3,)"
                    + R"("taken_at":1700000000}})"
            << one("r1 | https://cdn.test/t.jpg | 15 | 10 | 3 | 1700000000000");
    QTest::newRow("pk as text, duration beyond 64 bits")
            << with(R"("id":5,"pk":"77","video_duration":1e30)") << one("77 | 77/480/854 | 15 | 0 | 0 | now");
    QTest::newRow("pk as number, duration and time as text")
            << with(R"("pk":77,"video_duration":"12","taken_at":"1700000000")")
            << one("* | */480/854 | 15 | 0 | 0 | now");
    QTest::newRow("14.49 s, views under view_count, fractional time")
            << with(R"("id":"r1","video_duration":14.49,"play_count":"10","view_count":11,"taken_at":1700000000.75)")
            << one("r1 | r1/480/854 | 14 | 11 | 0 | 1700000000750");
    QTest::newRow("id with a slash and a hash stays one path segment")
            << with(R"("id":"a/b#c")") << one("a/b#c | a%2Fb%23c/480/854 | 15 | 0 | 0 | now");
}

QTEST_GUILESS_MAIN(TestInstagram)
#include "tst_instagram.moc"
