#include "sources/RealFacebookService.h"

#include "auth/PlatformAuth.h"
#include "core/Config.h"
#include "core/URLRouter.h"

#include <QCoreApplication>
#include <QHashFunctions>

namespace {

// The address a text names, when it is an absolute URL with a host.
std::optional<QUrl> addressOf(const QString &text)
{
    const QUrl url(text);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return std::nullopt;
    return url;
}

// Qt's hash seed is drawn afresh for every run: ids are stable within one run only.
quint64 hashMagnitude(const QString &text)
{
    const auto hash = static_cast<qint64>(qHash(text, QHashSeed::globalSeed()));
    return hash < 0 ? 0 - static_cast<quint64>(hash) : static_cast<quint64>(hash);
}

void appendNew(QStringList &list, const QStringList &items)
{
    for (const QString &item : items) {
        if (!list.contains(item))
            list.append(item);
    }
}

QString noVideosReport(qint64 htmlLength, qsizetype thumbCount)
{
    return QCoreApplication::translate("RealFacebookService", "No MP4 addresses from the Facebook "
                                       "video CDN were found on /reels or /videos. HTML %1 bytes, "
                                       "thumbs: %2")
        .arg(htmlLength)
        .arg(thumbCount);
}

} // namespace

struct RealFacebookService::Fetch
{
    struct Page
    {
        QUrl url;
        QString step; // what the screen says while it is read
    };

    QString handle;
    QList<Page> pages;
    Cancellation cancel;
    UpdateHandler onUpdate;
    StepHandler onStep;
    Completion done;
    // What the pages read so far yielded; the length is the last page's.
    ExtractionResult found;
};

RealFacebookService::RealFacebookService(PlatformAuth *auth, QString userAgent, QObject *parent)
    : QObject(parent), m_auth(auth), m_userAgent(std::move(userAgent))
{
}

void RealFacebookService::fetchProfile(const QString &text, const Cancellation &cancel,
                                       UpdateHandler onUpdate, Completion done)
{
    fetchProfile(text, cancel, std::move(onUpdate), {}, std::move(done));
}

void RealFacebookService::fetchProfile(const QString &text, const Cancellation &cancel,
                                       UpdateHandler onUpdate, StepHandler onStep, Completion done)
{
    if (!m_auth || !m_auth->isSignedIn()) {
        post(this, [done = std::move(done)] {
            done(InstagramServiceError::notAuthenticated(SocialPlatform::facebook));
        });
        return;
    }
    auto fetch = std::make_shared<Fetch>();
    const auto detected = URLRouter::detect(text);
    fetch->handle = detected ? detected->identifier : text;
    // One path segment, whatever the text: it cannot add a query or more segments.
    const QString account = Config::current().facebookOrigin.toString(QUrl::StripTrailingSlash)
            + u'/' + QString::fromLatin1(QUrl::toPercentEncoding(fetch->handle));
    fetch->pages = { { QUrl(account + QStringLiteral("/reels")), tr("Reading the reels page…") },
                     { QUrl(account + QStringLiteral("/videos")), tr("Reading the videos page…") } };
    fetch->cancel = cancel;
    fetch->onUpdate = std::move(onUpdate);
    fetch->onStep = std::move(onStep);
    fetch->done = std::move(done);
    readPage(fetch, 0);
}

void RealFacebookService::readPage(const std::shared_ptr<Fetch> &fetch, int index)
{
    // The extractor is the completion's context: destroyed with this service, it takes its page
    // along and reports nothing.
    auto *extractor = new HiddenWebExtractor(this);
    if (fetch->onStep) {
        post(extractor, [fetch, index] {
            if (!fetch->cancel.isCancelled())
                fetch->onStep(fetch->pages.at(index).step);
        });
    }
    extractor->extractFacebookVideos(
            fetch->pages.at(index).url, m_userAgent, scrollPasses, fetch->cancel, extractor,
            [this, fetch, index, extractor](const auto &outcome) {
                extractor->deleteLater();
                if (outcome.wasCancelled()) {
                    fetch->done(Cancelled{});
                    return;
                }
                if (outcome.failed()) {
                    fetch->done(outcome.error());
                    return;
                }
                const ExtractionResult &page = outcome.value();
                appendNew(fetch->found.videos, page.videos);
                appendNew(fetch->found.thumbs, page.thumbs);
                if (!fetch->found.title)
                    fetch->found.title = page.title;
                fetch->found.htmlLength = page.htmlLength;
                if (fetch->found.videos.isEmpty() && index + 1 < fetch->pages.size())
                    readPage(fetch, index + 1);
                else
                    deliver(*fetch);
            });
}

void RealFacebookService::deliver(const Fetch &fetch)
{
    // A cancellation that came after the last page was read still means no update.
    if (fetch.cancel.isCancelled()) {
        fetch.done(Cancelled{});
        return;
    }
    const QList<Reel> reels = build(fetch.found, fetch.handle);

    InstagramProfile profile;
    profile.id = QUuid::createUuid();
    profile.platform = SocialPlatform::facebook;
    profile.username = fetch.handle;
    profile.displayName = fetch.found.title.value_or(fetch.handle);
    if (!fetch.found.thumbs.isEmpty())
        profile.avatarURL = addressOf(fetch.found.thumbs.first()).value_or(QUrl());
    profile.followerCount = 0;
    profile.reelCount = reels.size();
    profile.isVerified = false;

    fetch.onUpdate(profile, reels);
    if (reels.isEmpty()) {
        fetch.done(InstagramServiceError::http(
                0, noVideosReport(fetch.found.htmlLength, fetch.found.thumbs.size())));
        return;
    }
    fetch.done(Outcome<InstagramServiceError>::success());
}

QList<Reel> RealFacebookService::build(const ExtractionResult &result, const QString &fallbackPrefix)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString imageBase = Config::current().placeholderImageBase();
    QList<Reel> reels;
    for (qsizetype i = 0; i < result.videos.size(); ++i) {
        const QString &text = result.videos.at(i);
        const auto video = addressOf(text);
        if (!video)
            continue;
        Reel reel;
        reel.id = QStringLiteral("fb-") + fallbackPrefix + u'-' + QString::number(i) + u'-'
                + QString::number(hashMagnitude(text));
        // Thumbnails pair with videos by position only: the page links them no other way.
        const auto thumbnail = i < result.thumbs.size() ? addressOf(result.thumbs.at(i)) : std::nullopt;
        reel.thumbnailURL = thumbnail.value_or(QUrl(imageBase + reel.id + QStringLiteral("/640/360")));
        for (VideoQuality quality : allVideoQualities())
            reel.variants.insert(quality, *video);
        reel.durationSeconds = 30;
        reel.viewCount = 0;
        reel.likeCount = 0;
        reel.postedAt = now;
        reels.append(reel);
    }
    return reels;
}
