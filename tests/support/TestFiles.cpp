#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QThreadPool>

#include <sys/syscall.h>
#include <unistd.h>

bool TestFiles::write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray TestFiles::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList TestFiles::entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                          | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

WithoutPermissionOverride::WithoutPermissionOverride()
{
    if (::geteuid() != 0 || ::syscall(SYS_capget, &m_header, m_saved) != 0)
        return;
    __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
    reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    m_dropped = ::syscall(SYS_capset, &m_header, reduced) == 0;
}

WithoutPermissionOverride::~WithoutPermissionOverride()
{
    if (m_dropped)
        ::syscall(SYS_capset, &m_header, m_saved);
}

PoolHold::PoolHold()
{
    QThreadPool *pool = QThreadPool::globalInstance();
    for (int n = 0; n < pool->maxThreadCount(); ++n)
        pool->start([this] { m_gate.acquire(); });
}

void PoolHold::release()
{
    QThreadPool *pool = QThreadPool::globalInstance();
    if (!std::exchange(m_released, true))
        m_gate.release(pool->maxThreadCount());
    pool->waitForDone();
}
