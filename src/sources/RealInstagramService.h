#pragma once

// The Instagram source: reads the platform's web API the way its own web page does, with the
// signed-in user's cookies and CSRF token, looks the account up and walks its reels page by page.

#include "core/Http.h"
#include "sources/ProfileServiceType.h"

#include <QJsonObject>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class PlatformAuth;

class RealInstagramService : public QObject, public ProfileServiceType
{
    Q_OBJECT
public:
    // The account as the profile lookup describes it.
    struct WebProfileInfo
    {
        QString id;
        QString username;
        QString fullName;
        QString profilePicURL;
        qint64 followerCount = 0;
        qint64 reelsCount = 0;
        bool isVerified = false;
    };

    // One answer of the reels endpoint.
    struct ClipsPage
    {
        QList<QJsonObject> items;
        std::optional<QString> maxID;
        bool moreAvailable = false;
    };

    template <typename T>
    using Done = std::function<void(const Outcome<InstagramServiceError, T> &)>;

    static constexpr int pageSize = 12;
    static constexpr int maxPages = 250;

    // `appID` and `userAgent` are what the platform's web page sends (WebIdentity).
    RealInstagramService(PlatformAuth *auth, QString appID, QString userAgent,
                         QObject *parent = nullptr);

    // The longest wait a refusal's Retry-After is followed for.
    static constexpr qint64 longestRetryAfterSeconds = 10 * 60;

    // Looks the account up, then delivers the whole list of reels known so far after every page.
    // A page the platform refuses for its rate limit is asked for again after a wait (the
    // server's Retry-After, else the configured waits, one per refusal in a row), told as a step.
    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      Completion done) override;
    void fetchProfile(const QString &text, const Cancellation &cancel, UpdateHandler onUpdate,
                      StepHandler onStep, Completion done) override;

    // Sets the headers of a same-origin script request of the platform's web page, with the
    // cookies and the CSRF token of this moment.
    void applyHeaders(QNetworkRequest &request, const std::optional<QString> &referer) const;
    // The authenticated GET; delivers the body of a 2xx answer.
    void get(const QUrl &url, const std::optional<QString> &referer, const Cancellation &cancel,
             Done<QByteArray> done);
    // The error an answer's status stands for, if any.
    static std::optional<InstagramServiceError> validate(const HttpResponse &response);

    void fetchUserInfo(const QString &username, const Cancellation &cancel,
                       Done<WebProfileInfo> done);
    void fetchClipsPage(const QString &userID, const std::optional<QString> &maxID,
                        const Cancellation &cancel, Done<ClipsPage> done);

    // A reel from one item of a reels page; nothing for an item that is not a playable video.
    static std::optional<Reel> parseReel(const QJsonObject &item);

private:
    struct Walk;

    QNetworkRequest apiRequest(const QUrl &url,
                               const std::optional<QString> &referer) const;
    void send(const QNetworkRequest &request, const QByteArray &verb, const QByteArray &body,
              const Cancellation &cancel, Done<QByteArray> done);
    void nextPage(const std::shared_ptr<Walk> &walk);
    void askAgainLater(const std::shared_ptr<Walk> &walk, const InstagramServiceError &refusal);

    QPointer<PlatformAuth> m_auth;
    const QString m_appID;
    const QString m_userAgent;
};
