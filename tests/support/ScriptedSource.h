#pragma once

// A profile source the test drives by hand: it keeps every fetch it was asked for, with the
// handlers through which the test answers it and the cancellation it was given.

#include "sources/ProfileServiceType.h"

#include <QList>

class ScriptedSource : public ProfileServiceType
{
public:
    struct Fetch
    {
        QString text;
        Cancellation cancel;
        UpdateHandler update;
        Completion done;
        StepHandler step;
    };
    QList<Fetch> fetches;

    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      Completion done) override
    {
        fetchProfile(text, cancel, std::move(onUpdate), {}, std::move(done));
    }
    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      StepHandler onStep, Completion done) override
    {
        fetches.append({ text, cancel, std::move(onUpdate), std::move(done), std::move(onStep) });
    }
};
