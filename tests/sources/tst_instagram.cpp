// The Instagram source against the simulated web API: what goes over the wire, how statuses and
// payloads become errors, how items become reels, and how the page walk ends.

#include "Answers.h"
#include "FetchRecorder.h"
#include "InstagramSimulator.h"
#include "Spin.h"
#include "TestEnvironment.h"
#include "TestServer.h"

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

#include <memory>
#include <numeric>

// Rows and profiles name only the fields they need.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Options = InstagramSimulator::ProfileOptions;
using Ending = InstagramSimulator::Ending;
using Response = TestServer::Response;
using Cookies = QList<QNetworkCookie>;

namespace {

QNetworkCookie cookie(const QByteArray &name, const QByteArray &value)
{
    QNetworkCookie c(name, value);
    c.setDomain(QStringLiteral("127.0.0.1"));
    c.setPath(QStringLiteral("/"));
    return c;
}

const Cookies signedIn{ cookie("sessionid", "s3ss"), cookie("csrftoken", "tok") };

// A rendition named after its file.
QByteArray video(const char *name, int width)
{
    return QByteArray(R"({"url":"https://cdn.test/)") + name + R"(.mp4","width":)" + QByteArray::number(width) + '}';
}

const QByteArray oneVideo = R"("video_versions":[)" + video("a", 720) + ']';

// "1080p=a 720p=b 480p=c audio=c": each quality present, with its rendition's name.
QString qualities(const QHash<VideoQuality, QUrl> &variants)
{
    const QList<std::pair<VideoQuality, QString>> labels{ { VideoQuality::hd1080, "1080p" },
        { VideoQuality::hd720, "720p" }, { VideoQuality::sd480, "480p" }, { VideoQuality::audio, "audio" } };
    QStringList parts;
    for (const auto &[quality, label] : labels) {
        if (variants.contains(quality))
            parts.append(label + u'=' + variants.value(quality).fileName().chopped(4));
    }
    return parts.join(u' ');
}

Response redirect(int status, const QUrl &to)
{
    Response response = Response::text("", status);
    response.headers = { { "Location", to.toEncoded() } };
    return response;
}

std::optional<Reel> parseReel(const QByteArray &json)
{
    return RealInstagramService::parseReel(QJsonDocument::fromJson(json).object());
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
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_server->origin() } });
        signIn(signedIn);
    }
    void cleanup()
    {
        m_service.reset();
        m_auth.reset();
        m_instagram.reset();
        m_server.reset();
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
        QCOMPARE(recorder.updates.last().reels.size(), 30); // every cursor reached the server intact

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
            QCOMPARE(request.url.path(), InstagramSimulator::clipsPath);
            QCOMPARE(request.body, page ? form + "&max_id=Q%2BV%2FF%3D%20%26c" + QByteArray::number(page + 1) : form);
            QCOMPARE(sourceHeaders(request), common + QByteArrayList{ "referer: " + origin + "/" } + session
                             + QByteArrayList{ "content-type: application/x-www-form-urlencoded" });
        }
    }

    void statusMessages_data();
    void statusMessages()
    {
        QFETCH(int, page);
        QFETCH(Response, response);

        m_instagram->addProfile("nasa", 60);
        if (page == 0)
            m_instagram->setLookupResponse("nasa", response);
        else
            m_instagram->setPageResponse("nasa", page, response);
        FetchRecorder recorder;
        QVERIFY(run(recorder, "nasa"));
        QVERIFY(recorder.outcome->failed());
        QTEST(recorder.errorMessage(), "message");
        // What came before the failing page stays delivered, one update per page.
        QCOMPARE(recorder.updates.size(), std::max(0, page - 1));
        for (int i = 0; i < recorder.updates.size(); ++i)
            QCOMPARE(recorder.updates.at(i).reels.size(), 12 * (i + 1));
        QCOMPARE(m_server->requestCount(InstagramSimulator::clipsPath), page);
        // A refused lookup is not asked for again.
        QCOMPARE(m_server->requestCount(InstagramSimulator::lookupPath), 1);
        QCOMPARE(TestServer::exhaustedStreams(), 0); // an endless body is cut short
        QCOMPARE(m_elsewhere.requests().size(), 0);
    }

    // The profile read from the lookup: "username | display name | avatar | followers | reels |
    // verified".
    void userInfo_data();
    void userInfo()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, user);

        const QString handle = URLRouter::detect(typed)->identifier;
        m_instagram->addProfile(handle, 0);
        user.replace("$ID", m_instagram->userID(handle).toUtf8());
        m_instagram->setLookupResponse(handle, Response::json(R"({"data":{"user":)" + user + "}}"));
        FetchRecorder recorder;
        QVERIFY(run(recorder, typed));
        QVERIFY2(recorder.outcome->succeeded(), qPrintable(recorder.errorMessage()));
        QCOMPARE(recorder.updates.size(), 1);
        const InstagramProfile p = recorder.updates.first().profile;
        QCOMPARE(p.platform, SocialPlatform::instagram);
        QTEST(answers(p.username, p.displayName, p.avatarURL, p.followerCount, p.reelCount, p.isVerified), "profile");
    }

    void renditionsToQualities_data();
    void renditionsToQualities()
    {
        QFETCH(QByteArray, item);
        const auto reel = parseReel(item);
        QTEST(reel ? qualities(reel->variants) : QString(), "qualities");
    }

    // The reel read from an item: "id | thumbnail | duration | views | likes | posted at (ms)";
    // "*" stands for a fresh random id, a thumbnail without a scheme follows the placeholder
    // base, and "now" is a posting time within a minute of now.
    void reelFields_data();
    void reelFields()
    {
        QFETCH(QByteArray, item);
        const auto reel = parseReel(item);
        QVERIFY(reel);
        const bool fresh = !QUuid(reel->id).isNull();
        QString thumbnail = reel->thumbnailURL.toString(QUrl::FullyEncoded);
        if (thumbnail.startsWith(Config::current().placeholderImageBase()))
            thumbnail = thumbnail.mid(Config::current().placeholderImageBase().size());
        if (fresh)
            thumbnail.replace(reel->id, "*");
        const bool now = qAbs(reel->postedAt.secsTo(QDateTime::currentDateTime())) < 60;
        QTEST(answers(fresh ? "*" : reel->id, thumbnail, reel->durationSeconds, reel->viewCount, reel->likeCount,
                      now ? "now" : QString::number(reel->postedAt.toMSecsSinceEpoch())),
              "reel");
    }

    void pageWalk_data()
    {
        QTest::addColumn<int>("reelCount");
        QTest::addColumn<Options>("options");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("reels");

        const auto with = [](auto change) {
            Options options;
            change(options);
            return options;
        };
        using PagingInfo = InstagramSimulator::PagingInfo;
        QTest::newRow("more_available false after 45 pages with repeats and photos")
                << 540 << with([](Options &o) { o.repeats = 3; o.photosPerPage = 2; }) << 45 << 540;
        QTest::newRow("two pages of repeats")
                << 480 << with([](Options &o) { o.ending = Ending::repeatForever; o.repeats = 4; }) << 42 << 480;
        QTest::newRow("two empty pages") << 480 << with([](Options &o) { o.ending = Ending::emptyForever; }) << 42 << 480;
        QTest::newRow("one stale page goes on") << 480 << with([](Options &o) { o.stalePages = { 20 }; }) << 41 << 480;
        QTest::newRow("two stale pages stop") << 480 << with([](Options &o) { o.stalePages = { 20, 21 }; }) << 21 << 228;
        QTest::newRow("no cursor") << 480 << with([](Options &o) { o.ending = Ending::noCursor; }) << 40 << 480;
        QTest::newRow("cursor sent back") << 480 << with([](Options &o) { o.ending = Ending::sameCursor; }) << 40 << 480;
        QTest::newRow("first cursor sent back") << 5 << with([](Options &o) { o.ending = Ending::sameCursor; }) << 2 << 5;
        QTest::newRow("more_available missing, cursor present")
                << 480 << with([](Options &o) { o.paging = PagingInfo::cursorOnly; }) << 40 << 480;
        QTest::newRow("no paging info: one page") << 480 << with([](Options &o) { o.paging = PagingInfo::absent; }) << 1 << 12;
        QTest::newRow("odd widths, bare items, endless tricky cursors")
                << 480 << with([](Options &o) {
                       o.widthSets = { { 1440, 1080 }, { 720 }, { 720, 720 }, { 640, 480 }, { 1000, 999, 700, 699 } };
                       o.wrapping = InstagramSimulator::Wrapping::bare;
                       o.ending = Ending::repeatForever;
                       o.trickyCursors = true;
                   }) << 42 << 480;
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
    // (seconds or a date, within a second and ten minutes), else the configured waits, 40, 80 and
    // 160 ms here, one per refusal in a row. After the third the walk ends with the refusal's
    // message. Stopping during a wait ends the fetch at once.
    void rateLimits_data()
    {
        QTest::addColumn<QList<int>>("refusedPages");
        QTest::addColumn<int>("refusals"); // of each page; -1: every time
        QTest::addColumn<QByteArray>("retryAfter");
        QTest::addColumn<QList<int>>("waits"); // told, in ms
        QTest::addColumn<bool>("stop");        // during the first wait
        QTest::addColumn<int>("updates");      // -1: the fetch ends as stopped
        QTest::addColumn<int>("pageRequests");

        QTest::newRow("refused twice, then answered") << QList<int>{ 2 } << 2 << QByteArray()
                << QList<int>{ 40, 80 } << false << 3 << 5;
        QTest::newRow("refusals are counted per page") << QList<int>{ 2, 3 } << 2 << QByteArray()
                << QList<int>{ 40, 80, 40, 80 } << false << 3 << 7;
        QTest::newRow("refused every time") << QList<int>{ 3 } << -1 << QByteArray()
                << QList<int>{ 40, 80, 160 } << false << 2 << 6;
        QTest::newRow("the first page refused every time") << QList<int>{ 1 } << -1 << QByteArray()
                << QList<int>{ 40, 80, 160 } << false << 0 << 4;
        QTest::newRow("a Retry-After that is no time") << QList<int>{ 2 } << -1 << QByteArray("soon")
                << QList<int>{ 40, 80, 160 } << false << 1 << 5;
        QTest::newRow("Retry-After in seconds, stopped") << QList<int>{ 2 } << -1 << QByteArray(" 7 ")
                << QList<int>{ 7000 } << true << -1 << 2;
        const QByteArray inNinetySeconds = QLocale::c()
                .toString(QDateTime::currentDateTimeUtc().addSecs(90), "ddd, dd MMM yyyy hh:mm:ss 'GMT'")
                .toLatin1();
        QTest::newRow("Retry-After as a date, stopped") << QList<int>{ 2 } << -1 << inNinetySeconds
                << QList<int>{ 90000 } << true << -1 << 2;
        QTest::newRow("Retry-After of a day, stopped") << QList<int>{ 1 } << -1 << QByteArray("86400")
                << QList<int>{ 600000 } << true << -1 << 1;
        QTest::newRow("Retry-After of nothing, stopped") << QList<int>{ 2 } << -1 << QByteArray("0")
                << QList<int>{ 1000 } << true << -1 << 2;
    }
    void rateLimits()
    {
        QFETCH(QList<int>, refusedPages);
        QFETCH(int, refusals);
        QFETCH(QByteArray, retryAfter);
        QFETCH(QList<int>, waits);
        QFETCH(bool, stop);
        QFETCH(int, updates);

        qputenv("CLIPDOCK_RATE_LIMIT_WAITS_MS", "40,80,160");
        Config::reload();
        m_instagram->addProfile("nasa", 36);
        Response refusal = Response::text("Please wait a few minutes before you try again.", 429);
        if (!retryAfter.isEmpty())
            refusal.headers = { { "Retry-After", retryAfter } };
        for (int page : refusedPages)
            m_instagram->setPageResponse("nasa", page, refusal, refusals);
        Cancellation cancel;
        FetchRecorder recorder;
        QList<FetchStep> steps;
        m_service->fetchProfile("nasa", cancel, recorder.onUpdate(), [&](const FetchStep &step) {
            steps.append(step);
            if (stop && step.isWaiting())
                cancel.cancel();
        }, recorder.done());
        QVERIFY(recorder.waitFinished());
        qunsetenv("CLIPDOCK_RATE_LIMIT_WAITS_MS");
        Config::reload();

        // Each wait is told, with its words, and so is its end; a stopped one has no end. A wait
        // counted from a date set when the rows were made is somewhat shorter.
        QStringList told, expected;
        for (const FetchStep &step : std::as_const(steps)) {
            const bool fromDate = waits.constFirst() == 90000 && step.waitMs > 60000 && step.waitMs <= 90000;
            told.append(step == FetchStep() ? "end" : step.text + u' ' + QString::number(fromDate ? 90000 : step.waitMs));
        }
        for (int ms : waits)
            expected << "Instagram asked to slow down " + QString::number(ms) << "end";
        QCOMPARE(told, stop ? expected.mid(0, 1) : expected);

        QCOMPARE(recorder.completions, 1);
        QTEST(m_server->requestCount(InstagramSimulator::clipsPath), "pageRequests");
        if (updates < 0) {
            QVERIFY(recorder.outcome->wasCancelled());
            return;
        }
        QCOMPARE(recorder.updates.size(), updates);
        if (refusals >= 0) {
            QVERIFY2(recorder.outcome->succeeded(), qPrintable(recorder.errorMessage()));
            QCOMPARE(recorder.updates.last().reels.size(), 36);
            // The page came after its waits, not before.
            const qint64 waited = std::accumulate(waits.begin(), waits.end(), 0) / int(refusedPages.size());
            QVERIFY(recorder.updates.at(refusedPages.first() - 1).atMs - recorder.updates.at(refusedPages.first() - 2).atMs >= waited);
        } else {
            QCOMPARE(recorder.errorMessage(), QString::fromUtf8("Too many requests \u2014 try again in a moment."));
        }
    }

    // Cancelled at once, during the lookup, while a page is on its way or from inside an update;
    // or not signed in, when the fetch ends before any request. The one completion comes from the
    // event loop, and nothing follows it.
    void endings_data()
    {
        QTest::addColumn<Cookies>("cookies");
        QTest::addColumn<int>("stallPage");      // 0: none; -1: the lookup
        QTest::addColumn<int>("cancelInUpdate"); // 0: at once; -1: never
        QTest::addColumn<int>("updates");
        QTest::addColumn<int>("pageRequests");
        QTest::addColumn<QString>("error"); // empty: cancelled

        QTest::newRow("cancelled at once") << signedIn << 0 << 0 << 0 << 0 << "";
        QTest::newRow("cancelled during the lookup") << signedIn << -1 << 0 << 0 << 0 << "";
        QTest::newRow("cancelled while page 6 is on its way") << signedIn << 6 << 0 << 5 << 6 << "";
        QTest::newRow("cancelled from inside the 5th update") << signedIn << 0 << 5 << 5 << 5 << "";
        QTest::newRow("cancelled from inside the last update") << signedIn << 0 << 6 << 6 << 6 << "";
        QTest::newRow("no cookies") << Cookies{} << 0 << -1 << 0 << 0 << "Sign in to Instagram first.";
        QTest::newRow("empty session") << Cookies{ cookie("sessionid", ""), cookie("csrftoken", "t") } << 0 << -1 << 0 << 0
                                       << "Sign in to Instagram first.";
        QTest::newRow("signed out, cancelled before the answer") << Cookies{} << 0 << 0 << 0 << 0 << "";
    }
    void endings()
    {
        QFETCH(Cookies, cookies);
        QFETCH(int, stallPage);
        QFETCH(int, cancelInUpdate);
        QFETCH(QString, error);

        signIn(cookies);
        m_instagram->addProfile("nasa", 72); // six pages
        Response stall;
        stall.stall = true;
        if (stallPage == -1)
            m_instagram->setLookupResponse("nasa", stall);
        else if (stallPage > 0)
            m_instagram->setPageResponse("nasa", stallPage, stall);
        Cancellation cancel;
        FetchRecorder recorder;
        m_service->fetchProfile("nasa", cancel, [&](const InstagramProfile &profile, const QList<Reel> &reels) {
            recorder.onUpdate()(profile, reels);
            if (recorder.updates.size() == cancelInUpdate)
                cancel.cancel();
        }, recorder.done());
        QVERIFY(!recorder.finished()); // never inside the call
        if (stallPage != 0)
            QTRY_COMPARE(m_server->requests().size(), std::max(1, stallPage + 1));
        if (cancelInUpdate == 0)
            cancel.cancel();
        QVERIFY(recorder.waitFinished());
        QTest::qWait(100); // nothing may follow
        QCOMPARE(recorder.completions, 1);
        QCOMPARE(recorder.outcome->wasCancelled(), error.isEmpty());
        QCOMPARE(recorder.errorMessage(), error);
        QTEST(int(recorder.updates.size()), "updates");
        QTEST(m_server->requestCount(InstagramSimulator::clipsPath), "pageRequests");
        if (cookies != signedIn)
            QVERIFY(m_server->requests().isEmpty());
    }

    // A redirect within the host is followed, with the session.
    void redirectWithinTheHost()
    {
        m_instagram->addProfile("nasa", 24);
        m_instagram->addProfile("moved", 24);
        m_instagram->setLookupResponse("nasa", redirect(302, m_server->url(InstagramSimulator::lookupPath + "?username=moved")));
        FetchRecorder recorder;
        QVERIFY(run(recorder, "nasa"));
        QVERIFY(recorder.outcome->succeeded());
        QCOMPARE(recorder.updates.size(), 2);
        QCOMPARE(recorder.updates.last().profile.username, "moved");
        QCOMPARE(m_server->requests().at(1).header("Cookie"), "sessionid=s3ss; csrftoken=tok");
    }
};

void TestInstagram::statusMessages_data()
{
    QTest::addColumn<int>("page"); // 0: the profile lookup
    QTest::addColumn<Response>("response");
    QTest::addColumn<QString>("message");

    const auto text = [](const QByteArray &body, int status) { return Response::text(body, status); };
    const QString notFound = "We couldn't find that profile.";
    const QString userPayload = "Couldn't read the response (user payload).";
    const QByteArray thumbsUp = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"; // one character, four UTF-16 units

    QTest::newRow("lookup 404 whatever the body") << 0 << text("{\"message\": \"gone\"}", 404) << notFound;
    QTest::newRow("lookup 429") << 0 << text("slow down", 429) << "Too many requests \u2014 try again in a moment.";
    QTest::newRow("lookup 403, JSON over several lines")
            << 0 << text("{\n  \"message\": \"checkpoint_required\",\n  \"status\": \"fail\"\n}\n", 403)
            << R"(HTTP 403: {   "message": "checkpoint_required",   "status": "fail" })";
    QTest::newRow("lookup 500, empty body") << 0 << text("", 500) << "HTTP 500.";
    QTest::newRow("lookup 502, only blank lines") << 0 << text("\n \t\r\n", 502) << "HTTP 502.";
    QTest::newRow("lookup 500, cut after 160 characters")
            << 0 << text("\t" + QByteArray(200, 'x'), 500) << "HTTP 500: " + QString(160, 'x');
    QTest::newRow("lookup 403, not UTF-8") << 0 << text("\xFF\xFE oops", 403) << "HTTP 403.";
    QTest::newRow("lookup 500, the cut keeps a character whole")
            << 0 << text(QByteArray(159, 'a') + thumbsUp + "tail", 500)
            << "HTTP 500: " + QString(159, 'a') + QString::fromUtf8(thumbsUp);
    QTest::newRow("lookup 200, a login page") << 0 << text("<html>login</html>", 200) << "illegal value";
    QTest::newRow("lookup without data.user") << 0 << Response::json(R"({"data":{}})") << userPayload;
    QTest::newRow("lookup with a numeric id")
            << 0 << Response::json(R"({"data":{"user":{"id":123,"username":"nasa"}}})") << userPayload;

    QTest::newRow("page 1: 403, no update at all") << 1 << text("denied", 403) << "HTTP 403: denied";
    QTest::newRow("page 3: 404") << 3 << text("", 404) << notFound;
    QTest::newRow("page 3: 500 over lines") << 3 << text("Internal\nServer Error\n", 500)
            << "HTTP 500: Internal Server Error";
    QTest::newRow("page 3: items not a list") << 3 << Response::json(R"({"items":{}})") << "Couldn't read the response (clips payload).";
    Response endless = Response::json(R"({"items":[)");
    endless.endless = true;
    QTest::newRow("page 3: a body that never ends") << 3 << endless
            << "The server's answer was larger than 16 MB and was not read.";
    // A redirect to another host is not followed, so nothing of the session goes there.
    const QString elsewhere = "The server redirected the request to another site (127.0.0.2); it was not followed.";
    QTest::newRow("lookup redirected to another host")
            << 0 << redirect(302, m_elsewhere.url(InstagramSimulator::lookupPath + "?username=nasa")) << elsewhere;
    QTest::newRow("page 2 redirected to another host")
            << 2 << redirect(307, m_elsewhere.url(InstagramSimulator::clipsPath)) << elsewhere;
}

void TestInstagram::userInfo_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("user"); // $ID stands for the simulator's user id
    QTest::addColumn<QString>("profile");

    QTest::newRow("full record") << "nasa"
            << QByteArray(R"({"id":"$ID","username":"nasa","full_name":"NASA","profile_pic_url_hd":"https://cdn.test/hd.jpg",
                 "profile_pic_url":"https://cdn.test/sd.jpg","edge_followed_by":{"count":97000000},
                 "edge_felix_video_timeline":{"count":1234},"is_verified":true})")
            << "nasa | NASA | https://cdn.test/hd.jpg | 97000000 | 1234 | true";
    QTest::newRow("empty name shows the username") << "nasa" << QByteArray(R"({"id":"$ID","username":"NASA.Official","full_name":""})")
            << "NASA.Official | NASA.Official |  | 0 | 0 | false";
    QTest::newRow("fields of other types fall back")
            << "nasa" << QByteArray(R"({"id":"$ID","username":7,"full_name":null,"profile_pic_url_hd":5,
                 "profile_pic_url":"https://cdn.test/sd.jpg","edge_followed_by":{"count":"12"},
                 "edge_felix_video_timeline":{"count":12.5},"is_verified":"true"})")
            << "nasa | nasa | https://cdn.test/sd.jpg | 0 | 0 | false";
    QTest::newRow("picture that is no web address") << "nasa" << QByteArray(R"({"id":"$ID","profile_pic_url_hd":"file:///etc/passwd"})")
            << "nasa | nasa |  | 0 | 0 | false";
    QTest::newRow("handle outside ASCII is percent-encoded") << "@Café" << QByteArray(R"({"id":"$ID"})")
            << "café | café |  | 0 | 0 | false";
}

void TestInstagram::renditionsToQualities_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QString>("qualities"); // empty: not a reel

    const auto reel = [](const QByteArray &versions) {
        return R"({"media":{"id":"r","video_versions":[)" + versions + "]}}";
    };
    QTest::newRow("1080, 720, 480") << reel(video("a", 1080) + ',' + video("b", 720) + ',' + video("c", 480))
            << "1080p=a 720p=b 480p=c audio=c";
    QTest::newRow("1440 and 1080") << reel(video("a", 1440) + ',' + video("b", 1080)) << "1080p=a audio=b";
    QTest::newRow("equal widths keep their order") << reel(video("a", 720) + ',' + video("b", 720))
            << "720p=a audio=b";
    QTest::newRow("bounds 1000, 999, 700, 699")
            << reel(video("a", 699) + ',' + video("b", 1000) + ',' + video("c", 700) + ',' + video("d", 999))
            << "1080p=b 720p=d 480p=a audio=a";
    QTest::newRow("640 and 480 are both 480p") << reel(video("a", 480) + ',' + video("b", 640))
            << "480p=b audio=a";
    QTest::newRow("missing or fractional width counts as 0")
            << reel(R"({"url":"https://cdn.test/a.mp4"},{"url":"https://cdn.test/b.mp4","width":"1080"},)"
                    R"({"url":"https://cdn.test/c.mp4","width":720.5},)" + video("d", 720))
            << "720p=d 480p=a audio=c";
    QTest::newRow("unusable addresses are skipped")
            << reel(R"({"width":1080},{"url":5,"width":1080},{"url":"file:///etc/passwd","width":1080},)"
                    R"({"url":"not a url","width":1080},)" + video("e", 720))
            << "720p=e audio=e";
    QTest::newRow("an address outside ASCII is encoded, not dropped")
            << reel(R"({"url":"https://cdn.test/vidéo.mp4","width":720})") << QString("720p=vidéo audio=vidéo");
    QTest::newRow("\"media\" that is no object: the item itself")
            << R"({"media":"x","video_versions":[)" + video("a", 480) + "]}" << "480p=a audio=a";
    QTest::newRow("no usable address") << reel(R"({"url":"ftp://cdn.test/a.mp4","width":720})") << "";
    QTest::newRow("a rendition that is no object") << reel(video("a", 720) + ",3") << "";
    QTest::newRow("photo") << QByteArray(R"({"media":{"id":"p","image_versions2":{}}})") << "";
    QTest::newRow("renditions not a list") << QByteArray(R"({"id":"r","video_versions":{}})") << "";
    QTest::newRow("empty item") << QByteArray("{}") << "";
}

void TestInstagram::reelFields_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QString>("reel");

    const QByteArray thumb = R"("image_versions2":{"candidates":[{"url":"https://cdn.test/t.jpg"}]})";
    const QByteArray all = "{" + oneVideo + R"(,"id":"r1","pk":"9",)" + thumb
            + R"(,"video_duration":14.5,"play_count":10,"view_count":11,"like_count":3,"taken_at":1700000000})";
    const auto with = [](const QByteArray &fields) { return "{" + oneVideo + "," + fields + "}"; };

    QTest::newRow("wrapped in media") << R"({"media":)" + all + "}" << "r1 | https://cdn.test/t.jpg | 15 | 10 | 3 | 1700000000000";
    QTest::newRow("bare") << all << "r1 | https://cdn.test/t.jpg | 15 | 10 | 3 | 1700000000000";
    QTest::newRow("nothing but a rendition") << with(R"("id":"r1")") << "r1 | r1/480/854 | 15 | 0 | 0 | now";
    QTest::newRow("pk as text") << with(R"("id":5,"pk":"77")") << "77 | 77/480/854 | 15 | 0 | 0 | now";
    QTest::newRow("pk as number") << with(R"("pk":77)") << "* | */480/854 | 15 | 0 | 0 | now";
    QTest::newRow("14.49 s, views under view_count, fractional time")
            << with(R"("id":"r1","video_duration":14.49,"play_count":"10","view_count":11,"taken_at":1700000000.75)")
            << "r1 | r1/480/854 | 14 | 11 | 0 | 1700000000750";
    QTest::newRow("duration and time as text") << with(R"("id":"r1","video_duration":"12","taken_at":"1700000000")")
            << "r1 | r1/480/854 | 15 | 0 | 0 | now";
    QTest::newRow("duration beyond 64 bits") << with(R"("id":"r1","video_duration":1e30)") << "r1 | r1/480/854 | 15 | 0 | 0 | now";
    QTest::newRow("id with a slash and a hash stays one path segment")
            << with(R"("id":"a/b#c")") << "a/b#c | a%2Fb%23c/480/854 | 15 | 0 | 0 | now";
}

QTEST_GUILESS_MAIN(TestInstagram)
#include "tst_instagram.moc"
