#pragma once

// Files a test sets up or reads back in one call, and limits a test puts on the process while it
// runs: file permissions obeyed even as root, the global thread pool held busy.

#include <QByteArray>
#include <QSemaphore>
#include <QString>
#include <QStringList>

#include <linux/capability.h>

namespace TestFiles {

// Writes `bytes` to `path`, replacing what is there.
bool write(const QString &path, const QByteArray &bytes = {});
// What `path` holds; empty when it cannot be read.
QByteArray read(const QString &path);
// Every entry of `folder`, hidden ones and links too, by name.
QStringList entries(const QString &folder);

} // namespace TestFiles

// Root writes anywhere; while this lives, the main thread obeys file permissions like any user.
class WithoutPermissionOverride
{
public:
    WithoutPermissionOverride();
    ~WithoutPermissionOverride();

private:
    __user_cap_header_struct m_header{ _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_saved[2]{};
    bool m_dropped = false;
};

// Keeps every thread of the global pool busy until released, so that a test can act while work
// handed to the pool is due.
class PoolHold
{
public:
    PoolHold();
    ~PoolHold() { release(); }
    // Lets the pool go on and waits until it has done everything it holds.
    void release();

private:
    QSemaphore m_gate;
    bool m_released = false;
};
