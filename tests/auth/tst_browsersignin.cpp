// Signing in through the real browser engine: a login page of the simulator sets the session
// cookies in the shared profile, they reach the jar, sign-out clears both stores, two platforms on
// two hosts keep separate state, and the session survives a restart of the app.

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "core/Config.h"
#include "core/Http.h"
#include "core/WebIdentity.h"
#include "LoginPages.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QtTest>
#include <QtWebEngineQuick>

namespace {

bool load(QWebEnginePage &page, const QUrl &url)
{
    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    page.load(url);
    return finished.wait(20000) && finished.first().first().toBool();
}

// Fills in and sends the page's login form, then waits for the home page.
bool submitLogin(QWebEnginePage &page)
{
    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    page.runJavaScript(QStringLiteral(
            "document.querySelector('[name=username]').value = 'ana';"
            "document.querySelector('[name=password]').value = 'secret';"
            "document.getElementById('login').submit();"));
    return finished.wait(20000) && finished.first().first().toBool();
}

} // namespace

class TestBrowserSignIn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        LoginPages::attach(m_instagram, SocialPlatform::instagram);
        LoginPages::attach(m_facebook, SocialPlatform::facebook);
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_instagram.origin() },
                                      { "CLIPDOCK_FACEBOOK_ORIGIN", m_facebook.origin() } });
    }

    void signInSignOutKeepsPlatformsApart()
    {
        QVERIFY(!BrowserStore::profile()->isOffTheRecord());
        QCOMPARE(BrowserStore::profile()->persistentCookiesPolicy(),
                 QWebEngineProfile::ForcePersistentCookies);

        PlatformAuth instagram(SocialPlatform::instagram);
        PlatformAuth facebook(SocialPlatform::facebook);
        QVERIFY(!instagram.isSignedIn());
        QVERIFY(!facebook.isSignedIn());

        QWebEnginePage page(BrowserStore::profile());
        QVERIFY(load(page, m_instagram.url(LoginPages::loginPath(SocialPlatform::instagram))));
        QCOMPARE(m_instagram.requests().first().header("User-Agent"),
                 WebIdentity::desktopUserAgent().toUtf8());
        QVERIFY(submitLogin(page));
        QTRY_VERIFY_WITH_TIMEOUT(instagram.isSignedIn(), 10000);
        QCOMPARE(instagram.cookieCount(), 3);
        QVERIFY(instagram.csrfToken()->startsWith(QStringLiteral("csrf-")));
        QVERIFY(!facebook.isSignedIn());
        QCOMPARE(facebook.cookieCount(), 0);

        QVERIFY(load(page, m_facebook.url(LoginPages::loginPath(SocialPlatform::facebook))));
        QVERIFY(submitLogin(page));
        QTRY_VERIFY_WITH_TIMEOUT(facebook.isSignedIn(), 10000);
        QVERIFY(!instagram.cookieHeader()->contains(QStringLiteral("c_user")));
        QVERIFY(!facebook.cookieHeader()->contains(QStringLiteral("sessionid")));

        instagram.signOut();
        QVERIFY(!instagram.isSignedIn());
        QCOMPARE(instagram.cookieCount(), 0);

        // The browser forgets the session too: the next page load of that host sends no cookie.
        const QString host = m_instagram.origin().host();
        QTRY_VERIFY_WITH_TIMEOUT(std::none_of(BrowserStore::instance()->cookies().cbegin(),
                                              BrowserStore::instance()->cookies().cend(),
                                              [&](const QNetworkCookie &c) {
                                                  return c.domain().contains(host);
                                              }),
                                 10000);
        m_instagram.clearRequests();
        QVERIFY(load(page, m_instagram.url(QStringLiteral("/"))));
        QVERIFY(!m_instagram.requests().first().header("Cookie").contains("sessionid"));
        QTest::qWait(300); // late copies from the deletions must not sign the user back in
        QVERIFY(!instagram.isSignedIn());
        QVERIFY(facebook.isSignedIn());
        facebook.signOut();
    }

    // One run of the app signs in and quits; the next starts signed in and signs out, which
    // reaches the browser's cookies of the earlier run too; the one after starts signed out.
    void sessionSurvivesRestart()
    {
        const QString self = QCoreApplication::applicationFilePath();
        for (const char *step : { "--child-sign-in", "--child-sign-out", "--child-expect-signed-out" })
            QCOMPARE(QProcess::execute(self, { QString::fromLatin1(step) }), 0);
    }

private:
    TestEnvironment m_environment;
    TestServer m_instagram{ QHostAddress(QStringLiteral("127.0.0.1")) };
    TestServer m_facebook{ QHostAddress(QStringLiteral("127.0.0.2")) };
};

// The steps of the restart check, each a separate run of this program sharing the home folder
// its parent set up. A run answers 0 when its step went as expected.
static int runChild(const QString &role)
{
    TestServer server;
    LoginPages::attach(server, SocialPlatform::instagram);
    qputenv("CLIPDOCK_INSTAGRAM_ORIGIN", server.origin().toString().toUtf8());
    Config::reload();
    PlatformAuth auth(SocialPlatform::instagram);
    QWebEnginePage page(BrowserStore::profile());
    const auto browserSendsSession = [&] {
        server.clearRequests();
        return load(page, server.url(QStringLiteral("/")))
                && server.requests().first().header("Cookie").contains("sessionid");
    };

    if (role == QLatin1String("--child-sign-in")) {
        if (!load(page, server.url(LoginPages::loginPath(SocialPlatform::instagram)))
            || !submitLogin(page))
            return 1;
        return QTest::qWaitFor([&] { return auth.isSignedIn(); }, 10000) ? 0 : 2;
    }
    if (role == QLatin1String("--child-sign-out")) {
        // Signed in from the start, in the app and in the browser; signing out ends both.
        if (!auth.isSignedIn() || !auth.cookieHeader()->contains(QStringLiteral("sessionid")))
            return 3;
        if (!browserSendsSession())
            return 4;
        auth.signOut();
        QTest::qWait(500);
        return browserSendsSession() || auth.isSignedIn() ? 5 : 0;
    }
    // --child-expect-signed-out
    QTest::qWait(300);
    return auth.isSignedIn() || browserSendsSession() ? 6 : 0;
}

int main(int argc, char *argv[])
{
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("ClipDock"));
    QGuiApplication::setApplicationName(QStringLiteral("Clip Dock Tests"));
    if (argc == 2 && QByteArray(argv[1]).startsWith("--child-"))
        return runChild(QString::fromLatin1(argv[1]));
    TestBrowserSignIn test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browsersignin.moc"
