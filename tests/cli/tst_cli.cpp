// clipdock-cli, run as the built program against the Instagram simulator and a media server, with
// a fresh home each time; and its two parsers on their own.

#include "InstagramSimulator.h"
#include "MediaFixture.h"
#include "MediaSimulator.h"
#include "SignInCookies.h"
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
#include <QProcess>
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

// How `key` and `value` appear in a line of --json output.
QString jsonMember(const char *key, const QString &value)
{
    const QJsonObject object{ { QLatin1String(key), value } };
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact).chopped(1).mid(1));
}

// A run of the program and what it must do.
struct Case
{
    QStringList arguments; // COOKIES and DIR (here and in outHas) stand for the test's own files
    int status = 0;
    QStringList outHas, errHas; // fragments; standard output is compared with its blanks squeezed
    QStringList saved;          // what the download folder holds afterwards
    QString session = QStringLiteral("file-session"); // what the platform saw; empty: nothing asked
    int pages = -1;             // reels pages asked for, when counted
    std::optional<QStringList> listed; // the reels named on standard output, when checked
    QMap<QString, QByteArray> before;  // files in the download folder before the run
    QStringList untouched;             // of those, the ones the run leaves as they were
    int signal = 0;     // sent once three transfers have begun or the second page is asked for
    bool nohup = false; // started with hang-ups ignored, then hung up on before `signal`
};

// `pattern` with each number from `first` to `last`.
QStringList numbered(const QString &pattern, int first, int last)
{
    QStringList texts;
    for (int i = first; i <= last; ++i)
        texts.append(pattern.arg(i));
    return texts;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QString appCookiesPath() const { return m_env->home() + QStringLiteral("/.local/share/ClipDock/Clip Dock/cookies"); }
    QString cookiesFilePath() const { return m_env->home() + QStringLiteral("/cookies.txt"); }
    QString downloadDir() const { return m_env->home() + QStringLiteral("/out"); }
    QStringList savedFiles() const { return TestFiles::entries(downloadDir()); }

    // Made afresh for each case; a case's go once the next case's are made.
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<TestServer> m_instagram;
    std::unique_ptr<TestServer> m_media;
    std::unique_ptr<InstagramSimulator> m_simulator;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_instagram = std::make_unique<TestServer>();
        m_media = std::make_unique<TestServer>();
        m_simulator = std::make_unique<InstagramSimulator>(*m_instagram);
        m_simulator->setRequireSession(true);
        m_simulator->setMediaOrigin(m_media->origin());
        // Reels one hour apart, newest 2023-11-14 22:13 UTC: walker_23 to walker_29 are the
        // reels of 2023-11-13.
        m_simulator->addProfile("walker", 30, 12,
                                { .fullName = QStringLiteral("Walker Lane"), .followerCount = 15'300,
                                  .verified = true });
        m_simulator->addProfile("stuck", 3);
        // Rate-limited on the third page, after 24 reels.
        m_simulator->addProfile("busybee", 120);
        m_simulator->setPageResponse("busybee", 3, Response::text("Please wait.", 429));
        // Refused twice on the second page, then answered.
        m_simulator->addProfile("patient", 30);
        m_simulator->setPageResponse("patient", 2, Response::text("Please wait.", 429), 2);
        // Two old pinned reels atop the first page, then one reel an hour: pinned_2 to
        // pinned_22 are of 2023-11-14, pinned_23 to pinned_46 of 2023-11-13.
        m_simulator->addProfile("pinned", 120, 12, { .pinned = 2 });
        // The second page never comes.
        m_simulator->addProfile("slowpoke", 30);
        m_simulator->setPageResponse("slowpoke", 2, { .stall = true });
        m_simulator->addProfile("hostile", 2, 12,
                                { .fullName = hostileName, .reportedUsername = hostileUsername,
                                  .idSuffix = hostileIDSuffix });
        m_simulator->setLookupResponse("hostilefail", Response::text(hostileBody, 500));

        m_media->route("/media/walker_3-1.mp4", Response::text(MediaSimulator::notFoundPage(), 404, "text/html"));
        m_media->route("/media/walker_7-2.mp4", Response::text(MediaFixture::mp4(), 200, "video/mp4"));
        m_media->routePrefix("/media/", [](const TestServer::Request &request) {
            return request.url.path().contains(QLatin1String("hostile_1"))
                    ? Response::text(hostileBody, 500)
                    : Response::text(MediaSimulator::content(mediaSize), 200, "video/mp4");
        });
        // Transfers of "stuck" at 720p send a quarter of their file and then nothing.
        const auto stall = [](const TestServer::Request &, QTcpSocket *socket) {
            TestServer::writeHead(socket, 200, "video/mp4", {}, mediaSize);
            socket->write(MediaSimulator::content(mediaSize).left(mediaSize / 4));
        };
        for (const char *path : { "/media/stuck_0-1.mp4", "/media/stuck_1-1.mp4", "/media/stuck_2-1.mp4" })
            m_media->routeRaw(path, stall);

        // The app's kept sessions, as its cookie jar writes them.
        CookieJar kept(appCookiesPath(), nullptr);
        kept.insertCookie(lastingCookie("sessionid", "app-session", QStringLiteral("127.0.0.1")));
        kept.save();
        QVERIFY(TestFiles::write(cookiesFilePath(), "# Netscape HTTP Cookie File\n"
                                         "#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t0\tsessionid\tfile-session\n"
                                         "127.0.0.1\tFALSE\t/\tFALSE\t0\tcsrftoken\tfile-csrf\n"));
        // The program waits after a refusal before it asks again; tens of milliseconds here.
        qputenv("CLIPDOCK_RATE_LIMIT_WAITS_MS", "50,100,200");
        qputenv("TZ", "UTC");
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_instagram->origin() } });
    }

    // The program end to end: what it prints, how it ends, what it saves and which session the
    // platform saw.
    void run_data()
    {
        QTest::addColumn<Case>("run");
        const auto row = [](const char *name, const Case &run) { QTest::newRow(name) << run; };
        const QString cookies = QStringLiteral("--cookies=COOKIES");
        const QString dir = QStringLiteral("--dir=DIR");

        row("list a link, multi-page, signed in with a cookies file",
            { .arguments = { "list", cookies, "https://www.instagram.com/walker/" },
              .outHas = { "Name: Walker Lane", "Handle: @walker", "Followers: 15300 (15.3K)", "Reels: 30", "Verified: yes",
                          "\nwalker_0 2023-11-14 22:13 0:06 1000 100 1080p,720p,480p,audio\n", "\nwalker_29 2023-11-13 17:13 " } });
        row("list without a session answers with the demo",
            { .arguments = { "list", "--cookies=/dev/null", "walker" }, .outHas = { "Handle: @walker" },
              .errHas = { "not signed in to Instagram: answering with the demo source" }, .session = {} });
        // One object a line; the server's text as it was sent, left to JSON's own escaping.
        row("list --json",
            { .arguments = { "list", "--json", cookies, "walker" },
              .outHas = { R"("demo":false,"displayName":"Walker Lane","followerCount":15300,"isVerified":true,)"
                          R"("platform":"instagram","reelCount":30,"type":"profile","username":"walker"})",
                          R"({"durationSeconds":6,"id":"walker_0","likeCount":100,)"
                          R"("postedAt":"2023-11-14T22:13:20Z","qualities":["1080p","720p","480p","audio"],)",
                          R"("viewCount":1000})" }, .pages = 3, .listed = numbered("walker_%1", 0, 29) });
        row("list --json of the demo even when signed in: marked",
            { .arguments = { "list", "--json", "--demo", "walker" },
              .outHas = { R"(,"demo":true,"displayName":"Walker",)" }, .session = {} });
        row("list --json of hostile texts",
            { .arguments = { "list", "--json", cookies, "hostile" },
              .outHas = { jsonMember("displayName", hostileName), jsonMember("username", hostileUsername),
                          jsonMember("id", "hostile_0" + hostileIDSuffix) } });

        row("download the sound alone",
            { .arguments = { "download", cookies, dir, "--ids=walker_7", "--quality", "audio", "walker" },
              .outHas = { "saved walker_7 (audio): " }, .saved = { "reel-walker_7-Audio only.m4a" } });
        row("download one day at 480p",
            { .arguments = { "download", cookies, dir, "--since", "2023-11-13", "--until", "2023-11-13", "--quality", "480p", "walker" },
              .outHas = { "saved walker_23 (480p): ", "Saved 7 of 7 to " },
              .saved = numbered("reel-walker_%1-480p.mp4", 23, 29) });
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
        row("a saved file is skipped, an empty leftover fetched again",
            { .arguments = { "download", cookies, dir, "--ids=walker_1,walker_2", "walker" },
              .outHas = { "skipped walker_1 (720p): already saved: DIR/reel-walker_1-720p.mp4\n",
                          "saved walker_2 (720p): ", "Saved 2 of 2 to DIR (1 already saved)\n" },
              .saved = { "reel-walker_1-720p.mp4", "reel-walker_2-720p.mp4" },
              .before = { { "reel-walker_1-720p.mp4", "kept" }, { "reel-walker_2-720p.mp4", "" } },
              .untouched = { "reel-walker_1-720p.mp4" } });
        row("--overwrite fetches a saved file again",
            { .arguments = { "download", "--overwrite", cookies, dir, "--ids=walker_1", "walker" },
              .outHas = { "saved walker_1 (720p): DIR/reel-walker_1-720p.mp4\n", "Saved 1 of 1 to DIR\n" },
              .saved = { "reel-walker_1-720p.mp4" }, .before = { { "reel-walker_1-720p.mp4", "kept" } } });
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
              .errHas = { "stopped after 5 pages: the rest is older than 2023-11-13" }, .pages = 5,
              .listed = numbered("pinned_%1", 2, 46) });
        row("reels after the last day are no reason to stop",
            { .arguments = { "list", cookies, "--since=2023-11-09", "--until=2023-11-13", "pinned" }, .pages = 10,
              .listed = numbered("pinned_%1", 23, 119) });
        row("a preset takes nothing of 2023, one page",
            { .arguments = { "list", cookies, "--since=7d", "pinned" }, .errHas = { "stopped after 1 page: " }, .pages = 1,
              .listed = QStringList() });
        row("a cookies file without a size that never ends",
            { .arguments = { "list", "--cookies=/dev/zero", "walker" }, .status = 2, .errHas = { "over 4 MiB" }, .session = {} });

        // A signal in the middle of three transfers or of the fetch: the run ends with 128 + the
        // signal, says so, and leaves no part file.
        const auto stuck = [&](int signal, bool nohup = false) {
            return Case{ .arguments = { "download", cookies, dir, "--jobs=3", "stuck" }, .status = 128 + signal,
                         .outHas = { "Interrupted. Saved 0 of 3" }, .signal = signal, .nohup = nohup };
        };
        row("termination", stuck(SIGTERM));
        row("hang-up", stuck(SIGHUP));
        row("nohup keeps it running until Ctrl-C", stuck(SIGINT, true));
        row("Ctrl-C while fetching",
            { .arguments = { "download", cookies, dir, "slowpoke" }, .status = 128 + SIGINT,
              .errHas = { "Interrupted." }, .signal = SIGINT });

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

        const QByteArray keptBefore = TestFiles::read(appCookiesPath());
        for (const auto &[name, bytes] : run.before.asKeyValueRange())
            QVERIFY(QDir().mkpath(downloadDir()) && TestFiles::write(QDir(downloadDir()).filePath(name), bytes));
        run.arguments.replaceInStrings(QStringLiteral("COOKIES"), cookiesFilePath());
        run.arguments.replaceInStrings(QStringLiteral("DIR"), downloadDir());
        run.outHas.replaceInStrings(QStringLiteral("DIR"), downloadDir());

        QProcess process;
        process.setChildProcessModifier([nohup = run.nohup] { ::signal(SIGHUP, nohup ? SIG_IGN : SIG_DFL); });
        process.start(QStringLiteral(CLIPDOCK_CLI), run.arguments);
        if (run.signal) {
            QTRY_VERIFY_WITH_TIMEOUT(savedFiles().size() == 3 || m_simulator->pagesServed() == 2, runTimeoutMs);
            // Both signals wait together when the program next looks; the hang-up comes first.
            if (run.nohup)
                QCOMPARE(::kill(pid_t(process.processId()), SIGHUP), 0);
            QCOMPARE(::kill(pid_t(process.processId()), run.signal), 0);
        }
        // This process's servers answer while the program runs.
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, runTimeoutMs);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), run.status);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        // Columns and labels are aligned with blanks; the fragments are compared without them.
        const QRegularExpression aligning(QStringLiteral("^ +| +$| +(?= )"), QRegularExpression::MultilineOption);
        const QString out = QString::fromUtf8(process.readAllStandardOutput()).remove(aligning);
        for (const QString &text : std::as_const(run.outHas))
            QVERIFY2(out.contains(text), qPrintable(out));
        for (const QString &text : std::as_const(run.errHas))
            QVERIFY2(err.contains(text), qPrintable(err));
        // A listed profile is marked as made up exactly when the demo answered.
        if (out.contains(QLatin1String("\nHandle: @")))
            QCOMPARE(out.startsWith(QLatin1String("Demo profile: generated sample data, not the account's own.\nName: ")),
                     run.session.isEmpty());
        if (run.status == 2)
            QCOMPARE(err.count(u'\n'), 1); // one line: the error and where help is
        if (run.pages >= 0) {
            QCOMPARE(m_simulator->pagesServed(), run.pages);
            QVERIFY2(!run.errHas.isEmpty() || !err.contains(QLatin1String("stopped")), qPrintable(err));
        }
        if (run.listed) { // what the range takes, each once, and nothing around it
            const QRegularExpression reel(QStringLiteral("(?:^|[\\s\"])([a-z]+_\\d+)\\b"));
            QStringList listed;
            for (auto match = reel.globalMatch(out); match.hasNext();)
                listed.append(match.next().captured(1));
            listed.sort();
            run.listed->sort();
            QCOMPARE(listed, *run.listed);
        }
        // Whatever the servers send, what people read cannot steer their terminal.
        const bool json = run.arguments.contains(QStringLiteral("--json"));
        for (const QString &line : (json ? err : out + u'\n' + err).split(u'\n'))
            QCOMPARE(CliFormat::printable(line), line);

        run.saved.sort();
        QCOMPARE(savedFiles(), run.saved);
        // Each file carries its reel's posting time: reel N was posted N hours before the newest.
        const QRegularExpression reelNumber(QStringLiteral("^reel-[a-z]+_(\\d+)"));
        for (const QString &name : std::as_const(run.saved)) {
            const QString path = QDir(downloadDir()).filePath(name);
            if (run.untouched.contains(name)) {
                QCOMPARE(TestFiles::read(path), run.before.value(name));
                continue;
            }
            if (name.endsWith(QLatin1String(".m4a"))) {
                const MediaFixture::Probe sound = MediaFixture::probe(path);
                QCOMPARE(std::pair(sound.audioStreams, sound.videoStreams), std::pair(1, 0));
            } else {
                QCOMPARE(TestFiles::read(path), MediaSimulator::content(mediaSize));
            }
            QCOMPARE(QFileInfo(path).lastModified(),
                     QDateTime::fromSecsSinceEpoch(1'700'000'000 - reelNumber.match(name).captured(1).toInt() * 3600, Qt::UTC));
        }
        // The quality asked for is the rendition fetched: 1080p, 720p, 480p are renditions 0-2; the
        // sound comes from the narrowest.
        const QString asked = run.arguments.join(u' ');
        const QString rendition = asked.contains("1080p")                              ? "0"
                                  : asked.contains("480p") || asked.contains("audio") ? "2"
                                                                                       : "1";
        for (const auto &request : m_media->requests())
            QCOMPARE(QRegularExpression(QStringLiteral("-(\\d)\\.mp4$")).match(request.url.path()).captured(1), rendition);

        // One session reached the platform, or it was never asked.
        QStringList sessions;
        const QRegularExpression sessionID(QStringLiteral("(?:^|; *)sessionid=([^;]*)"));
        for (const auto &request : m_instagram->requests())
            sessions.append(sessionID.match(QString::fromUtf8(request.header("Cookie"))).captured(1));
        sessions.removeDuplicates();
        QCOMPARE(sessions, run.session.isEmpty() ? QStringList() : QStringList{ run.session });
        // A run signed in with a file never replaces the app's kept sessions.
        QCOMPARE(TestFiles::read(appCookiesPath()), keptBefore);
    }

    // Foreign text as people see it: nothing a terminal acts on, every script as it is; the live
    // line of a transfer shows its id that way too.
    void printable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");

        QTest::newRow("line breaks and tabs become blanks")
                << QStringLiteral("a\r\nb\nc\rd\te\vf\u0085g\u2028h\u2029i") << QStringLiteral("a  b c d e f g h i");
        QTest::newRow("NUL, DEL, the 8-bit CSI, bidi overrides and isolates")
                << QStringLiteral("a\0b\x7f\u009b2J x\u202Egnp.exe\u202C \u2067y\u2069 \u202Az\u202B")
                << QStringLiteral("a\uFFFDb\uFFFD\uFFFD2J x\uFFFDgnp.exe\uFFFD \uFFFDy\uFFFD \uFFFDz\uFFFD");
        const QString kept = QStringLiteral("Zoë 東京 مرحبا \U0001F469\u200D\U0001F680 \u200F a%1b");
        QTest::newRow("every script and placeholders stay") << kept << kept;
    }

    void printable()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(CliFormat::printable(text), shown);
        DownloadItem item;
        item.reel.id = text;
        QVERIFY(CliFormat::liveLine(item, 0).startsWith(shown + QStringLiteral("  720p  [")));
    }

    void netscapeCookies_data()
    {
        QTest::addColumn<QByteArray>("text");
        // Each cookie as "name=value domain path flags", flags from s(ecure) h(ttp-only)
        // e(xpires); or "line N" of the error.
        QTest::addColumn<QStringList>("cookies");

        QTest::newRow("comments, blanks, CRLF, both domain forms, #HttpOnly_ a flag and not a comment")
                << QByteArray("# Netscape HTTP Cookie File\r\n\r\n"
                              "#HttpOnly_.example.com\tTRUE\t/\tTRUE\t4102444800\tsessionid\tabc\r\n"
                              "127.0.0.1\tFALSE\t/api\tFALSE\t0\tcsrftoken\tx y\r\n")
                << QStringList{ "sessionid=abc .example.com / she", "csrftoken=x y 127.0.0.1 /api " };
        QTest::newRow("the subdomain flag decides the leading dot; an empty value, its tab left out")
                << QByteArray("example.com\tTRUE\t/\tFALSE\t0\ta\t1\n.example.com\tFALSE\t/\tFALSE\t0\tb\n")
                << QStringList{ "a=1 .example.com / ", "b= example.com / " };
        QTest::newRow("expired cookies are dropped, fractional seconds read")
                << QByteArray("example.com\tFALSE\t/\tFALSE\t1000\told\t1\nexample.com\tFALSE\t/\tFALSE\t4102444800.5\tnew\t2\n")
                << QStringList{ "new=2 example.com / e" };
        QTest::newRow("spaces instead of tabs")
                << QByteArray("# ok\nexample.com FALSE / FALSE 0 a 1\n") << QStringList{ "line 2" };
        QTest::newRow("a flag that is not TRUE or FALSE")
                << QByteArray("example.com\tyes\t/\tFALSE\t0\ta\t1\n") << QStringList{ "line 1" };
        QTest::newRow("an expiry that is no number")
                << QByteArray("\nexample.com\tFALSE\t/\tFALSE\ttomorrow\ta\t1\n") << QStringList{ "line 2" };
        QTest::newRow("a cookie without a name")
                << QByteArray("example.com\tFALSE\t/\tFALSE\t0\t\tvalue\n") << QStringList{ "line 1" };
    }

    void netscapeCookies()
    {
        QFETCH(QByteArray, text);
        const auto parsed = NetscapeCookies::parse(text, QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC));
        QStringList described;
        if (const auto *error = std::get_if<NetscapeCookies::ParseError>(&parsed)) {
            described.append(error->message.section(u':', 0, 0));
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

        QTest::newRow("7d") << "7d" << "" << "last7";
        QTest::newRow("90D") << "90D" << "" << "last90";
        QTest::newRow("since a day, open ended") << "2024-02-29" << "" << "custom 2024-02-29 9999-12-31";
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
