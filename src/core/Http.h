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

// The process-wide jar: look-up by URL, list-all, set and delete.
class CookieJar : public QNetworkCookieJar
{
    Q_OBJECT
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    using QNetworkCookieJar::allCookies;
    using QNetworkCookieJar::setAllCookies;
    using QNetworkCookieJar::insertCookie;
    using QNetworkCookieJar::deleteCookie;
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
