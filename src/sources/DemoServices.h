#pragma once

// The offline demo sources that answer for a platform while the user is not signed in to it:
// generated profiles, public sample videos, two instalments after short waits.

#include "sources/ProfileServiceType.h"

#include <QObject>
#include <QUrl>

// The eight public sample MP4 addresses the demo reels play.
QList<QUrl> sampleVideoURLs();

// A number within [lower, upper) that is stable for (seed, salt) within one run of the app.
qint64 pseudoCount(const QString &seed, int salt, qint64 lower, qint64 upper);

class DemoSource : public QObject, public ProfileServiceType
{
    Q_OBJECT
public:
    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      Completion done) override;

    static constexpr int firstWaitMs = 600;
    static constexpr int secondWaitMs = 350;

protected:
    struct Recipe
    {
        SocialPlatform platform;
        QChar nameSeparator;    // replaced by a blank in the display name
        QString avatarSuffix;   // after the handle in the avatar seed
        int followerSalt;
        qint64 followerLower, followerUpper;
        int reelCount;
        int verifiedEvery;      // verified when the handle's length is a multiple of this
        QString reelIdPrefix;
        QString thumbnailSize;
        qint64 viewLower, viewUpper, likeLower, likeUpper;
        qint64 secondsBetweenReels;
        int firstInstalment;
        std::function<QUrl(int index)> media;
        std::function<qint64(int index)> duration;
    };

    DemoSource(Recipe recipe, QObject *parent);

private:
    void build(const QString &text, InstagramProfile &profile, QList<Reel> &reels) const;

    Recipe m_recipe;
};

class DemoInstagramService : public DemoSource
{
    Q_OBJECT
public:
    explicit DemoInstagramService(QObject *parent = nullptr);
};

class DemoFacebookService : public DemoSource
{
    Q_OBJECT
public:
    explicit DemoFacebookService(QObject *parent = nullptr);
};
