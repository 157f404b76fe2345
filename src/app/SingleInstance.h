#pragma once

// One Clip Dock per user. The first start takes a lock file in the user's runtime folder and
// listens on a local socket beside it; a later start sends what it was asked to search over that
// socket, waits for the running one to take it, and ends. The lock, not the socket, decides who
// runs: two starts at once cannot both listen, and a lock left by a process that has died (a
// crash, a kill) is taken over, its socket file replaced. A start while the running one is ending
// waits for its lock and opens the window itself. No session bus is needed.

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Role {
        primary,    // this process runs the window (also when no lock can be had at all)
        handedOver, // the running one took the request; this process has nothing left to do
        unanswered, // one runs but did not take the request in time; see errorString()
    };

    // How long a later start waits for a running one that is still starting or busy.
    static constexpr int handOverTimeoutMs = 30'000;

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // Becomes the instance that runs, or hands `text` (empty: only show the window) and the
    // desktop's activation token of this start to the one that runs.
    Role start(const QString &text);
    QString errorString() const { return m_error; }

Q_SIGNALS:
    // A later start asked for the window: bring it to the front, and search `text` unless empty.
    // `activationToken` is the one the desktop gave that start, if any.
    void activationRequested(const QString &text, const QString &activationToken);

private:
    enum class HandOver { taken, nobodyListens, unanswered };

    // The lock or the socket: "app.clipdock.ClipDock" and `suffix` in the folder.
    QString filePath(const QString &suffix) const;
    void listen();
    HandOver handOver(const QString &text, QDeadlineTimer deadline);
    void acceptConnections();
    void read(QLocalSocket *socket);

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    QString m_error;
};
