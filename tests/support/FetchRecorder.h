#pragma once

// Records what a profile fetch delivers: every update with the time it arrived, and the one
// outcome. Counts completions, so a source that finishes twice is caught.

#include "sources/ProfileServiceType.h"

#include <QElapsedTimer>
#include <QList>
#include <QtTest>

struct FetchRecorder
{
    struct Update
    {
        InstagramProfile profile;
        QList<Reel> reels;
        qint64 atMs;
    };

    QElapsedTimer clock;
    QList<Update> updates;
    std::optional<Outcome<InstagramServiceError>> outcome;
    int completions = 0;

    FetchRecorder() { clock.start(); }

    ProfileServiceType::UpdateHandler onUpdate()
    {
        return [this](const InstagramProfile &profile, const QList<Reel> &reels) {
            updates.append({ profile, reels, clock.elapsed() });
        };
    }

    ProfileServiceType::Completion done()
    {
        return [this](const Outcome<InstagramServiceError> &result) {
            ++completions;
            outcome = result;
        };
    }

    void fetch(ProfileServiceType &source, const QString &text, const Cancellation &cancel = {})
    {
        source.fetchProfile(text, cancel, onUpdate(), done());
    }

    bool finished() const { return completions > 0; }
    bool waitFinished(int timeoutMs = 30000)
    {
        return QTest::qWaitFor([this] { return finished(); }, timeoutMs);
    }

    QString errorMessage() const
    {
        return outcome && outcome->failed() ? outcome->error().errorDescription() : QString();
    }
};
