#pragma once

// What the benchmarks share: a local file server in a process of its own, and a meter of how long
// the main thread's event loop was kept away.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <time.h>

inline double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Lateness of a 5 ms timer: how long the event loop was kept from running it. Lateness has two
// causes: work on the main thread, and the main thread waiting for a core while the server, the
// network thread and everything else on the machine run. The main thread's CPU time over the same
// interval bounds the first: a stretch of its own work can be no longer than all the work it did.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(intervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const double sinceLast = m_clock.nsecsElapsed() / 1e6;
            const double cpu = threadCpuMs();
            const double late = sinceLast - intervalMs;
            m_clock.restart();
            m_longest = std::max(m_longest, late);
            m_longestOwn = std::max(m_longestOwn, std::min(late, cpu - m_cpuAtLast));
            m_cpuAtLast = cpu;
        });
        m_clock.start();
        m_cpuAtLast = threadCpuMs();
        m_timer.start();
    }
    double longestMs() const { return m_longest; }
    // At most this much of the longest lateness was the main thread's own work.
    double longestOwnMs() const { return m_longestOwn; }

private:
    static constexpr int intervalMs = 5;
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_cpuAtLast = 0;
    double m_longest = 0;
    double m_longestOwn = 0;
};

// `python3 -m http.server` serving a folder on 127.0.0.1, in a process of its own so its work is
// neither in the client's CPU time nor on the client's main thread.
class LocalFileServer
{
public:
    // False when the server did not start listening.
    bool start(const QString &folder)
    {
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            m_port = probe.serverPort();
        }
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice()); // one log line per request
        m_process.start("python3", { "-m", "http.server", QString::number(m_port), "--bind",
                                     "127.0.0.1", "--directory", folder });
        if (!m_process.waitForStarted())
            return false;
        for (int attempt = 0; attempt < 100; ++attempt) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(100))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    ~LocalFileServer()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }

    QUrl url(const QString &name) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(name));
    }

private:
    QProcess m_process;
    quint16 m_port = 0;
};
