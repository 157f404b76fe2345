// The application as a process: closing its window ends it, whatever was opened before, and a
// transfer under way leaves no part file. Each case runs this program again as a child that sets
// the application up as the clipdock program does, drives the window, closes it and says so.

#include "browsing/ContentView.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"
#include "downloads/MediaFile.h"
#include "MediaSimulator.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtWebEngineQuick>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(ClipDockPlugin)

namespace {

const QByteArray closedLine = "window closed";

QStringList partFiles(const QString &folder)
{
    QStringList parts = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    parts.removeIf([](const QString &name) { return !MediaFile::isPartFileName(name); });
    return parts;
}

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

// What the child does before it closes the window: "login", "player" or "transfer" (into
// `folder`). False when a step did not go as expected.
bool drive(const QString &step, QQuickWindow *window, ContentView &root, const QString &folder)
{
    ReelsViewModel *vm = root.viewModel();
    if (step == QLatin1String("login")) {
        return openAndClose(window, "loginSheet",
                            [vm] { vm->openLogin(QStringLiteral("instagram")); },
                            [vm] { vm->setShowingLogin(false); });
    }
    if (step == QLatin1String("player")) {
        vm->setInputText(QStringLiteral("@natgeo"));
        vm->search();
        if (!QTest::qWaitFor([vm] { return vm->reelModel()->count() > 0; }, 20000))
            return false;
        const QString id = vm->reelModel()->reels().first().id;
        return openAndClose(window, "playerSheet", [vm, id] { vm->play(id); },
                            [vm] { vm->closePlayer(); });
    }
    if (step == QLatin1String("transfer")) {
        // Lives as long as the process: the transfer stalls until the window closes.
        auto *server = new TestServer(QHostAddress::LocalHost, &root);
        auto *media = new MediaSimulator(*server, server);
        if (!root.destination()->adoptFolder(QUrl::fromLocalFile(folder)))
            return false;
        Reel reel;
        reel.id = QStringLiteral("stalls");
        reel.variants.insert(VideoQuality::hd720, media->url(QStringLiteral("stalled.mp4")));
        DownloadManager *manager = root.downloadManager();
        const auto enqueue = [manager, reel] { manager->enqueue({ reel }, VideoQuality::hd720); };
        const auto putAway = [manager] {
            // Once the transfer has written its first bytes.
            (void)QTest::qWaitFor([manager] { return manager->overallPercent() > 0; }, 10000);
            manager->setPresented(false);
        };
        return openAndClose(window, "downloadSheet", enqueue, putAway)
                && manager->activeCount() == 1 && partFiles(folder).size() == 1;
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
        std::fputs(closedLine.constData(), stdout);
        std::fputs("\n", stdout);
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
        QTest::newRow("after the login sheet") << QStringLiteral("login");
        QTest::newRow("after the player") << QStringLiteral("player");
        // Enqueueing opens the download sheet too.
        QTest::newRow("while a transfer runs") << QStringLiteral("transfer");
    }

    void closingTheWindowQuits()
    {
        QFETCH(QString, step);
        QTemporaryDir folder;
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const auto stop = qScopeGuard([&child] {
            if (child.state() != QProcess::NotRunning) {
                child.kill();
                child.waitForFinished();
            }
        });
        child.start(QCoreApplication::applicationFilePath(),
                    { QStringLiteral("--child"), step, folder.path() });
        QByteArray said;
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
        QCOMPARE(partFiles(folder.path()), QStringList());
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
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--child"))
        return runChild(arguments.at(2), arguments.at(3));
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
