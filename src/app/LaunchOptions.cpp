#include "app/LaunchOptions.h"

LaunchOptions LaunchOptions::parse(const QStringList &arguments)
{
    LaunchOptions options;
    const auto fail = [](const QString &error) {
        LaunchOptions failed;
        failed.action = Action::usageError;
        failed.error = error;
        return failed;
    };
    bool optionsEnded = false;
    bool hasText = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.size() > 1 && argument.startsWith(u'-')) {
            if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
                options.action = Action::help;
            else if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
                options.action = Action::version;
            else
                return fail(tr("unknown option '%1'").arg(argument));
            continue;
        }
        if (hasText)
            return fail(tr("one link at a time; unexpected '%1'").arg(argument));
        options.text = argument;
        hasText = true;
    }
    return options;
}

QString LaunchOptions::helpText()
{
    return tr("Usage: clipdock [LINK]\n"
              "\n"
              "Opens Clip Dock and searches LINK when one is given: a profile link or a handle,\n"
              "\"@nasa\", \"https://www.instagram.com/nasa/\", \"https://www.facebook.com/nasa\".\n"
              "When Clip Dock is already running, its window comes to the front and searches\n"
              "LINK instead of a second window opening.\n"
              "\n"
              "Options:\n"
              "  -h, --help     Show this help.\n"
              "  -v, --version  Show the version.\n");
}

QString LaunchOptions::usageLine() const
{
    return tr("clipdock: %1 (see 'clipdock --help')").arg(error);
}
