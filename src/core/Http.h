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
    // How long a refusal (429, 503) asks the client to wait, as the server wrote it.
    QByteArray retryAfter;
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

// Whether `url` is an address on the web: http or https, with a host.
bool isWebAddress(const QUrl &url);

// The one redirect rule of the app. Qt's own following is off for every request: on a redirect
// Qt sends a copy of the original request, every header included (among them the Cookie header
// the jar filled in for the first host), to whatever host the redirect names. Instead:
// - a redirect within the host (and not from https to http) sends the same request again, with
//   what it carries;
// - a redirect to another host, or from https to http, sends a fresh request that carries only
//   harmless headers (user agent, accepted types, languages and encodings): no Cookie,
//   Authorization or other explicit header goes along, and the jar adds what it holds for the
//   new address;
// - a request confined with confineRedirects() never leaves its domain, nor goes from https to
//   http: such a redirect ends it with an error naming the refused host;
// - an address off the web, a loop and a chain longer than `limit` end the request with an error.
// 301, 302 and 303 turn a POST into a GET without a body (303 turns any method but HEAD into one);
// 307 and 308 keep the method and the body.
class Redirects
{
public:
    static constexpr int limit = 20;

    Redirects(const QNetworkRequest &request, const QByteArray &verb, const QByteArray &body);

    // Sends the current request, with Qt's following off, on `network`.
    QNetworkReply *send(QNetworkAccessManager *network) const;

    // Where the answer of `reply` sends the request on to, resolved against the reply's address:
    // nothing unless it is a redirect status (301, 302, 303, 307, 308) with a readable Location.
    static std::optional<QUrl> target(QNetworkReply *reply);

    // Makes the request that follows a redirect with `status` to `target` the current one, or
    // says why it is not followed.
    std::optional<NetworkError> follow(int status, const QUrl &target);

private:
    QNetworkRequest m_request;
    QByteArray m_verb;
    QByteArray m_body;
    QList<QUrl> m_visited;
};

// Keeps `request` and its redirects within `domainKey` itself or a subdomain of it, never from
// https to http: a request that carries a session in explicit headers must not leave the
// session's domain (see Redirects). Any other redirect ends send() with a NetworkError naming the
// refused host.
void confineRedirects(QNetworkRequest &request, const QString &domainKey);

// The most of a body send() reads into memory. Real answers (profiles, pages of reels, the update
// manifest) are tens to hundreds of KB. A larger one ends the request as soon as its length is
// announced or what has arrived passes the cap, so an answer that never ends cannot exhaust the
// memory.
constexpr qint64 maxBodyBytes = 16 * 1024 * 1024;

using Completion = std::function<void(const Outcome<NetworkError, HttpResponse> &)>;

// Sends `verb` with `body` and waits for the whole answer, following redirects by the rule of
// Redirects. An answer larger than maxBodyBytes ends the call with a NetworkError. Cancelling
// aborts the request and ends the call as cancelled.
void send(const QNetworkRequest &request, const QByteArray &verb, const QByteArray &body,
          const Cancellation &cancel, QObject *context, Completion done);

inline void get(const QNetworkRequest &request, const Cancellation &cancel, QObject *context,
                Completion done)
{
    send(request, QByteArrayLiteral("GET"), {}, cancel, context, std::move(done));
}

} // namespace Http
