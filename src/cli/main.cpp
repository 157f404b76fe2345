// clipdock-cli: Clip Dock's sources, sign-in, download queue and settings on the command line.

#include "cli/CliFormat.h"
#include "cli/CliOptions.h"
#include "cli/CliRunner.h"
#include "core/URLRouter.h"
#include "updates/AppVersion.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QtWebEngineQuick>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

// The write end of the self-pipe: the signal handler only writes the signal's number there, and
// the event loop does the rest.
int signalPipe[2] = { -1, -1 };

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

// Ctrl-C, a termination request and a hang-up (the terminal closed, the SSH session dropped) all
// stop the run in order. A signal that was ignored when the program started stays ignored: that is
// how nohup, or a shell running a job in the background, asks to keep it running.
bool watchSignals()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : { SIGINT, SIGTERM, SIGHUP }) {
        struct sigaction before = {};
        if (::sigaction(signal, nullptr, &before) != 0)
            return false;
        if (before.sa_handler != SIG_IGN && ::sigaction(signal, &action, nullptr) != 0)
            return false;
    }
    return true;
}

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const auto parsed = CliArguments::parse(arguments);
    if (const auto *error = std::get_if<CliUsageError>(&parsed)) {
        print(stderr, CliFormat::printable(CliArguments::usageLine(*error)) + u'\n');
        return CliRunner::usageError;
    }
    const CliOptions options = std::get<CliOptions>(parsed);
    if (options.help) {
        print(stdout, CliArguments::helpText(options.command));
        return 0;
    }
    if (options.version) {
        print(stdout, QStringLiteral("%1 %2\n").arg(CliArguments::programName, AppVersion::build()));
        return 0;
    }

    // The app's names, so that the settings and the kept sessions are the app's own files.
    QCoreApplication::setOrganizationName(QStringLiteral("ClipDock"));
    QCoreApplication::setApplicationName(QStringLiteral("Clip Dock"));
    QCoreApplication::setApplicationVersion(AppVersion::build());

    // Only a signed-in Facebook session needs the browser engine (the hidden page); it then runs
    // on the offscreen platform, so no display is needed either. Everything else is a plain
    // console application without any GUI at all.
    const auto link = URLRouter::detect(options.link);
    const bool browser = link && link->platform == SocialPlatform::facebook && !options.demo
            && options.cookiesFile.isEmpty();
    std::unique_ptr<QCoreApplication> app;
    if (browser) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The engine describes its graphics set-up on every start; not for this program's users.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=false"));
        QtWebEngineQuick::initialize();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    CliRunner runner(options, browser);
    QObject::connect(&runner, &CliRunner::finished, app.get(),
                     [](int status) { QCoreApplication::exit(status); });

    std::unique_ptr<QSocketNotifier> notifier;
    if (watchSignals()) {
        notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &runner, [&runner] {
            unsigned char byte = 0;
            while (::read(signalPipe[0], &byte, 1) == 1)
                runner.interrupt(128 + byte);
        });
    }

    runner.start();
    return app->exec();
}
