// Signing in through the real browser engine: the simulator's login pages set the cookies, two
// platforms keep apart, a session outlives a restart and a sign-out clears every store for good.

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "core/Http.h"
#include "core/WebIdentity.h"
#include "LoginPages.h"
#include "SignInCookies.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include <QGuiApplication>
#include <QWebEnginePage>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QtTest>
#include <QtWebEngineQuick>

namespace {

// Loads `url` in the page, or without one sends the page's login form; then waits for the page.
bool load(QWebEnginePage &page, const QUrl &url = {})
{
    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    if (url.isEmpty())
        page.runJavaScript(QStringLiteral("document.querySelector('[name=username]').value = 'ana';"
                                          "document.querySelector('[name=password]').value = 'secret';"
                                          "document.getElementById('login').submit();"));
    else
        page.load(url);
    return finished.wait(20000) && finished.first().first().toBool();
}

// Signs in on the platform's login page of `server`, as far as the home page.
bool signIn(QWebEnginePage &page, const TestServer &server, SocialPlatform platform)
{
    return load(page, server.url(LoginPages::loginPath(platform))) && load(page);
}

// The Cookie header the browser sends with a page of `server`.
QByteArray browserCookie(QWebEnginePage &page, TestServer &server)
{
    server.clearRequests();
    return load(page, server.url(QStringLiteral("/"))) ? server.requests().first().header("Cookie") : "no page";
}

} // namespace

class TestBrowserSignIn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_instagram.origin() },
                                      { "CLIPDOCK_FACEBOOK_ORIGIN", m_facebook.origin() } });
    }

    // Each test starts signed out of both platforms, whatever the one before left behind.
    void cleanup()
    {
        Http::jar()->setAllCookies({});
        BrowserStore::profile()->cookieStore()->deleteAllCookies();
        QTRY_VERIFY_WITH_TIMEOUT(BrowserStore::instance()->cookies().isEmpty(), 10000);
    }

    // Both platforms sign in on their login pages and keep apart; each sign-out then sticks in
    // the app, in the jar and its file, and in the browser, while the other platform stays.
    void signInSignOut_data()
    {
        QTest::addColumn<QByteArrayList>("instagramOrder");
        QTest::addColumn<QByteArrayList>("facebookOrder");
        QTest::addColumn<bool>("instagramFirst");

        const auto ig = LoginPages::loginOrder(SocialPlatform::instagram);
        const auto fb = LoginPages::loginOrder(SocialPlatform::facebook);
        QTest::newRow("login order, instagram out first") << ig << fb << true;
        QTest::newRow("login order, facebook out first") << ig << fb << false;
        QTest::newRow("session cookies in the middle")
                << QByteArrayList{ "csrftoken", "sessionid", "mid", "ds_user_id" }
                << QByteArrayList{ "xs", "fb_dtsg", "c_user" } << true;
    }

    void signInSignOut()
    {
        QFETCH(QByteArrayList, instagramOrder);
        QFETCH(QByteArrayList, facebookOrder);
        QFETCH(bool, instagramFirst);
        LoginPages::attach(m_instagram, SocialPlatform::instagram, instagramOrder);
        LoginPages::attach(m_facebook, SocialPlatform::facebook, facebookOrder);

        PlatformAuth instagram(SocialPlatform::instagram);
        PlatformAuth facebook(SocialPlatform::facebook);
        struct Platform { PlatformAuth *auth; TestServer *server; int cookies; };
        QList<Platform> platforms{ { &instagram, &m_instagram, int(instagramOrder.size()) },
                                   { &facebook, &m_facebook, int(facebookOrder.size()) } };
        QWebEnginePage page(BrowserStore::profile());
        for (const Platform &platform : platforms) {
            QVERIFY(!platform.auth->isSignedIn());
            platform.server->clearRequests();
            QVERIFY(signIn(page, *platform.server, platform.auth->platform()));
            QCOMPARE(platform.server->requests().first().header("User-Agent"), WebIdentity::desktopUserAgent().toUtf8());
            QTRY_VERIFY_WITH_TIMEOUT(platform.auth->isSignedIn(), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(platform.auth->cookieCount(), platform.cookies, 10000);
        }
        QVERIFY(instagram.csrfToken()->startsWith(QStringLiteral("csrf-")));
        QVERIFY(!instagram.cookieHeader()->contains(QStringLiteral("c_user")));
        QVERIFY(!facebook.cookieHeader()->contains(QStringLiteral("sessionid")));

        if (!instagramFirst)
            std::swap(platforms.first(), platforms.last());
        for (const auto &[auth, server, cookies] : platforms) {
            const QString host = server->origin().host();
            auth->signOut();
            QCOMPARE(auth->cookieCount(), 0);
            // The browser forgets the session too: the next page of that host gets no cookie.
            QTRY_COMPARE_WITH_TIMEOUT(cookiesOf(BrowserStore::instance()->cookies(), host), Cookies(), 10000);
            QCOMPARE(browserCookie(page, *server), QByteArray());
            // Late notices and the copies they set off bring nothing back.
            QTest::qWait(2000);
            QVERIFY(!auth->isSignedIn());
            QCOMPARE(cookiesOf(Http::jar()->allCookies(), host), Cookies());
            QCOMPARE(keptCookies(host), Cookies());
            QCOMPARE(cookiesOf(BrowserStore::instance()->cookies(), host), Cookies());
            if (auth == platforms.first().auth) {
                QVERIFY(platforms.last().auth->isSignedIn());
                QVERIFY(!keptCookies(platforms.last().server->origin().host()).isEmpty());
            }
        }
    }

    // Runs of the app in turn, each a child process: a sign-in lasts into the next run, and a
    // sign-out, in the run that signed in or in a later one, lasts too.
    void restart_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QStringList>("runs");
        QTest::newRow("instagram, out in the same run") << "instagram" << QStringList{ "sign-in sign-out", "signed-out" };
        QTest::newRow("instagram, out in the next run")
                << "instagram" << QStringList{ "sign-in", "signed-in sign-out", "signed-out" };
        QTest::newRow("facebook, out in the same run") << "facebook" << QStringList{ "sign-in sign-out", "signed-out" };
    }
    void restart()
    {
        QFETCH(QString, platform);
        QFETCH(QStringList, runs);
        for (const QString &steps : runs)
            QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(),
                                       QStringList{ "--child-" + platform } + steps.split(u' ')), 0);
    }

private:
    TestEnvironment m_environment;
    TestServer m_instagram{ QHostAddress(QStringLiteral("127.0.0.1")) };
    TestServer m_facebook{ QHostAddress(QStringLiteral("127.0.0.2")) };
};

// One run of the restart check, in the home folder its parent set up: takes its steps in turn
// and answers 0 when every step went as expected, else the number of the one that did not.
static int runChild(SocialPlatform platform, const QStringList &steps)
{
    const bool facebook = platform == SocialPlatform::facebook;
    TestServer server{ QHostAddress(facebook ? QStringLiteral("127.0.0.2") : QStringLiteral("127.0.0.1")) };
    LoginPages::attach(server, platform);
    TestEnvironment::setOrigins({ { facebook ? "CLIPDOCK_FACEBOOK_ORIGIN" : "CLIPDOCK_INSTAGRAM_ORIGIN", server.origin() } });
    PlatformAuth auth(platform);
    QWebEnginePage page(BrowserStore::profile());
    const QByteArray marker = facebook ? "xs=" : "sessionid=";
    // In the app, in the jar's file or in what the browser sends.
    const auto hasSession = [&] {
        return auth.isSignedIn() || auth.cookieHeader().value_or(QString()).contains(QString::fromLatin1(marker))
                || !keptCookies(server.origin().host()).isEmpty() || browserCookie(page, server).contains(marker);
    };

    QTest::qWait(300); // the copy at the start has run
    for (int i = 0; i < steps.size(); ++i) {
        const QString &step = steps.at(i);
        bool ok = false;
        if (step == QLatin1String("sign-in")) {
            ok = signIn(page, server, platform) && QTest::qWaitFor([&] { return auth.isSignedIn(); }, 10000);
        } else if (step == QLatin1String("signed-in")) {
            ok = auth.isSignedIn() && !keptCookies(server.origin().host()).isEmpty()
                    && browserCookie(page, server).contains(marker);
        } else if (step == QLatin1String("sign-out") || step == QLatin1String("signed-out")) {
            if (step == QLatin1String("sign-out")) {
                auth.signOut();
                QTest::qWait(2000); // late notices and copies have run
            }
            ok = !hasSession();
        }
        if (!ok)
            return i + 1;
    }
    return 0;
}

int main(int argc, char *argv[])
{
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("ClipDock"));
    QGuiApplication::setApplicationName(QStringLiteral("Clip Dock Tests"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1).startsWith(QLatin1String("--child-")))
        return runChild(arguments.at(1) == QLatin1String("--child-facebook") ? SocialPlatform::facebook
                                                                            : SocialPlatform::instagram,
                        arguments.mid(2));
    TestBrowserSignIn test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browsersignin.moc"
