#include "TestEnvironment.h"
#include "TestServer.h"

#include "core/Http.h"
#include "updates/AppVersion.h"
#include "updates/UpdateService.h"

#include <QNetworkCookie>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString manifestPath = QStringLiteral("/apps/clip-dock/manifest.json");

QByteArray manifest(const QString &version, const QString &url = QStringLiteral("https://clipdock.app/get"))
{
    return QStringLiteral(R"({"latest_version": "%1", "download_url": "%2"})").arg(version, url).toUtf8();
}

} // namespace

Q_DECLARE_METATYPE(TestServer::Response)

class TestUpdateService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase() { QCoreApplication::setApplicationVersion({}); }

    void isOlder_data();
    void isOlder();
    void outcome_data();
    void outcome();
    void passesManifestDetails();
    void unreachableServer();
    void visibleCheckSendsOneRequest();
    void silentCheckKeepsStateUntilOutcome();
    void equalOutcomeDoesNotNotify();
    void withoutVersionEverythingIsNewer();

private:
    void runCheck(UpdateService &service, bool silent = true);

    TestEnvironment m_environment;
    TestServer m_server;
    TestServer m_elsewhere{ QHostAddress(QStringLiteral("127.0.0.2")) };
};

void TestUpdateService::initTestCase()
{
    TestEnvironment::setOrigins({ { "CLIPDOCK_UPDATE_ORIGIN", m_server.origin() } });
    m_elsewhere.route(manifestPath, TestServer::Response::json(manifest("1.3.0")));
    QNetworkCookie session("sessionid", "s3ss");
    session.setDomain(m_server.origin().host());
    session.setPath("/");
    Http::jar()->insertCookie(session);
}

void TestUpdateService::init()
{
    m_server.clearRequests();
    m_elsewhere.clearRequests();
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.0"));
}

void TestUpdateService::runCheck(UpdateService &service, bool silent)
{
    QSignalSpy finished(&service, &UpdateService::checkFinished);
    service.check(silent);
    QVERIFY(finished.wait(10000));
}

void TestUpdateService::isOlder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("older");

    QTest::newRow("equal") << "1.2.0" << "1.2.0" << false;
    QTest::newRow("shorter list first") << "1.2" << "1.2.0" << true;
    QTest::newRow("numeric not textual") << "1.9" << "1.10" << true;
    QTest::newRow("suffix piece dropped") << "1.2.3" << "1.2.3-beta" << false;
    QTest::newRow("letter prefix dropped") << "0.0.0" << "v2.0" << false;
    QTest::newRow("letter prefix against nothing") << "" << "v2.0" << true;
    QTest::newRow("signs allowed") << "-1" << "+0" << true;
    QTest::newRow("empty pieces dropped") << "1..2" << "1.2" << false;
    QTest::newRow("overflow dropped") << "1.99999999999999999999" << "1" << false;
    QTest::newRow("blank inside a piece dropped") << "1. 2" << "1.0" << true;
    QTest::newRow("major wins") << "2.0" << "1.99.99" << false;
    QTest::newRow("leading zeros") << "1.02" << "1.3" << true;
}

void TestUpdateService::isOlder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, older);
    QCOMPARE(AppVersion::isOlder(a, b), older);
}

void TestUpdateService::outcome_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<TestServer::Response>("response");
    QTest::addColumn<UpdateState::Kind>("kind");
    QTest::addColumn<QString>("message"); // for failures; a prefix when it ends in "…"

    using K = UpdateState::Kind;
    const auto json = [](const QByteArray &body, int status = 200) {
        return TestServer::Response::json(body, status);
    };
    QTest::newRow("newer") << "1.2.0" << json(manifest("1.3.0")) << K::available << QString();
    QTest::newRow("equal") << "1.2.0" << json(manifest("1.2.0")) << K::upToDate << QString();
    QTest::newRow("older") << "1.2.0" << json(manifest("1.1.9")) << K::upToDate << QString();
    QTest::newRow("1.2 against 1.2.0") << "1.2" << json(manifest("1.2.0")) << K::available << QString();
    QTest::newRow("404") << "1.2.0" << json("gone", 404) << K::failed << "Manifest returned HTTP 404";
    QTest::newRow("503") << "1.2.0" << json({}, 503) << K::failed << "Manifest returned HTTP 503";
    QTest::newRow("not json") << "1.2.0" << json("<html>hi</html>") << K::failed << "The update manifest isn't valid JSON…";
    QTest::newRow("json array") << "1.2.0" << json("[1]") << K::failed << "The update manifest isn't a JSON object.";
    QTest::newRow("no download_url") << "1.2.0" << json(R"({"latest_version":"9.0"})")
                                     << K::failed << "The update manifest lacks \"download_url\".";
    QTest::newRow("no latest_version") << "1.2.0" << json(R"({"download_url":"https://a.b/c"})")
                                       << K::failed << "The update manifest lacks \"latest_version\".";
    QTest::newRow("version not text") << "1.2.0" << json(R"({"latest_version":2,"download_url":"https://a.b/c"})")
                                      << K::failed << "The update manifest's \"latest_version\" isn't text.";
    // Only plain web addresses are handed to the desktop's URL opener.
    QTest::newRow("file address") << "1.2.0" << json(manifest("9.0", "file:///etc/passwd")) << K::upToDate << QString();
    QTest::newRow("script address") << "1.2.0" << json(manifest("9.0", "javascript:alert(1)")) << K::upToDate << QString();
    QTest::newRow("user info") << "1.2.0" << json(manifest("9.0", "https://user:pw@clipdock.app/get")) << K::upToDate << QString();
    QTest::newRow("no host") << "1.2.0" << json(manifest("9.0", "https:///get")) << K::upToDate << QString();
    QTest::newRow("not an address") << "1.2.0" << json(manifest("9.0", "download here")) << K::upToDate << QString();
    TestServer::Response moved = json({}, 302);
    moved.headers = { { "Location", m_elsewhere.url(manifestPath).toEncoded() } };
    QTest::newRow("redirected to another host") << "1.2.0" << moved << K::available << QString();
    TestServer::Response endless = json({});
    endless.endless = true;
    QTest::newRow("a body that never ends") << "1.2.0" << endless << K::failed
                                            << "The server's answer was larger than 16 MB and was not read.";
    QTest::newRow("plain http") << "1.2.0" << json(manifest("9.0", "HTTP://clipdock.app/get")) << K::available << QString();
}

void TestUpdateService::outcome()
{
    QFETCH(QString, running);
    QFETCH(TestServer::Response, response);
    QFETCH(UpdateState::Kind, kind);
    QFETCH(QString, message);

    QCoreApplication::setApplicationVersion(running);
    m_server.route(manifestPath, response);
    UpdateService service;
    runCheck(service);

    QCOMPARE(service.state().kind(), kind);
    if (message.endsWith(u'…'))
        QVERIFY2(service.state().message().startsWith(message.chopped(1)), qPrintable(service.state().message()));
    else
        QCOMPARE(service.state().message(), message);
    // Only a readable manifest counts as a check.
    QCOMPARE(service.lastChecked().isValid(), kind != UpdateState::Kind::failed);
    QCOMPARE(m_server.requestCount(manifestPath), 1);
    // The session of the update server's host stays there, and an endless body is cut short.
    for (const TestServer::Request &request : m_elsewhere.requests())
        QVERIFY(!request.header("Cookie").contains("sessionid"));
    QCOMPARE(TestServer::exhaustedStreams(), 0);
}

void TestUpdateService::passesManifestDetails()
{
    m_server.route(manifestPath, TestServer::Response::json(R"({
        "latest_version": "2.0.1", "download_url": "https://clipdock.app/dl/2.0.1",
        "release_notes": "Faster grids.\nFewer crashes.", "published_at": "2026-11-30",
        "min_version": "1.0", "channel": "stable"})"));
    UpdateService service;
    const QDateTime before = QDateTime::currentDateTime();
    runCheck(service, false);

    QCOMPARE(service.state().kind(), UpdateState::Kind::available);
    const UpdateInfo info = service.state().info();
    QCOMPARE(info.version, "2.0.1");
    QCOMPARE(info.downloadURL, QUrl("https://clipdock.app/dl/2.0.1"));
    QCOMPARE(info.releaseNotes, QStringLiteral("Faster grids.\nFewer crashes."));
    QCOMPARE(info.publishedAt, QStringLiteral("2026-11-30"));
    QVERIFY(service.lastChecked() >= before);

    const TestServer::Request request = m_server.requests(manifestPath).first();
    QCOMPARE(request.method, "GET");
    QCOMPARE(request.header("User-Agent"), "Mozilla/5.0 ClipDock");
}

void TestUpdateService::unreachableServer()
{
    TestEnvironment::setOrigins({ { "CLIPDOCK_UPDATE_ORIGIN", QUrl("http://127.0.0.1:9") } });
    UpdateService service;
    runCheck(service);
    TestEnvironment::setOrigins({ { "CLIPDOCK_UPDATE_ORIGIN", m_server.origin() } });

    QCOMPARE(service.state().kind(), UpdateState::Kind::failed);
    QVERIFY(!service.state().message().isEmpty());
    QVERIFY(!service.lastChecked().isValid());
}

void TestUpdateService::visibleCheckSendsOneRequest()
{
    TestServer::Response slow = TestServer::Response::json(manifest("1.2.0"));
    int answered = 0;
    m_server.route(manifestPath, [&](const TestServer::Request &) { ++answered; return slow; });
    UpdateService service;
    QSignalSpy finished(&service, &UpdateService::checkFinished);
    service.check(false);
    QCOMPARE(service.state().kind(), UpdateState::Kind::checking);
    service.check(false);
    service.check(true); // a silent check does not start beside a visible one either
    QVERIFY(finished.wait(10000));
    QTest::qWait(200);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(answered, 1);
    QCOMPARE(service.state().kind(), UpdateState::Kind::upToDate);

    // Once it has ended, the next press checks again.
    runCheck(service, false);
    QCOMPARE(answered, 2);
}

void TestUpdateService::silentCheckKeepsStateUntilOutcome()
{
    m_server.route(manifestPath, TestServer::Response::json(manifest("1.3.0")));
    UpdateService service;
    QSignalSpy changed(&service, &UpdateService::stateChanged);
    service.check(true);
    QCOMPARE(service.state().kind(), UpdateState::Kind::idle);
    QVERIFY(changed.wait(10000));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(service.state().kind(), UpdateState::Kind::available);
}

void TestUpdateService::equalOutcomeDoesNotNotify()
{
    m_server.route(manifestPath, TestServer::Response::json(manifest("1.0")));
    UpdateService service;
    runCheck(service);
    QCOMPARE(service.state().kind(), UpdateState::Kind::upToDate);
    QSignalSpy changed(&service, &UpdateService::stateChanged);
    runCheck(service);
    QCOMPARE(changed.size(), 0);
}

void TestUpdateService::withoutVersionEverythingIsNewer()
{
    QCoreApplication::setApplicationVersion({});
    QCOMPARE(AppVersion::current(), "0.0.0");
    m_server.route(manifestPath, TestServer::Response::json(manifest("0.1")));
    UpdateService service;
    runCheck(service);
    QCOMPARE(service.state().kind(), UpdateState::Kind::available);
}

QTEST_GUILESS_MAIN(TestUpdateService)
#include "tst_updateservice.moc"
