#pragma once

// The one asynchronous style of Clip Dock.
//
// An operation that waits takes a Cancellation handle and a completion callback. The completion
// runs on the main thread, exactly once, and always from the event loop: never inside the call
// that started the operation and never inside cancel(). It carries an Outcome: a value, a
// cancellation, or the component's own error. A cancelled operation is never reported as an error.

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <utility>
#include <variant>

// A handle shared by whoever started an operation and the operation itself. Copies share state.
class Cancellation
{
public:
    Cancellation();

    // The first call marks the handle cancelled and runs every bound abort hook, in order of
    // binding; later calls do nothing.
    void cancel() const;
    bool isCancelled() const;

    // Runs `abort` when this handle is cancelled, as long as `owner` still exists. When the handle
    // is already cancelled, runs it at once. A hook is forgotten with its owner, so an operation
    // binds the abort of a reply, a timer or a page to that very object.
    void bind(QObject *owner, std::function<void()> abort) const;

private:
    struct State;
    std::shared_ptr<State> d;
};

struct Cancelled
{
    bool operator==(const Cancelled &) const = default;
};

// How an operation ended: its value (T, nothing for operations without one), cancelled, or its
// component's error E.
template <typename E, typename T = std::monostate>
class Outcome
{
public:
    Outcome(T value) : m_state(std::move(value)) { }
    Outcome(E error) : m_state(std::move(error)) { }
    Outcome(Cancelled) : m_state(Cancelled{}) { }

    static Outcome success() { return Outcome(T{}); }
    static Outcome cancelled() { return Outcome(Cancelled{}); }

    bool succeeded() const { return m_state.index() == 0; }
    bool wasCancelled() const { return m_state.index() == 1; }
    bool failed() const { return m_state.index() == 2; }

    const T &value() const { return std::get<0>(m_state); }
    const E &error() const { return std::get<2>(m_state); }

private:
    std::variant<T, Cancelled, E> m_state;
};

// Runs `f` from the event loop on `context`'s thread; dropped when `context` is destroyed first.
template <typename F>
void post(QObject *context, F &&f)
{
    QMetaObject::invokeMethod(context, std::forward<F>(f), Qt::QueuedConnection);
}

// Calls `then(false)` after `ms` milliseconds, or `then(true)` soon after `cancel` fires. Dropped
// when `context` is destroyed first.
void waitFor(int ms, const Cancellation &cancel, QObject *context,
             std::function<void(bool cancelled)> then);
