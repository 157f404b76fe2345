// Sign-in state against a detached browser store: which cookies count, what the Cookie header and
// CSRF token are, what the copy and the sign-out touch, and when observers hear about it.

#include "Answers.h"

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "SignInCookies.h"
#include "TestEnvironment.h"

#include <QtTest>

namespace {

const QString igHost = QStringLiteral(".insta.test");
const QString fbHost = QStringLiteral(".face.test");
const int ig = int(SocialPlatform::instagram);
const int fb = int(SocialPlatform::facebook);
// Lasting cookies of each platform's whole domain.
const auto insta = [](const char *name, const char *value) { return lastingCookie(name, value, igHost); };
const auto face = [](const char *name, const char *value) { return lastingCookie(name, value, fbHost); };

} // namespace

class TestPlatformAuth : public QObject
{
    Q_OBJECT

    // Before the first use of the app's jar, so that its file lives in the test's own home.
    TestEnvironment m_environment;

private slots:
    void initTestCase()
    {
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", QUrl("http://www.insta.test") },
                                      { "CLIPDOCK_FACEBOOK_ORIGIN", QUrl("http://www.face.test") } });
    }
    void init() { Http::jar()->setAllCookies({}); }

    // The copy at the start brings the platform's browser cookies into the jar, replacing one of
    // the same name, domain and path and leaving the jar's others; the state is read from the jar.
    void signedInFromBrowserCookies_data()
    {
        QTest::addColumn<int>("platform");
        QTest::addColumn<Cookies>("inJar");
        QTest::addColumn<Cookies>("cookies"); // in the browser
        QTest::addColumn<QString>("expected"); // signed in | cookie count | Cookie header | CSRF token

        const auto row = [](const char *name, int platform, const Cookies &cookies, const char *expected,
                            const Cookies &inJar = {}) {
            QTest::newRow(name) << platform << inJar << cookies << QString::fromUtf8(expected);
        };
        row("instagram session", ig, { insta("sessionid", "s") }, "true | 1 | sessionid=s | none");
        row("instagram empty session and token count but do not sign in", ig,
            { insta("sessionid", ""), insta("csrftoken", "") }, "false | 2 | sessionid=; csrftoken= | ");
        row("instagram name is case-sensitive", ig, { insta("SessionID", "s"), insta("csrftoken", "t") },
            "false | 2 | SessionID=s; csrftoken=t | t");
        row("instagram subdomain cookie", ig, { lastingCookie("sessionid", "s", "www.insta.test") },
            "true | 1 | sessionid=s | none");
        row("instagram replaces and keeps the jar's own", ig, { insta("sessionid", "second") },
            "true | 2 | older=kept; sessionid=second | none",
            { insta("older", "kept"), insta("sessionid", "first") });
        row("instagram ignores facebook cookies", ig, { face("c_user", "1"), face("xs", "2") },
            "false | 0 | none | none");
        row("facebook both markers", fb, { face("c_user", "1"), face("xs", "2"), face("fb_dtsg", "d") },
            "true | 3 | c_user=1; xs=2; fb_dtsg=d | d");
        row("facebook without xs", fb, { face("c_user", "1") }, "false | 1 | c_user=1 | none");
        row("facebook with empty xs", fb, { face("c_user", "1"), face("xs", "") },
            "false | 2 | c_user=1; xs= | none");
        row("facebook ignores instagram session", fb, { insta("sessionid", "s"), insta("csrftoken", "t") },
            "false | 0 | none | none");
    }
    void signedInFromBrowserCookies()
    {
        QFETCH(int, platform);
        QFETCH(Cookies, inJar);
        QFETCH(Cookies, cookies);
        for (const auto &cookie : inJar)
            Http::jar()->insertCookie(cookie);
        BrowserStore store;
        for (const auto &cookie : cookies)
            store.setCookie(cookie);
        PlatformAuth auth(SocialPlatform(platform), &store);
        QSignalSpy synced(&auth, &PlatformAuth::synced);
        QVERIFY(synced.wait());
        const auto text = [](const std::optional<QString> &value) { return value.value_or("none"); };
        QTEST(answers(auth.isSignedIn(), auth.cookieCount(), text(auth.cookieHeader()),
                      text(auth.csrfToken())), "expected");
    }

    // Signing out sticks whatever the cookies' order: no copy (set off, or under way) nor late
    // notice brings them back to the jar or its file, and a later sign-in counts. The other
    // platform copies on every change, but its unchanged state is not announced again.
    void signOutSticks_data()
    {
        QTest::addColumn<int>("platform");
        QTest::addColumn<Cookies>("cookies");
        QTest::addColumn<QString>("around"); // a copy asked for just before, or the browser's late notice

        const Cookies igSessionFirst{ insta("sessionid", "s"), insta("csrftoken", "t"), insta("mid", "m") };
        QTest::newRow("instagram login order")
                << ig << Cookies{ insta("csrftoken", "t"), insta("mid", "m"), insta("sessionid", "s"),
                                  insta("ds_user_id", "1") } << "";
        QTest::newRow("instagram session between subdomain cookies")
                << ig << Cookies{ lastingCookie("csrftoken", "t", "www.insta.test"), insta("sessionid", "s"),
                                  lastingCookie("mid", "m", "insta.test") } << "";
        // With the session cookie first, only what happens around the sign-out can bring it back.
        QTest::newRow("instagram copy under way") << ig << igSessionFirst << "copy under way";
        QTest::newRow("instagram late notice") << ig << igSessionFirst << "late notice";
        QTest::newRow("facebook login order")
                << fb << Cookies{ face("c_user", "1"), face("xs", "2"), face("fb_dtsg", "d") } << "";
        QTest::newRow("facebook xs first") << fb << Cookies{ face("xs", "2"), face("c_user", "1") } << "";
    }
    void signOutSticks()
    {
        QFETCH(int, platform);
        QFETCH(Cookies, cookies);
        QFETCH(QString, around);
        const bool instagram = SocialPlatform(platform) == SocialPlatform::instagram;
        const QString domain = instagram ? QStringLiteral("insta.test") : QStringLiteral("face.test");
        const Cookies otherCookies = instagram ? Cookies{ face("c_user", "1"), face("xs", "2") }
                                               : Cookies{ insta("sessionid", "s") };

        BrowserStore store;
        for (const auto &cookie : cookies + otherCookies)
            store.setCookie(cookie);
        PlatformAuth auth(SocialPlatform(platform), &store);
        PlatformAuth other(instagram ? SocialPlatform::facebook : SocialPlatform::instagram, &store);
        QTRY_VERIFY(auth.isSignedIn() && other.isSignedIn());
        // A jar cookie of the domain that the origin would not be sent is removed too.
        Http::jar()->insertCookie(lastingCookie("elsewhere", "x", "cdn." + domain));
        QSignalSpy otherSynced(&other, &PlatformAuth::synced);
        QSignalSpy otherSignedIn(&other, &PlatformAuth::isSignedInChanged);
        QSignalSpy otherCount(&other, &PlatformAuth::cookieCountChanged);
        if (around == "copy under way")
            auth.syncCookiesFromWebView();
        auth.signOut();
        // Set by the page before the deletions reached the browser, which reports them only now.
        for (const auto &cookie : around == "late notice" ? cookies : Cookies())
            store.setCookie(cookie);
        // At once, and once every copy, deletion and notice has run.
        for (int wait : { 0, 200 }) {
            if (wait > 0)
                QTest::qWait(wait);
            QVERIFY(!auth.isSignedIn());
            QCOMPARE(auth.cookieCount(), 0);
            QCOMPARE(cookiesOf(Http::jar()->allCookies(), domain), Cookies());
            QCOMPARE(cookiesOf(store.cookies(), domain), Cookies());
        }
        QVERIFY(other.isSignedIn());
        QVERIFY(!otherSynced.isEmpty());
        QCOMPARE(otherSignedIn.size() + otherCount.size(), 0);
        QCOMPARE(store.cookies(), otherCookies);
        // The jar's file, which the next start reads, keeps the other platform's session alone.
        QCOMPARE(keptCookies(domain), Cookies());
        QCOMPARE(keptCookies(QString()).size(), otherCookies.size());
        // Signing in again afterwards counts.
        for (const auto &cookie : cookies)
            store.setCookie(cookie);
        QTRY_VERIFY(auth.isSignedIn());
    }
};

QTEST_GUILESS_MAIN(TestPlatformAuth)
#include "tst_platformauth.moc"
