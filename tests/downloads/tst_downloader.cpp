#include "MediaSimulator.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include "core/Config.h"
#include "core/Http.h"
#include "core/WebIdentity.h"
#include "downloads/Downloader.h"
#include "downloads/MediaFile.h"

#include <QNetworkCookie>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <memory>

#include <sys/resource.h>

// What one download() delivered.
struct Delivery
{
    std::optional<Downloader::Result> result;
    int completions = 0;
    QList<double> progress;
};

class TestDownloader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void acceptsMedia_data();
    void acceptsMedia();
    void sendsBrowserHeadersAndCookies_data();
    void sendsBrowserHeadersAndCookies();
    void rejects_data();
    void rejects();
    void stallFailsAsTimeOut();
    void fullDiskGivesTheSystemsReason();
    void cancel_data();
    void cancel();

    void finalName_data();
    void finalName();
    void leftoversGoUnlessHeld();

private:
    std::shared_ptr<Delivery> fetch(const QUrl &url, const Cancellation &cancel = {},
                                    const Downloader::Headers &headers = {});
    QStringList folderEntries() const
    {
        return QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                | QDir::NoDotAndDotDot);
    }

    TestEnvironment m_environment;
    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<MediaSimulator> m_media;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Downloader> m_downloader;
};

void TestDownloader::init()
{
    Http::jar()->setAllCookies({});
    m_server = std::make_unique<TestServer>();
    m_media = std::make_unique<MediaSimulator>(*m_server);
    m_folder = std::make_unique<QTemporaryDir>();
}

void TestDownloader::cleanup()
{
    m_downloader.reset();
    m_media.reset();
    m_server.reset();
}

std::shared_ptr<Delivery> TestDownloader::fetch(const QUrl &url, const Cancellation &cancel,
                                                const Downloader::Headers &headers)
{
    auto delivery = std::make_shared<Delivery>();
    m_downloader = std::make_unique<Downloader>(
            headers, [delivery](double fraction) { delivery->progress << fraction; });
    m_downloader->download(url, m_folder->path(), cancel,
                           [delivery](const Downloader::Result &result) {
        ++delivery->completions;
        delivery->result = result;
    });
    return delivery;
}

void TestDownloader::acceptsMedia_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("lengthAnnounced");
    QTest::newRow("video with length") << "video.mp4" << true;
    QTest::newRow("chunked, no length") << "unsized.mp4" << false;
    QTest::newRow("octet-stream") << "file.bin" << true;
    QTest::newRow("audio/mp4") << "audio.m4a" << true;
    QTest::newRow("after a redirect") << "moved.mp4" << true;
    QTest::newRow("slow") << "slow.mp4" << true;
}

void TestDownloader::acceptsMedia()
{
    QFETCH(QString, file);
    QFETCH(bool, lengthAnnounced);
    const qsizetype size = 300 * 1024 + 7;

    const auto delivery = fetch(m_media->url(file, size));
    QTRY_VERIFY_WITH_TIMEOUT(delivery->result, 20000);
    QVERIFY(delivery->result->succeeded());
    const QFileInfo part(delivery->result->value()->path());
    QFile saved(part.filePath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll() == MediaSimulator::content(size));
    QCOMPARE(part.absolutePath(), m_folder->path());
    QVERIFY(MediaFile::isPartFileName(part.fileName()));

    if (lengthAnnounced) {
        QVERIFY(!delivery->progress.isEmpty());
        QCOMPARE(delivery->progress.last(), 1.0);
        QVERIFY(std::is_sorted(delivery->progress.cbegin(), delivery->progress.cend()));
    } else {
        QVERIFY(delivery->progress.isEmpty());
    }

    // The caller owns the file: unless committed it goes with the last reference.
    delivery->result.reset();
    QVERIFY(folderEntries().isEmpty());
    QTest::qWait(50);
    QCOMPARE(delivery->completions, 1);
}

void TestDownloader::sendsBrowserHeadersAndCookies_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<bool>("theirCookie"); // the other host has a cookie of its own in the jar
    QTest::addColumn<QByteArray>("cookie");
    QTest::addColumn<QByteArray>("authorization");

    QTest::newRow("straight") << "direct" << false << QByteArray("sessionid=abc")
                              << QByteArray("Bearer t");
    QTest::newRow("redirect within the host")
            << "same host" << false << QByteArray("sessionid=abc") << QByteArray("Bearer t");
    QTest::newRow("redirect to another host")
            << "other host" << false << QByteArray() << QByteArray();
    QTest::newRow("redirect to another host with cookies of its own")
            << "other host" << true << QByteArray("theirs=1") << QByteArray();
}

void TestDownloader::sendsBrowserHeadersAndCookies()
{
    QFETCH(QString, route);
    QFETCH(bool, theirCookie);

    TestServer other(QHostAddress(QStringLiteral("127.0.0.2")));
    MediaSimulator otherMedia(other);
    const auto keep = [](const QByteArray &name, const QByteArray &value, const TestServer &host) {
        QNetworkCookie cookie(name, value);
        cookie.setDomain(host.origin().host());
        cookie.setPath("/");
        Http::jar()->insertCookie(cookie);
    };
    keep("sessionid", "abc", *m_server);
    if (theirCookie)
        keep("theirs", "1", other);

    QUrl url = m_media->url("video.mp4", 10);
    if (route == "same host")
        url = m_media->url("moved.mp4", 10);
    else if (route == "other host")
        url = m_server->url("/media/redirect.mp4?to="
                            + QUrl::toPercentEncoding(otherMedia.url("video.mp4", 10).toString()));
    const auto delivery = fetch(url, {}, { { "Authorization", "Bearer t" } });
    QTRY_VERIFY(delivery->result);
    QVERIFY(delivery->result->succeeded());

    const TestServer &fileHost = route == "other host" ? other : *m_server;
    const auto request = fileHost.requests("/media/video.mp4").value(0);
    QCOMPARE(request.header("User-Agent"), WebIdentity::desktopUserAgent().toUtf8());
    QCOMPARE(request.header("Accept"), "*/*");
    QCOMPARE(request.header("Accept-Encoding"), "identity");
    QTEST(request.header("Cookie"), "cookie");
    QTEST(request.header("Authorization"), "authorization");
}

void TestDownloader::rejects_data()
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
    QTest::newRow("text/html") << "page.html" << Kind::notAMediaFile
                               << "Not a media file (got text/html).";
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
}

void TestDownloader::rejects()
{
    QFETCH(QString, file);
    QFETCH(DownloaderError::Kind, kind);
    QFETCH(QString, message);

    const QUrl url = file.contains(u':') ? QUrl(file)
            : file.startsWith(u'/')      ? m_server->url(file)
                                         : m_media->url(file);
    const auto delivery = fetch(url);
    QTRY_VERIFY_WITH_TIMEOUT(delivery->result, 20000);
    QVERIFY2(delivery->result->failed(), delivery->result->wasCancelled() ? "cancelled" : "saved");
    const DownloaderError error = delivery->result->error();
    QCOMPARE(error.kind, kind);
    QVERIFY(!error.description().isEmpty());
    if (!message.isEmpty())
        QCOMPARE(error.description(), message);
    QVERIFY(!error.timedOut);
    QVERIFY2(folderEntries().isEmpty(), qPrintable(folderEntries().join(", ")));
    QTest::qWait(50);
    QCOMPARE(delivery->completions, 1);
}

void TestDownloader::stallFailsAsTimeOut()
{
    qputenv("CLIPDOCK_DOWNLOAD_TIMEOUT_MS", "300");
    Config::reload();
    QElapsedTimer clock;
    clock.start();
    const auto delivery = fetch(m_media->url("stalled.mp4"));
    QTRY_VERIFY_WITH_TIMEOUT(delivery->result, 20000);
    qunsetenv("CLIPDOCK_DOWNLOAD_TIMEOUT_MS");
    Config::reload();

    QVERIFY(delivery->result->failed()); // never mistaken for a cancellation
    QVERIFY(delivery->result->error().timedOut);
    QCOMPARE(delivery->result->error().description(), Http::timeoutMessage());
    QVERIFY(clock.elapsed() >= 300);
    QVERIFY(folderEntries().isEmpty());
}

// A full disk, as a file size limit stands in for it without root: the child downloads with the
// limit set and prints the message it got.
void TestDownloader::fullDiskGivesTheSystemsReason()
{
    const QString earlier = QDir(m_folder->path()).filePath("reel-1-720p.mp4");
    QFile saved(earlier);
    QVERIFY(saved.open(QIODevice::WriteOnly));
    saved.write("an earlier download");
    saved.close();

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                { QStringLiteral("--child-file-size-limit"), m_folder->path() });
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), qt_error_string(EFBIG));
    QCOMPARE(folderEntries(), QStringList("reel-1-720p.mp4"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), "an earlier download");
}

void TestDownloader::cancel_data()
{
    QTest::addColumn<bool>("midTransfer");
    QTest::newRow("before the start") << false;
    QTest::newRow("mid-transfer") << true;
}

void TestDownloader::cancel()
{
    QFETCH(bool, midTransfer);
    Cancellation cancel;
    if (!midTransfer)
        cancel.cancel();
    const auto delivery = fetch(m_media->url("slow.mp4", 8 * 1024 * 1024), cancel);
    if (midTransfer) {
        QTRY_VERIFY(!delivery->progress.isEmpty());
        QVERIFY(!folderEntries().isEmpty());
        cancel.cancel();
        QCOMPARE(delivery->completions, 0); // never inside cancel()
        QVERIFY(folderEntries().isEmpty());
    }
    QTRY_VERIFY(delivery->result);
    QVERIFY(delivery->result->wasCancelled());
    QCOMPARE(m_server->requestCount("/media/slow.mp4"), midTransfer ? 1 : 0);
    QTest::qWait(50);
    QCOMPARE(delivery->completions, 1);
}

void TestDownloader::finalName_data()
{
    QTest::addColumn<QString>("reelId");
    QTest::addColumn<QString>("quality");
    QTest::addColumn<QString>("expected"); // empty: changed, checked for safety only

    QTest::newRow("plain id") << "42" << "1080p" << "reel-42-1080p.mp4";
    QTest::newRow("audio keeps its blank") << "42" << "Audio only" << "reel-42-Audio only.m4a";
    QTest::newRow("leading dot, harmless after the prefix") << ".x" << "480p" << "reel-.x-480p.mp4";
    QTest::newRow("climbing out") << "../../x" << "720p" << QString();
    QTest::newRow("separator") << "a/b" << "720p" << QString();
    QTest::newRow("dot dot") << ".." << "720p" << "reel-..-720p.mp4";
    QTest::newRow("control characters") << "a\nb\tc\x01" << "720p" << QString();
    QTest::newRow("far too long") << QString(400, u'7') << "Audio only" << QString();
    QTest::newRow("long, two-byte letters") << QString(200, QChar(0xe9)) << "720p" << QString();
}

void TestDownloader::finalName()
{
    QFETCH(QString, reelId);
    QFETCH(QString, quality);
    QFETCH(QString, expected);
    const VideoQuality chosen = *videoQualityFromRaw(quality);
    const QString name = MediaFile::finalName(reelId, chosen);
    if (!expected.isEmpty()) {
        QCOMPARE(name, expected);
        return;
    }
    QVERIFY(name.toUtf8().size() <= 255);
    QVERIFY(!name.contains(u'/'));
    QVERIFY(std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x20; }));
    QVERIFY(name.startsWith("reel-"));
    QVERIFY(name.endsWith(u'-' + quality + u'.' + fileExtension(chosen)));
    // A changed id never takes the name of the id its safe text spells.
    QVERIFY(name != MediaFile::finalName(name.mid(5, name.indexOf(u'~') - 5), chosen));
}

void TestDownloader::leftoversGoUnlessHeld()
{
    const QDir folder(m_folder->path());
    for (const char *name : { ".clipdock-0123456789ab.part", ".clipdock-ffffffffffff.part" }) {
        QFile stale(folder.filePath(name));
        QVERIFY(stale.open(QIODevice::WriteOnly));
    }
    QFile mine(folder.filePath("notes.part"));
    QVERIFY(mine.open(QIODevice::WriteOnly));
    QFile::link("/etc/hostname", folder.filePath(".clipdock-aaaaaaaaaaaa.part"));
    QString error;
    const auto live = PartFile::create(folder.path(), &error);
    QVERIFY2(live, qPrintable(error));

    QCOMPARE(MediaFile::removeLeftovers(folder.path()), 3);
    QCOMPARE(folderEntries(), QStringList({ QFileInfo(live->path()).fileName(), "notes.part" }));
    QVERIFY(QFile::exists("/etc/hostname"));
}

// The child of fullDiskGivesTheSystemsReason: files may grow to 100000 bytes, no multiple of the
// pieces written, so the write that crosses the limit is cut short and the next one refused.
static int downloadWithFileSizeLimit(const QString &folder)
{
    const rlimit limit{ 100000, 100000 };
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 1;
    std::signal(SIGXFSZ, SIG_IGN);
    TestServer server;
    MediaSimulator media(server);
    Downloader downloader({}, {});
    std::optional<Downloader::Result> result;
    downloader.download(media.url("video.mp4", 1024 * 1024), folder, {},
                        [&result](const Downloader::Result &outcome) { result = outcome; });
    if (!QTest::qWaitFor([&result] { return result.has_value(); }, 20000) || !result->failed())
        return 2;
    std::fputs(qPrintable(result->error().description()), stdout);
    return 0;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child-file-size-limit")
        return downloadWithFileSizeLimit(QString::fromLocal8Bit(argv[2]));
    TestDownloader test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_downloader.moc"
