#include "TestEnvironment.h"

#include "core/Config.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QtGlobal>

TestEnvironment::TestEnvironment()
{
    const QString home = m_home.path();
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
    qunsetenv("XDG_DOWNLOAD_DIR");

    QCoreApplication::setOrganizationName(QStringLiteral("ClipDockTests"));
    QCoreApplication::setApplicationName(QCoreApplication::applicationName());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home + QStringLiteral("/.config"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home + QStringLiteral("/.config"));

    // Nothing listens on port 9 of loopback: a test that forgets to point an origin at its own
    // server fails fast instead of reaching the internet.
    const QByteArray nowhere = "http://127.0.0.1:9";
    for (const char *name : { "CLIPDOCK_INSTAGRAM_ORIGIN", "CLIPDOCK_FACEBOOK_ORIGIN",
                              "CLIPDOCK_PLACEHOLDER_ORIGIN", "CLIPDOCK_SAMPLE_MEDIA_ORIGIN",
                              "CLIPDOCK_UPDATE_ORIGIN" })
        qputenv(name, nowhere);
    Config::reload();
}

TestEnvironment::~TestEnvironment()
{
    QSettings().sync();
}

void TestEnvironment::setOrigins(std::initializer_list<std::pair<const char *, QUrl>> origins)
{
    for (const auto &[name, url] : origins)
        qputenv(name, url.toString().toUtf8());
    Config::reload();
}

void TestEnvironment::clearSettings()
{
    QSettings settings;
    settings.clear();
    settings.sync();
}
