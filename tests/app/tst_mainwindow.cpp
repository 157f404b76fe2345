// The application as a process. A child run of this program sets the application up as clipdock
// does, drives the window and closes it. The built clipdock is started for its arguments and its
// one window per user, which shows in the searches the Instagram simulator receives.

#include "browsing/ContentView.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"
#include "updates/AppVersion.h"
#include "ChildProcesses.h"
#include "DownloadReels.h"
#include "LocalInstagram.h"
#include "MediaSimulator.h"
#include "PartFiles.h"
#include "SignInCookies.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "TestServer.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QtWebEngineQuick>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(ClipDockPlugin)

namespace {

const QByteArray closedLine = "window closed";

// Shows the sheet that `open` raises, then lets `close` put it away.
bool openAndClose(QQuickWindow *window, const char *sheetName, const std::function<void()> &open,
                  const std::function<void()> &close)
{
    auto *sheet = window->findChild<QWindow *>(QLatin1String(sheetName));
    if (!sheet)
        return false;
    open();
    if (!QTest::qWaitForWindowExposed(sheet, 20000))
        return false;
    QTest::qWait(500);
    close();
    return QTest::qWaitFor([sheet] { return !sheet->isVisible(); }, 5000);
}

// What the child does before it closes the window: "link" or "transfer" (into `folder`). False
// when a step did not go as expected.
bool drive(const QString &step, QQuickWindow *window, ContentView &root, const QString &folder)
{
    if (step == QLatin1String("link")) {
        // A link from outside searches at once. The login sheet stays, where the user may be
        // halfway through signing in, and so does the player under it; once nothing else is
        // open, the player of the profile being replaced closes.
        ReelsViewModel *vm = root.viewModel();
        vm->setInputText(QStringLiteral("@natgeo"));
        vm->search();
        if (!QTest::qWaitFor([vm] { return vm->reelModel()->count() > 0; }, 20000))
            return false;
        vm->play(vm->reelModel()->reels().first().id);
        const auto searches = [vm](const char *text) {
            return vm->inputText() == QLatin1String(text) && vm->phase() == ReelsViewModel::Phase::Loading;
        };
        bool kept = false;
        const bool loginClosed = openAndClose(
                window, "loginSheet", [vm] { vm->openLogin(QStringLiteral("instagram")); }, [&] {
                    root.openFromOutside(QStringLiteral("@nasa"));
                    kept = searches("@nasa") && vm->showingLogin() && vm->hasPlayingReel();
                    vm->setShowingLogin(false);
                });
        root.openFromOutside(QStringLiteral("@esa"));
        auto *player = window->findChild<QWindow *>(QStringLiteral("playerSheet"));
        return loginClosed && kept && searches("@esa") && player
                && QTest::qWaitFor([player] { return !player->isVisible(); }, 5000);
    }
    if (step == QLatin1String("transfer")) {
        // Lives as long as the process: the transfer stalls until the window closes.
        auto *server = new TestServer(QHostAddress::LocalHost, &root);
        auto *media = new MediaSimulator(*server, server);
        if (!root.destination()->adoptFolder(QUrl::fromLocalFile(folder)))
            return false;
        const Reel reel = reelAt(QStringLiteral("stalls"), media->url(QStringLiteral("stalled.mp4")));
        DownloadManager *manager = root.downloadManager();
        const auto enqueue = [manager, reel] { manager->enqueue({ reel }, VideoQuality::hd720); };
        const auto putAway = [manager] {
            (void)QTest::qWaitFor([manager] { return manager->overallPercent() > 0; }, 10000);
            manager->setPresented(false);
        };
        return openAndClose(window, "downloadSheet", enqueue, putAway)
                && manager->activeCount() == 1 && partFilesIn(folder).size() == 1;
    }
    return false;
}

// The child: the application as main.cpp sets it up. Closing the window must end the event loop.
int runChild(const QString &step, const QString &folder)
{
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    ContentView root;
    QQmlApplicationEngine engine;
    if (!root.openWindow(engine))
        return 2;
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    // From within the event loop, as a user would: quitting on the last window closed needs it.
    QTimer::singleShot(0, &root, [&] {
        if (!QTest::qWaitForWindowExposed(window, 20000) || !drive(step, window, root, folder)) {
            QCoreApplication::exit(3);
            return;
        }
        window->close();
        std::printf("%s\n", closedLine.constData());
        std::fflush(stdout);
    });
    return QGuiApplication::exec();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void closingTheWindowQuits_data()
    {
        QTest::addColumn<QString>("step");
        // Each sheet is a window of its own, still there once hidden.
        QTest::newRow("after the player, the login sheet and a link from outside") << QStringLiteral("link");
        QTest::newRow("while a transfer runs") << QStringLiteral("transfer");
    }

    void closingTheWindowQuits()
    {
        QFETCH(QString, step);
        QTemporaryDir folder;
        QByteArray said;
        ChildProcesses children(QCoreApplication::applicationFilePath());
        QProcess &child = children.start({ QStringLiteral("--child"), step, folder.path() });
        connect(&child, &QProcess::readyReadStandardOutput, this,
                [&] { said += child.readAllStandardOutput(); });
        const auto ended = [&child] { return child.state() == QProcess::NotRunning; };
        QVERIFY(QTest::qWaitFor([&] { return said.contains(closedLine) || ended(); }, 120000));
        QVERIFY2(said.contains(closedLine), "the child could not take its steps");
        // Generous: ending takes a moment, never this long.
        QVERIFY2(QTest::qWaitFor(ended, 60000),
                 "the process is still running with its window closed");
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(partFilesIn(folder.path()), QStringList());
    }

    // Help, the version and what it does not take are answered without a window.
    void argumentsAnsweredAtOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // how standard output (status 0) or error begins
        QTest::newRow("version") << QStringList{ "--version" } << 0 << "clipdock " + AppVersion::build() + "\n";
        QTest::newRow("help") << QStringList{ "-h" } << 0 << "Usage: clipdock [LINK]\n";
        QTest::newRow("unknown option") << QStringList{ "--frobnicate" } << 2
                                        << "clipdock: unknown option '--frobnicate'";
        QTest::newRow("two links") << QStringList{ "nasa", "esa" } << 2 << "clipdock: one link at a time";
    }

    void argumentsAnsweredAtOnce()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QProcess program;
        program.start(QStringLiteral(CLIPDOCK_APP), arguments);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), status);
        const QByteArray output = status == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
        QVERIFY2(output.startsWith(said.toUtf8()), output.constData());
    }

    // One window per user: a start with a link hands it to the window that runs, which searches
    // it, and ends at once; a start without one only brings that window forward. A lock and a
    // socket left by a killed instance do not stop the next start.
    void oneWindowTakesEveryLink()
    {
        LocalInstagram instagram;
        for (const char *name : { "nasa", "natgeo", "esa" })
            instagram.simulator.addProfile(QString::fromLatin1(name), 3);
        // A kept session, so that the app asks the simulator rather than its demo profiles.
        const QNetworkCookie session = lastingCookie("sessionid", "kept", instagram.server.origin().host());
        const QString data = m_environment.home() + QStringLiteral("/.local/share/ClipDock/Clip Dock");
        QVERIFY(QDir().mkpath(data));
        QVERIFY(TestFiles::write(data + QStringLiteral("/cookies"), session.toRawForm() + '\n'));
        // Once `window` has asked for `name`'s profile `times` times in all, and still runs.
        const auto searches = [&instagram](QProcess &window, const QString &name, int times) {
            const auto count = [&] {
                const auto lookups = instagram.server.requests(InstagramSimulator::lookupPath);
                return std::count_if(lookups.cbegin(), lookups.cend(), [&](const auto &request) {
                    return QUrlQuery(request.url).queryItemValue(QStringLiteral("username")) == name;
                });
            };
            (void)QTest::qWaitFor(
                    [&] { return count() >= times || window.state() == QProcess::NotRunning; }, 120000);
            return count() == times && window.state() == QProcess::Running;
        };
        const auto endsAtOnce = [](QProcess &process) {
            return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
                    && process.exitCode() == 0;
        };

        ChildProcesses windows(QStringLiteral(CLIPDOCK_APP));
        QProcess &first = windows.start({ QStringLiteral("nasa") });
        QVERIFY(searches(first, QStringLiteral("nasa"), 1));
        QVERIFY(endsAtOnce(windows.start({ QStringLiteral("https://www.instagram.com/natgeo/") })));
        QVERIFY(searches(first, QStringLiteral("natgeo"), 1));
        QVERIFY(endsAtOnce(windows.start({})));

        first.kill();
        QVERIFY(first.waitForFinished());
        QProcess &next = windows.start({ QStringLiteral("esa") });
        QVERIFY(searches(next, QStringLiteral("esa"), 1));
        // and listens where the killed one did.
        QVERIFY(endsAtOnce(windows.start({ QStringLiteral("@nasa") })));
        QVERIFY(searches(next, QStringLiteral("nasa"), 2));
    }

private:
    TestEnvironment m_environment;
};

int main(int argc, char *argv[])
{
    // The browser engine must be set up before the application object exists.
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("ClipDock"));
    QGuiApplication::setApplicationName(QStringLiteral("Clip Dock Tests"));
    // The program's lock and socket go in a runtime folder of the test's own, so that a Clip Dock
    // the user runs is never asked.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--child"))
        return runChild(arguments.at(2), arguments.at(3));
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
