#include "InstagramSimulator.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QUrlQuery>

#include <algorithm>

namespace {

using Response = TestServer::Response;

// When the newest reel was posted; every older one an hour before the next.
constexpr qint64 newestPostedAt = 1'700'000'000;
// How much older than their place in the list pinned reels are.
constexpr qint64 pinnedAge = 365 * 86400;

QString cursorPrefix(bool tricky)
{
    return tricky ? QStringLiteral("Q+V/F= &c") : QStringLiteral("QVFC");
}

// An application/x-www-form-urlencoded body, decoded the way a web server does.
QHash<QString, QString> formFields(const QByteArray &body)
{
    QHash<QString, QString> fields;
    for (const QByteArray &pair : body.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        const auto decode = [](QByteArray part) {
            return QUrl::fromPercentEncoding(part.replace('+', ' '));
        };
        if (equals > 0)
            fields.insert(decode(pair.left(equals)), decode(pair.mid(equals + 1)));
    }
    return fields;
}

// Without TCP_NODELAY a body that follows its head in a second write waits for the client's
// delayed acknowledgement: some 40 ms an answer, seconds over a long walk.
void answer(QTcpSocket *socket, const Response &response)
{
    if (response.stall)
        return;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    TestServer::writeResponse(socket, response);
}

Response failure(const char *message, int status)
{
    return Response::json(QByteArray(R"({"message":")") + message + R"(","status":"fail"})", status);
}

} // namespace

InstagramSimulator::InstagramSimulator(TestServer &server)
    : m_mediaOrigin(server.origin())
{
    server.routeRaw(lookupPath, [this](const TestServer::Request &r, QTcpSocket *socket) {
        answer(socket, answerLookup(r));
    });
    server.routeRaw(clipsPath, [this](const TestServer::Request &r, QTcpSocket *socket) {
        answer(socket, answerPage(r));
    });
}

void InstagramSimulator::addProfile(const QString &username, int reelCount, int perPage,
                                    const ProfileOptions &options)
{
    Profile profile;
    profile.username = username;
    profile.userID = QString::number(4'000'000'000LL + m_profiles.size() * 7919);
    profile.reelCount = reelCount;
    profile.perPage = std::max(1, perPage);
    profile.options = options;
    m_usernames.insert(profile.userID, username);
    m_profiles.insert(username, profile);
}

void InstagramSimulator::setLookupResponse(const QString &username, const Response &response)
{
    m_profiles[username].lookup = response;
}

void InstagramSimulator::setPageResponse(const QString &username, int page,
                                         const Response &response, int times)
{
    m_profiles[username].pages.insert(page, { response, times });
}

QString InstagramSimulator::reelID(const QString &username, int index)
{
    return username + u'_' + QString::number(index);
}

QString InstagramSimulator::userID(const QString &username) const
{
    return m_profiles.value(username).userID;
}

QString InstagramSimulator::cursor(const QString &username, int page) const
{
    return cursorPrefix(m_profiles.value(username).options.trickyCursors) + QString::number(page);
}

QString InstagramSimulator::media(const QString &path) const
{
    return m_mediaOrigin.toString(QUrl::StripTrailingSlash) + path;
}

bool InstagramSimulator::hasSession(const TestServer::Request &request) const
{
    const QList<QByteArray> cookies = request.header("Cookie").split(';');
    return std::any_of(cookies.begin(), cookies.end(), [](const QByteArray &cookie) {
        const QByteArray pair = cookie.trimmed();
        return pair.startsWith("sessionid=") && pair.size() > qsizetype(sizeof("sessionid=") - 1);
    });
}

Response InstagramSimulator::answerLookup(const TestServer::Request &request)
{
    if (m_requireSession && !hasSession(request))
        return failure("Please wait a few minutes before you try again.", 401);
    const QString username =
            QUrlQuery(request.url).queryItemValue(QStringLiteral("username"), QUrl::FullyDecoded);
    const auto profile = m_profiles.constFind(username);
    if (profile == m_profiles.constEnd())
        return Response::text("<!DOCTYPE html>\n<html><body>Page Not Found</body></html>\n", 404,
                              "text/html");
    if (profile->lookup)
        return *profile->lookup;
    return Response::json(lookupBody(*profile));
}

Response InstagramSimulator::answerPage(const TestServer::Request &request)
{
    QElapsedTimer timer;
    timer.start();
    if (m_requireSession && !hasSession(request))
        return failure("Please wait a few minutes before you try again.", 401);
    const auto fields = formFields(request.body);
    const auto username = m_usernames.constFind(fields.value(QStringLiteral("target_user_id")));
    if (username == m_usernames.constEnd())
        return failure("Invalid target user", 400);
    Profile &profile = m_profiles[*username];

    const QString sent = fields.value(QStringLiteral("max_id"));
    int page = 1;
    if (!sent.isEmpty()) {
        const QString prefix = cursorPrefix(profile.options.trickyCursors);
        bool ok = sent.startsWith(prefix);
        page = ok ? sent.mid(prefix.size()).toInt(&ok) : 0;
        if (!ok || page < 1)
            return failure("Invalid max_id", 400);
    }

    const auto fault = profile.pages.find(page);
    const bool faulty = fault != profile.pages.end() && fault->timesLeft != 0;
    if (faulty && fault->timesLeft > 0)
        --fault->timesLeft;
    const Response response =
            faulty ? fault->response : Response::json(pageBody(profile, page, sent));
    m_handlerNanoseconds += timer.nsecsElapsed();
    ++m_pagesServed;
    return response;
}

QByteArray InstagramSimulator::lookupBody(const Profile &profile) const
{
    const ProfileOptions &o = profile.options;
    QJsonObject user{
        { "id", profile.userID },
        { "username", o.reportedUsername.isEmpty() ? profile.username : o.reportedUsername },
        { "full_name", o.fullName },
        { "biography", QString() },
        { "is_verified", o.verified },
        { "profile_pic_url", media("/avatars/" + profile.username + "-150.jpg") },
        { "edge_followed_by", QJsonObject{ { "count", o.followerCount } } },
        { "edge_follow", QJsonObject{ { "count", 12 } } },
        { "edge_felix_video_timeline",
          QJsonObject{ { "count", o.reportedReelCount.value_or(profile.reelCount) } } },
    };
    if (o.hdPicture)
        user.insert("profile_pic_url_hd", media("/avatars/" + profile.username + "-320.jpg"));
    const QJsonObject top{ { "data", QJsonObject{ { "user", user } } }, { "status", "ok" } };
    return QJsonDocument(top).toJson(QJsonDocument::Compact);
}

QJsonObject InstagramSimulator::reelItem(const Profile &profile, int index) const
{
    const ProfileOptions &o = profile.options;
    const QString id = reelID(profile.username, index);
    QJsonArray versions;
    const QList<int> &widths = o.widthSets.at(index % o.widthSets.size());
    for (int k = 0; k < widths.size(); ++k) {
        versions.append(QJsonObject{
                { "type", 101 + k },
                { "width", widths.at(k) },
                { "height", widths.at(k) * 16 / 9 },
                { "url", media("/media/" + id + '-' + QString::number(k) + ".mp4") } });
    }
    const QJsonObject thumbnail{ { "width", 640 }, { "height", 1136 },
                                 { "url", media("/thumbs/" + id + ".jpg") } };
    const QJsonObject fields{
        { "id", id + o.idSuffix },
        { "pk", QString::number(900000 + index) },
        { "media_type", 2 },
        { "taken_at", newestPostedAt - qint64(index) * 3600 - (index < o.pinned ? pinnedAge : 0) },
        { "video_duration", 5.5 + index % 50 },
        { "play_count", 1000 + 7 * index },
        { "like_count", 100 + index },
        { "image_versions2", QJsonObject{ { "candidates", QJsonArray{ thumbnail } } } },
        { "video_versions", versions },
    };
    const bool wrapped = o.wrapping == Wrapping::media
            || (o.wrapping == Wrapping::alternate && index % 2 == 0);
    return wrapped ? QJsonObject{ { "media", fields } } : fields;
}

QByteArray InstagramSimulator::pageBody(const Profile &profile, int page,
                                        const QString &sentCursor) const
{
    const ProfileOptions &o = profile.options;
    const int perPage = profile.perPage;
    const int lastContent = std::max(1, (profile.reelCount + perPage - 1) / perPage);
    const bool stale = o.stalePages.contains(page);
    // Stale pages do not move the listing on: page numbers and content pages drift apart.
    const int content = page - int(std::count_if(o.stalePages.begin(), o.stalePages.end(),
                                                 [page](int s) { return s <= page; }));
    const auto freshOf = [&](int c) {
        QList<int> indices;
        for (int i = (c - 1) * perPage; i < std::min(c * perPage, profile.reelCount); ++i)
            indices.append(i);
        return indices;
    };

    QList<int> indices;
    if (stale) {
        if (content >= 1)
            indices = freshOf(std::min(content, lastContent));
    } else if (content <= lastContent) {
        if (content > 1)
            indices = freshOf(content - 1).mid(std::max(0, perPage - o.repeats));
        indices += freshOf(content);
    } else if (o.ending == Ending::repeatForever) {
        indices = freshOf(lastContent);
    }

    QJsonArray items;
    for (int index : std::as_const(indices))
        items.append(reelItem(profile, index));
    for (int k = 0; k < o.photosPerPage; ++k) {
        const QString id = profile.username + "_photo_" + QString::number(page) + '_' + QString::number(k);
        items.append(QJsonObject{ { "media", QJsonObject{ { "id", id }, { "media_type", 1 } } } });
    }

    bool more = true;
    std::optional<QString> next = cursor(profile.username, page + 1);
    if (!stale && content >= lastContent) {
        switch (o.ending) {
        case Ending::lastPage:
            more = false;
            if (o.paging == PagingInfo::cursorOnly)
                next.reset();
            break;
        case Ending::noCursor:
            next.reset();
            break;
        case Ending::sameCursor:
            next = sentCursor.isEmpty() ? cursor(profile.username, 1) : sentCursor;
            break;
        case Ending::repeatForever:
        case Ending::emptyForever:
            break;
        }
    }

    QJsonObject top{ { "items", items }, { "status", "ok" } };
    if (o.paging != PagingInfo::absent) {
        QJsonObject paging;
        if (next)
            paging.insert("max_id", *next);
        if (o.paging == PagingInfo::full)
            paging.insert("more_available", more);
        top.insert("paging_info", paging);
    }
    return QJsonDocument(top).toJson(QJsonDocument::Compact);
}
