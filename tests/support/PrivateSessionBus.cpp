#include "PrivateSessionBus.h"

#include <QFile>
#include <QStandardPaths>

PrivateSessionBus::PrivateSessionBus()
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/clipdock-test-bus");
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty() || !m_dir.isValid())
        return;
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write(R"(<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>
<auth>EXTERNAL</auth><policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>)");
    config.close();
    m_daemon.start(daemon, { QStringLiteral("--config-file=") + config.fileName(),
                             QStringLiteral("--nofork"), QStringLiteral("--print-address=1") });
    // The daemon prints its address once it listens.
    while (m_daemon.waitForReadyRead(10'000) && !m_daemon.canReadLine()) {
    }
    if (!m_daemon.canReadLine()) {
        qWarning("dbus-daemon did not start: %s", qPrintable(m_daemon.errorString()));
        return;
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.kill();
    m_daemon.waitForFinished();
}
