#pragma once

// A session bus of the test's own: a dbus-daemon started for it and named in
// DBUS_SESSION_BUS_ADDRESS, so the desktop's real services (file manager, portal, notifications)
// are never asked. Fake services register on it through QDBusConnection::connectToBus(address()).
// Without dbus-daemon the variable names a bus that does not exist, and isRunning() is false.
// Set it up before the code under test first asks for the session bus.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};
