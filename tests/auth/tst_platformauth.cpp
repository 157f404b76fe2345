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
    return c;
}

using Cookies = QList<QNetworkCookie>;

} // namespace

class TestPlatformAuth : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
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

    void signOutClearsBothStoresAtOnce()
    {
        BrowserStore store;
        store.setCookie(cookie("sessionid", "s", QStringLiteral(".insta.test")));
        store.setCookie(cookie("csrftoken", "t", QStringLiteral("www.insta.test")));
        store.setCookie(cookie("c_user", "1", QStringLiteral(".face.test")));
        store.setCookie(cookie("xs", "2", QStringLiteral(".face.test")));
        PlatformAuth instagram(SocialPlatform::instagram, &store);
        PlatformAuth facebook(SocialPlatform::facebook, &store);
        QTRY_VERIFY(instagram.isSignedIn() && facebook.isSignedIn());
        // A jar cookie of the domain that the origin would not be sent is removed too.
        Http::jar()->insertCookie(cookie("elsewhere", "x", QStringLiteral("cdn.insta.test")));

        instagram.signOut();
        QVERIFY(!instagram.isSignedIn());
        QCOMPARE(instagram.cookieCount(), 0);
        for (const auto &c : Http::jar()->allCookies())
            QVERIFY2(!c.domain().contains(QStringLiteral("insta.test")), c.name().constData());

        // The copies that run while the browser deletes cannot sign the user back in.
        QTest::qWait(100);
        QVERIFY(!instagram.isSignedIn());
        for (const auto &c : store.cookies())
            QVERIFY(!c.domain().contains(QStringLiteral("insta.test")));
        QVERIFY(facebook.isSignedIn());
        QCOMPARE(store.cookies().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestPlatformAuth)
#include "tst_platformauth.moc"
