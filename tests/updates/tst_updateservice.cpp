#include "SignInCookies.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include "updates/AppVersion.h"
#include "updates/UpdateService.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString manifestPath = QStringLiteral("/apps/clip-dock/manifest.json");

TestServer::Response manifest(const QString &version, const QString &url = QStringLiteral("https://clipdock.app/get"))
{
    return TestServer::Response::json(
            QStringLiteral(R"({"latest_version": "%1", "download_url": "%2"})").arg(version, url).toUtf8());
}

} // namespace

Q_DECLARE_METATYPE(TestServer::Response)

class TestUpdateService : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    TestServer m_server;
    TestServer m_elsewhere{ QHostAddress(QStringLiteral("127.0.0.2")) };

    void runCheck(UpdateService &service, bool silent = true)
    {
        QSignalSpy finished(&service, &UpdateService::checkFinished);
        service.check(silent);
        QVERIFY(finished.wait(10000));
    }

private slots:
    void initTestCase()
    {
        m_elsewhere.route(manifestPath, manifest("1.3.0"));
        Http::jar()->insertCookie(lastingCookie("sessionid", "s3ss", m_server.origin().host()));
    }
    void init()
    {
        m_server.clearRequests();
        m_elsewhere.clearRequests();
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.0"));
    }

    void isOlder_data()
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
    }
    void isOlder()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QTEST(AppVersion::isOlder(a, b), "older");
    }

    // One silent check against the manifest served: the state it ends in, and the update offered
    // ("version address notes day") or the failure's message (a prefix when it ends in "…").
    void outcome_data();
    void outcome()
    {
        QFETCH(QString, running);
        QFETCH(TestServer::Response, response);
        QFETCH(UpdateState::Kind, kind);
        QFETCH(QString, message);

        QCoreApplication::setApplicationVersion(running);
        m_server.route(manifestPath, response);
        const QUrl origin = response.status ? m_server.origin() : QUrl("http://127.0.0.1:9");
        TestEnvironment::setOrigins({ { "CLIPDOCK_UPDATE_ORIGIN", origin } });
        UpdateService service;
        const QDateTime before = QDateTime::currentDateTime();
        runCheck(service);

        QCOMPARE(service.state().kind(), kind);
        const UpdateInfo info = service.state().info();
        const QString text = kind == UpdateState::Kind::available
                ? QStringList{ info.version, info.downloadURL.toString(), info.releaseNotesText(), info.publishedAtText() }
                          .join(u' ').trimmed()
                : service.state().message();
        if (message.endsWith(u'…'))
            QVERIFY2(text.startsWith(message.chopped(1)), qPrintable(text));
        else
            QCOMPARE(text, message);
        // Only a readable manifest counts as a check.
        QCOMPARE(service.lastChecked() >= before, kind != UpdateState::Kind::failed);
        QCOMPARE(m_server.requestCount(manifestPath), response.status ? 1 : 0);
        for (const TestServer::Request &request : m_server.requests(manifestPath))
            QCOMPARE(request.method + ' ' + request.header("User-Agent"), "GET Mozilla/5.0 ClipDock");
        // The session of the update server's host stays there, and an endless body is cut short.
        for (const TestServer::Request &request : m_elsewhere.requests())
            QVERIFY(!request.header("Cookie").contains("sessionid"));
        QCOMPARE(TestServer::exhaustedStreams(), 0);
    }

    // A silent check keeps the state until its outcome, and an outcome equal to the state is not
    // announced. A visible check shows that it runs, and no check starts beside it; once it has
    // ended, the next press checks again.
    void checksRunOneAtATime()
    {
        QString latest = QStringLiteral("1.3.0");
        m_server.route(manifestPath, [&](const TestServer::Request &) { return manifest(latest); });
        TestEnvironment::setOrigins({ { "CLIPDOCK_UPDATE_ORIGIN", m_server.origin() } });
        UpdateService service;
        QSignalSpy changed(&service, &UpdateService::stateChanged);
        QSignalSpy finished(&service, &UpdateService::checkFinished);
        service.check(true);
        QCOMPARE(service.state().kind(), UpdateState::Kind::idle);
        QVERIFY(finished.wait(10000));
        QCOMPARE(service.state().kind(), UpdateState::Kind::available);
        runCheck(service);
        QCOMPARE(changed.size(), 1);

        latest = QStringLiteral("1.2.0");
        finished.clear();
        service.check(false);
        QCOMPARE(service.state().kind(), UpdateState::Kind::checking);
        service.check(false);
        service.check(true);
        QVERIFY(finished.wait(10000));
        QTest::qWait(200);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(m_server.requestCount(manifestPath), 3);
        QCOMPARE(service.state().kind(), UpdateState::Kind::upToDate);
        runCheck(service, false);
        QCOMPARE(m_server.requestCount(manifestPath), 4);
    }
};

void TestUpdateService::outcome_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<TestServer::Response>("response"); // status 0: nothing listens
    QTest::addColumn<UpdateState::Kind>("kind");
    QTest::addColumn<QString>("message");

    using K = UpdateState::Kind;
    const auto json = [](const QByteArray &body, int status = 200) { return TestServer::Response::json(body, status); };
    const QString offered = QStringLiteral("1.3.0 https://clipdock.app/get");
    QTest::newRow("newer") << "1.2.0" << manifest("1.3.0") << K::available << offered;
    QTest::newRow("equal") << "1.2.0" << manifest("1.2.0") << K::upToDate << QString();
    QTest::newRow("older") << "1.2.0" << manifest("1.1.9") << K::upToDate << QString();
    QTest::newRow("1.2 against 1.2.0") << "1.2" << manifest("1.2.0") << K::available << "1.2.0 https://clipdock.app/get";
    QTest::newRow("no version set is 0.0.0") << "" << manifest("0.0.0") << K::upToDate << QString();
    QTest::newRow("no version set, 0.1 is newer") << "" << manifest("0.1") << K::available << "0.1 https://clipdock.app/get";
    QTest::newRow("every detail") << "1.2.0"
            << json(R"({"latest_version": "2.0.1", "download_url": "https://clipdock.app/dl/2.0.1", "min_version": "1.0",)"
                    R"("release_notes": "Faster grids.\nFewer crashes.", "published_at": "2026-11-30", "channel": "stable"})")
            << K::available << "2.0.1 https://clipdock.app/dl/2.0.1 Faster grids.\nFewer crashes. 2026-11-30";
    QTest::newRow("404") << "1.2.0" << json("gone", 404) << K::failed << "Manifest returned HTTP 404";
    QTest::newRow("503") << "1.2.0" << json({}, 503) << K::failed << "Manifest returned HTTP 503";
    QTest::newRow("nothing listens") << "1.2.0" << json({}, 0) << K::failed << "Connection refused…";
    QTest::newRow("not json") << "1.2.0" << json("<html>hi</html>") << K::failed << "The update manifest isn't valid JSON…";
    QTest::newRow("json array") << "1.2.0" << json("[1]") << K::failed << "The update manifest isn't a JSON object.";
    QTest::newRow("no download_url") << "1.2.0" << json(R"({"latest_version":"9.0"})")
                                     << K::failed << "The update manifest lacks \"download_url\".";
    QTest::newRow("no latest_version") << "1.2.0" << json(R"({"download_url":"https://a.b/c"})")
                                       << K::failed << "The update manifest lacks \"latest_version\".";
    QTest::newRow("version not text") << "1.2.0" << json(R"({"latest_version":2,"download_url":"https://a.b/c"})")
                                      << K::failed << "The update manifest's \"latest_version\" isn't text.";
    // Only plain web addresses are handed to the desktop's URL opener.
    for (const char *address : { "file:///etc/passwd", "javascript:alert(1)", "https://user:pw@clipdock.app/get", "https:///get",
                                 "download here" })
        QTest::addRow("not offered: %s", address) << "1.2.0" << manifest("9.0", address) << K::upToDate << QString();
    QTest::newRow("plain http") << "1.2.0" << manifest("9.0", "HTTP://clipdock.app/get") << K::available
                                << "9.0 http://clipdock.app/get";
    TestServer::Response moved = json({}, 302);
    moved.headers = { { "Location", m_elsewhere.url(manifestPath).toEncoded() } };
    QTest::newRow("redirected to another host") << "1.2.0" << moved << K::available << offered;
    TestServer::Response endless = json({});
    endless.endless = true;
    QTest::newRow("a body that never ends") << "1.2.0" << endless << K::failed
                                            << "The server's answer was larger than 16 MB and was not read.";
}

QTEST_GUILESS_MAIN(TestUpdateService)
#include "tst_updateservice.moc"
