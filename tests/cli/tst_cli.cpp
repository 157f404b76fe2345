// clipdock-cli, run as the built program against the Instagram simulator and a media server, with
// a fresh home each time; and its two parsers on their own.

#include "InstagramSimulator.h"
#include "MediaFixture.h"
#include "MediaSimulator.h"
#include "TestEnvironment.h"
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

namespace {

constexpr qsizetype mediaSize = 48 * 1024;
constexpr int runTimeoutMs = 60'000;

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// What a hostile server might send: a terminal title, a cleared screen, a forged line, the 8-bit
// CSI, DEL, a right-to-left override that turns "exe.png" around, and a text placeholder.
const QString hostileName =
        QStringLiteral("Eve\x1b]0;pwned\x07\x1b[2J\r\nHandle: @forged\u202Egnp.exe");
const QString hostileUsername = QStringLiteral("eve\x1b[8m%1");
const QString hostileIDSuffix = QStringLiteral("\r\x1b[1Asaved\u009b2J\t\x7f");
const QByteArray hostileBody = "\x1b]0;pwned\x07\x1b[2Jgone\r\nsaved everything";
// The same texts as printed for people.
const QString shownName =
        QStringLiteral("Eve\uFFFD]0;pwned\uFFFD\uFFFD[2J Handle: @forged\uFFFDgnp.exe");
const QString shownIDSuffix = QStringLiteral(" \uFFFD[1Asaved\uFFFD2J \uFFFD");

// Characters a terminal acts on or reorders by: controls other than the line end, DEL, C1 and
// the bidi embeddings, overrides and isolates.
bool actsOnTerminal(QChar c)
{
    const char16_t u = c.unicode();
    return (u < 0x20 && u != u'\n') || (u >= 0x7f && u <= 0x9f) || (u >= 0x202a && u <= 0x202e)
            || (u >= 0x2066 && u <= 0x2069);
}

QByteArray appCookieLine(const QByteArray &session)
{
    QNetworkCookie cookie("sessionid", session);
    cookie.setDomain(QStringLiteral("127.0.0.1"));
    cookie.setPath(QStringLiteral("/"));
    cookie.setExpirationDate(QDateTime::currentDateTimeUtc().addDays(30));
    return cookie.toRawForm(QNetworkCookie::Full) + '\n';
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private:
    QString appCookiesPath() const
    {
        return m_env->home() + QStringLiteral("/.local/share/ClipDock/Clip Dock/cookies");
    }
    QString cookiesFilePath() const { return m_env->home() + QStringLiteral("/cookies.txt"); }
    QString downloadDir() const { return m_env->home() + QStringLiteral("/out"); }

    // Runs the program to its end while this process's servers keep answering. `inChild` runs in
    // the child just before the program starts.
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

    Run runCli(const QStringList &arguments)
    {
        QProcess *process = startCli(arguments);
        QSignalSpy finished(process, &QProcess::finished);
        if (!finished.wait(runTimeoutMs))
            process->kill();
        Run run;
        run.status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        run.out = QString::fromUtf8(process->readAllStandardOutput());
        run.err = QString::fromUtf8(process->readAllStandardError());
        process->deleteLater();
        return run;
    }

    QStringList sessionsSent() const
    {
        QStringList sessions;
        for (const auto &request : m_instagram->requests()) {
            const QByteArray cookies = request.header("Cookie");
            for (const QByteArray &pair : cookies.split(';')) {
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
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(CLIPDOCK_CLI)).isExecutable());
    }

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
        InstagramSimulator::ProfileOptions walker;
        walker.fullName = QStringLiteral("Walker Lane");
        walker.followerCount = 15'300;
        walker.verified = true;
        m_simulator->addProfile(QStringLiteral("walker"), 30, 12, walker);
        m_simulator->addProfile(QStringLiteral("stuck"), 3, 12);
        // Rate-limited on the third page, after 24 reels; and on the first.
        m_simulator->addProfile(QStringLiteral("busybee"), 120, 12);
        m_simulator->setPageResponse(QStringLiteral("busybee"), 3,
                                     TestServer::Response::text("Please wait.", 429));
        m_simulator->addProfile(QStringLiteral("wary"), 3, 12);
        m_simulator->setPageResponse(QStringLiteral("wary"), 1,
                                     TestServer::Response::text("Please wait.", 429));
        // Refused twice on the second page, then answered.
        m_simulator->addProfile(QStringLiteral("patient"), 30, 12);
        m_simulator->setPageResponse(QStringLiteral("patient"), 2,
                                     TestServer::Response::text("Please wait.", 429), 2);
        // Two old pinned reels atop the first page, then one reel an hour: pinned_2 to
        // pinned_22 are of 2023-11-14, pinned_23 to pinned_46 of 2023-11-13.
        InstagramSimulator::ProfileOptions pinned;
        pinned.pinned = 2;
        m_simulator->addProfile(QStringLiteral("pinned"), 120, 12, pinned);
        // The second page never comes.
        m_simulator->addProfile(QStringLiteral("slowpoke"), 30, 12);
        TestServer::Response never;
        never.stall = true;
        m_simulator->setPageResponse(QStringLiteral("slowpoke"), 2, never);
        InstagramSimulator::ProfileOptions hostile;
        hostile.fullName = hostileName;
        hostile.reportedUsername = hostileUsername;
        hostile.idSuffix = hostileIDSuffix;
        m_simulator->addProfile(QStringLiteral("hostile"), 2, 12, hostile);
        m_simulator->addProfile(QStringLiteral("hostilefail"), 2, 12);
        m_simulator->setLookupResponse(QStringLiteral("hostilefail"),
                                       TestServer::Response::text(hostileBody, 500));

        m_media->routePrefix(QStringLiteral("/media/"), [](const TestServer::Request &request) {
            if (request.url.path().contains(QLatin1String("walker_3-")))
                return TestServer::Response::text(MediaSimulator::notFoundPage(), 404, "text/html");
            if (request.url.path().contains(QLatin1String("hostile_1-")))
                return TestServer::Response::text(hostileBody, 500);
            if (request.url.path().contains(QLatin1String("walker_7-")))
                return TestServer::Response::text(MediaFixture::mp4(), 200, "video/mp4");
            return TestServer::Response::text(MediaSimulator::content(mediaSize), 200, "video/mp4");
        });
        // Transfers of "stuck" send a quarter of their file and then nothing.
        for (int reel = 0; reel < 3; ++reel) {
            for (int rendition = 0; rendition < 3; ++rendition) {
                const QString path = QStringLiteral("/media/stuck_%1-%2.mp4").arg(reel).arg(rendition);
                m_media->routeRaw(path, [this](const TestServer::Request &, QTcpSocket *socket) {
                    TestServer::writeHead(socket, 200, "video/mp4", {}, mediaSize);
                    socket->write(MediaSimulator::content(mediaSize).left(mediaSize / 4));
                    m_heldTransfers.append(socket);
                });
            }
        }

        // The app's kept sessions, as its cookie jar writes them.
        QDir().mkpath(QFileInfo(appCookiesPath()).absolutePath());
        QFile jar(appCookiesPath());
        QVERIFY(jar.open(QIODevice::WriteOnly));
        jar.write(appCookieLine("app-session"));
        jar.close();

        QFile netscape(cookiesFilePath());
        QVERIFY(netscape.open(QIODevice::WriteOnly));
        netscape.write("# Netscape HTTP Cookie File\n"
                       "#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t0\tsessionid\tfile-session\n"
                       "127.0.0.1\tFALSE\t/\tFALSE\t0\tcsrftoken\tfile-csrf\n");
        netscape.close();

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
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("appSession");  // the app's kept sessions file is present
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("outHas");
        QTest::addColumn<QStringList>("errHas");
        QTest::addColumn<QStringList>("saved"); // file names in the download folder
        QTest::addColumn<QString>("session");   // what the platform saw; empty for the demo

        const QString cookies = QStringLiteral("--cookies=COOKIES");
        const QString dir = QStringLiteral("--dir=DIR");

        QTest::newRow("list, multi-page, signed in with a cookies file")
                << QStringList{ "list", cookies, "walker" } << true << 0
                << QStringList{ "Name: Walker Lane", "Handle: @walker",
                                "Followers: 15300 (15.3K)", "Reels: 30", "Verified: yes",
                                "\nwalker_0 2023-11-14 22:13 0:06 1000 100 1080p,720p,480p,audio\n",
                                "\nwalker_29 2023-11-13 17:13 " }
                << QStringList{} << QStringList{} << "file-session";
        QTest::newRow("list with the app's sessions")
                << QStringList{ "list", "https://www.instagram.com/walker/" } << true << 0
                << QStringList{ "walker_29" } << QStringList{} << QStringList{} << "app-session";
        QTest::newRow("list without a session answers with the demo")
                << QStringList{ "list", "walker" } << false << 0
                << QStringList{ "Handle: @walker" }
                << QStringList{ "not signed in to Instagram: answering with the demo source" }
                << QStringList{} << QString();
        QTest::newRow("--demo even when signed in")
                << QStringList{ "list", "--demo", "walker" } << true << 0
                << QStringList{ "Handle: @walker" } << QStringList{} << QStringList{} << QString();

        QStringList dayOfReels;
        for (int i = 23; i < 30; ++i)
            dayOfReels.append(QStringLiteral("reel-walker_%1-480p.mp4").arg(i));
        QTest::newRow("download the sound alone")
                << QStringList{ "download", cookies, dir, "--ids=walker_7", "--quality", "audio",
                                "walker" }
                << true << 0 << QStringList{ "saved walker_7 (audio): " } << QStringList{}
                << QStringList{ "reel-walker_7-Audio only.m4a" } << "file-session";
        QTest::newRow("download one day at 480p")
                << QStringList{ "download", cookies, dir, "--since", "2023-11-13", "--until",
                                "2023-11-13", "--quality", "480p", "walker" }
                << true << 0
                << QStringList{ "saved walker_23 (480p): ", "Saved 7 of 7 to " }
                << QStringList{} << dayOfReels << "file-session";
        QTest::newRow("download chosen ids, one job, with the app's sessions")
                << QStringList{ "download", dir, "--ids=walker_5,walker_0,walker_5", "--jobs=1",
                                "--quality=1080p", "walker" }
                << true << 0 << QStringList{ "Saved 2 of 2" } << QStringList{}
                << QStringList{ "reel-walker_0-1080p.mp4", "reel-walker_5-1080p.mp4" }
                << "app-session";
        QTest::newRow("a failing item ends with 1 and its message")
                << QStringList{ "download", cookies, dir, "--ids", "walker_2,walker_3", "walker" }
                << true << 1
                << QStringList{ "failed walker_3 (720p): HTTP 404: <!DOCTYPE html>", "Saved 1 of 2",
                                "Failed 1:\nwalker_3 (720p): HTTP 404" }
                << QStringList{} << QStringList{ "reel-walker_2-720p.mp4" } << "file-session";
        QTest::newRow("an id the profile lacks ends with 1")
                << QStringList{ "download", cookies, dir, "--ids", "walker_1,walker_99", "walker" }
                << true << 1
                << QStringList{ "Saved 1 of 2", "walker_99: no reel with this id in the profile" }
                << QStringList{} << QStringList{ "reel-walker_1-720p.mp4" } << "file-session";
        QTest::newRow("a filter that takes nothing saves nothing")
                << QStringList{ "download", cookies, dir, "--since=today", "walker" } << true << 0
                << QStringList{} << QStringList{ "nothing to download" } << QStringList{}
                << "file-session";
        QTest::newRow("an unknown profile ends with 3 and the source's message")
                << QStringList{ "download", cookies, dir, "ghost" } << true << 3 << QStringList{}
                << QStringList{ "We couldn't find that profile." } << QStringList{}
                << "file-session";

        QTest::newRow("list: a later page fails, the reels received are listed, 1")
                << QStringList{ "list", cookies, "busybee" } << true << 1
                << QStringList{ "Handle: @busybee", "\nbusybee_23 " }
                << QStringList{ "stopped after 24 reels", "Too many requests" } << QStringList{}
                << "file-session";
        QTest::newRow("download: a later page fails, the reels received are saved, 1")
                << QStringList{ "download", cookies, dir, "--ids=busybee_0,busybee_30", "busybee" }
                << true << 1
                << QStringList{ "Saved 1 of 2", "busybee_30: not among the 24 reels received" }
                << QStringList{ "stopped after 24 reels", "Too many requests" }
                << QStringList{ "reel-busybee_0-720p.mp4" } << "file-session";
        QTest::newRow("list: a page refused twice is asked for again after a wait")
                << QStringList{ "list", cookies, "patient" } << true << 0
                << QStringList{ "\npatient_29 " }
                << QStringList{ "Instagram asked to slow down \u2014 continuing in 1 s" }
                << QStringList{} << "file-session";
        QTest::newRow("a first page that fails is a failed fetch")
                << QStringList{ "list", cookies, "wary" } << true << 3 << QStringList{}
                << QStringList{ "Too many requests" } << QStringList{} << "file-session";
        QTest::newRow("hostile names and ids are listed inert")
                << QStringList{ "list", cookies, "hostile" } << true << 0
                << QStringList{ "Name: " + shownName + "\nHandle: @eve\uFFFD[8m%1\n",
                                "\nhostile_0" + shownIDSuffix + " 2023-11-14 22:13 " }
                << QStringList{} << QStringList{} << "file-session";
        QTest::newRow("hostile ids and error pages are reported inert")
                << QStringList{ "download", cookies, dir, "hostile" } << true << 1
                << QStringList{ "saved hostile_0" + shownIDSuffix + " (720p): ",
                                "failed hostile_1" + shownIDSuffix + " (720p): ", "Saved 1 of 2" }
                << QStringList{}
                << QStringList{ MediaFile::finalName("hostile_0" + hostileIDSuffix,
                                                     VideoQuality::hd720) }
                << "file-session";
        QTest::newRow("a hostile error page on the fetch is reported inert")
                << QStringList{ "list", cookies, "hostilefail" } << true << 3 << QStringList{}
                << QStringList{ "HTTP 500" } << QStringList{} << "file-session";
        QTest::newRow("a cookies file over the size limit")
                << QStringList{ "list", "--cookies=BIG", "walker" } << true << 2 << QStringList{}
                << QStringList{ "over 4 MiB" } << QStringList{} << QString();
        QTest::newRow("a cookies file without a size that never ends")
                << QStringList{ "list", "--cookies=/dev/zero", "walker" } << true << 2
                << QStringList{} << QStringList{ "over 4 MiB" } << QStringList{} << QString();

        const QStringList usageErrors[] = {
            { "fetch", "walker" },
            { "download", "--quality=4k", "walker" },
            { "download", "--jobs=0", "walker" },
            { "download", "--since=yesterday", "walker" },
            { "download", "--ids=walker_1", "--since=7d", "walker" },
            { "list", "--json" },
            { "list", "--demo", cookies, "walker" },
        };
        for (const QStringList &arguments : usageErrors) {
            QTest::addRow("usage: %s", qPrintable(arguments.join(u' ')))
                    << arguments << true << 2 << QStringList{} << QStringList{ "--help'" }
                    << QStringList{} << QString();
        }
    }

    void run()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, appSession);
        QFETCH(int, status);
        QFETCH(QStringList, outHas);
        QFETCH(QStringList, errHas);
        QFETCH(QStringList, saved);
        QFETCH(QString, session);

        if (!appSession)
            QVERIFY(QFile::remove(appCookiesPath()));
        QByteArray keptBefore;
        if (appSession) {
            QFile kept(appCookiesPath());
            QVERIFY(kept.open(QIODevice::ReadOnly));
            keptBefore = kept.readAll();
        }
        for (QString &argument : arguments) {
            argument.replace(QLatin1String("COOKIES"), cookiesFilePath());
            argument.replace(QLatin1String("DIR"), downloadDir());
            if (argument.endsWith(QLatin1String("=BIG"))) {
                // Comment lines: a valid cookies file, just over the limit.
                const QString path = m_env->home() + QStringLiteral("/big-cookies.txt");
                QFile big(path);
                QVERIFY(big.open(QIODevice::WriteOnly));
                const QByteArray line = QByteArray(63, '#') + '\n';
                for (qint64 size = 0; size <= NetscapeCookies::maximumFileSize; size += line.size())
                    big.write(line);
                QVERIFY(big.size() > NetscapeCookies::maximumFileSize);
                big.close();
                argument.replace(QLatin1String("BIG"), path);
            }
        }

        const Run run = runCli(arguments);
        QCOMPARE(run.status, status);
        // Columns and labels are aligned with blanks; the fragments are compared without them.
        QStringList lines = run.out.split(u'\n');
        for (QString &line : lines)
            line = line.simplified();
        const QString out = lines.join(u'\n');
        for (const QString &text : outHas)
            QVERIFY2(out.contains(text), qPrintable(run.out));
        for (const QString &text : errHas)
            QVERIFY2(run.err.contains(text), qPrintable(run.err));
        // A listed profile is marked as made up exactly when the demo answered.
        if (out.contains(QLatin1String("\nHandle: @")))
            QCOMPARE(out.startsWith(QLatin1String("Demo profile: generated sample data, not the "
                                                  "account's own.\nName: ")),
                     session.isEmpty());
        if (status == 2)
            QCOMPARE(run.err.count(u'\n'), 1); // one line: the error and where help is
        // Whatever the servers send, what people read cannot steer their terminal.
        for (const QString &stream : { run.out, run.err }) {
            const auto unsafe = std::find_if(stream.begin(), stream.end(), actsOnTerminal);
            if (unsafe != stream.end())
                QFAIL(qPrintable(QStringLiteral("U+%1 in: %2")
                                         .arg(unsafe->unicode(), 4, 16, QLatin1Char('0'))
                                         .arg(stream)));
        }

        QStringList files = QDir(downloadDir()).entryList(QDir::Files | QDir::Hidden);
        files.sort();
        saved.sort();
        QCOMPARE(files, saved);
        // Each file carries its reel's posting time: reel N of a profile was posted N hours
        // before the newest.
        const QRegularExpression reelNumber(QStringLiteral("^reel-[a-z]+_(\\d+)"));
        for (const QString &name : std::as_const(saved)) {
            QFile file(QDir(downloadDir()).filePath(name));
            if (name.endsWith(QLatin1String(".m4a"))) {
                const MediaFixture::Probe sound = MediaFixture::probe(file.fileName());
                QCOMPARE(std::pair(sound.audioStreams, sound.videoStreams), std::pair(1, 0));
            } else {
                QVERIFY(file.open(QIODevice::ReadOnly));
                QCOMPARE(file.readAll(), MediaSimulator::content(mediaSize));
            }
            const int n = reelNumber.match(name).captured(1).toInt();
            QCOMPARE(file.fileTime(QFileDevice::FileModificationTime),
                     QDateTime::fromSecsSinceEpoch(1'700'000'000 - n * 3600, Qt::UTC));
        }
        // The quality asked for is the rendition fetched: 1080p, 720p, 480p are renditions 0-2.
        const QRegularExpression quality(QStringLiteral("-(\\d)\\.mp4$"));
        for (const auto &request : m_media->requests()) {
            const QString rendition = quality.match(request.url.path()).captured(1);
            QCOMPARE(rendition, QString(saved.value(0).contains(QLatin1String("1080p")) ? "0"
                                : saved.value(0).contains(QLatin1String("720p")) ? "1" : "2"));
        }

        if (session.isEmpty())
            QCOMPARE(m_instagram->requests().size(), 0);
        else
            QCOMPARE(sessionsSent(), QStringList{ session });
        // A run signed in with a file never replaces the app's kept sessions.
        if (appSession) {
            QFile kept(appCookiesPath());
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), keptBefore);
        }
    }

    // A file already in the folder is left as it is and said so, unless --overwrite; an empty
    // one is a stale leftover and fetched again.
    void downloadAgain_data()
    {
        QTest::addColumn<QByteArray>("existing"); // what reel-walker_1-720p.mp4 holds
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("fetched");

        QTest::newRow("saved before") << QByteArray("kept") << false << false;
        QTest::newRow("an empty file") << QByteArray() << false << true;
        QTest::newRow("--overwrite") << QByteArray("kept") << true << true;
    }

    void downloadAgain()
    {
        QFETCH(QByteArray, existing);
        QFETCH(bool, overwrite);
        QFETCH(bool, fetched);

        const QString path = QDir(downloadDir()).filePath("reel-walker_1-720p.mp4");
        QVERIFY(QDir().mkpath(downloadDir()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
        file.close();
        QStringList arguments{ "download", "--cookies", cookiesFilePath(), "--dir",
                               downloadDir(), "--ids=walker_1,walker_2", "walker" };
        if (overwrite)
            arguments.insert(1, "--overwrite");

        const Run run = runCli(arguments);
        QCOMPARE(run.status, 0);
        const QString skipped = "skipped walker_1 (720p): already saved: " + path + u'\n';
        QVERIFY2(run.out.contains(skipped) != fetched, qPrintable(run.out));
        QVERIFY2(run.out.contains("saved walker_1 (720p): " + path) == fetched, qPrintable(run.out));
        QVERIFY2(run.out.contains("Saved 2 of 2 to " + downloadDir()
                                  + (fetched ? "\n" : " (1 already saved)\n")),
                 qPrintable(run.out));
        int requests = 0;
        for (const auto &request : m_media->requests())
            requests += request.url.path().contains(QLatin1String("walker_1-")) ? 1 : 0;
        QCOMPARE(requests, fetched ? 1 : 0);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), fetched ? MediaSimulator::content(mediaSize) : existing);
    }

    // With a first day the walk ends after a page of only older reels, pinned ones aside, and
    // says so; the run is complete all the same.
    void walkEndsAtTheFirstDay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("first"); // the newest reel taken, and the oldest
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("note");

        QTest::newRow("list since a day")
                << QStringList{ "list", "--since=2023-11-13" } << 5 << "pinned_2" << "pinned_46"
                << "stopped after 5 pages: the rest is older than 2023-11-13";
        QTest::newRow("download since a day")
                << QStringList{ "download", "--dir=DIR", "--since", "2023-11-14" } << 3
                << "pinned_2" << "pinned_22"
                << "stopped after 3 pages: the rest is older than 2023-11-14";
        QTest::newRow("reels after the last day are no reason to stop")
                << QStringList{ "list", "--since=2023-11-09", "--until=2023-11-13" } << 10
                << "pinned_23" << "pinned_119" << "";
        QTest::newRow("a preset takes nothing of 2023, one page")
                << QStringList{ "list", "--since=7d" } << 1 << "" << "" << "stopped after 1 page: ";
    }

    void walkEndsAtTheFirstDay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, pages);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, note);

        arguments.replaceInStrings(QStringLiteral("DIR"), downloadDir());
        const Run run = runCli(arguments + QStringList{ "--cookies", cookiesFilePath(), "pinned" });
        QCOMPARE(run.status, 0);
        QCOMPARE(m_simulator->pagesServed(), pages);
        QVERIFY2(note.isEmpty() ? !run.err.contains(QLatin1String("stopped"))
                                : run.err.contains(note), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QLatin1String("Interrupted")), qPrintable(run.err));
        // What the range takes, and nothing around it: the reels are named by their place.
        const QRegularExpression name(QStringLiteral("pinned_(\\d+)"));
        QList<int> taken;
        for (auto match = name.globalMatch(run.out); match.hasNext();)
            taken.append(match.next().captured(1).toInt());
        std::sort(taken.begin(), taken.end());
        taken.erase(std::unique(taken.begin(), taken.end()), taken.end());
        if (first.isEmpty()) {
            QVERIFY2(taken.isEmpty(), qPrintable(run.out));
            return;
        }
        const int from = first.mid(7).toInt();
        const int to = last.mid(7).toInt();
        QCOMPARE(taken.size(), to - from + 1);
        QCOMPARE(taken.constFirst(), from);
        QCOMPARE(taken.constLast(), to);
        if (arguments.constFirst() == QLatin1String("download"))
            QCOMPARE(QDir(downloadDir()).entryList(QDir::Files).size(), to - from + 1);
    }

    void listJson()
    {
        const Run run = runCli({ "list", "--json", "--cookies", cookiesFilePath(), "walker" });
        QCOMPARE(run.status, 0);
        QCOMPARE(m_simulator->pagesServed(), 3);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 31);
        const QJsonObject profile = QJsonDocument::fromJson(lines.at(0).toUtf8()).object();
        QCOMPARE(profile.value("username").toString(), "walker");
        QCOMPARE(profile.value("followerCount").toInteger(), qint64(15300));
        QCOMPARE(profile.value("reelCount").toInteger(), qint64(30));
        QCOMPARE(profile.value("isVerified").toBool(), true);
        QCOMPARE(profile.value("demo"), QJsonValue(false));
        for (int i = 0; i < 30; ++i) {
            const QJsonObject reel = QJsonDocument::fromJson(lines.at(i + 1).toUtf8()).object();
            QCOMPARE(reel.value("type").toString(), "reel");
            QCOMPARE(reel.value("id").toString(), InstagramSimulator::reelID("walker", i));
            QCOMPARE(QDateTime::fromString(reel.value("postedAt").toString(), Qt::ISODate),
                     QDateTime::fromSecsSinceEpoch(1'700'000'000 - i * 3600, Qt::UTC));
            QCOMPARE(reel.value("viewCount").toInteger(), qint64(1000 + 7 * i));
            QCOMPARE(reel.value("qualities").toVariant().toStringList(),
                     (QStringList{ "1080p", "720p", "480p", "audio" }));
        }

        // Programs get the server's text as it was sent, escaped by JSON.
        const Run hostile = runCli({ "list", "--json", "--cookies", cookiesFilePath(), "hostile" });
        QCOMPARE(hostile.status, 0);
        const QStringList hostileLines = hostile.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(hostileLines.size(), 3);
        const QJsonObject named = QJsonDocument::fromJson(hostileLines.at(0).toUtf8()).object();
        QCOMPARE(named.value("displayName").toString(), hostileName);
        QCOMPARE(named.value("username").toString(), hostileUsername);
        const QJsonObject reel = QJsonDocument::fromJson(hostileLines.at(1).toUtf8()).object();
        QCOMPARE(reel.value("id").toString(), "hostile_0" + hostileIDSuffix);

        // The demo's profile says it is made up; its other members are those of any profile.
        const Run demo = runCli({ "list", "--json", "--demo", "walker" });
        QCOMPARE(demo.status, 0);
        const QJsonObject made = QJsonDocument::fromJson(demo.out.section(u'\n', 0, 0).toUtf8()).object();
        QCOMPARE(made.value("demo"), QJsonValue(true));
        QCOMPARE(made.keys(), profile.keys());
    }

    // A signal in the middle of the fetch or of three transfers: the run ends with 128 + the
    // signal, says so, and leaves no part file.
    void interruptLeavesNoPartFile_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("nohup");      // started with hang-ups ignored, then hung up on
        QTest::addColumn<QString>("outHas");
        QTest::addColumn<QString>("errHas");

        const QString summary = QStringLiteral("Interrupted. Saved 0 of 3");
        QTest::newRow("Ctrl-C") << "stuck" << SIGINT << false << summary << QString();
        QTest::newRow("termination") << "stuck" << SIGTERM << false << summary << QString();
        QTest::newRow("hang-up") << "stuck" << SIGHUP << false << summary << QString();
        QTest::newRow("nohup keeps it running until Ctrl-C")
                << "stuck" << SIGINT << true << summary << QString();
        QTest::newRow("Ctrl-C while fetching")
                << "slowpoke" << SIGINT << false << QString() << "Interrupted.";
    }

    void interruptLeavesNoPartFile()
    {
        QFETCH(QString, profile);
        QFETCH(int, signal);
        QFETCH(bool, nohup);
        QFETCH(QString, outHas);
        QFETCH(QString, errHas);

        QProcess *process = startCli(
                { "download", "--cookies", cookiesFilePath(), "--dir", downloadDir(), "--jobs",
                  "3", profile },
                [nohup] { ::signal(SIGHUP, nohup ? SIG_IGN : SIG_DFL); });
        QSignalSpy finished(process, &QProcess::finished);
        if (profile == QLatin1String("stuck")) {
            QTRY_COMPARE_WITH_TIMEOUT(m_heldTransfers.size(), 3, runTimeoutMs);
            // Each transfer has written its quarter into a part file of its own.
            QTRY_COMPARE_WITH_TIMEOUT(
                    QDir(downloadDir()).entryList(QDir::Files | QDir::Hidden).size(), 3,
                    runTimeoutMs);
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
        QCOMPARE(QDir(downloadDir()).entryList(QDir::Files | QDir::Hidden), QStringList{});
        const QString out = QString::fromUtf8(process->readAllStandardOutput());
        const QString err = QString::fromUtf8(process->readAllStandardError());
        QVERIFY2(out.contains(outHas), qPrintable(out));
        QVERIFY2(err.contains(errHas), qPrintable(err));
    }

    // Foreign text as people see it: nothing a terminal acts on, every script as it is; the live
    // line of a transfer shows its id that way too.
    void printable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");

        QTest::newRow("a title and a cleared screen")
                << QStringLiteral("a\x1b]0;t\x07\x1b[2Jb")
                << QStringLiteral("a\uFFFD]0;t\uFFFD\uFFFD[2Jb");
        QTest::newRow("line breaks and tabs become blanks")
                << QStringLiteral("a\r\nb\nc\rd\te\vf\u0085g\u2028h\u2029i")
                << QStringLiteral("a  b c d e f g h i");
        QTest::newRow("NUL, DEL and the 8-bit CSI")
                << QStringLiteral("a\0b\x7f\u009b2J")
                << QStringLiteral("a\uFFFDb\uFFFD\uFFFD2J");
        QTest::newRow("bidi overrides and isolates")
                << QStringLiteral("x\u202Egnp.exe\u202C \u2067y\u2069 \u202Az\u202B")
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
        // e(xpires); or the error's line.
        QTest::addColumn<QStringList>("cookies");
        QTest::addColumn<int>("errorLine");

        QTest::newRow("comments, blanks, CRLF, both domain forms")
                << QByteArray("# Netscape HTTP Cookie File\r\n\r\n"
                              ".example.com\tTRUE\t/\tTRUE\t4102444800\tsessionid\tabc\r\n"
                              "127.0.0.1\tFALSE\t/api\tFALSE\t0\tcsrftoken\tx y\r\n")
                << QStringList{ "sessionid=abc .example.com / se", "csrftoken=x y 127.0.0.1 /api " }
                << 0;
        QTest::newRow("the subdomain flag decides the leading dot")
                << QByteArray("example.com\tTRUE\t/\tFALSE\t0\ta\t1\n"
                              ".example.com\tFALSE\t/\tFALSE\t0\tb\t2\n")
                << QStringList{ "a=1 .example.com / ", "b=2 example.com / " } << 0;
        QTest::newRow("#HttpOnly_ is a flag, not a comment")
                << QByteArray("#HttpOnly_.example.com\tTRUE\t/\tTRUE\t0\tsessionid\ts\n")
                << QStringList{ "sessionid=s .example.com / sh" } << 0;
        QTest::newRow("an empty value, its tab left out")
                << QByteArray("example.com\tFALSE\t/\tFALSE\t0\tempty\n")
                << QStringList{ "empty= example.com / " } << 0;
        QTest::newRow("expired cookies are dropped, fractional seconds read")
                << QByteArray("example.com\tFALSE\t/\tFALSE\t1000\told\t1\n"
                              "example.com\tFALSE\t/\tFALSE\t4102444800.5\tnew\t2\n")
                << QStringList{ "new=2 example.com / e" } << 0;
        QTest::newRow("spaces instead of tabs")
                << QByteArray("# ok\nexample.com FALSE / FALSE 0 a 1\n") << QStringList{} << 2;
        QTest::newRow("a flag that is not TRUE or FALSE")
                << QByteArray("example.com\tyes\t/\tFALSE\t0\ta\t1\n") << QStringList{} << 1;
        QTest::newRow("an expiry that is no number")
                << QByteArray("\nexample.com\tFALSE\t/\tFALSE\ttomorrow\ta\t1\n")
                << QStringList{} << 2;
        QTest::newRow("a cookie without a name")
                << QByteArray("example.com\tFALSE\t/\tFALSE\t0\t\tvalue\n") << QStringList{} << 1;
        QTest::newRow("a JSON export")
                << QByteArray("[{\"name\": \"sessionid\"}]\n") << QStringList{} << 1;
    }

    void netscapeCookies()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, cookies);
        QFETCH(int, errorLine);

        const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
        const auto parsed = NetscapeCookies::parse(text, now);
        if (errorLine > 0) {
            const auto *error = std::get_if<NetscapeCookies::ParseError>(&parsed);
            QVERIFY(error);
            QCOMPARE(error->line, errorLine);
            QVERIFY(error->message.startsWith(QStringLiteral("line %1: ").arg(errorLine)));
            return;
        }
        QStringList described;
        for (const QNetworkCookie &cookie : std::get<QList<QNetworkCookie>>(parsed)) {
            QString flags;
            if (cookie.isSecure())
                flags += u's';
            if (cookie.isHttpOnly())
                flags += u'h';
            if (!cookie.isSessionCookie())
                flags += u'e';
            described.append(QStringLiteral("%1=%2 %3 %4 %5")
                                     .arg(QString::fromUtf8(cookie.name()),
                                          QString::fromUtf8(cookie.value()), cookie.domain(),
                                          cookie.path(), flags));
        }
        QCOMPARE(described, cookies);
    }

    void dateRange_data()
    {
        QTest::addColumn<QString>("since");
        QTest::addColumn<QString>("until");
        QTest::addColumn<int>("kind"); // -1: an error
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        using Kind = DateRangeFilter::Kind;

        QTest::newRow("nothing") << "" << "" << int(Kind::all) << QDate() << QDate();
        QTest::newRow("7d") << "7d" << "" << int(Kind::last7) << QDate() << QDate();
        QTest::newRow("90D") << "90D" << "" << int(Kind::last90) << QDate() << QDate();
        QTest::newRow("since a day, open ended")
                << "2024-02-29" << "" << int(Kind::custom) << QDate(2024, 2, 29) << QDate(9999, 12, 31);
        QTest::newRow("one day") << "2023-11-13" << "2023-11-13" << int(Kind::custom)
                                 << QDate(2023, 11, 13) << QDate(2023, 11, 13);
        QTest::newRow("until alone") << "" << "2023-01-31" << int(Kind::custom)
                                     << QDate(1970, 1, 1) << QDate(2023, 1, 31);
        QTest::newRow("no such day") << "2023-02-29" << "" << -1 << QDate() << QDate();
        QTest::newRow("not ISO") << "13.11.2023" << "" << -1 << QDate() << QDate();
        QTest::newRow("reversed") << "2023-11-14" << "2023-11-13" << -1 << QDate() << QDate();
        QTest::newRow("preset with an end") << "7d" << "2023-11-13" << -1 << QDate() << QDate();
    }

    void dateRange()
    {
        QFETCH(QString, since);
        QFETCH(QString, until);
        QFETCH(int, kind);
        QFETCH(QDate, start);
        QFETCH(QDate, end);

        const auto parsed = CliArguments::parseDateRange(since, until);
        if (kind < 0) {
            QVERIFY(std::holds_alternative<QString>(parsed));
            return;
        }
        const auto *filter = std::get_if<DateRangeFilter>(&parsed);
        QVERIFY(filter);
        QCOMPARE(int(filter->kind()), kind);
        if (filter->kind() == DateRangeFilter::Kind::custom) {
            QCOMPARE(filter->start().date(), start);
            QCOMPARE(filter->end().date(), end);
            // Both ends are whole days: the first and the last minute of the range pass.
            const QDateTime now = QDateTime::currentDateTime();
            QVERIFY(filter->includes(start.startOfDay(), now));
            QVERIFY(filter->includes(end.endOfDay(), now));
            QVERIFY(!filter->includes(start.startOfDay().addSecs(-1), now));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
