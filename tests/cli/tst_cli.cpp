// clipdock-cli, run as the built program against the Instagram simulator and a media server, with
// a fresh home each time; and its two parsers on their own.

#include "InstagramSimulator.h"
#include "MediaFixture.h"
#include "MediaSimulator.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "TestServer.h"

#include "cli/CliFormat.h"
#include "cli/CliOptions.h"
#include "cli/NetscapeCookies.h"
#include "downloads/MediaFile.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookie>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

#include <csignal>

// Rows and profiles name only the fields they need.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr qsizetype mediaSize = 48 * 1024;
constexpr int runTimeoutMs = 60'000;
using Response = TestServer::Response;

// What a hostile server might send: a terminal title, a cleared screen, a forged line, the 8-bit
// CSI, DEL, a right-to-left override that turns "exe.png" around, and a text placeholder.
const QString hostileName = QStringLiteral("Eve\x1b]0;pwned\x07\x1b[2J\r\nHandle: @forged\u202Egnp.exe");
const QString hostileUsername = QStringLiteral("eve\x1b[8m%1");
const QString hostileIDSuffix = QStringLiteral("\r\x1b[1Asaved\u009b2J\t\x7f");
const QByteArray hostileBody = "\x1b]0;pwned\x07\x1b[2Jgone\r\nsaved everything";
// The same texts as printed for people.
const QString shownName = QStringLiteral("Eve\uFFFD]0;pwned\uFFFD\uFFFD[2J Handle: @forged\uFFFDgnp.exe");
const QString shownIDSuffix = QStringLiteral(" \uFFFD[1Asaved\uFFFD2J \uFFFD");

// Characters a terminal acts on or reorders by: controls other than the line end, DEL, C1 and
// the bidi embeddings, overrides and isolates.
bool actsOnTerminal(QChar c)
{
    const char16_t u = c.unicode();
    return (u < 0x20 && u != u'\n') || (u >= 0x7f && u <= 0x9f) || (u >= 0x202a && u <= 0x202e)
            || (u >= 0x2066 && u <= 0x2069);
}

QList<QJsonObject> jsonLines(const QString &text)
{
    QList<QJsonObject> objects;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        objects.append(QJsonDocument::fromJson(line.toUtf8()).object());
    return objects;
}

// A run of the program and what it must do.
struct Case
{
    QStringList arguments; // COOKIES, DIR and BIG stand for the test's own files
    int status = 0;
    QStringList outHas, errHas; // fragments; standard output is compared with its blanks squeezed
    QStringList saved;          // what the download folder holds afterwards
    QString session = QStringLiteral("file-session"); // what the platform saw; empty: nothing asked
    bool appSession = true;     // whether the app's kept sessions file is there
    int pages = -1;             // reels pages asked for, when counted
    std::optional<std::pair<int, int>> listed; // the first and last reel numbers named, when checked
};

// The files of reels `first` to `last` of a profile at a quality.
QStringList reelFiles(const QString &profile, int first, int last, const QString &quality)
{
    QStringList files;
    for (int i = first; i <= last; ++i)
        files.append(QStringLiteral("reel-%1_%2-%3.mp4").arg(profile).arg(i).arg(quality));
    return files;
}

struct Output
{
    int status = -1;
    QString out, err;
};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QString appCookiesPath() const { return m_env->home() + QStringLiteral("/.local/share/ClipDock/Clip Dock/cookies"); }
    QString cookiesFilePath() const { return m_env->home() + QStringLiteral("/cookies.txt"); }
    QString downloadDir() const { return m_env->home() + QStringLiteral("/out"); }
    QStringList savedFiles() const { return TestFiles::entries(downloadDir()); }

    // Starts the program while this process's servers keep answering. `inChild` runs in the
    // child just before the program starts.
    QProcess *startCli(const QStringList &arguments, std::function<void()> inChild = {})
    {
        auto *process = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        process->setProcessEnvironment(environment);
        if (inChild)
            process->setChildProcessModifier(inChild);
        process->start(QStringLiteral(CLIPDOCK_CLI), arguments);
        return process;
    }

    Output runCli(const QStringList &arguments)
    {
        QProcess *process = startCli(arguments);
        QSignalSpy finished(process, &QProcess::finished);
        if (!finished.wait(runTimeoutMs))
            process->kill();
        process->deleteLater();
        return { process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
                 QString::fromUtf8(process->readAllStandardOutput()), QString::fromUtf8(process->readAllStandardError()) };
    }

    QStringList sessionsSent() const
    {
        QStringList sessions;
        for (const auto &request : m_instagram->requests()) {
            for (const QByteArray &pair : request.header("Cookie").split(';')) {
                if (pair.trimmed().startsWith("sessionid="))
                    sessions.append(QString::fromUtf8(pair.trimmed().mid(10)));
            }
        }
        sessions.removeDuplicates();
        return sessions;
    }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<TestServer> m_instagram;
    std::unique_ptr<TestServer> m_media;
    std::unique_ptr<InstagramSimulator> m_simulator;
    QList<QPointer<QTcpSocket>> m_heldTransfers;

private slots:
    void initTestCase() { QVERIFY(QFileInfo(QStringLiteral(CLIPDOCK_CLI)).isExecutable()); }

    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_instagram = std::make_unique<TestServer>();
        m_media = std::make_unique<TestServer>();
        m_simulator = std::make_unique<InstagramSimulator>(*m_instagram);
        m_simulator->setRequireSession(true);
        m_simulator->setMediaOrigin(m_media->origin());
        const auto profile = [this](const char *name, int reels, const InstagramSimulator::ProfileOptions &options = {}) {
            m_simulator->addProfile(QString::fromLatin1(name), reels, 12, options);
        };
        const Response wait = Response::text("Please wait.", 429);
        // Reels one hour apart, newest 2023-11-14 22:13 UTC: walker_23 to walker_29 are the
        // reels of 2023-11-13.
        profile("walker", 30, { .fullName = QStringLiteral("Walker Lane"), .followerCount = 15'300, .verified = true });
        profile("stuck", 3);
        // Rate-limited on the third page, after 24 reels; and on the first.
        profile("busybee", 120);
        m_simulator->setPageResponse(QStringLiteral("busybee"), 3, wait);
        profile("wary", 3);
        m_simulator->setPageResponse(QStringLiteral("wary"), 1, wait);
        // Refused twice on the second page, then answered.
        profile("patient", 30);
        m_simulator->setPageResponse(QStringLiteral("patient"), 2, wait, 2);
        // Two old pinned reels atop the first page, then one reel an hour: pinned_2 to
        // pinned_22 are of 2023-11-14, pinned_23 to pinned_46 of 2023-11-13.
        profile("pinned", 120, { .pinned = 2 });
        // The second page never comes.
        profile("slowpoke", 30);
        Response never;
        never.stall = true;
        m_simulator->setPageResponse(QStringLiteral("slowpoke"), 2, never);
        profile("hostile", 2, { .fullName = hostileName, .reportedUsername = hostileUsername, .idSuffix = hostileIDSuffix });
        profile("hostilefail", 2);
        m_simulator->setLookupResponse(QStringLiteral("hostilefail"), Response::text(hostileBody, 500));

        m_media->routePrefix(QStringLiteral("/media/"), [](const TestServer::Request &request) {
            const QString path = request.url.path();
            if (path.contains(QLatin1String("walker_3-")))
                return Response::text(MediaSimulator::notFoundPage(), 404, "text/html");
            if (path.contains(QLatin1String("hostile_1-")))
                return Response::text(hostileBody, 500);
            return Response::text(path.contains(QLatin1String("walker_7-")) ? MediaFixture::mp4() : MediaSimulator::content(mediaSize),
                                  200, "video/mp4");
        });
        // Transfers of "stuck" send a quarter of their file and then nothing.
        for (int reel = 0; reel < 3; ++reel) {
            for (int rendition = 0; rendition < 3; ++rendition) {
                m_media->routeRaw(QStringLiteral("/media/stuck_%1-%2.mp4").arg(reel).arg(rendition),
                                  [this](const TestServer::Request &, QTcpSocket *socket) {
                    TestServer::writeHead(socket, 200, "video/mp4", {}, mediaSize);
                    socket->write(MediaSimulator::content(mediaSize).left(mediaSize / 4));
                    m_heldTransfers.append(socket);
                });
            }
        }

        // The app's kept sessions, as its cookie jar writes them.
        QNetworkCookie kept("sessionid", "app-session");
        kept.setDomain(QStringLiteral("127.0.0.1"));
        kept.setPath(QStringLiteral("/"));
        kept.setExpirationDate(QDateTime::currentDateTimeUtc().addDays(30));
        QVERIFY(QDir().mkpath(QFileInfo(appCookiesPath()).path()));
        QVERIFY(TestFiles::write(appCookiesPath(), kept.toRawForm(QNetworkCookie::Full) + '\n'));
        QVERIFY(TestFiles::write(cookiesFilePath(), "# Netscape HTTP Cookie File\n"
                                         "#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t0\tsessionid\tfile-session\n"
                                         "127.0.0.1\tFALSE\t/\tFALSE\t0\tcsrftoken\tfile-csrf\n"));
        // The program waits after a refusal before it asks again; tens of milliseconds here.
        qputenv("CLIPDOCK_RATE_LIMIT_WAITS_MS", "50,100,200");
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_instagram->origin() } });
    }

    void cleanup()
    {
        m_heldTransfers.clear();
        m_simulator.reset();
        m_media.reset();
        m_instagram.reset();
        m_env.reset();
    }

    // The program end to end: what it prints, how it ends, what it saves and which session the
    // platform saw.
    void run_data()
    {
        QTest::addColumn<Case>("run");
        const auto row = [](const char *name, const Case &run) { QTest::newRow(name) << run; };
        const QString cookies = QStringLiteral("--cookies=COOKIES");
        const QString dir = QStringLiteral("--dir=DIR");

        row("list, multi-page, signed in with a cookies file",
            { .arguments = { "list", cookies, "walker" },
              .outHas = { "Name: Walker Lane", "Handle: @walker", "Followers: 15300 (15.3K)", "Reels: 30", "Verified: yes",
                          "\nwalker_0 2023-11-14 22:13 0:06 1000 100 1080p,720p,480p,audio\n", "\nwalker_29 2023-11-13 17:13 " } });
        row("list with the app's sessions",
            { .arguments = { "list", "https://www.instagram.com/walker/" }, .outHas = { "walker_29" }, .session = "app-session" });
        row("list without a session answers with the demo",
            { .arguments = { "list", "walker" }, .outHas = { "Handle: @walker" },
              .errHas = { "not signed in to Instagram: answering with the demo source" }, .session = {}, .appSession = false });
        row("--demo even when signed in", { .arguments = { "list", "--demo", "walker" }, .outHas = { "Handle: @walker" }, .session = {} });

        row("download the sound alone",
            { .arguments = { "download", cookies, dir, "--ids=walker_7", "--quality", "audio", "walker" },
              .outHas = { "saved walker_7 (audio): " }, .saved = { "reel-walker_7-Audio only.m4a" } });
        row("download one day at 480p",
            { .arguments = { "download", cookies, dir, "--since", "2023-11-13", "--until", "2023-11-13", "--quality", "480p", "walker" },
              .outHas = { "saved walker_23 (480p): ", "Saved 7 of 7 to " }, .saved = reelFiles("walker", 23, 29, "480p") });
        row("download chosen ids, one job, with the app's sessions",
            { .arguments = { "download", dir, "--ids=walker_5,walker_0,walker_5", "--jobs=1", "--quality=1080p", "walker" },
              .outHas = { "Saved 2 of 2" }, .saved = { "reel-walker_0-1080p.mp4", "reel-walker_5-1080p.mp4" }, .session = "app-session" });
        row("a failing item ends with 1 and its message",
            { .arguments = { "download", cookies, dir, "--ids", "walker_2,walker_3", "walker" }, .status = 1,
              .outHas = { "failed walker_3 (720p): HTTP 404: <!DOCTYPE html>", "Saved 1 of 2", "Failed 1:\nwalker_3 (720p): HTTP 404" },
              .saved = { "reel-walker_2-720p.mp4" } });
        row("an id the profile lacks ends with 1",
            { .arguments = { "download", cookies, dir, "--ids", "walker_1,walker_99", "walker" }, .status = 1,
              .outHas = { "Saved 1 of 2", "walker_99: no reel with this id in the profile" }, .saved = { "reel-walker_1-720p.mp4" } });
        row("a filter that takes nothing saves nothing",
            { .arguments = { "download", cookies, dir, "--since=today", "walker" }, .errHas = { "nothing to download" } });
        row("an unknown profile ends with 3 and the source's message",
            { .arguments = { "download", cookies, dir, "ghost" }, .status = 3, .errHas = { "We couldn't find that profile." } });

        row("list: a later page fails, the reels received are listed, 1",
            { .arguments = { "list", cookies, "busybee" }, .status = 1, .outHas = { "Handle: @busybee", "\nbusybee_23 " },
              .errHas = { "stopped after 24 reels", "Too many requests" } });
        row("download: a later page fails, the reels received are saved, 1",
            { .arguments = { "download", cookies, dir, "--ids=busybee_0,busybee_30", "busybee" }, .status = 1,
              .outHas = { "Saved 1 of 2", "busybee_30: not among the 24 reels received" },
              .errHas = { "stopped after 24 reels", "Too many requests" }, .saved = { "reel-busybee_0-720p.mp4" } });
        row("list: a page refused twice is asked for again after a wait",
            { .arguments = { "list", cookies, "patient" }, .outHas = { "\npatient_29 " },
              .errHas = { "Instagram asked to slow down \u2014 continuing in 1 s" } });
        row("a first page that fails is a failed fetch",
            { .arguments = { "list", cookies, "wary" }, .status = 3, .errHas = { "Too many requests" } });
        row("hostile names and ids are listed inert",
            { .arguments = { "list", cookies, "hostile" },
              .outHas = { "Name: " + shownName + "\nHandle: @eve\uFFFD[8m%1\n", "\nhostile_0" + shownIDSuffix + " 2023-11-14 22:13 " } });
        row("hostile ids and error pages are reported inert",
            { .arguments = { "download", cookies, dir, "hostile" }, .status = 1,
              .outHas = { "saved hostile_0" + shownIDSuffix + " (720p): ", "failed hostile_1" + shownIDSuffix + " (720p): ", "Saved 1 of 2" },
              .saved = { MediaFile::finalName("hostile_0" + hostileIDSuffix, VideoQuality::hd720) } });
        row("a hostile error page on the fetch is reported inert",
            { .arguments = { "list", cookies, "hostilefail" }, .status = 3, .errHas = { "HTTP 500" } });
        // With a first day the walk ends after a page of only older reels, pinned ones aside, and
        // says so; the run is complete all the same. The reels are named by their place.
        row("list since a day",
            { .arguments = { "list", cookies, "--since=2023-11-13", "pinned" },
              .errHas = { "stopped after 5 pages: the rest is older than 2023-11-13" }, .pages = 5, .listed = std::pair(2, 46) });
        row("download since a day",
            { .arguments = { "download", cookies, dir, "--since", "2023-11-14", "pinned" },
              .errHas = { "stopped after 3 pages: the rest is older than 2023-11-14" }, .saved = reelFiles("pinned", 2, 22, "720p"),
              .pages = 3, .listed = std::pair(2, 22) });
        row("reels after the last day are no reason to stop",
            { .arguments = { "list", cookies, "--since=2023-11-09", "--until=2023-11-13", "pinned" }, .pages = 10,
              .listed = std::pair(23, 119) });
        row("a preset takes nothing of 2023, one page",
            { .arguments = { "list", cookies, "--since=7d", "pinned" }, .errHas = { "stopped after 1 page: " }, .pages = 1,
              .listed = std::pair(0, -1) });
        row("a cookies file over the size limit",
            { .arguments = { "list", "--cookies=BIG", "walker" }, .status = 2, .errHas = { "over 4 MiB" }, .session = {} });
        row("a cookies file without a size that never ends",
            { .arguments = { "list", "--cookies=/dev/zero", "walker" }, .status = 2, .errHas = { "over 4 MiB" }, .session = {} });

        for (const QStringList &arguments : { QStringList{ "fetch", "walker" }, { "download", "--quality=4k", "walker" },
                                              { "download", "--jobs=0", "walker" }, { "download", "--since=yesterday", "walker" },
                                              { "download", "--ids=walker_1", "--since=7d", "walker" }, { "list", "--json" },
                                              { "list", "--demo", cookies, "walker" } }) {
            QTest::addRow("usage: %s", qPrintable(arguments.join(u' ')))
                    << Case{ .arguments = arguments, .status = 2, .errHas = { "--help'" }, .session = {} };
        }
    }

    void run()
    {
        QFETCH(Case, run);

        if (!run.appSession)
            QVERIFY(QFile::remove(appCookiesPath()));
        const QByteArray keptBefore = TestFiles::read(appCookiesPath());
        // Comment lines: a valid cookies file, just over the limit.
        const QString big = m_env->home() + QStringLiteral("/big-cookies.txt");
        if (run.arguments.contains(QStringLiteral("--cookies=BIG")))
            QVERIFY(TestFiles::write(big, (QByteArray(63, '#') + '\n').repeated(NetscapeCookies::maximumFileSize / 64 + 1)));
        run.arguments.replaceInStrings(QStringLiteral("COOKIES"), cookiesFilePath());
        run.arguments.replaceInStrings(QStringLiteral("DIR"), downloadDir());
        run.arguments.replaceInStrings(QStringLiteral("=BIG"), u'=' + big);

        const Output output = runCli(run.arguments);
        QCOMPARE(output.status, run.status);
        // Columns and labels are aligned with blanks; the fragments are compared without them.
        QStringList lines = output.out.split(u'\n');
        for (QString &line : lines)
            line = line.simplified();
        const QString out = lines.join(u'\n');
        for (const QString &text : std::as_const(run.outHas))
            QVERIFY2(out.contains(text), qPrintable(output.out));
        for (const QString &text : std::as_const(run.errHas))
            QVERIFY2(output.err.contains(text), qPrintable(output.err));
        // A listed profile is marked as made up exactly when the demo answered.
        if (out.contains(QLatin1String("\nHandle: @")))
            QCOMPARE(out.startsWith(QLatin1String("Demo profile: generated sample data, not the account's own.\nName: ")),
                     run.session.isEmpty());
        if (run.status == 2)
            QCOMPARE(output.err.count(u'\n'), 1); // one line: the error and where help is
        QVERIFY2(!output.err.contains(QLatin1String("Interrupted")), qPrintable(output.err));
        if (run.pages >= 0) {
            QCOMPARE(m_simulator->pagesServed(), run.pages);
            QVERIFY2(!run.errHas.isEmpty() || !output.err.contains(QLatin1String("stopped")), qPrintable(output.err));
        }
        if (run.listed) { // what the range takes, and nothing around it
            QList<int> listed, expected;
            for (auto match = QRegularExpression(QStringLiteral("pinned_(\\d+)")).globalMatch(output.out); match.hasNext();)
                listed.append(match.next().captured(1).toInt());
            std::sort(listed.begin(), listed.end());
            listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
            for (int i = run.listed->first; i <= run.listed->second; ++i)
                expected.append(i);
            QCOMPARE(listed, expected);
        }
        // Whatever the servers send, what people read cannot steer their terminal.
        for (const QString &stream : { output.out, output.err }) {
            const auto unsafe = std::find_if(stream.begin(), stream.end(), actsOnTerminal);
            if (unsafe != stream.end())
                QFAIL(qPrintable(QStringLiteral("U+%1 in: %2").arg(unsafe->unicode(), 4, 16, QLatin1Char('0')).arg(stream)));
        }

        run.saved.sort();
        QCOMPARE(savedFiles(), run.saved);
        // Each file carries its reel's posting time: reel N of a profile was posted N hours
        // before the newest.
        const QRegularExpression reelNumber(QStringLiteral("^reel-[a-z]+_(\\d+)"));
        for (const QString &name : std::as_const(run.saved)) {
            const QString path = QDir(downloadDir()).filePath(name);
            if (name.endsWith(QLatin1String(".m4a"))) {
                const MediaFixture::Probe sound = MediaFixture::probe(path);
                QCOMPARE(std::pair(sound.audioStreams, sound.videoStreams), std::pair(1, 0));
            } else {
                QCOMPARE(TestFiles::read(path), MediaSimulator::content(mediaSize));
            }
            QCOMPARE(QFileInfo(path).lastModified(),
                     QDateTime::fromSecsSinceEpoch(1'700'000'000 - reelNumber.match(name).captured(1).toInt() * 3600, Qt::UTC));
        }
        // The quality asked for is the rendition fetched: 1080p, 720p, 480p are renditions 0-2.
        const QString first = run.saved.value(0);
        const QString rendition = first.contains(QLatin1String("1080p")) ? "0" : first.contains(QLatin1String("720p")) ? "1" : "2";
        for (const auto &request : m_media->requests())
            QCOMPARE(QRegularExpression(QStringLiteral("-(\\d)\\.mp4$")).match(request.url.path()).captured(1), rendition);

        if (run.session.isEmpty())
            QCOMPARE(m_instagram->requests().size(), 0);
        else
            QCOMPARE(sessionsSent(), QStringList{ run.session });
        // A run signed in with a file never replaces the app's kept sessions.
        QCOMPARE(TestFiles::read(appCookiesPath()), keptBefore);
    }

    // A file already in the folder is left as it is and said so, unless --overwrite; an empty
    // one is a stale leftover and fetched again.
    void downloadAgain()
    {
        const QString kept = QDir(downloadDir()).filePath("reel-walker_1-720p.mp4");
        const QString empty = QDir(downloadDir()).filePath("reel-walker_2-720p.mp4");
        QVERIFY(QDir().mkpath(downloadDir()) && TestFiles::write(kept, "kept") && TestFiles::write(empty, {}));
        QStringList arguments{ "download", "--cookies", cookiesFilePath(), "--dir", downloadDir(), "--ids=walker_1,walker_2", "walker" };
        const Output first = runCli(arguments);
        QCOMPARE(first.status, 0);
        QVERIFY2(first.out.contains("skipped walker_1 (720p): already saved: " + kept + u'\n'), qPrintable(first.out));
        QVERIFY2(!first.out.contains("saved walker_1 (720p): ") && first.out.contains("saved walker_2 (720p): " + empty),
                 qPrintable(first.out));
        QVERIFY2(first.out.contains("Saved 2 of 2 to " + downloadDir() + " (1 already saved)\n"), qPrintable(first.out));
        QCOMPARE(m_media->requestCount(QStringLiteral("/media/walker_1-1.mp4")), 0);
        QCOMPARE(TestFiles::read(kept), "kept");
        QCOMPARE(TestFiles::read(empty), MediaSimulator::content(mediaSize));

        arguments.insert(1, "--overwrite");
        const Output again = runCli(arguments);
        QCOMPARE(again.status, 0);
        QVERIFY2(!again.out.contains("skipped") && again.out.contains("saved walker_1 (720p): " + kept), qPrintable(again.out));
        QVERIFY2(again.out.contains("Saved 2 of 2 to " + downloadDir() + u'\n'), qPrintable(again.out));
        QCOMPARE(m_media->requestCount(QStringLiteral("/media/walker_1-1.mp4")), 1);
        QCOMPARE(TestFiles::read(kept), MediaSimulator::content(mediaSize));
    }

    void listJson()
    {
        const Output run = runCli({ "list", "--json", "--cookies", cookiesFilePath(), "walker" });
        QCOMPARE(run.status, 0);
        QCOMPARE(m_simulator->pagesServed(), 3);
        const QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), 31);
        const QJsonObject &profile = lines.at(0);
        QCOMPARE(profile.value("username").toString(), "walker");
        QCOMPARE(profile.value("followerCount").toInteger(), qint64(15300));
        QCOMPARE(profile.value("reelCount").toInteger(), qint64(30));
        QCOMPARE(profile.value("isVerified").toBool(), true);
        QCOMPARE(profile.value("demo"), QJsonValue(false));
        for (int i = 0; i < 30; ++i) {
            const QJsonObject &reel = lines.at(i + 1);
            QCOMPARE(reel.value("type").toString(), "reel");
            QCOMPARE(reel.value("id").toString(), InstagramSimulator::reelID("walker", i));
            QCOMPARE(QDateTime::fromString(reel.value("postedAt").toString(), Qt::ISODate),
                     QDateTime::fromSecsSinceEpoch(1'700'000'000 - i * 3600, Qt::UTC));
            QCOMPARE(reel.value("viewCount").toInteger(), qint64(1000 + 7 * i));
            QCOMPARE(reel.value("qualities").toVariant().toStringList(), (QStringList{ "1080p", "720p", "480p", "audio" }));
        }

        // Programs get the server's text as it was sent, escaped by JSON.
        const Output hostile = runCli({ "list", "--json", "--cookies", cookiesFilePath(), "hostile" });
        QCOMPARE(hostile.status, 0);
        const QList<QJsonObject> hostileLines = jsonLines(hostile.out);
        QCOMPARE(hostileLines.size(), 3);
        QCOMPARE(hostileLines.at(0).value("displayName").toString(), hostileName);
        QCOMPARE(hostileLines.at(0).value("username").toString(), hostileUsername);
        QCOMPARE(hostileLines.at(1).value("id").toString(), "hostile_0" + hostileIDSuffix);

        // The demo's profile says it is made up; its other members are those of any profile.
        const Output demo = runCli({ "list", "--json", "--demo", "walker" });
        QCOMPARE(demo.status, 0);
        const QJsonObject made = jsonLines(demo.out).value(0);
        QCOMPARE(made.value("demo"), QJsonValue(true));
        QCOMPARE(made.keys(), profile.keys());
    }

    // A signal in the middle of the fetch or of three transfers: the run ends with 128 + the
    // signal, says so, and leaves no part file.
    void interruptLeavesNoPartFile_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("nohup"); // started with hang-ups ignored, then hung up on

        QTest::newRow("Ctrl-C") << "stuck" << SIGINT << false;
        QTest::newRow("termination") << "stuck" << SIGTERM << false;
        QTest::newRow("hang-up") << "stuck" << SIGHUP << false;
        QTest::newRow("nohup keeps it running until Ctrl-C") << "stuck" << SIGINT << true;
        QTest::newRow("Ctrl-C while fetching") << "slowpoke" << SIGINT << false;
    }

    void interruptLeavesNoPartFile()
    {
        QFETCH(QString, profile);
        QFETCH(int, signal);
        QFETCH(bool, nohup);

        QProcess *process = startCli({ "download", "--cookies", cookiesFilePath(), "--dir", downloadDir(), "--jobs", "3", profile },
                                     [nohup] { ::signal(SIGHUP, nohup ? SIG_IGN : SIG_DFL); });
        QSignalSpy finished(process, &QProcess::finished);
        if (profile == QLatin1String("stuck")) {
            QTRY_COMPARE_WITH_TIMEOUT(m_heldTransfers.size(), 3, runTimeoutMs);
            // Each transfer has written its quarter into a part file of its own.
            QTRY_COMPARE_WITH_TIMEOUT(savedFiles().size(), 3, runTimeoutMs);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(m_simulator->pagesServed(), 2, runTimeoutMs);
        }
        // Both signals wait together when the program next looks; the hang-up comes first.
        if (nohup)
            QCOMPARE(::kill(pid_t(process->processId()), SIGHUP), 0);
        QCOMPARE(::kill(pid_t(process->processId()), signal), 0);
        QVERIFY(finished.wait(runTimeoutMs));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 128 + signal);
        QCOMPARE(savedFiles(), QStringList{});
        // The summary after transfers, or the word alone while fetching.
        const QString said = QString::fromUtf8(profile == QLatin1String("stuck") ? process->readAllStandardOutput()
                                                                                  : process->readAllStandardError());
        QVERIFY2(said.contains(profile == QLatin1String("stuck") ? "Interrupted. Saved 0 of 3" : "Interrupted."), qPrintable(said));
    }

    // Foreign text as people see it: nothing a terminal acts on, every script as it is; the live
    // line of a transfer shows its id that way too.
    void printable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");

        QTest::newRow("a title and a cleared screen") << QStringLiteral("a\x1b]0;t\x07\x1b[2Jb") << QStringLiteral("a\uFFFD]0;t\uFFFD\uFFFD[2Jb");
        QTest::newRow("line breaks and tabs become blanks")
                << QStringLiteral("a\r\nb\nc\rd\te\vf\u0085g\u2028h\u2029i") << QStringLiteral("a  b c d e f g h i");
        QTest::newRow("NUL, DEL and the 8-bit CSI") << QStringLiteral("a\0b\x7f\u009b2J") << QStringLiteral("a\uFFFDb\uFFFD\uFFFD2J");
        QTest::newRow("bidi overrides and isolates") << QStringLiteral("x\u202Egnp.exe\u202C \u2067y\u2069 \u202Az\u202B")
                                                     << QStringLiteral("x\uFFFDgnp.exe\uFFFD \uFFFDy\uFFFD \uFFFDz\uFFFD");
        QTest::newRow("placeholders stay") << QStringLiteral("a%1b") << QStringLiteral("a%1b");
        const QString scripts = QStringLiteral("Zoë 東京 مرحبا \U0001F469\u200D\U0001F680 \u200F");
        QTest::newRow("every script stays") << scripts << scripts;
    }

    void printable()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(CliFormat::printable(text), shown);
        DownloadItem item;
        item.reel.id = text;
        item.quality = VideoQuality::hd720;
        QVERIFY(CliFormat::liveLine(item, 0).startsWith(shown + QStringLiteral("  720p  [")));
    }

    void netscapeCookies_data()
    {
        QTest::addColumn<QByteArray>("text");
        // Each cookie as "name=value domain path flags", flags from s(ecure) h(ttp-only)
        // e(xpires); or "line N: " of the error.
        QTest::addColumn<QStringList>("cookies");

        QTest::newRow("comments, blanks, CRLF, both domain forms")
                << QByteArray("# Netscape HTTP Cookie File\r\n\r\n.example.com\tTRUE\t/\tTRUE\t4102444800\tsessionid\tabc\r\n"
                              "127.0.0.1\tFALSE\t/api\tFALSE\t0\tcsrftoken\tx y\r\n")
                << QStringList{ "sessionid=abc .example.com / se", "csrftoken=x y 127.0.0.1 /api " };
        QTest::newRow("the subdomain flag decides the leading dot")
                << QByteArray("example.com\tTRUE\t/\tFALSE\t0\ta\t1\n.example.com\tFALSE\t/\tFALSE\t0\tb\t2\n")
                << QStringList{ "a=1 .example.com / ", "b=2 example.com / " };
        QTest::newRow("#HttpOnly_ is a flag, not a comment")
                << QByteArray("#HttpOnly_.example.com\tTRUE\t/\tTRUE\t0\tsessionid\ts\n") << QStringList{ "sessionid=s .example.com / sh" };
        QTest::newRow("an empty value, its tab left out")
                << QByteArray("example.com\tFALSE\t/\tFALSE\t0\tempty\n") << QStringList{ "empty= example.com / " };
        QTest::newRow("expired cookies are dropped, fractional seconds read")
                << QByteArray("example.com\tFALSE\t/\tFALSE\t1000\told\t1\nexample.com\tFALSE\t/\tFALSE\t4102444800.5\tnew\t2\n")
                << QStringList{ "new=2 example.com / e" };
        QTest::newRow("spaces instead of tabs") << QByteArray("# ok\nexample.com FALSE / FALSE 0 a 1\n") << QStringList{ "line 2: " };
        QTest::newRow("a flag that is not TRUE or FALSE") << QByteArray("example.com\tyes\t/\tFALSE\t0\ta\t1\n") << QStringList{ "line 1: " };
        QTest::newRow("an expiry that is no number")
                << QByteArray("\nexample.com\tFALSE\t/\tFALSE\ttomorrow\ta\t1\n") << QStringList{ "line 2: " };
        QTest::newRow("a cookie without a name") << QByteArray("example.com\tFALSE\t/\tFALSE\t0\t\tvalue\n") << QStringList{ "line 1: " };
        QTest::newRow("a JSON export") << QByteArray("[{\"name\": \"sessionid\"}]\n") << QStringList{ "line 1: " };
    }

    void netscapeCookies()
    {
        QFETCH(QByteArray, text);
        const auto parsed = NetscapeCookies::parse(text, QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC));
        QStringList described;
        if (const auto *error = std::get_if<NetscapeCookies::ParseError>(&parsed)) {
            QVERIFY2(error->message.startsWith(QStringLiteral("line %1: ").arg(error->line)), qPrintable(error->message));
            described.append(QStringLiteral("line %1: ").arg(error->line));
        } else {
            for (const QNetworkCookie &cookie : std::get<QList<QNetworkCookie>>(parsed)) {
                const QString flags = QString(cookie.isSecure() ? "s" : "") + (cookie.isHttpOnly() ? "h" : "")
                        + (cookie.isSessionCookie() ? "" : "e");
                described.append(QStringLiteral("%1=%2 %3 %4 %5").arg(QString::fromUtf8(cookie.name()),
                                                                     QString::fromUtf8(cookie.value()), cookie.domain(), cookie.path(), flags));
            }
        }
        QTEST(described, "cookies");
    }

    // The range as "kind first-day last-day", its two days only for a custom range; or "error".
    void dateRange_data()
    {
        QTest::addColumn<QString>("since");
        QTest::addColumn<QString>("until");
        QTest::addColumn<QString>("range");

        QTest::newRow("nothing") << "" << "" << "all";
        QTest::newRow("7d") << "7d" << "" << "last7";
        QTest::newRow("90D") << "90D" << "" << "last90";
        QTest::newRow("since a day, open ended") << "2024-02-29" << "" << "custom 2024-02-29 9999-12-31";
        QTest::newRow("one day") << "2023-11-13" << "2023-11-13" << "custom 2023-11-13 2023-11-13";
        QTest::newRow("until alone") << "" << "2023-01-31" << "custom 1970-01-01 2023-01-31";
        QTest::newRow("no such day") << "2023-02-29" << "" << "error";
        QTest::newRow("not ISO") << "13.11.2023" << "" << "error";
        QTest::newRow("reversed") << "2023-11-14" << "2023-11-13" << "error";
        QTest::newRow("preset with an end") << "7d" << "2023-11-13" << "error";
    }

    void dateRange()
    {
        QFETCH(QString, since);
        QFETCH(QString, until);
        const auto parsed = CliArguments::parseDateRange(since, until);
        const auto *filter = std::get_if<DateRangeFilter>(&parsed);
        const bool custom = filter && filter->kind() == DateRangeFilter::Kind::custom;
        QTEST(!filter ? QStringLiteral("error")
                      : custom ? "custom " + filter->start().date().toString(Qt::ISODate) + u' ' + filter->end().date().toString(Qt::ISODate)
                               : QVariant::fromValue(filter->kind()).toString(),
              "range");
        if (custom) { // both ends are whole days: the first and the last minute of the range pass
            const QDateTime now = QDateTime::currentDateTime();
            QVERIFY(filter->includes(filter->start().date().startOfDay(), now));
            QVERIFY(filter->includes(filter->end().date().endOfDay(), now));
            QVERIFY(!filter->includes(filter->start().date().startOfDay().addSecs(-1), now));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
