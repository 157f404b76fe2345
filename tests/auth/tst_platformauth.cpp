// Sign-in state against a detached browser store: which cookies count, what the Cookie header and
// CSRF token are, what the copy and the sign-out touch, and when observers hear about it.

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "core/Http.h"
#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QNetworkCookie cookie(const QByteArray &name, const QByteArray &value, const QString &domain)
{
    QNetworkCookie c(name, value);
    c.setDomain(domain);
    c.setPath(QStringLiteral("/"));
    c.setExpirationDate(QDateTime::currentDateTimeUtc().addYears(1)); // lasting: the jar keeps it
    return c;
}

using Cookies = QList<QNetworkCookie>;

// What happens around a sign-out.
constexpr int nothing = 0;
constexpr int copyUnderWay = 1; // a copy was asked for just before
constexpr int lateNotice = 2; // the browser reports the page's cookies only after it

} // namespace

// How QCOMPARE shows a cookie that should not be there.
static char *toString(const QNetworkCookie &c)
{
    return QTest::toString(c.name() + " of " + c.domain().toUtf8());
}

class TestPlatformAuth : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_jarFile.startsWith(m_environment.home()));
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", QUrl("http://www.insta.test") },
                                      { "CLIPDOCK_FACEBOOK_ORIGIN", QUrl("http://www.face.test") } });
    }
    void init() { Http::jar()->setAllCookies({}); }

    void signedInFromBrowserCookies_data()
    {
        QTest::addColumn<int>("platform");
        QTest::addColumn<Cookies>("cookies");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<int>("count");

        const int ig = int(SocialPlatform::instagram);
        const int fb = int(SocialPlatform::facebook);
        const QString igHost = QStringLiteral(".insta.test");
        const QString fbHost = QStringLiteral(".face.test");
        QTest::newRow("instagram session") << ig << Cookies{ cookie("sessionid", "s", igHost) } << true << 1;
        QTest::newRow("instagram empty session counts but does not sign in")
                << ig << Cookies{ cookie("sessionid", "", igHost), cookie("csrftoken", "t", igHost) } << false << 2;
        QTest::newRow("instagram name is case-sensitive") << ig << Cookies{ cookie("SessionID", "s", igHost) } << false << 1;
        QTest::newRow("instagram subdomain cookie")
                << ig << Cookies{ cookie("sessionid", "s", QStringLiteral("www.insta.test")) } << true << 1;
        QTest::newRow("instagram ignores facebook cookies")
                << ig << Cookies{ cookie("c_user", "1", fbHost), cookie("xs", "2", fbHost) } << false << 0;
        QTest::newRow("facebook both markers")
                << fb << Cookies{ cookie("c_user", "1", fbHost), cookie("xs", "2", fbHost) } << true << 2;
        QTest::newRow("facebook without xs") << fb << Cookies{ cookie("c_user", "1", fbHost) } << false << 1;
        QTest::newRow("facebook with empty xs")
                << fb << Cookies{ cookie("c_user", "1", fbHost), cookie("xs", "", fbHost) } << false << 2;
        QTest::newRow("facebook ignores instagram session")
                << fb << Cookies{ cookie("sessionid", "s", igHost) } << false << 0;
    }

    void signedInFromBrowserCookies()
    {
        QFETCH(int, platform);
        QFETCH(Cookies, cookies);
        QFETCH(bool, signedIn);
        QFETCH(int, count);

        BrowserStore store;
        for (const auto &c : cookies)
            store.setCookie(c);
        PlatformAuth auth(SocialPlatform(platform), &store);
        QSignalSpy synced(&auth, &PlatformAuth::synced);
        QVERIFY(synced.wait());
        QCOMPARE(auth.isSignedIn(), signedIn);
        QCOMPARE(auth.cookieCount(), count);
    }

    void headerAndToken()
    {
        BrowserStore store;
        PlatformAuth auth(SocialPlatform::instagram, &store);
        QCOMPARE(auth.cookieHeader(), std::nullopt);
        QCOMPARE(auth.csrfToken(), std::nullopt);

        store.setCookie(cookie("a", "1", QStringLiteral(".insta.test")));
        store.setCookie(cookie("csrftoken", "", QStringLiteral(".insta.test")));
        QSignalSpy synced(&auth, &PlatformAuth::synced);
        QVERIFY(synced.wait());
        QCOMPARE(auth.cookieHeader(), QStringLiteral("a=1; csrftoken="));
        // An empty token is still a token.
        QCOMPARE(auth.csrfToken(), QString());
    }

    void copyReplacesAndNeverDeletes()
    {
        BrowserStore store;
        Http::jar()->insertCookie(cookie("older", "kept", QStringLiteral(".insta.test")));
        store.setCookie(cookie("sessionid", "first", QStringLiteral(".insta.test")));
        PlatformAuth auth(SocialPlatform::instagram, &store);
        QSignalSpy synced(&auth, &PlatformAuth::synced);
        QVERIFY(synced.wait());

        store.setCookie(cookie("sessionid", "second", QStringLiteral(".insta.test")));
        QVERIFY(synced.wait());
        QCOMPARE(auth.cookieHeader(), QStringLiteral("older=kept; sessionid=second"));
        QCOMPARE(auth.cookieCount(), 2);
    }

    void changeForOnePlatformLeavesTheOtherAlone()
    {
        BrowserStore store;
        store.setCookie(cookie("sessionid", "s", QStringLiteral(".insta.test")));
        PlatformAuth instagram(SocialPlatform::instagram, &store);
        PlatformAuth facebook(SocialPlatform::facebook, &store);
        QSignalSpy igSynced(&instagram, &PlatformAuth::synced);
        QSignalSpy fbSynced(&facebook, &PlatformAuth::synced);
        QVERIFY(QTest::qWaitFor([&] { return igSynced.size() && fbSynced.size(); }));
        QVERIFY(instagram.isSignedIn());

        QSignalSpy igSignedIn(&instagram, &PlatformAuth::isSignedInChanged);
        QSignalSpy igCount(&instagram, &PlatformAuth::cookieCountChanged);
        store.setCookie(cookie("c_user", "1", QStringLiteral(".face.test")));
        store.setCookie(cookie("xs", "2", QStringLiteral(".face.test")));
        QTRY_VERIFY(facebook.isSignedIn());
        // Both copied, but Instagram's unchanged state was not announced again.
        QVERIFY(igSynced.size() >= 2);
        QCOMPARE(igSignedIn.size(), 0);
        QCOMPARE(igCount.size(), 0);
        QVERIFY(instagram.isSignedIn());
    }

    // Signing out sticks, whatever order the page set the cookies in: the copies the deletions
    // set off, a copy already under way and the browser's late notice of a deleted cookie bring
    // nothing back, in the jar or in its file; a later sign-in still counts.
    void signOutSticks_data()
    {
        QTest::addColumn<int>("platform");
        QTest::addColumn<Cookies>("cookies");
        QTest::addColumn<int>("around");

        const int ig = int(SocialPlatform::instagram);
        const int fb = int(SocialPlatform::facebook);
        const QString igHost = QStringLiteral(".insta.test");
        const QString fbHost = QStringLiteral(".face.test");
        const Cookies igLogin{ cookie("csrftoken", "t", igHost), cookie("mid", "m", igHost),
                               cookie("sessionid", "s", igHost), cookie("ds_user_id", "1", igHost) };
        const Cookies igSessionFirst{ cookie("sessionid", "s", igHost),
                                      cookie("csrftoken", "t", igHost), cookie("mid", "m", igHost) };
        const Cookies fbLogin{ cookie("c_user", "1", fbHost), cookie("xs", "2", fbHost),
                               cookie("fb_dtsg", "d", fbHost) };
        const Cookies fbXsFirst{ cookie("xs", "2", fbHost), cookie("c_user", "1", fbHost) };

        QTest::newRow("instagram login order") << ig << igLogin << nothing;
        QTest::newRow("instagram session between subdomain cookies")
                << ig
                << Cookies{ cookie("csrftoken", "t", QStringLiteral("www.insta.test")),
                            cookie("sessionid", "s", igHost),
                            cookie("mid", "m", QStringLiteral("insta.test")) }
                << nothing;
        // The session cookie goes first here, so only what happens around the sign-out can
        // bring the cookies back.
        QTest::newRow("instagram copy under way") << ig << igSessionFirst << copyUnderWay;
        QTest::newRow("instagram late notice") << ig << igSessionFirst << lateNotice;
        QTest::newRow("facebook login order") << fb << fbLogin << nothing;
        QTest::newRow("facebook xs first") << fb << fbXsFirst << nothing;
    }

    void signOutSticks()
    {
        QFETCH(int, platform);
        QFETCH(Cookies, cookies);
        QFETCH(int, around);

        const bool instagram = SocialPlatform(platform) == SocialPlatform::instagram;
        const QString domain = instagram ? QStringLiteral("insta.test") : QStringLiteral("face.test");
        const Cookies otherCookies = instagram
                ? Cookies{ cookie("c_user", "1", QStringLiteral(".face.test")),
                           cookie("xs", "2", QStringLiteral(".face.test")) }
                : Cookies{ cookie("sessionid", "s", QStringLiteral(".insta.test")) };
        const auto ofPlatform = [&](const Cookies &all) {
            Cookies found;
            for (const auto &c : all) {
                if (c.domain().contains(domain))
                    found.append(c);
            }
            return found;
        };

        BrowserStore store;
        for (const auto &c : cookies + otherCookies)
            store.setCookie(c);
        PlatformAuth auth(SocialPlatform(platform), &store);
        PlatformAuth other(instagram ? SocialPlatform::facebook : SocialPlatform::instagram,
                           &store);
        QTRY_VERIFY(auth.isSignedIn() && other.isSignedIn());
        // A jar cookie of the domain that the origin would not be sent is removed too.
        Http::jar()->insertCookie(cookie("elsewhere", "x", QStringLiteral("cdn.") + domain));

        if (around == copyUnderWay)
            auth.syncCookiesFromWebView();
        auth.signOut();
        if (around == lateNotice) {
            // The page set these before the deletions reached the browser, which reports them
            // only now.
            for (const auto &c : cookies)
                store.setCookie(c);
        }
        QVERIFY(!auth.isSignedIn());
        QCOMPARE(auth.cookieCount(), 0);
        QCOMPARE(ofPlatform(Http::jar()->allCookies()), Cookies());
        QCOMPARE(ofPlatform(store.cookies()), Cookies());

        QTest::qWait(200); // every copy, deletion and notice has run
        QVERIFY(!auth.isSignedIn());
        QCOMPARE(auth.cookieCount(), 0);
        QCOMPARE(ofPlatform(Http::jar()->allCookies()), Cookies());
        QCOMPARE(ofPlatform(store.cookies()), Cookies());
        QVERIFY(other.isSignedIn());
        QCOMPARE(store.cookies(), otherCookies);

        // The next start reads the jar's file: the other platform's session is there, this one's
        // is not.
        CookieJar restarted(m_jarFile, nullptr);
        QCOMPARE(ofPlatform(restarted.allCookies()), Cookies());
        QCOMPARE(restarted.allCookies().size(), otherCookies.size());

        // Signing in again afterwards counts.
        for (const auto &c : cookies)
            store.setCookie(c);
        QTRY_VERIFY(auth.isSignedIn());
    }

private:
    // Before the first use of the app's jar, so that its file lives in the test's own home.
    TestEnvironment m_environment;
    const QString m_jarFile = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
            + QStringLiteral("/cookies");
};

QTEST_GUILESS_MAIN(TestPlatformAuth)
#include "tst_platformauth.moc"
