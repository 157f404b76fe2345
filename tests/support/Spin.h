#pragma once

// Runs the event loop until a condition holds. QTest's own waits nap between rounds of events,
// which adds up to seconds over a walk of hundreds of pages and slows the browser engine's many
// hand-overs between its threads to a crawl.

#include <QEventLoop>
#include <QTimer>

#include <functional>

inline bool spinUntil(const std::function<bool()> &done, int timeoutMs = 30000)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}
