#pragma once

// Plays the Instagram web API on a TestServer:
//
//   GET  /api/v1/users/web_profile_info/?username=<name>  the profile lookup
//   POST /api/v1/clips/user/  form body target_user_id, page_size, include_feed_video, max_id
//
// Profiles are set up in code. A profile's reels are <username>_0, <username>_1, ... newest
// first, `perPage` new ones to a page; each has video renditions of configurable widths and a
// thumbnail, both on the media origin (the server itself unless set otherwise; the simulator does
// not serve those files). How the listing ends, the shape of its paging info, repeated and
// non-video items, and faults on single answers are chosen per profile:
//
//   TestServer server;
//   InstagramSimulator instagram(server);
//   instagram.addProfile("nasa", 480, 12, { .repeats = 2, .ending = InstagramSimulator::Ending::sameCursor });
//   instagram.setPageResponse("nasa", 7, TestServer::Response::text("oops", 500));
//   TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", server.origin() } });
//
// Unknown usernames get 404 with an HTML page; a reels request for an unknown user id or with an
// unknown cursor gets 400.

#include "TestServer.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

class InstagramSimulator
{
public:
    inline static const QString lookupPath = QStringLiteral("/api/v1/users/web_profile_info/");
    inline static const QString clipsPath = QStringLiteral("/api/v1/clips/user/");

    // What follows the last page of new reels.
    enum class Ending {
        lastPage,      // more_available false (a cursor is still given)
        noCursor,      // more_available true, but no max_id
        sameCursor,    // more_available true, max_id the cursor that was sent
        repeatForever, // endless: every later page repeats the last reels, with a new cursor
        emptyForever,  // endless: every later page is empty, with a new cursor
    };

    enum class PagingInfo {
        full,       // "max_id" and "more_available"
        cursorOnly, // "max_id" only; no cursor on the last page
        absent,     // no "paging_info" object at all
    };

    enum class Wrapping {
        media,     // every item is {"media": {...}}
        bare,      // the media fields stand at the top of the item
        alternate, // even reels wrapped, odd ones bare
    };

    struct ProfileOptions
    {
        QString fullName;
        qint64 followerCount = 4200;
        bool verified = false;
        bool hdPicture = true;          // "profile_pic_url_hd" beside "profile_pic_url"
        std::optional<qint64> reportedReelCount; // the lookup's count; the real count otherwise
        int repeats = 0;                // reels of the page before repeated at the top of a page
        QSet<int> stalePages;           // pages (1-based) that only repeat the page before them
        int photosPerPage = 0;          // items without video renditions appended to each page
        int pinned = 0;                 // the first reels, atop page 1, were posted a year earlier
        Ending ending = Ending::lastPage;
        PagingInfo paging = PagingInfo::full;
        Wrapping wrapping = Wrapping::alternate;
        // Rendition widths, in response order; reel i uses set i modulo the count of sets.
        QList<QList<int>> widthSets = { { 1080, 720, 480 } };
        bool trickyCursors = false;     // cursors holding "+", "/", "=", "&" and a blank
        // What a hostile server might send: the username the lookup answers with (the one asked
        // for when empty), and text appended to every reel id (media paths keep the plain id).
        QString reportedUsername;
        QString idSuffix;
    };

    explicit InstagramSimulator(TestServer &server);

    void addProfile(const QString &username, int reelCount, int perPage,
                    const ProfileOptions &options);
    void addProfile(const QString &username, int reelCount, int perPage = 12)
    {
        addProfile(username, reelCount, perPage, ProfileOptions());
    }
    // Replaces the lookup answer for `username`, a fault or a redirect for example.
    void setLookupResponse(const QString &username, const TestServer::Response &response);
    // Replaces the answer to page `page` (1-based, counted by cursor) of `username`'s reels: for
    // the next `times` requests of that page, then the page is served again; always when -1.
    void setPageResponse(const QString &username, int page, const TestServer::Response &response,
                         int times = -1);
    // When on, requests without a non-empty "sessionid" cookie get 401.
    void setRequireSession(bool on) { m_requireSession = on; }
    // Where renditions, thumbnails and avatars point.
    void setMediaOrigin(const QUrl &origin) { m_mediaOrigin = origin; }

    static QString reelID(const QString &username, int index);
    QString userID(const QString &username) const;
    // The cursor that asks `username`'s listing for page `page`.
    QString cursor(const QString &username, int page) const;

    // Time spent building answers, and the number of reels pages answered.
    qint64 handlerNanoseconds() const { return m_handlerNanoseconds; }
    int pagesServed() const { return m_pagesServed; }

private:
    struct Fault
    {
        TestServer::Response response;
        int timesLeft = -1; // -1: every time
    };

    struct Profile
    {
        QString username;
        QString userID;
        int reelCount = 0;
        int perPage = 12;
        ProfileOptions options;
        std::optional<TestServer::Response> lookup;
        QHash<int, Fault> pages;
    };

    TestServer::Response answerLookup(const TestServer::Request &request);
    TestServer::Response answerPage(const TestServer::Request &request);
    QByteArray lookupBody(const Profile &profile) const;
    QByteArray pageBody(const Profile &profile, int page, const QString &sentCursor) const;
    QJsonObject reelItem(const Profile &profile, int index) const;
    bool hasSession(const TestServer::Request &request) const;
    QString media(const QString &path) const;

    QHash<QString, Profile> m_profiles;    // by username
    QHash<QString, QString> m_usernames;   // by user id
    QUrl m_mediaOrigin;
    bool m_requireSession = false;
    qint64 m_handlerNanoseconds = 0;
    int m_pagesServed = 0;
};
