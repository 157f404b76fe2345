// Signing in through the real browser engine: a login page of the simulator sets the session
// cookies in the shared profile, they reach the jar, two platforms on two hosts keep separate
// state, the session survives a restart of the app, and a sign-out clears both stores and the
// jar's file for good.

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
#include <QStandardPaths>
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

QByteArray sessionMarker(SocialPlatform platform)
{
    return platform == SocialPlatform::facebook ? "xs=" : "sessionid=";
}

QList<QNetworkCookie> cookiesOf(const QList<QNetworkCookie> &cookies, const QString &host)
{
    QList<QNetworkCookie> found;
    for (const auto &cookie : cookies) {
        if (cookie.domain().contains(host))
            found.append(cookie);
    }
    return found;
}

// The cookies of `host` that the app's jar keeps for the next start, read from its file.
QList<QNetworkCookie> keptCookies(const QString &host)
{
    const CookieJar kept(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                 + QStringLiteral("/cookies"),
                         nullptr);
    return cookiesOf(kept.allCookies(), host);
}

} // namespace

// How QCOMPARE shows a cookie that should not be there.
static char *toString(const QNetworkCookie &c)
{
    return QTest::toString(c.name() + " of " + c.domain().toUtf8());
}

class TestBrowserSignIn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_instagram.origin() },
                                      { "CLIPDOCK_FACEBOOK_ORIGIN", m_facebook.origin() } });
        QVERIFY(!BrowserStore::profile()->isOffTheRecord());
        QCOMPARE(BrowserStore::profile()->persistentCookiesPolicy(),
                 QWebEngineProfile::ForcePersistentCookies);
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
        QVERIFY(!instagram.isSignedIn());
        QVERIFY(!facebook.isSignedIn());

        QWebEnginePage page(BrowserStore::profile());
        m_instagram.clearRequests();
        QVERIFY(load(page, m_instagram.url(LoginPages::loginPath(SocialPlatform::instagram))));
        QCOMPARE(m_instagram.requests().first().header("User-Agent"),
                 WebIdentity::desktopUserAgent().toUtf8());
        QVERIFY(submitLogin(page));
        QTRY_VERIFY_WITH_TIMEOUT(instagram.isSignedIn(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(instagram.cookieCount(), int(instagramOrder.size()), 10000);
        QVERIFY(instagram.csrfToken()->startsWith(QStringLiteral("csrf-")));
        QVERIFY(!facebook.isSignedIn());
        QCOMPARE(facebook.cookieCount(), 0);

        QVERIFY(load(page, m_facebook.url(LoginPages::loginPath(SocialPlatform::facebook))));
        QVERIFY(submitLogin(page));
        QTRY_VERIFY_WITH_TIMEOUT(facebook.isSignedIn(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(facebook.cookieCount(), int(facebookOrder.size()), 10000);
        QVERIFY(!instagram.cookieHeader()->contains(QStringLiteral("c_user")));
        QVERIFY(!facebook.cookieHeader()->contains(QStringLiteral("sessionid")));

        using Platform = std::pair<PlatformAuth *, TestServer *>;
        QList<Platform> outInTurn{ { &instagram, &m_instagram }, { &facebook, &m_facebook } };
        if (!instagramFirst)
            std::swap(outInTurn.first(), outInTurn.last());
        for (const auto &[auth, server] : outInTurn) {
            const QString host = server->origin().host();
            auth->signOut();
            QVERIFY(!auth->isSignedIn());
            QCOMPARE(auth->cookieCount(), 0);
            QCOMPARE(cookiesOf(Http::jar()->allCookies(), host), QList<QNetworkCookie>());

            // The browser forgets the session too: the next page load of that host sends no
            // cookie.
            QTRY_COMPARE_WITH_TIMEOUT(cookiesOf(BrowserStore::instance()->cookies(), host),
                                      QList<QNetworkCookie>(), 10000);
            server->clearRequests();
            QVERIFY(load(page, server->url(QStringLiteral("/"))));
            QCOMPARE(server->requests().first().header("Cookie"), QByteArray());

            // Late notices and the copies they set off bring nothing back.
            QTest::qWait(2000);
            QVERIFY(!auth->isSignedIn());
            QCOMPARE(cookiesOf(Http::jar()->allCookies(), host), QList<QNetworkCookie>());
            QCOMPARE(keptCookies(host), QList<QNetworkCookie>());
            QCOMPARE(cookiesOf(BrowserStore::instance()->cookies(), host),
                     QList<QNetworkCookie>());
            if (auth == outInTurn.first().first) {
                PlatformAuth *other = outInTurn.last().first;
                QVERIFY(other->isSignedIn());
                QVERIFY(!keptCookies(outInTurn.last().second->origin().host()).isEmpty());
            }
        }
    }

    // Runs of the app in turn, each a child process: a sign-in lasts into the next run, and a
    // sign-out, in the run that signed in or in a later one, lasts too.
    void restart_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QStringList>("runs");

        QTest::newRow("instagram, out in the same run")
                << QStringLiteral("instagram") << QStringList{ "sign-in sign-out", "signed-out" };
        QTest::newRow("instagram, out in the next run")
                << QStringLiteral("instagram")
                << QStringList{ "sign-in", "signed-in sign-out", "signed-out" };
        QTest::newRow("facebook, out in the same run")
                << QStringLiteral("facebook") << QStringList{ "sign-in sign-out", "signed-out" };
    }

    void restart()
    {
        QFETCH(QString, platform);
        QFETCH(QStringList, runs);
        const QString self = QCoreApplication::applicationFilePath();
        for (const QString &steps : runs) {
            QCOMPARE(QProcess::execute(self, QStringList{ QStringLiteral("--child-") + platform }
                                                     + steps.split(u' ')),
                     0);
        }
    }

private:
    TestEnvironment m_environment;
    TestServer m_instagram{ QHostAddress(QStringLiteral("127.0.0.1")) };
    TestServer m_facebook{ QHostAddress(QStringLiteral("127.0.0.2")) };
};

// One run of the restart check: a separate run of this program, sharing the home folder its
// parent set up, that takes its steps in turn. Answers 0 when every step went as expected, or
// the number of the step that did not.
static int runChild(SocialPlatform platform, const QStringList &steps)
{
    const bool facebook = platform == SocialPlatform::facebook;
    TestServer server{ QHostAddress(facebook ? QStringLiteral("127.0.0.2")
                                             : QStringLiteral("127.0.0.1")) };
    LoginPages::attach(server, platform);
    qputenv(facebook ? "CLIPDOCK_FACEBOOK_ORIGIN" : "CLIPDOCK_INSTAGRAM_ORIGIN",
            server.origin().toString().toUtf8());
    Config::reload();
    PlatformAuth auth(platform);
    QWebEnginePage page(BrowserStore::profile());
    const QString host = server.origin().host();
    const QByteArray marker = sessionMarker(platform);
    const auto browserSendsSession = [&] {
        server.clearRequests();
        return load(page, server.url(QStringLiteral("/")))
                && server.requests().first().header("Cookie").contains(marker);
    };
    const auto appHasSession = [&] {
        return auth.isSignedIn()
                || auth.cookieHeader().value_or(QString()).contains(QString::fromLatin1(marker))
                || !keptCookies(host).isEmpty();
    };

    QTest::qWait(300); // the copy at the start has run
    for (int i = 0; i < steps.size(); ++i) {
        const QString &step = steps.at(i);
        bool ok = true;
        if (step == QLatin1String("sign-in")) {
            ok = load(page, server.url(LoginPages::loginPath(platform))) && submitLogin(page)
                    && QTest::qWaitFor([&] { return auth.isSignedIn(); }, 10000);
        } else if (step == QLatin1String("signed-in")) {
            ok = appHasSession() && browserSendsSession();
        } else if (step == QLatin1String("sign-out")) {
            auth.signOut();
            QTest::qWait(2000); // late notices and copies have run
            ok = !appHasSession() && !browserSendsSession();
        } else if (step == QLatin1String("signed-out")) {
            ok = !appHasSession() && !browserSendsSession();
        } else {
            ok = false;
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
    if (arguments.size() >= 2 && arguments.at(1).startsWith(QLatin1String("--child-"))) {
        const auto platform = arguments.at(1) == QLatin1String("--child-facebook")
                ? SocialPlatform::facebook
                : SocialPlatform::instagram;
        return runChild(platform, arguments.mid(2));
    }
    TestBrowserSignIn test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browsersignin.moc"
