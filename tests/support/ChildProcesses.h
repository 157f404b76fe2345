#pragma once

// Runs of a program a test starts: their standard error goes to the test's own, and any still running when
// the test ends is killed, so that a failed check never leaves a window or a listener behind.

#include <QProcess>

#include <list>

class ChildProcesses
{
public:
    explicit ChildProcesses(const QString &program) : m_program(program) {}
    ChildProcesses(const ChildProcesses &) = delete;
    ChildProcesses &operator=(const ChildProcesses &) = delete;
    ~ChildProcesses()
    {
        for (QProcess &process : m_processes) {
            process.kill();
            process.waitForFinished();
        }
    }

    QProcess &start(const QStringList &arguments)
    {
        QProcess &process = m_processes.emplace_back();
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(m_program, arguments);
        return process;
    }

private:
    QString m_program;
    std::list<QProcess> m_processes;
};
