#pragma once

// The app's one HTTP client: a single QNetworkAccessManager and a single cookie jar, living on the
// main thread for the life of the application, shared by every request the app sends.

#include "core/Async.h"

#include <QByteArray>
#include <QList>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>

#include <optional>

class QNetworkAccessManager;

// The process-wide jar: look-up by URL, list-all, set and delete. A jar given a file keeps its
// lasting cookies there (those with an expiry date, as a browser would), so a session survives a
// restart of the app; session-only and expired cookies are never written.
class CookieJar : public QNetworkCookieJar
{
    Q_OBJECT
public:
    explicit CookieJar(QObject *parent = nullptr) : QNetworkCookieJar(parent) {}
    CookieJar(const QString &filePath, QObject *parent);

    using QNetworkCookieJar::allCookies;
    void setAllCookies(const QList<QNetworkCookie> &cookies);
    bool insertCookie(const QNetworkCookie &cookie) override;
    bool updateCookie(const QNetworkCookie &cookie) override;
    bool deleteCookie(const QNetworkCookie &cookie) override;
    bool setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url) override;

    // Writes the file now rather than with the next turn of the event loop.
    void save();
    // Keeps every later change in memory only: the file stays as it is. For a run that signs in
    // with cookies of its own, which must not replace the app's sessions.
    void stopSaving();

private:
    void load();
    void scheduleSave();

    QString m_filePath;
    bool m_savePending = false;
};

// A failure of the transport itself (no connection, reset, time-out), passed on with its own
// description rather than wrapped into a component's error.
struct NetworkError
{
    QString message;
    QNetworkReply::NetworkError code = QNetworkReply::UnknownNetworkError;
    bool timedOut = false;

    bool operator==(const NetworkError &) const = default;
};

// A whole response as received: any HTTP status counts as a response, not as a failure.
struct HttpResponse
{
    int status = 0;
    QByteArray contentType;
    QByteArray body;
};

namespace Http {

constexpr int defaultTimeoutMs = 60'000;

QNetworkAccessManager *manager();
CookieJar *jar();

// A request with the time-out every request of the app uses: the transfer fails once nothing has
// arrived for that long.
QNetworkRequest request(const QUrl &url, int timeoutMs = defaultTimeoutMs);

// The transport failure a finished reply carries, if any. Replies that answered with an HTTP
// status, error status or not, carry none. Qt reports a cancellation and a time-out with the same
// code: callers check their own Cancellation first, so what reaches this is a time-out.
std::optional<NetworkError> transportError(QNetworkReply *reply);

// The text shown when a request times out.
QString timeoutMessage();

// An error page on one line, for a message: line breaks (CRLF counted once) become blanks, blanks
// and tabs are trimmed at both ends, and at most `characters` whole characters stay. Nothing when
// the body is not UTF-8 text.
std::optional<QString> bodySnippet(const QByteArray &body, int characters);

// Lets `request` follow redirects only to `domainKey` itself or a subdomain of it, and never from
// https to http. Qt copies every header of a request to whatever host a redirect names, so a
// request that carries a session in explicit headers must not leave the session's domain. Any
// other redirect ends send() with a NetworkError naming the refused host.
void confineRedirects(QNetworkRequest &request, const QString &domainKey);

using Completion = std::function<void(const Outcome<NetworkError, HttpResponse> &)>;

// Sends `verb` with `body` and waits for the whole answer. Cancelling aborts the request and ends
// the call as cancelled.
void send(const QNetworkRequest &request, const QByteArray &verb, const QByteArray &body,
          const Cancellation &cancel, QObject *context, Completion done);

inline void get(const QNetworkRequest &request, const Cancellation &cancel, QObject *context,
                Completion done)
{
    send(request, QByteArrayLiteral("GET"), {}, cancel, context, std::move(done));
}

} // namespace Http
