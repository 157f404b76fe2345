#include "sources/DemoServices.h"

#include "core/Config.h"
#include "core/URLRouter.h"

#include <QHashFunctions>
#include <QTextBoundaryFinder>

namespace {

// First letter of every blank-separated word upper case, the rest lower case.
QString capitalizedWords(const QString &text)
{
    QString result;
    bool wordStart = true;
    for (char32_t c : text.toUcs4()) {
        const QString letter = QString::fromUcs4(&c, 1);
        result += wordStart ? letter.toUpper() : letter.toLower();
        wordStart = QChar::isSpace(c);
    }
    return result;
}

// The number of characters as a reader counts them (grapheme clusters).
qsizetype characterCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

} // namespace

QList<QUrl> sampleVideoURLs()
{
    const QList<QUrl> &origins = Config::current().sampleVideoOrigins;
    const auto at = [&](int host, const char *path) {
        QUrl url = origins.value(host);
        url.setPath(QString::fromLatin1(path));
        return url;
    };
    return {
        at(0, "/mp4/sample-5s.mp4"),
        at(0, "/mp4/sample-10s.mp4"),
        at(0, "/mp4/sample-15s.mp4"),
        at(0, "/mp4/sample-20s.mp4"),
        at(0, "/mp4/sample-30s.mp4"),
        at(1, "/html/mov_bbb.mp4"),
        at(2, "/gtv-videos-bucket/sample/BigBuckBunny.mp4"),
        at(2, "/gtv-videos-bucket/sample/Sintel.mp4"),
    };
}

qint64 pseudoCount(const QString &seed, int salt, qint64 lower, qint64 upper)
{
    // Qt's hash seed is drawn afresh for every run, like the numbers it yields here.
    const auto hash = static_cast<qint64>(qHashMulti(QHashSeed::globalSeed(), seed, salt));
    const quint64 magnitude = hash < 0 ? 0 - static_cast<quint64>(hash) : static_cast<quint64>(hash);
    return lower + static_cast<qint64>(magnitude % static_cast<quint64>(upper - lower));
}

DemoSource::DemoSource(Recipe recipe, QObject *parent)
    : QObject(parent), m_recipe(std::move(recipe))
{
}

void DemoSource::build(const QString &text, InstagramProfile &profile, QList<Reel> &reels) const
{
    const Recipe &r = m_recipe;
    const auto detected = URLRouter::detect(text);
    const QString handle = detected ? detected->identifier : text;
    const QString imageBase = Config::current().placeholderImageBase();

    profile.id = QUuid::createUuid();
    profile.platform = r.platform;
    profile.username = handle;
    profile.displayName = capitalizedWords(QString(handle).replace(r.nameSeparator, u' '));
    profile.avatarURL = QUrl(imageBase + handle + r.avatarSuffix + QStringLiteral("/240/240"));
    profile.followerCount = pseudoCount(handle, r.followerSalt, r.followerLower, r.followerUpper);
    profile.reelCount = r.reelCount;
    profile.isVerified = characterCount(handle) % r.verifiedEvery == 0;
    profile.isDemo = true;

    const QDateTime now = QDateTime::currentDateTime();
    reels.clear();
    reels.reserve(r.reelCount);
    for (int i = 0; i < r.reelCount; ++i) {
        Reel reel;
        reel.id = r.reelIdPrefix + handle + u'-' + QString::number(i);
        const QUrl media = r.media(i);
        for (VideoQuality quality : allVideoQualities())
            reel.variants.insert(quality, media);
        reel.thumbnailURL = QUrl(imageBase + reel.id + r.thumbnailSize);
        reel.durationSeconds = r.duration(i);
        reel.viewCount = pseudoCount(reel.id, 3, r.viewLower, r.viewUpper);
        reel.likeCount = pseudoCount(reel.id, 11, r.likeLower, r.likeUpper);
        reel.postedAt = now.addSecs(-qint64(i) * r.secondsBetweenReels);
        reels.append(reel);
    }
}

void DemoSource::fetchProfile(const QString &text, const Cancellation &cancel,
                              UpdateHandler onUpdate, Completion done)
{
    waitFor(firstWaitMs, cancel, this, [=, this](bool cancelled) {
        if (cancelled) {
            done(Cancelled{});
            return;
        }
        InstagramProfile profile;
        QList<Reel> reels;
        build(text, profile, reels);
        onUpdate(profile, reels.mid(0, m_recipe.firstInstalment));
        waitFor(secondWaitMs, cancel, this, [=](bool cancelled) {
            if (cancelled) {
                done(Cancelled{});
                return;
            }
            onUpdate(profile, reels);
            done(Outcome<InstagramServiceError>::success());
        });
    });
}

DemoInstagramService::DemoInstagramService(QObject *parent)
    : DemoSource(
          Recipe{
              .platform = SocialPlatform::instagram,
              .nameSeparator = u'_',
              .avatarSuffix = QStringLiteral("-avatar"),
              .followerSalt = 7,
              .followerLower = 5000,
              .followerUpper = 8500000,
              .reelCount = 24,
              .verifiedEvery = 3,
              .reelIdPrefix = QString(),
              .thumbnailSize = QStringLiteral("/480/854"),
              .viewLower = 12000,
              .viewUpper = 3400000,
              .likeLower = 500,
              .likeUpper = 240000,
              .secondsBetweenReels = 86400,
              .firstInstalment = 12,
              .media = [](int i) { return sampleVideoURLs().at(i % 8); },
              .duration = [](int i) { return qint64((i * 7) % 48 + 12); },
          },
          parent)
{
}

DemoFacebookService::DemoFacebookService(QObject *parent)
    : DemoSource(
          Recipe{
              .platform = SocialPlatform::facebook,
              .nameSeparator = u'.',
              .avatarSuffix = QStringLiteral("-fb-avatar"),
              .followerSalt = 9,
              .followerLower = 200,
              .followerUpper = 12000000,
              .reelCount = 18,
              .verifiedEvery = 4,
              .reelIdPrefix = QStringLiteral("fb-"),
              .thumbnailSize = QStringLiteral("/640/360"),
              .viewLower = 4000,
              .viewUpper = 980000,
              .likeLower = 50,
              .likeUpper = 22000,
              .secondsBetweenReels = 172800,
              .firstInstalment = 9,
              .media = [](int) { return sampleVideoURLs().at(2); },
              .duration = [](int i) { return qint64((i * 11) % 90 + 18); },
          },
          parent)
{
}
