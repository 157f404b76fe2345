#include "MediaSimulator.h"
#include "SignInCookies.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "TestServer.h"

#include "core/Config.h"
#include "core/Http.h"
#include "core/WebIdentity.h"
#include "downloads/Downloader.h"
#include "downloads/MediaFile.h"

#include <QtTest>

#include <csignal>
#include <memory>

#include <sys/resource.h>

struct Delivery
{
    std::optional<Downloader::Result> result;
    int completions = 0;
    QList<double> progress;
};

class TestDownloader : public QObject
{
    Q_OBJECT

    std::shared_ptr<Delivery> fetch(const QUrl &url, const Cancellation &cancel = {},
                                    const Downloader::Headers &headers = {})
    {
        auto delivery = m_delivery = std::make_shared<Delivery>();
        m_downloader = std::make_unique<Downloader>(
                headers, [delivery](double fraction) { delivery->progress << fraction; });
        m_downloader->download(url, m_folder->path(), cancel,
                               [delivery](const Downloader::Result &result) {
            ++delivery->completions;
            delivery->result = result;
        });
        return delivery;
    }
    QStringList entries() const { return TestFiles::entries(m_folder->path()); }

    TestEnvironment m_environment;
    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<MediaSimulator> m_media;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Downloader> m_downloader;
    std::shared_ptr<Delivery> m_delivery;

private Q_SLOTS:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    void init()
    {
        Http::jar()->setAllCookies({});
        m_server = std::make_unique<TestServer>();
        m_media = std::make_unique<MediaSimulator>(*m_server);
        m_folder = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        // A download ends once, never again.
        QTest::qWait(m_delivery ? 50 : 0);
        const auto delivery = std::exchange(m_delivery, {});
        m_downloader.reset();
        m_media.reset();
        m_server.reset();
        QVERIFY(!delivery || delivery->completions <= 1);
    }

    // Saved whole in a part file the caller owns, with progress when the length is announced; no type
    // is media. Requests carry the browser's headers; the session and extra ones go to their host only.
    void acceptsMedia_data()
    {
        QTest::addColumn<QString>("file"); // of this host, or "other" (redirected to another host)
        QTest::addColumn<QByteArray>("theirCookie"); // the other host's own cookie in the jar
        QTest::newRow("video with length") << "video.mp4" << QByteArray();
        QTest::newRow("chunked, no length") << "unsized.mp4" << QByteArray();
        QTest::newRow("octet-stream") << "file.bin" << QByteArray();
        QTest::newRow("audio/mp4") << "audio.m4a" << QByteArray();
        QTest::newRow("no Content-Type") << "untyped.mp4" << QByteArray();
        QTest::newRow("slow") << "slow.mp4" << QByteArray();
        QTest::newRow("redirect within the host") << "moved.mp4" << QByteArray();
        QTest::newRow("redirect to another host") << "other" << QByteArray();
        QTest::newRow("redirect to another host with its own cookie") << "other" << QByteArray("theirs=1");
    }
    void acceptsMedia()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, theirCookie);
        const bool foreign = file == "other";
        const qsizetype size = 300 * 1024 + 7;
        TestServer other(QHostAddress(QStringLiteral("127.0.0.2")));
        MediaSimulator otherMedia(other);
        Http::jar()->insertCookie(lastingCookie("sessionid", "abc", m_server->origin().host()));
        if (!theirCookie.isEmpty())
            Http::jar()->insertCookie(lastingCookie("theirs", "1", other.origin().host()));
        const QString away = QUrl::toPercentEncoding(otherMedia.url("video.mp4", size).toString());
        const QUrl url = foreign ? m_server->url("/media/redirect.mp4?to=" + away) : m_media->url(file, size);
        const auto delivery = fetch(url, {}, { { "Authorization", "Bearer t" } });
        QTRY_VERIFY_WITH_TIMEOUT(delivery->result, 20000);
        QVERIFY(delivery->result->succeeded());
        const QFileInfo part(delivery->result->value()->path());
        QVERIFY(TestFiles::read(part.filePath()) == MediaSimulator::content(size));
        QCOMPARE(part.absolutePath(), m_folder->path());
        QVERIFY(MediaFile::isPartFileName(part.fileName()));
        const QList<double> &progress = delivery->progress;
        QCOMPARE(progress.isEmpty(), file == "unsized.mp4");
        QVERIFY(progress.isEmpty() || progress.last() == 1.0);
        QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));

        const auto request = (foreign ? other : *m_server).requests().last();
        QCOMPARE(request.header("User-Agent"), WebIdentity::desktopUserAgent().toUtf8());
        QCOMPARE(request.header("Accept"), "*/*");
        QCOMPARE(request.header("Accept-Encoding"), "identity");
        QCOMPARE(request.header("Cookie"), foreign ? theirCookie : "sessionid=abc");
        QCOMPARE(request.header("Authorization"), foreign ? "" : "Bearer t");
        // The caller owns the file: unless committed it goes with the last reference.
        delivery->result.reset();
        QVERIFY(entries().isEmpty());
    }

    void rejects_data()
    {
        QTest::addColumn<QString>("file"); // a media file, a path on the server or an address
        QTest::addColumn<DownloaderError::Kind>("kind");
        QTest::addColumn<QString>("message"); // empty: the transport's own text, whatever it is
        using Kind = DownloaderError::Kind;
        QTest::newRow("404 with a page of several lines")
                << "missing.mp4" << Kind::badStatus
                << "HTTP 404: <!DOCTYPE html> <html lang=\"en\">   <head><title>Page not found</title>"
                   "</head>   <body> \t<h1>Sorry, this page isn't avail";
        QTest::newRow("500 with an empty body") << "broken.mp4" << Kind::badStatus << "HTTP 500";
        QTest::newRow("text/html") << "page.html" << Kind::notAMediaFile << "Not a media file (got text/html).";
        QTest::newRow("reset mid-body") << "reset.mp4" << Kind::incomplete << QString();
        QTest::newRow("file: address") << "file:///etc/hostname" << Kind::network
                                       << "Unsupported download address: file:///etc/hostname";
        QTest::newRow("closed before the announced length")
                << "short.mp4" << Kind::incomplete
                << "The connection closed before the whole file arrived (131072 of 262144 bytes).";
        QTest::newRow("redirect to an address off the web")
                << "/media/redirect.mp4?to=ftp%3A%2F%2F127.0.0.1%2Fx.mp4" << Kind::network
                << "The server sent the download to an address that is not on the web "
                   "(ftp://127.0.0.1/x.mp4).";
        QTest::newRow("redirect loop") << "/media/redirect.mp4" << Kind::network
                                       << "The server redirected the request in a loop.";
        QTest::newRow("endless redirects") << "/media/chain.mp4?hops=1000" << Kind::network
                                           << "The server redirected the request too many times.";
        // A time-out (cut to 300 ms here) is a failure, never mistaken for a cancellation.
        QTest::newRow("stalled") << "stalled.mp4" << Kind::network << Http::timeoutMessage();
        // A full disk, as a file size limit of 100000 bytes (no multiple of the pieces written) stands
        // in for it without root: the write that crosses it is cut short and the next one refused.
        QTest::newRow("disk full") << "video.mp4" << Kind::fileSystem << qt_error_string(EFBIG);
    }
    void rejects()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        const bool timedOut = message == Http::timeoutMessage();
        if (timedOut)
            qputenv("CLIPDOCK_DOWNLOAD_TIMEOUT_MS", "300");
        Config::reload();
        qunsetenv("CLIPDOCK_DOWNLOAD_TIMEOUT_MS");
        rlimit unlimited{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
        const rlimit full{ 100000, unlimited.rlim_max };
        QVERIFY(message != qt_error_string(EFBIG) || ::setrlimit(RLIMIT_FSIZE, &full) == 0);
        const auto restore = qScopeGuard([unlimited] {
            Config::reload();
            ::setrlimit(RLIMIT_FSIZE, &unlimited);
        });
        QElapsedTimer clock;
        clock.start();
        const auto delivery = fetch(file.contains(u':')   ? QUrl(file)
                                    : file.startsWith(u'/') ? m_server->url(file)
                                                            : m_media->url(file));
        QTRY_VERIFY_WITH_TIMEOUT(delivery->result, 20000);
        ::setrlimit(RLIMIT_FSIZE, &unlimited); // before anything is logged
        QVERIFY2(delivery->result->failed(), delivery->result->wasCancelled() ? "cancelled" : "saved");
        const DownloaderError error = delivery->result->error();
        QTEST(error.kind, "kind");
        QVERIFY(!error.description().isEmpty());
        if (!message.isEmpty())
            QCOMPARE(error.description(), message);
        QCOMPARE(error.timedOut, timedOut);
        QVERIFY(!timedOut || clock.elapsed() >= 300);
        QVERIFY2(entries().isEmpty(), qPrintable(entries().join(", ")));
    }

    void cancel_data()
    {
        QTest::addColumn<bool>("midTransfer");
        QTest::newRow("before the start") << false;
        QTest::newRow("mid-transfer") << true;
    }
    void cancel()
    {
        QFETCH(bool, midTransfer);
        Cancellation cancel;
        if (!midTransfer)
            cancel.cancel();
        const auto delivery = fetch(m_media->url("slow.mp4", 8 * 1024 * 1024), cancel);
        if (midTransfer) {
            QTRY_VERIFY(!delivery->progress.isEmpty());
            QVERIFY(!entries().isEmpty());
            cancel.cancel();
            QCOMPARE(delivery->completions, 0); // never inside cancel()
            QVERIFY(entries().isEmpty());
        }
        QTRY_VERIFY(delivery->result);
        QVERIFY(delivery->result->wasCancelled());
        QCOMPARE(m_server->requestCount("/media/slow.mp4"), midTransfer ? 1 : 0);
    }

    void finalName_data()
    {
        QTest::addColumn<QString>("reelId");
        QTest::addColumn<QString>("quality");
        QTest::addColumn<QString>("expected"); // empty: changed, checked for safety only
        QTest::newRow("audio keeps its blank") << "42" << "Audio only" << "reel-42-Audio only.m4a";
        QTest::newRow("dots, harmless after the prefix") << ".." << "480p" << "reel-..-480p.mp4";
        QTest::newRow("climbing out") << "../../x" << "720p" << QString();
        QTest::newRow("control characters") << "a\nb\tc\x01" << "720p" << QString();
        QTest::newRow("far too long") << QString(400, u'7') << "Audio only" << QString();
        QTest::newRow("long, two-byte letters") << QString(200, QChar(0xe9)) << "720p" << QString();
    }
    void finalName()
    {
        QFETCH(QString, reelId);
        QFETCH(QString, quality);
        QFETCH(QString, expected);
        const VideoQuality chosen = *videoQualityFromRaw(quality);
        const QString name = MediaFile::finalName(reelId, chosen);
        if (!expected.isEmpty())
            QCOMPARE(name, expected);
        QVERIFY(name.toUtf8().size() <= 255);
        QVERIFY(!name.contains(u'/'));
        QVERIFY(std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x20; }));
        QVERIFY(name.startsWith("reel-"));
        QVERIFY(name.endsWith(u'-' + quality + u'.' + fileExtension(chosen)));
        // A changed id never takes the name of the id its safe text spells.
        if (expected.isEmpty())
            QVERIFY(name != MediaFile::finalName(name.mid(5, name.indexOf(u'~') - 5), chosen));
    }
};

QTEST_GUILESS_MAIN(TestDownloader)
#include "tst_downloader.moc"
