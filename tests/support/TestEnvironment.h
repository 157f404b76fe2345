#pragma once

// Keeps a test away from the user's real settings, home folder and remote hosts.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <initializer_list>
#include <utility>

class TestEnvironment
{
public:
    // Points HOME, the XDG folders and the settings store into a fresh temporary folder, and
    // every remote origin at an address where nothing listens.
    TestEnvironment();
    ~TestEnvironment();

    QString home() const { return m_home.path(); }

    // Sets CLIPDOCK_... variables and reloads the app's configuration.
    static void setOrigins(std::initializer_list<std::pair<const char *, QUrl>> origins);

    // Forgets every stored setting.
    static void clearSettings();

private:
    QTemporaryDir m_home;
};
