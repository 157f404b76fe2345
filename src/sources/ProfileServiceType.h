#pragma once

#include "core/Async.h"
#include "core/InstagramProfile.h"
#include "core/Reel.h"
#include "sources/InstagramServiceError.h"

#include <QList>
#include <QString>

#include <functional>

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
    // Says which step a fetch is on, in words for the screen ("Reading the reels page…"). Called
    // on the main thread, from the event loop, never after the completion.
    using StepHandler = std::function<void(const QString &step)>;

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
