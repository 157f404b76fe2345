#include "app/LaunchOptions.h"
#include "app/SingleInstance.h"
#include "browsing/ContentView.h"
#include "updates/AppVersion.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QtWebEngineQuick>

#include <cstdio>
#include <optional>
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

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// Help and version; nullopt when the program goes on.
std::optional<int> answerAtOnce(const LaunchOptions &options)
{
    switch (options.action) {
    case LaunchOptions::Action::help:
        print(stdout, LaunchOptions::helpText());
        return 0;
    case LaunchOptions::Action::version:
        print(stdout, QStringLiteral("clipdock %1\n").arg(AppVersion::build()));
        return 0;
    case LaunchOptions::Action::usageError:
        print(stderr, options.usageLine() + u'\n');
        return 2;
    case LaunchOptions::Action::run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    // Help and version answer before a display or the browser engine is touched. Anything else
    // is read once the application object has taken its own options (-platform, -style...).
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const LaunchOptions early = LaunchOptions::parse(arguments);
    if (early.action == LaunchOptions::Action::help || early.action == LaunchOptions::Action::version)
        return *answerAtOnce(early);

    // The browser engine must be set up before the application object exists.
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("ClipDock"));
    QGuiApplication::setApplicationName(QStringLiteral("Clip Dock"));
    QGuiApplication::setApplicationVersion(AppVersion::build());
    QGuiApplication::setDesktopFileName(QStringLiteral("app.clipdock.ClipDock"));
    const LaunchOptions options = LaunchOptions::parse(QCoreApplication::arguments());
    if (const auto status = answerAtOnce(options))
        return *status;

    // A window already open takes the request, and this start ends.
    SingleInstance instance;
    switch (instance.start(options.text)) {
    case SingleInstance::Role::handedOver:
        return EXIT_SUCCESS;
    case SingleInstance::Role::unanswered:
        print(stderr, instance.errorString() + u'\n');
        return EXIT_FAILURE;
    case SingleInstance::Role::primary:
        break;
    }

    if (!browserCanStart()) {
        print(stderr, QCoreApplication::translate(
                              "main", "Clip Dock cannot run as root: its embedded browser refuses "
                                      "to start with its sandbox as root. Run it as a normal user.\n"));
        return EXIT_FAILURE;
    }
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    // Declared before the engine, so the window goes first and the root's transfers end after it.
    ContentView root;
    QQmlApplicationEngine engine;
    if (!root.openWindow(engine))
        return EXIT_FAILURE;
    QObject::connect(&instance, &SingleInstance::activationRequested, &root,
                     &ContentView::openFromOutside);
    if (!options.text.isEmpty())
        root.openFromOutside(options.text);
    return QGuiApplication::exec();
}
