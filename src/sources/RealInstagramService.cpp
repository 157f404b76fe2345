#include "sources/RealInstagramService.h"

#include "auth/PlatformAuth.h"
#include "core/Config.h"
#include "core/URLRouter.h"
#include "sources/InstagramParsing.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <limits>

using namespace InstagramParsing;

namespace {

// How much of an error page a message quotes, in characters.
constexpr int errorSnippetLength = 160;

using Error = InstagramServiceError;

constexpr qint64 fallbackDurationSeconds = 15;

QString webOrigin()
{
    return Config::current().instagramOrigin.toString(QUrl::StripTrailingSlash);
}

// How a call that did not succeed ends, carried over to an operation with another result type.
template <typename To, typename From>
Outcome<Error, To> unsuccessful(const Outcome<Error, From> &result)
{
    if (result.wasCancelled())
        return Cancelled{};
    return result.error();
}

// A body that is not JSON ends the call with the parser's own description.
Outcome<Error, QJsonDocument> parseJson(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return Error::network(error.errorString());
    return document;
}

// A Retry-After header: whole seconds, or an HTTP date ("Wed, 21 Oct 2015 07:28:00 GMT"), as
// seconds from now (0 once past). Nothing for anything else.
std::optional<qint64> retryAfterSeconds(const QByteArray &header)
{
    const QByteArray text = header.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        bool ok = false;
        const qint64 seconds = text.toLongLong(&ok);
        return ok ? seconds : std::numeric_limits<qint64>::max();
    }
    QDateTime date = QLocale::c().toDateTime(QString::fromLatin1(text),
                                             QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
    if (!date.isValid())
        return std::nullopt;
    date.setTimeSpec(Qt::UTC);
    return std::max<qint64>(0, QDateTime::currentDateTimeUtc().secsTo(date));
}

std::optional<qint64> countIn(const QJsonObject &object, QLatin1String key)
{
    const auto edge = objectValue(object.value(key));
    return edge ? integerValue(edge->value(QLatin1String("count"))) : std::nullopt;
}

std::optional<RealInstagramService::WebProfileInfo> userInfoFrom(const QJsonDocument &document,
                                                                 const QString &askedFor)
{
    const auto data = objectValue(document.object().value(QLatin1String("data")));
    const auto user = data ? objectValue(data->value(QLatin1String("user"))) : std::nullopt;
    const auto id = user ? stringValue(user->value(QLatin1String("id"))) : std::nullopt;
    if (!id)
        return std::nullopt;

    RealInstagramService::WebProfileInfo info;
    info.id = *id;
    info.username = stringValue(user->value(QLatin1String("username"))).value_or(askedFor);
    info.fullName = stringValue(user->value(QLatin1String("full_name"))).value_or(QString());
    auto picture = stringValue(user->value(QLatin1String("profile_pic_url_hd")));
    if (!picture)
        picture = stringValue(user->value(QLatin1String("profile_pic_url")));
    info.profilePicURL = picture.value_or(QString());
    info.followerCount = countIn(*user, QLatin1String("edge_followed_by")).value_or(0);
    info.reelsCount = countIn(*user, QLatin1String("edge_felix_video_timeline")).value_or(0);
    info.isVerified = boolValue(user->value(QLatin1String("is_verified"))).value_or(false);
    return info;
}

std::optional<RealInstagramService::ClipsPage> clipsPageFrom(const QJsonDocument &document)
{
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject top = document.object();
    const auto items = objectList(top.value(QLatin1String("items")));
    if (!items)
        return std::nullopt;

    RealInstagramService::ClipsPage page{ *items, std::nullopt, false };
    if (const auto paging = objectValue(top.value(QLatin1String("paging_info")))) {
        page.maxID = stringValue(paging->value(QLatin1String("max_id")));
        const bool hasCursor = page.maxID && !page.maxID->isEmpty();
        page.moreAvailable =
                boolValue(paging->value(QLatin1String("more_available"))).value_or(hasCursor);
    }
    return page;
}

InstagramProfile profileFrom(const RealInstagramService::WebProfileInfo &user)
{
    InstagramProfile profile;
    profile.id = QUuid::createUuid();
    profile.platform = SocialPlatform::instagram;
    profile.username = user.username;
    profile.displayName = user.fullName.isEmpty() ? user.username : user.fullName;
    profile.avatarURL = webURL(user.profilePicURL).value_or(QUrl());
    profile.followerCount = user.followerCount;
    profile.reelCount = user.reelsCount;
    profile.isVerified = user.isVerified;
    return profile;
}

std::optional<QUrl> thumbnailIn(const QJsonObject &media)
{
    const auto images = objectValue(media.value(QLatin1String("image_versions2")));
    const auto candidates = images ? objectList(images->value(QLatin1String("candidates")))
                                   : std::nullopt;
    if (!candidates || candidates->isEmpty())
        return std::nullopt;
    const auto text = stringValue(candidates->constFirst().value(QLatin1String("url")));
    return text ? webURL(*text) : std::nullopt;
}

QList<Rendition> renditionsIn(const QList<QJsonObject> &versions)
{
    QList<Rendition> renditions;
    for (const QJsonObject &version : versions) {
        const auto text = stringValue(version.value(QLatin1String("url")));
        const auto url = text ? webURL(*text) : std::nullopt;
        if (url)
            renditions.append({ integerValue(version.value(QLatin1String("width"))).value_or(0), *url });
    }
    return renditions;
}

QDateTime postedAtIn(const QJsonObject &media)
{
    const auto seconds = numberValue(media.value(QLatin1String("taken_at")));
    const auto msecs = seconds ? roundedSeconds(*seconds * 1000) : std::nullopt;
    const QDateTime instant = msecs ? QDateTime::fromMSecsSinceEpoch(*msecs) : QDateTime();
    return instant.isValid() ? instant : QDateTime::currentDateTime();
}

} // namespace

// The state of one fetch's walk through the reels pages; discarded when the fetch ends.
struct RealInstagramService::Walk
{
    Cancellation cancel;
    UpdateHandler onUpdate;
    StepHandler onStep;
    Completion done;
    QString userID;
    InstagramProfile profile;
    QSet<QString> seen;
    QList<Reel> reels;
    std::optional<QString> cursor;
    std::optional<QString> previousCursor;
    int pageCounter = 0;
    bool previousAddedNothing = false;
    // Refusals of the page asked for, in a row.
    int refusals = 0;

    void tell(const FetchStep &step) const
    {
        if (onStep)
            onStep(step);
    }

    // Appends the page's reels not seen before, repeats within the page included; answers
    // whether there were any.
    bool addFresh(const ClipsPage &page)
    {
        const qsizetype before = reels.size();
        for (const QJsonObject &item : page.items) {
            auto reel = parseReel(item);
            if (!reel || seen.contains(reel->id))
                continue;
            seen.insert(reel->id);
            reels.append(std::move(*reel));
        }
        return reels.size() > before;
    }

    // Whether another page is worth asking for; if so, moves the cursor on.
    bool goesOn(const ClipsPage &page, bool addedNothing)
    {
        if (addedNothing && previousAddedNothing)
            return false;
        if (!page.moreAvailable || !page.maxID)
            return false;
        if (previousCursor && page.maxID == previousCursor)
            return false;
        if (pageCounter + 1 >= maxPages)
            return false;
        previousCursor = page.maxID;
        cursor = page.maxID;
        previousAddedNothing = addedNothing;
        ++pageCounter;
        return true;
    }
};

RealInstagramService::RealInstagramService(PlatformAuth *auth, QString appID, QString userAgent,
                                           QObject *parent)
    : QObject(parent), m_auth(auth), m_appID(std::move(appID)), m_userAgent(std::move(userAgent))
{
}

void RealInstagramService::fetchProfile(const QString &text, const Cancellation &cancel,
                                        UpdateHandler onUpdate, Completion done)
{
    fetchProfile(text, cancel, std::move(onUpdate), {}, std::move(done));
}

void RealInstagramService::fetchProfile(const QString &text, const Cancellation &cancel,
                                        UpdateHandler onUpdate, StepHandler onStep, Completion done)
{
    const auto link = URLRouter::detect(text);
    const QString handle = link ? link->identifier : text;
    if (!m_auth || !m_auth->isSignedIn()) {
        post(this, [cancel, done = std::move(done)] {
            if (cancel.isCancelled())
                done(Cancelled{});
            else
                done(Error::notAuthenticated(SocialPlatform::instagram));
        });
        return;
    }

    auto walk = std::make_shared<Walk>();
    walk->cancel = cancel;
    walk->onUpdate = std::move(onUpdate);
    walk->onStep = std::move(onStep);
    walk->done = std::move(done);
    fetchUserInfo(handle, cancel, [this, walk](const Outcome<Error, WebProfileInfo> &user) {
        if (!user.succeeded()) {
            walk->done(unsuccessful<std::monostate>(user));
            return;
        }
        walk->userID = user.value().id;
        walk->profile = profileFrom(user.value());
        nextPage(walk);
    });
}

void RealInstagramService::nextPage(const std::shared_ptr<Walk> &walk)
{
    if (walk->cancel.isCancelled()) {
        walk->done(Cancelled{});
        return;
    }
    fetchClipsPage(walk->userID, walk->cursor, walk->cancel,
                   [this, walk](const Outcome<Error, ClipsPage> &page) {
        if (page.failed() && page.error().kind() == Error::Kind::rateLimited) {
            askAgainLater(walk, page.error());
            return;
        }
        if (!page.succeeded()) {
            walk->done(unsuccessful<std::monostate>(page));
            return;
        }
        walk->refusals = 0;
        const bool addedNothing = !walk->addFresh(page.value());
        walk->onUpdate(walk->profile, walk->reels);
        // The receiver of the update may have cancelled the fetch; nothing follows then.
        if (walk->cancel.isCancelled())
            walk->done(Cancelled{});
        else if (walk->goesOn(page.value(), addedNothing))
            nextPage(walk);
        else
            walk->done(Outcome<Error>::success());
    });
}

// A large profile meets the rate limit long before its end; the walk waits rather than ending
// with what it has, as long as the waits last.
void RealInstagramService::askAgainLater(const std::shared_ptr<Walk> &walk, const Error &refusal)
{
    const QList<int> &waits = Config::current().rateLimitWaitsMs;
    if (walk->refusals >= waits.size()) {
        walk->done(refusal);
        return;
    }
    const auto asked = refusal.retryAfterSeconds();
    const int ms = asked ? int(std::clamp<qint64>(*asked, 1, longestRetryAfterSeconds) * 1000)
                         : waits.at(walk->refusals);
    ++walk->refusals;
    walk->tell(FetchStep(tr("Instagram asked to slow down"), ms));
    waitFor(ms, walk->cancel, this, [this, walk](bool cancelled) {
        if (cancelled) {
            walk->done(Cancelled{});
            return;
        }
        walk->tell(FetchStep());
        nextPage(walk);
    });
}

void RealInstagramService::applyHeaders(QNetworkRequest &request,
                                        const std::optional<QString> &referer) const
{
    const auto set = [&request](const char *name, const QString &value) {
        request.setRawHeader(name, value.toUtf8());
    };
    set("User-Agent", m_userAgent);
    set("X-IG-App-ID", m_appID);
    set("X-ASBD-ID", QStringLiteral("552019"));
    set("X-Requested-With", QStringLiteral("XMLHttpRequest"));
    set("Accept", QStringLiteral("*/*"));
    set("Accept-Language", QStringLiteral("en-US,en;q=0.9"));
    set("Origin", webOrigin());
    set("Sec-Fetch-Dest", QStringLiteral("empty"));
    set("Sec-Fetch-Mode", QStringLiteral("cors"));
    set("Sec-Fetch-Site", QStringLiteral("same-origin"));
    if (referer)
        set("Referer", *referer);
    if (!m_auth)
        return;
    if (const auto token = m_auth->csrfToken())
        set("X-CSRFToken", *token);
    if (const auto cookies = m_auth->cookieHeader())
        set("Cookie", *cookies);
}

QNetworkRequest RealInstagramService::apiRequest(const QUrl &url,
                                                 const std::optional<QString> &referer) const
{
    QNetworkRequest request = Http::request(url);
    applyHeaders(request, referer);
    // The session travels in the Cookie header set above. Left to itself the manager would put the
    // jar's cookies in its place; it still stores the cookies that answers set.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    const QString domainKey = m_auth ? m_auth->cookieDomainKey()
                                     : Config::cookieDomainKey(Config::current().instagramOrigin);
    Http::confineRedirects(request, domainKey);
    return request;
}

void RealInstagramService::send(const QNetworkRequest &request, const QByteArray &verb,
                                const QByteArray &body, const Cancellation &cancel,
                                Done<QByteArray> done)
{
    Http::send(request, verb, body, cancel, this,
               [done = std::move(done)](const Outcome<NetworkError, HttpResponse> &result) {
        if (result.wasCancelled())
            done(Cancelled{});
        else if (result.failed())
            done(Error::network(result.error().message));
        else if (const auto error = validate(result.value()))
            done(*error);
        else
            done(result.value().body);
    });
}

void RealInstagramService::get(const QUrl &url, const std::optional<QString> &referer,
                               const Cancellation &cancel, Done<QByteArray> done)
{
    send(apiRequest(url, referer), QByteArrayLiteral("GET"), {}, cancel, std::move(done));
}

std::optional<InstagramServiceError> RealInstagramService::validate(const HttpResponse &response)
{
    // Status 0: not an HTTP answer at all, nothing to judge.
    if (response.status == 0 || (response.status >= 200 && response.status <= 299))
        return std::nullopt;
    if (response.status == 429)
        return Error::rateLimited(retryAfterSeconds(response.retryAfter));
    if (response.status == 404)
        return Error::profileNotFound();
    return Error::http(response.status, Http::bodySnippet(response.body, errorSnippetLength));
}

void RealInstagramService::fetchUserInfo(const QString &username, const Cancellation &cancel,
                                         Done<WebProfileInfo> done)
{
    const QString name = QString::fromLatin1(percentEncoded(username));
    const QUrl url(webOrigin() + QStringLiteral("/api/v1/users/web_profile_info/?username=") + name);
    const QString referer = webOrigin() + u'/' + name + u'/';
    get(url, referer, cancel, [username, done = std::move(done)](const Outcome<Error, QByteArray> &body) {
        if (!body.succeeded()) {
            done(unsuccessful<WebProfileInfo>(body));
            return;
        }
        const auto json = parseJson(body.value());
        if (!json.succeeded()) {
            done(json.error());
            return;
        }
        if (const auto info = userInfoFrom(json.value(), username))
            done(*info);
        else
            done(Error::decoding(QStringLiteral("user payload")));
    });
}

void RealInstagramService::fetchClipsPage(const QString &userID,
                                          const std::optional<QString> &maxID,
                                          const Cancellation &cancel, Done<ClipsPage> done)
{
    QNetworkRequest request = apiRequest(QUrl(webOrigin() + QStringLiteral("/api/v1/clips/user/")),
                                         webOrigin() + u'/');
    request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    QByteArray body = "target_user_id=" + userID.toUtf8() + "&page_size="
            + QByteArray::number(pageSize) + "&include_feed_video=true";
    if (maxID && !maxID->isEmpty())
        body += "&max_id=" + percentEncoded(*maxID);

    send(request, QByteArrayLiteral("POST"), body, cancel,
         [done = std::move(done)](const Outcome<Error, QByteArray> &answer) {
        if (!answer.succeeded()) {
            done(unsuccessful<ClipsPage>(answer));
            return;
        }
        const auto json = parseJson(answer.value());
        if (!json.succeeded()) {
            done(json.error());
            return;
        }
        if (const auto page = clipsPageFrom(json.value()))
            done(*page);
        else
            done(Error::decoding(QStringLiteral("clips payload")));
    });
}

std::optional<Reel> RealInstagramService::parseReel(const QJsonObject &item)
{
    const QJsonObject media = objectValue(item.value(QLatin1String("media"))).value_or(item);
    if (media.isEmpty())
        return std::nullopt;
    auto id = stringValue(media.value(QLatin1String("id")));
    if (!id)
        id = stringValue(media.value(QLatin1String("pk")));
    if (!id)
        id = QUuid::createUuid().toString(QUuid::WithoutBraces);

    const auto versions = objectList(media.value(QLatin1String("video_versions")));
    const QList<Rendition> renditions = versions ? renditionsIn(*versions) : QList<Rendition>();
    if (renditions.isEmpty())
        return std::nullopt;

    Reel reel;
    reel.id = *id;
    reel.variants = variantsByWidth(renditions);
    reel.thumbnailURL = thumbnailIn(media).value_or(
            QUrl(Config::current().placeholderImageBase() + QString::fromLatin1(percentEncoded(*id))
                 + QStringLiteral("/480/854")));
    const auto duration = numberValue(media.value(QLatin1String("video_duration")));
    reel.durationSeconds =
            (duration ? roundedSeconds(*duration) : std::nullopt).value_or(fallbackDurationSeconds);
    auto views = integerValue(media.value(QLatin1String("play_count")));
    if (!views)
        views = integerValue(media.value(QLatin1String("view_count")));
    reel.viewCount = views.value_or(0);
    reel.likeCount = integerValue(media.value(QLatin1String("like_count"))).value_or(0);
    reel.postedAt = postedAtIn(media);
    return reel;
}
