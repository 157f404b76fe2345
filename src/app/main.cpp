#include "browsing/ContentView.h"
#include "updates/AppVersion.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QtWebEngineQuick>

Q_IMPORT_QML_PLUGIN(ClipDockPlugin)

int main(int argc, char *argv[])
{
    // The browser engine must be set up before the application object exists.
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("ClipDock"));
    QGuiApplication::setApplicationName(QStringLiteral("Clip Dock"));
    QGuiApplication::setApplicationVersion(AppVersion::build());
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    ContentView root;

    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    engine.setInitialProperties({ { QStringLiteral("root"), QVariant::fromValue(&root) } });
    QObject::connect(&engine, &QQmlApplicationEngine::objectCreationFailed, &app,
                     [] { QCoreApplication::exit(EXIT_FAILURE); }, Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/qt/qml/ClipDock/browsing/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return EXIT_FAILURE;
    root.start();
    return QGuiApplication::exec();
}
