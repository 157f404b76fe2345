#include "core/Async.h"

#include <QList>
#include <QTimer>

struct Cancellation::State
{
    struct Hook
    {
        QPointer<QObject> owner;
        std::function<void()> abort;
    };

    bool cancelled = false;
    QList<Hook> hooks;
};

Cancellation::Cancellation() : d(std::make_shared<State>()) { }

void Cancellation::cancel() const
{
    if (d->cancelled)
        return;
    d->cancelled = true;
    // A hook may destroy other owners or bind new hooks; work on a snapshot.
    const auto hooks = std::exchange(d->hooks, {});
    for (const auto &hook : hooks) {
        if (hook.owner)
            hook.abort();
    }
}

bool Cancellation::isCancelled() const
{
    return d->cancelled;
}

void Cancellation::bind(QObject *owner, std::function<void()> abort) const
{
    if (d->cancelled) {
        abort();
        return;
    }
    d->hooks.removeIf([](const State::Hook &hook) { return hook.owner.isNull(); });
    d->hooks.append({ owner, std::move(abort) });
}

void waitFor(int ms, const Cancellation &cancel, QObject *context,
             std::function<void(bool cancelled)> then)
{
    auto *timer = new QTimer(context);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    // Whichever comes first, the timer or the cancellation, ends the wait; the other is ignored.
    auto pending = std::make_shared<std::function<void(bool)>>(std::move(then));
    auto finish = [timer, pending](bool cancelled) {
        if (!*pending)
            return;
        auto callback = std::exchange(*pending, {});
        timer->stop();
        timer->deleteLater();
        callback(cancelled);
    };
    QObject::connect(timer, &QTimer::timeout, context, [finish] { finish(false); });
    timer->start(ms);
    cancel.bind(timer, [timer, context, finish] {
        timer->stop();
        post(context, [finish] { finish(true); });
    });
}
