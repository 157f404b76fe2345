#pragma once

// A profile source the test drives by hand: it keeps every fetch it was asked for, with the
// handlers through which the test answers it and the cancellation it was given. Beside it, the
// made-up profiles and reels such a test delivers.

#include "sources/ProfileServiceType.h"

#include <QList>
#include <QStringList>

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

inline InstagramProfile profileNamed(const QString &username)
{
    InstagramProfile profile;
    profile.username = username;
    return profile;
}

// Reel i is "<prefix><i>", posted daysAgo[i] days ago. One clock reading serves the whole run, so
// that two lists of the same reels are equal and a longer one extends a shorter one.
inline QList<Reel> reelsAged(const QList<int> &daysAgo, const QString &prefix = QStringLiteral("r"))
{
    static const QDateTime now = QDateTime::currentDateTime();
    QList<Reel> reels;
    for (int i = 0; i < daysAgo.size(); ++i) {
        Reel reel;
        reel.id = prefix + QString::number(i);
        reel.variants.insert(VideoQuality::hd720, QUrl(QStringLiteral("https://cdn.test/%1.mp4").arg(i)));
        reel.postedAt = now.addDays(-daysAgo.at(i));
        reels.append(reel);
    }
    return reels;
}

inline QList<Reel> reelsCounted(int count, const QString &prefix = QStringLiteral("r"))
{
    return reelsAged(QList<int>(count, 1), prefix);
}

inline QStringList reelIds(const QList<Reel> &reels)
{
    QStringList list;
    for (const auto &reel : reels)
        list.append(reel.id);
    return list;
}
