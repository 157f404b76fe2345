#include "browsing/ContentView.h"
#include "updates/AppVersion.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QtWebEngineQuick>

#include <cstdio>
#include <unistd.h>

Q_IMPORT_QML_PLUGIN(ClipDockPlugin)

namespace {

// The browser engine refuses to start as root with its sandbox on and takes the process down
// with an obscure message; say what to do instead.
bool browserCanStart()
{
    if (geteuid() != 0)
        return true;
    return qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox"))
            || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!browserCanStart()) {
        std::fputs("Clip Dock cannot run as root: its embedded browser refuses to start with its "
                   "sandbox as root. Run it as a normal user.\n",
                   stderr);
        return EXIT_FAILURE;
    }
    // The browser engine must be set up before the application object exists.
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("ClipDock"));
    QGuiApplication::setApplicationName(QStringLiteral("Clip Dock"));
    QGuiApplication::setApplicationVersion(AppVersion::build());
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    // Declared before the engine, so the window goes first and the root's transfers end after it.
    ContentView root;
    QQmlApplicationEngine engine;
    if (!root.openWindow(engine))
        return EXIT_FAILURE;
    return QGuiApplication::exec();
}
