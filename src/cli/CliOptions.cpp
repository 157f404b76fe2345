#include "cli/CliOptions.h"

#include "core/URLRouter.h"
#include "downloads/AppSettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>

namespace {

using Command = CliOptions::Command;

const QCommandLineOption helpOption({ QStringLiteral("h"), QStringLiteral("help") },
                                    QStringLiteral("Show this help."));
const QCommandLineOption jsonOption(QStringLiteral("json"), {});
const QCommandLineOption cookiesOption(QStringLiteral("cookies"), {}, QStringLiteral("FILE"));
const QCommandLineOption demoOption(QStringLiteral("demo"), {});
const QCommandLineOption qualityOption(QStringLiteral("quality"), {}, QStringLiteral("Q"));
const QCommandLineOption sinceOption(QStringLiteral("since"), {}, QStringLiteral("WHEN"));
const QCommandLineOption untilOption(QStringLiteral("until"), {}, QStringLiteral("DATE"));
const QCommandLineOption idsOption(QStringLiteral("ids"), {}, QStringLiteral("IDS"));
const QCommandLineOption jobsOption(QStringLiteral("jobs"), {}, QStringLiteral("N"));
const QCommandLineOption dirOption(QStringLiteral("dir"), {}, QStringLiteral("DIR"));
const QCommandLineOption overwriteOption(QStringLiteral("overwrite"), {});

QString commandName(Command command)
{
    switch (command) {
    case Command::list: return QStringLiteral("list");
    case Command::download: return QStringLiteral("download");
    case Command::none: break;
    }
    return {};
}

// One value of an option that takes one: given twice is a mistake rather than "the last wins".
std::optional<QString> single(const QCommandLineParser &parser, const QCommandLineOption &option,
                              QString *error)
{
    const QStringList values = parser.values(option);
    if (values.isEmpty())
        return std::nullopt;
    if (values.size() > 1) {
        *error = QCoreApplication::translate("CliArguments", "--%1 is given more than once")
                         .arg(option.names().constLast());
        return std::nullopt;
    }
    return values.constFirst();
}

} // namespace

namespace CliArguments {

std::optional<QDate> parseDate(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::variant<DateRangeFilter, QString> parseDateRange(const QString &since, const QString &until)
{
    using Kind = DateRangeFilter::Kind;
    static const QHash<QString, Kind> presets{
        { QStringLiteral("today"), Kind::today }, { QStringLiteral("7d"), Kind::last7 },
        { QStringLiteral("30d"), Kind::last30 },  { QStringLiteral("90d"), Kind::last90 },
        { QStringLiteral("year"), Kind::thisYear },
    };

    std::optional<QDate> untilDate;
    if (!until.isEmpty()) {
        untilDate = parseDate(until);
        if (!untilDate)
            return QCoreApplication::translate("CliArguments",
                                               "--until takes a date as YYYY-MM-DD, not '%1'")
                    .arg(until);
    }
    if (since.isEmpty()) {
        if (!untilDate)
            return DateRangeFilter();
        // Everything up to that day: the range starts before any platform existed.
        return DateRangeFilter::custom(QDate(1970, 1, 1).startOfDay(), untilDate->startOfDay());
    }
    const auto preset = presets.constFind(since.toLower());
    if (preset != presets.constEnd()) {
        if (untilDate)
            return QCoreApplication::translate(
                           "CliArguments", "--until goes with --since DATE, not with --since %1")
                    .arg(since);
        return DateRangeFilter(*preset);
    }
    const auto sinceDate = parseDate(since);
    if (!sinceDate)
        return QCoreApplication::translate("CliArguments", "--since takes today, 7d, 30d, 90d, "
                                           "year or a date as YYYY-MM-DD, not '%1'")
                .arg(since);
    if (untilDate && *untilDate < *sinceDate)
        return QCoreApplication::translate("CliArguments", "--since %1 is after --until %2")
                .arg(since, until);
    // Without an end, the range stays open: a reel stamped a little ahead of this clock passes.
    const QDate end = untilDate.value_or(QDate(9999, 12, 31));
    return DateRangeFilter::custom(sinceDate->startOfDay(), end.startOfDay());
}

std::optional<VideoQuality> parseQuality(const QString &text)
{
    if (text.compare(QLatin1String("audio"), Qt::CaseInsensitive) == 0)
        return VideoQuality::audio;
    for (const VideoQuality quality : allVideoQualities()) {
        if (text.compare(rawValue(quality), Qt::CaseInsensitive) == 0)
            return quality;
    }
    return std::nullopt;
}

std::variant<CliOptions, CliUsageError> parse(const QStringList &arguments)
{
    CliOptions options;
    const QStringList rest = arguments.mid(1);
    if (rest.isEmpty())
        return CliUsageError{ QCoreApplication::translate(
                "CliArguments", "a command is missing: list or download") };
    const QString first = rest.constFirst();
    if (first == QLatin1String("-h") || first == QLatin1String("--help")) {
        options.help = true;
        return options;
    }
    if (first == QLatin1String("--version")) {
        options.version = true;
        return options;
    }
    if (first == QLatin1String("list"))
        options.command = Command::list;
    else if (first == QLatin1String("download"))
        options.command = Command::download;
    else if (first.startsWith(u'-'))
        return CliUsageError{ QCoreApplication::translate(
                "CliArguments", "the command comes first: list or download") };
    else
        return CliUsageError{ QCoreApplication::translate(
                "CliArguments", "unknown command '%1': list or download").arg(first) };
    const Command command = options.command;
    const auto usage = [command](const QString &message) {
        return CliUsageError{ message, command };
    };

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption);
    parser.addOption(cookiesOption);
    parser.addOption(demoOption);
    parser.addOption(sinceOption);
    parser.addOption(untilOption);
    if (command == Command::list) {
        parser.addOption(jsonOption);
    } else {
        for (const auto &option : { qualityOption, idsOption,
                                    jobsOption, dirOption, overwriteOption })
            parser.addOption(option);
    }
    if (!parser.parse(QStringList{ arguments.value(0) } + rest.mid(1)))
        return usage(parser.errorText());
    if (parser.isSet(helpOption)) {
        options.help = true;
        return options;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usage(QCoreApplication::translate("CliArguments",
                                                 "a profile link or handle is missing"));
    if (positional.size() > 1)
        return usage(QCoreApplication::translate("CliArguments",
                                                 "one profile at a time; unexpected '%1'")
                             .arg(positional.at(1)));
    options.link = positional.constFirst().trimmed();
    if (!URLRouter::detect(options.link))
        return usage(QCoreApplication::translate("CliArguments",
                                                 "'%1' is not a profile link or handle")
                             .arg(options.link));

    QString error;
    const auto cookies = single(parser, cookiesOption, &error);
    if (!error.isEmpty())
        return usage(error);
    options.cookiesFile = cookies.value_or(QString());
    options.demo = parser.isSet(demoOption);
    if (options.demo && !options.cookiesFile.isEmpty())
        return usage(QCoreApplication::translate("CliArguments",
                                                 "--demo and --cookies exclude each other"));

    const auto since = single(parser, sinceOption, &error);
    const auto until = single(parser, untilOption, &error);
    if (!error.isEmpty())
        return usage(error);
    const auto range = parseDateRange(since.value_or(QString()), until.value_or(QString()));
    if (const auto *message = std::get_if<QString>(&range))
        return usage(*message);
    options.dateFilter = std::get<DateRangeFilter>(range);

    if (command == Command::list) {
        options.json = parser.isSet(jsonOption);
        return options;
    }

    const auto quality = single(parser, qualityOption, &error);
    const auto ids = single(parser, idsOption, &error);
    const auto jobs = single(parser, jobsOption, &error);
    const auto dir = single(parser, dirOption, &error);
    if (!error.isEmpty())
        return usage(error);

    if (quality) {
        const auto chosen = parseQuality(*quality);
        if (!chosen)
            return usage(QCoreApplication::translate(
                    "CliArguments", "--quality is 1080p, 720p, 480p or audio, not '%1'")
                                 .arg(*quality));
        options.quality = *chosen;
    }

    if (ids) {
        // Chosen reels replace the date filter in the app; asking for both here is ambiguous.
        if (since || until)
            return usage(QCoreApplication::translate(
                    "CliArguments", "--ids chooses reels itself; leave out --since and --until"));
        QSet<QString> seen;
        for (const QString &part : ids->split(u',')) {
            const QString id = part.trimmed();
            if (!id.isEmpty() && !seen.contains(id)) {
                seen.insert(id);
                options.ids.append(id);
            }
        }
        if (options.ids.isEmpty())
            return usage(QCoreApplication::translate("CliArguments",
                                                     "--ids needs at least one reel id"));
    }

    if (jobs) {
        bool ok = false;
        const int n = jobs->toInt(&ok);
        if (!ok || n < AppSettings::minimumConcurrency || n > AppSettings::maximumConcurrency)
            return usage(QCoreApplication::translate("CliArguments",
                                                     "--jobs is a number from %1 to %2, not '%3'")
                                 .arg(AppSettings::minimumConcurrency)
                                 .arg(AppSettings::maximumConcurrency)
                                 .arg(*jobs));
        options.jobs = n;
    }

    if (dir) {
        if (dir->isEmpty())
            return usage(QCoreApplication::translate("CliArguments", "--dir needs a folder"));
        options.dir = *dir;
    }
    options.overwrite = parser.isSet(overwriteOption);
    return options;
}

QString usageLine(const CliUsageError &error)
{
    const QString command = commandName(error.command);
    const QString help = command.isEmpty() ? QStringLiteral("%1 --help").arg(programName)
                                           : QStringLiteral("%1 %2 --help").arg(programName, command);
    return QCoreApplication::translate("CliArguments", "%1: %2 (see '%3')")
            .arg(programName, error.message, help);
}

QString helpText(Command command)
{
    switch (command) {
    case Command::none:
        return QCoreApplication::translate("CliArguments",
                "Usage: clipdock-cli COMMAND [options] LINK\n"
                "\n"
                "Lists and downloads the reels of an Instagram or Facebook profile with Clip\n"
                "Dock's sources, sign-in, download queue and settings.\n"
                "\n"
                "Commands:\n"
                "  list       Print the profile and one line per reel.\n"
                "  download   Download the profile's reels through the download queue.\n"
                "\n"
                "LINK is a profile link or an Instagram handle: \"@nasa\",\n"
                "\"https://www.instagram.com/nasa/\", \"https://www.facebook.com/nasa\".\n"
                "\n"
                "Options:\n"
                "  -h, --help   Show this help; 'clipdock-cli COMMAND --help' for a command's.\n"
                "  --version    Show the version.\n"
                "\n"
                "Sign-in: the sessions of the Clip Dock app are used; without one the demo\n"
                "source answers, as in the app. --cookies FILE reads a Netscape cookies file\n"
                "instead, --demo forces the demo sources.\n"
                "\n"
                "Exit status:\n"
                "  0        everything asked for was saved or listed\n"
                "  1        partly done: some items failed, or the profile's reels stopped\n"
                "           coming part way (those received are still listed or saved)\n"
                "  2        usage error\n"
                "  3        the profile could not be fetched\n"
                "  128+N    stopped by signal N: 130 Ctrl-C, 143 SIGTERM, 129 hang-up\n"
                "No status leaves a partial file behind.\n");
    case Command::list:
        return QCoreApplication::translate("CliArguments",
                "Usage: clipdock-cli list [options] LINK\n"
                "\n"
                "Prints the profile (name, handle, followers, reel count, verified) and one line\n"
                "per reel (id, posting date, duration, views, likes, qualities offered).\n"
                "\n"
                "Options:\n"
                "  --json          One JSON object per line: the profile, then one per reel.\n"
                "  --since WHEN    Only reels from then on: today, 7d, 30d, 90d, year or a date\n"
                "                  YYYY-MM-DD. Pages of older reels are not read.\n"
                "  --until DATE    Last day to take, YYYY-MM-DD (with --since DATE or alone).\n"
                "  --cookies FILE  Sign in with a Netscape-format cookies file for this run.\n"
                "  --demo          Answer with the demo sources.\n"
                "  -h, --help      Show this help.\n");
    case Command::download:
        return QCoreApplication::translate("CliArguments",
                "Usage: clipdock-cli download [options] LINK\n"
                "\n"
                "Downloads the profile's reels (all, or those the filters choose) into the\n"
                "download folder, under the same names as in the app.\n"
                "\n"
                "Options:\n"
                "  --quality Q     1080p, 720p, 480p or audio (default 720p).\n"
                "  --since WHEN    today, 7d, 30d, 90d, year or a date YYYY-MM-DD. Pages of\n"
                "                  older reels are not read.\n"
                "  --until DATE    Last day to take, YYYY-MM-DD (with --since DATE or alone).\n"
                "  --ids IDS       Only these reels, as comma-separated ids (instead of dates).\n"
                "  --jobs N        Transfers at once, 1 to 10 (default the app's setting).\n"
                "  --dir DIR       Folder for the files (default the app's folder); made if\n"
                "                  missing, not remembered.\n"
                "  --overwrite     Download reels again whose file is already in the folder,\n"
                "                  replacing it (by default they are skipped).\n"
                "  --cookies FILE  Sign in with a Netscape-format cookies file for this run.\n"
                "  --demo          Answer with the demo sources.\n"
                "  -h, --help      Show this help.\n"
                "\n"
                "Dates are whole days of the local calendar, both ends included. Each file\n"
                "is dated with its reel's posting time.\n");
    }
    return {};
}

} // namespace CliArguments
