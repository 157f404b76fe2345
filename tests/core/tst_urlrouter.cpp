#include "core/URLRouter.h"

#include <QTest>

// Every row is plain text in, (platform, identifier) out; "none" means nothing was recognised.
class TestURLRouter : public QObject
{
    Q_OBJECT

private slots:
    void detect_data();
    void detect()
    {
        QFETCH(QString, input);
        QFETCH(QString, platform);
        const auto detected = URLRouter::detect(input);
        QCOMPARE(detected ? rawValue(detected->platform) : QStringLiteral("none"), platform);
        QTEST(detected.value_or(DetectedLink()).identifier, "identifier");
    }
};

void TestURLRouter::detect_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("identifier");

    auto row = [](const char *name, const QString &input, const char *platform, const QString &id) {
        QTest::newRow(name) << input << QString::fromLatin1(platform) << id;
    };

    // Instagram links: the first segment, lowercased, whatever follows it.
    row("ig www, trailing slash", "https://www.instagram.com/NatGeo/", "instagram", "natgeo");
    row("ig query ignored", "http://m.instagram.com/nat.geo_1?igsh=abc", "instagram", "nat.geo_1");
    row("ig percent-encoded path", "https://instagram.com/%D0%9D%D0%B0%D1%82", "instagram", u"нат"_qs);
    row("ig scheme-relative has a host", "//instagram.com/NatGeo", "instagram", "natgeo");
    row("ig post link keeps case", "https://www.instagram.com/p/CxYz_12/", "instagram", "CxYz_12");
    row("ig reserved segment any case", "https://instagram.com/P/AbC", "instagram", "AbC");
    row("ig lone p is a name", "https://instagram.com/p/", "instagram", "p");
    row("host merely containing ig", "https://notinstagram.company/NatGeo", "instagram", "natgeo");
    row("ig tested before fb", "https://fb.com.instagram.com/NatGeo", "instagram", "natgeo");

    // Facebook links.
    row("fb main domain", "https://www.facebook.com/NatGeo", "facebook", "natgeo");
    row("fb short domain", "https://fb.com/NatGeo", "facebook", "natgeo");
    row("fb video domain", "https://fb.watch/AbC123/", "facebook", "abc123");
    row("fb odd characters dropped", "https://facebook.com/Nat!Geo", "facebook", "natgeo");
    row("fb pages keeps case in any script", u"https://www.facebook.com/pages/Ωmega-1!"_qs, "facebook", u"Ωmega-1"_qs);
    row("fb people", "https://facebook.com/people/Nat-Geo/100064/", "facebook", "Nat-Geo");
    row("fb profile.php path wins", "https://www.facebook.com/profile.php?id=100012345", "facebook", "profile.php");
    row("host merely containing fb", "https://www.myfb.community/NatGeo", "facebook", "natgeo");
    row("fb scheme with fb host keeps case", "facebook://fb.com/pages/NatGeo", "facebook", "NatGeo");

    // Facebook links with no path: the id query, raw and unsanitised.
    row("fb first id wins", "https://fb.watch/?ref=a&&id=9&id=10", "facebook", "9");
    row("fb empty id", "https://web.facebook.com/?id=", "facebook", "");
    row("fb id kept raw", "https://facebook.com/?id=a%20b", "facebook", "a%20b");
    row("ig host with fb name falls to query", "https://instagram.com.fb.watch/?id=7", "facebook", "7");

    // Links that yield nothing fall back to the handle rule on the whole text.
    row("ig home page", "https://www.instagram.com", "instagram", "httpswww.instagram.com");
    row("ig id query not honoured", "https://instagram.com/?id=5", "instagram", "httpsinstagram.comid5");
    row("fb home page", "https://facebook.com", "instagram", "httpsfacebook.com");
    row("fb query without id", "https://facebook.com/?ref=x", "instagram", "httpsfacebook.comrefx");
    row("fb id key is case-sensitive", "https://facebook.com/?ID=5", "instagram", "httpsfacebook.comid5");
    row("fb reserved with nothing usable", "https://facebook.com/pages/!!!", "instagram", "httpsfacebook.compages");
    row("other host", "https://example.org/NatGeo", "instagram", "httpsexample.orgnatgeo");

    // Prefixed Facebook forms: the last colon piece of the lowercased text.
    row("FB: prefix", "FB:NatGeo", "facebook", "natgeo");
    row("facebook: prefix with blanks", " Facebook: Nat Geo ", "facebook", "natgeo");
    row("fb: alone", "fb:", "facebook", "fb");
    row("fb: last piece", "fb:a:B", "facebook", "b");
    row("fb: nothing usable", "fb:!!", "facebook", "");
    row("fb:// with unknown host", "fb://NatGeo", "facebook", "natgeo");
    row("not quite the prefix", "fbx:natgeo", "instagram", "fbxnatgeo");
    row("ideographic blank trimmed", u"\u3000fb:NatGeo"_qs, "facebook", "natgeo");

    // Bare handles.
    row("handle with at", "@NatGeo", "instagram", "natgeo");
    row("blanks and line breaks around", "\n\t @Nat Geo\r\n", "instagram", "natgeo");
    row("allowed punctuation", "Nat.Geo_Official-1", "instagram", "nat.geo_official-1");
    row("other punctuation", "nat,geo!?#=:/'", "instagram", "natgeo");
    row("host and port without scheme", "localhost:8080/x", "instagram", "localhost8080x");

    // A platform's domain typed without a scheme is a link, exactly as with "https://".
    row("ig domain without scheme", "instagram.com/natgeo", "instagram", "natgeo");
    row("ig www without scheme", " WWW.Instagram.com/NatGeo/reels/ ", "instagram", "natgeo");
    row("fb domain without scheme", "facebook.com/reels.page", "facebook", "reels.page");
    row("fb www pages without scheme", "www.facebook.com/pages/NatGeo", "facebook", "NatGeo");
    row("fb mobile id without scheme", "m.facebook.com/?id=42", "facebook", "42");
    row("fb short domain without scheme", "fb.com/NatGeo", "facebook", "natgeo");
    row("ig home page without scheme", "instagram.com", "instagram", "httpsinstagram.com");
    row("domain only as a prefix", "instagram.company/natgeo", "instagram", "instagram.companynatgeo");
    row("other subdomain without scheme", "web.facebook.com/natgeo", "instagram", "web.facebook.comnatgeo");

    // Scripts other than Latin.
    row("cyrillic lowercased", u"@Наталья"_qs, "instagram", u"наталья"_qs);
    row("cjk and length mark", u"日本語ユーザー"_qs, "instagram", u"日本語ユーザー"_qs);
    row("arabic-indic digits", u"١٢٣"_qs, "instagram", u"١٢٣"_qs);
    row("combining mark", u"Jose\u0301"_qs, "instagram", u"jose\u0301"_qs);
    row("full lowercasing", u"İstanbul"_qs, "instagram", u"i\u0307stanbul"_qs);
    row("outside the basic plane", u"\U00010400x"_qs, "instagram", u"\U00010428x"_qs);
    row("emoji dropped", u"nat🎉geo✨"_qs, "instagram", "natgeo");

    // Nothing.
    row("blank", " \t\r\n ", "none", "");
    row("lone at", "@", "none", "");
    row("emoji only", u"🎉🎉"_qs, "none", "");
}

QTEST_GUILESS_MAIN(TestURLRouter)
#include "tst_urlrouter.moc"
