#pragma once

#include "core/Async.h"
#include "core/InstagramProfile.h"
#include "core/Reel.h"
#include "sources/InstagramServiceError.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

// What a fetch is doing, told to the screen as it goes.
struct FetchStep
{
    // In words: "Reading the reels page…", "Instagram asked to slow down".
    QString text;
    // How long the fetch now waits before it goes on by itself, counted from the moment it tells
    // this step; 0 when it is not waiting. Cancelling the fetch ends the wait at once.
    int waitMs = 0;

    FetchStep(QString words = {}, int waitMs = 0) : text(std::move(words)), waitMs(waitMs) { }
    bool operator==(const FetchStep &) const = default;

    bool isWaiting() const { return waitMs > 0; }
    // The words with the time left: "Instagram asked to slow down — continuing in 28 s".
    QString withSecondsLeft(int seconds) const
    {
        return QCoreApplication::translate("FetchStep", "%1 — continuing in %2 s")
                .arg(text, QString::number(seconds));
    }
};

// What every source of profiles and reels fulfils.
class ProfileServiceType
{
public:
    // Called on the main thread with the profile and every reel known so far; a later call
    // replaces what an earlier one delivered.
    using UpdateHandler = std::function<void(const InstagramProfile &, const QList<Reel> &)>;
    // Called once, after the last update: success, cancelled, or the source's error. Updates
    // delivered before a failure stay valid.
    using Completion = std::function<void(const Outcome<InstagramServiceError> &)>;
    // Says which step a fetch is on, for the screen; a later step replaces an earlier one, and an
    // empty one says there is nothing to tell. Called on the main thread, from the event loop,
    // never after the completion.
    using StepHandler = std::function<void(const FetchStep &step)>;

    virtual ~ProfileServiceType() = default;

    // Fetches the profile named by `text` (a link, a handle, anything the user pasted). Cancelling
    // `cancel` stops the fetch at its next wait; no update follows and it ends as cancelled.
    virtual void fetchProfile(const QString &text, const Cancellation &cancel,
                              UpdateHandler onUpdate, Completion done) = 0;

    // The same, also telling each step of the fetch through `onStep`. A source whose fetch has no
    // step worth telling leaves this as it is, and never calls it.
    virtual void fetchProfile(const QString &text, const Cancellation &cancel,
                              UpdateHandler onUpdate, StepHandler onStep, Completion done)
    {
        fetchProfile(text, cancel, std::move(onUpdate), std::move(done));
    }
};
