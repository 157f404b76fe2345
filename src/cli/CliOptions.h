#pragma once

// What the command line asked for, read from the arguments without touching the network, the
// settings or the file system. Anything it cannot use is a usage error with a one-line message.

#include "core/DateRangeFilter.h"
#include "core/VideoQuality.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

struct CliOptions
{
    enum class Command { none, list, download };

    Command command = Command::none;
    bool help = false;    // --help: the program's, or the command's when one is given
    bool version = false;
    QString link;         // as typed; the link router can read it

    DateRangeFilter dateFilter;    // all time unless --since or --until

    // list
    bool json = false;

    // download
    VideoQuality quality = VideoQuality::hd720;
    QStringList ids;               // chosen reels, each once, in the order given
    std::optional<int> jobs;       // the stored setting when absent
    QString dir;                   // the remembered folder when empty
    bool overwrite = false;        // fetch reels whose file is saved already, and replace it

    // sign-in
    QString cookiesFile;
    bool demo = false;
};

struct CliUsageError
{
    QString message;
    CliOptions::Command command = CliOptions::Command::none; // whose --help the hint names
};

namespace CliArguments {

inline constexpr auto programName = "clipdock-cli";

// `arguments` as main() gets them, the program first.
std::variant<CliOptions, CliUsageError> parse(const QStringList &arguments);

// --since: "today", "7d", "30d", "90d", "year" or a date "YYYY-MM-DD"; --until: a date. Either
// may be empty (not given). A date makes a custom range of whole local days, both ends included.
std::variant<DateRangeFilter, QString> parseDateRange(const QString &since, const QString &until);

// "YYYY-MM-DD", a real calendar day.
std::optional<QDate> parseDate(const QString &text);

// "1080p", "720p", "480p", "audio" (or the raw "Audio only"), in any case.
std::optional<VideoQuality> parseQuality(const QString &text);

QString helpText(CliOptions::Command command);
// "clipdock-cli: <message> (see 'clipdock-cli download --help')"
QString usageLine(const CliUsageError &error);

} // namespace CliArguments
