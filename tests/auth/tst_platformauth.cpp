// Sign-in state against a detached browser store: which cookies count, what the Cookie header and
// CSRF token are, what the copy and the sign-out touch, and when observers hear about it.

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
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("header"); // null: none
        QTest::addColumn<QString>("token");  // null: none; empty: an empty token, still a token

        const auto c = lastingCookie;
        QTest::newRow("instagram session") << ig << Cookies() << Cookies{ c("sessionid", "s", igHost) }
                                           << true << 1 << "sessionid=s" << QString();
        QTest::newRow("instagram empty session and token count but do not sign in")
                << ig << Cookies() << Cookies{ c("sessionid", "", igHost), c("csrftoken", "", igHost) }
                << false << 2 << "sessionid=; csrftoken=" << "";
        QTest::newRow("instagram name is case-sensitive")
                << ig << Cookies() << Cookies{ c("SessionID", "s", igHost), c("csrftoken", "t", igHost) }
                << false << 2 << "SessionID=s; csrftoken=t" << "t";
        QTest::newRow("instagram subdomain cookie") << ig << Cookies() << Cookies{ c("sessionid", "s", "www.insta.test") }
                                                    << true << 1 << "sessionid=s" << QString();
        QTest::newRow("instagram replaces and keeps the jar's own")
                << ig << Cookies{ c("older", "kept", igHost), c("sessionid", "first", igHost) }
                << Cookies{ c("sessionid", "second", igHost) } << true << 2 << "older=kept; sessionid=second" << QString();
        QTest::newRow("instagram ignores facebook cookies")
                << ig << Cookies() << Cookies{ c("c_user", "1", fbHost), c("xs", "2", fbHost) }
                << false << 0 << QString() << QString();
        QTest::newRow("facebook both markers")
                << fb << Cookies() << Cookies{ c("c_user", "1", fbHost), c("xs", "2", fbHost), c("fb_dtsg", "d", fbHost) }
                << true << 3 << "c_user=1; xs=2; fb_dtsg=d" << "d";
        QTest::newRow("facebook without xs") << fb << Cookies() << Cookies{ c("c_user", "1", fbHost) }
                                             << false << 1 << "c_user=1" << QString();
        QTest::newRow("facebook with empty xs") << fb << Cookies() << Cookies{ c("c_user", "1", fbHost), c("xs", "", fbHost) }
                                                << false << 2 << "c_user=1; xs=" << QString();
        QTest::newRow("facebook ignores instagram session")
                << fb << Cookies() << Cookies{ c("sessionid", "s", igHost), c("csrftoken", "t", igHost) }
                << false << 0 << QString() << QString();
    }
    void signedInFromBrowserCookies()
    {
        QFETCH(int, platform);
        QFETCH(Cookies, inJar);
        QFETCH(Cookies, cookies);
        QFETCH(QString, header);
        QFETCH(QString, token);
        for (const auto &cookie : inJar)
            Http::jar()->insertCookie(cookie);
        BrowserStore store;
        for (const auto &cookie : cookies)
            store.setCookie(cookie);
        PlatformAuth auth(SocialPlatform(platform), &store);
        QSignalSpy synced(&auth, &PlatformAuth::synced);
        QVERIFY(synced.wait());
        QTEST(auth.isSignedIn(), "signedIn");
        QTEST(auth.cookieCount(), "count");
        QCOMPARE(auth.cookieHeader(), header.isNull() ? std::nullopt : std::optional(header));
        QCOMPARE(auth.csrfToken().has_value(), !token.isNull());
        QCOMPARE(auth.csrfToken().value_or(QString()), token);
    }

    // Signing out sticks whatever the cookies' order: no copy (set off, or under way) nor late
    // notice brings them back to the jar or its file, and a later sign-in counts. The other
    // platform copies on every change, but its unchanged state is not announced again.
    void signOutSticks_data()
    {
        QTest::addColumn<int>("platform");
        QTest::addColumn<Cookies>("cookies");
        QTest::addColumn<QString>("around"); // a copy asked for just before, or the browser's late notice

        const auto c = lastingCookie;
        const Cookies igSessionFirst{ c("sessionid", "s", igHost), c("csrftoken", "t", igHost), c("mid", "m", igHost) };
        QTest::newRow("instagram login order")
                << ig << Cookies{ c("csrftoken", "t", igHost), c("mid", "m", igHost), c("sessionid", "s", igHost),
                                  c("ds_user_id", "1", igHost) } << "";
        QTest::newRow("instagram session between subdomain cookies")
                << ig << Cookies{ c("csrftoken", "t", "www.insta.test"), c("sessionid", "s", igHost),
                                  c("mid", "m", "insta.test") } << "";
        // The session cookie goes first here, so only what happens around the sign-out can
        // bring the cookies back.
        QTest::newRow("instagram copy under way") << ig << igSessionFirst << "copy under way";
        QTest::newRow("instagram late notice") << ig << igSessionFirst << "late notice";
        QTest::newRow("facebook login order")
                << fb << Cookies{ c("c_user", "1", fbHost), c("xs", "2", fbHost), c("fb_dtsg", "d", fbHost) } << "";
        QTest::newRow("facebook xs first") << fb << Cookies{ c("xs", "2", fbHost), c("c_user", "1", fbHost) } << "";
    }
    void signOutSticks()
    {
        QFETCH(int, platform);
        QFETCH(Cookies, cookies);
        QFETCH(QString, around);
        const bool instagram = SocialPlatform(platform) == SocialPlatform::instagram;
        const QString domain = instagram ? QStringLiteral("insta.test") : QStringLiteral("face.test");
        const Cookies otherCookies = instagram
                ? Cookies{ lastingCookie("c_user", "1", fbHost), lastingCookie("xs", "2", fbHost) }
                : Cookies{ lastingCookie("sessionid", "s", igHost) };

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
        // The page set these before the deletions reached the browser, which reports them only
        // now.
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
        // The next start reads the jar's file: the other platform's session is there, this one's
        // is not.
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
