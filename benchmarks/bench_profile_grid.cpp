// Loads a profile of many reels into the profile screen offscreen and prints the resident memory
// and the time to the first frame, then scrolls the grid from top to bottom and prints them
// again: only the visible cells exist and pictures are decoded at cell size, so memory should
// grow little with the number of reels.
//
//   bench_profile_grid [reels=3000] [columns=4]
//
// Pictures (180 x 320 PNGs) and the profile come from a loopback fixture, in the same process.

#include "ProfileFixture.h"
#include "TestEnvironment.h"

#include "auth/BrowserStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QQuickItem>
#include <QQuickView>
#include <QTimer>
#include <QtWebEngineQuick>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(ClipDockPlugin)

namespace {

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int reels = args.value(1, QStringLiteral("3000")).toInt();
    const int columns = args.value(2, QStringLiteral("4")).toInt();

    TestEnvironment environment;
    ProfileFixture fixture;
    fixture.viewModel()->setGridColumns(columns);
    const double before = residentMegabytes();

    QElapsedTimer clock;
    clock.start();
    fixture.load(reels);
    fixture.finish();
    const double loadMs = clock.nsecsElapsed() / 1e6;

    QQuickView view;
    view.engine()->addImportPath(QStringLiteral("qrc:/qt/qml"));
    view.setInitialProperties({ { QStringLiteral("viewModel"), QVariant::fromValue(fixture.viewModel()) },
                                { QStringLiteral("downloadManager"), QVariant::fromValue(fixture.downloadManager()) },
                                { QStringLiteral("destination"), QVariant::fromValue(fixture.destination()) } });
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(460, 820);
    double firstFrameMs = -1;
    QObject::connect(&view, &QQuickWindow::frameSwapped, &view, [&] {
        if (firstFrameMs < 0)
            firstFrameMs = clock.nsecsElapsed() / 1e6;
    });
    clock.restart();
    view.setSource(QUrl(QStringLiteral("qrc:/qt/qml/ClipDock/browsing/ProfileView.qml")));
    if (view.status() != QQuickView::Ready) {
        for (const auto &error : view.errors())
            std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
        return 1;
    }
    view.show();
    while (firstFrameMs < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    spin(1500); // the visible pictures arrive and decode
    const double shown = residentMegabytes();

    // Scroll to the end in steps of most of a screen, rendering each step.
    auto *grid = view.rootObject()->findChild<QQuickItem *>(QStringLiteral("reelGrid"));
    int frames = 0;
    int cellsMost = 0;
    QElapsedTimer scrollClock;
    scrollClock.start();
    if (grid) {
        for (;;) {
            const double y = grid->property("contentY").toDouble();
            const double end = grid->property("contentHeight").toDouble() + grid->property("originY").toDouble()
                    - grid->height();
            if (y >= end)
                break;
            grid->setProperty("contentY", std::min(end, y + 700));
            spin(16);
            ++frames;
            cellsMost = std::max(cellsMost, int(grid->property("contentItem").value<QQuickItem *>()->childItems().size()));
        }
    }
    const double scrollMs = scrollClock.nsecsElapsed() / 1e6;
    spin(1500);
    const double scrolled = residentMegabytes();

    std::printf("reels %d, %d columns, window 460 x 820\n", reels, columns);
    std::printf("delivering the reels to the view model: %.1f ms\n", loadMs);
    std::printf("time to first frame: %.1f ms\n", firstFrameMs);
    std::printf("resident memory: %.1f MB before the screen, %.1f MB shown, %.1f MB after scrolling to the end\n",
                before, shown, scrolled);
    std::printf("scrolled %d steps in %.0f ms; at most %d items in the grid's content at once\n", frames,
                scrollMs, cellsMost);
    return 0;
}
