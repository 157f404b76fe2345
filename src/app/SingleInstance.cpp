#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {

const QByteArray takenReply = "ok\n";
// A request is a line of JSON: the text and a token, far below this.
constexpr qint64 maxRequestBytes = 64 * 1024;
// A client that connects and says nothing is dropped after this long.
constexpr int clientTimeoutMs = 10'000;

} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent), m_folder(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
{
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start(const QString &text)
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder)) {
        qWarning("No runtime folder: this window runs beside any other.");
        return Role::primary;
    }
    m_lock = std::make_unique<QLockFile>(filePath(QStringLiteral(".lock")));
    // The lock of a process that still runs never goes stale, however long it has run; one whose
    // process is gone is taken over at once.
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(handOverTimeoutMs);
    forever {
        if (m_lock->tryLock(0)) {
            listen();
            return Role::primary;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            qWarning("Cannot take the lock in %s: this window runs beside any other.",
                     qPrintable(m_folder));
            return Role::primary;
        }
        // Nobody listening: the holder may have the lock and not listen yet, or be ending.
        const HandOver handedOver = handOver(text, deadline);
        if (handedOver == HandOver::taken)
            return Role::handedOver;
        if (handedOver == HandOver::unanswered || deadline.hasExpired())
            break;
        QThread::msleep(100);
    }
    m_error = tr("Clip Dock is already running but did not answer.");
    return Role::unanswered;
}

QString SingleInstance::filePath(const QString &suffix) const
{
    return QDir(m_folder).filePath(QStringLiteral("app.clipdock.ClipDock") + suffix);
}

void SingleInstance::listen()
{
    const QString path = filePath(QStringLiteral(".socket"));
    // With the lock held, a socket file there is a dead process's leftover.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        qWarning("Cannot listen on %s: %s", qPrintable(path), qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    // While the window goes and the process ends, a new start waits for the lock instead of
    // handing its link to a window that is gone.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, m_server,
            &QLocalServer::close);
}

SingleInstance::HandOver SingleInstance::handOver(const QString &text, QDeadlineTimer deadline)
{
    QLocalSocket socket;
    socket.connectToServer(filePath(QStringLiteral(".socket")));
    if (!socket.waitForConnected(int(qMax<qint64>(deadline.remainingTime(), 1))))
        return HandOver::nobodyListens;
    const QJsonObject request{
        { QStringLiteral("text"), text },
        // Wayland lets the running window come to the front with the token the desktop gave
        // this start.
        { QStringLiteral("activationToken"), qEnvironmentVariable("XDG_ACTIVATION_TOKEN") },
    };
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 1)))) {
            // Gone without an answer: it was ending, and its lock is about to be free.
            return socket.state() == QLocalSocket::UnconnectedState ? HandOver::nobodyListens
                                                                    : HandOver::unanswered;
        }
    }
    return socket.readLine() == takenReply ? HandOver::taken : HandOver::unanswered;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        QTimer::singleShot(clientTimeoutMs, socket, [socket] { socket->abort(); });
    }
}

void SingleInstance::read(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > maxRequestBytes)
            socket->abort();
        return;
    }
    const QJsonObject request = QJsonDocument::fromJson(socket->readLine()).object();
    socket->write(takenReply);
    socket->disconnectFromServer();
    Q_EMIT activationRequested(request.value(QStringLiteral("text")).toString(),
                               request.value(QStringLiteral("activationToken")).toString());
}
