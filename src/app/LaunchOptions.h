#pragma once

// What `clipdock` was started with: at most one link, handle or other text to search at once;
// --help and --version, which answer without a window. The options the application object takes
// for itself (-platform, -style...) are read before the rest, by Qt.

#include <QCoreApplication>
#include <QString>
#include <QStringList>

struct LaunchOptions
{
    enum class Action { run, help, version, usageError };

    Action action = Action::run;
    QString text;  // run: what to search, as given; empty when nothing was
    QString error; // usageError: what is wrong, in one line

    // `arguments` as the program gets them, the program first. "--" ends the options, so text
    // that starts with "-" can be searched too.
    static LaunchOptions parse(const QStringList &arguments);

    static QString helpText();
    // "clipdock: unknown option '--frobnicate' (see 'clipdock --help')"
    QString usageLine() const;

    // Last: the macro leaves what follows it private.
    Q_DECLARE_TR_FUNCTIONS(LaunchOptions)
};
