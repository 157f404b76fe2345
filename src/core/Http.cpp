#include "core/Http.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QPointer>

namespace {

struct Client
{
    QNetworkAccessManager *manager = nullptr;
    CookieJar *jar = nullptr;
};

Client &client()
{
    static QPointer<QNetworkAccessManager> manager;
    static Client instance;
    if (!manager) {
        // Parented to the application so both go before QCoreApplication does.
        manager = new QNetworkAccessManager(QCoreApplication::instance());
        instance.manager = manager;
        instance.jar = new CookieJar(QCoreApplication::instance());
        manager->setCookieJar(instance.jar);
        // The manager takes ownership of the jar; give it back to the application so the jar
        // outlives any one manager and stays shared.
        instance.jar->setParent(QCoreApplication::instance());
        manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    }
    return instance;
}

bool isHttpAnswer(QNetworkReply::NetworkError code)
{
    // Qt reports HTTP error statuses as content (2xx), protocol (3xx) or server (4xx) errors;
    // everything below 200 is the connection itself failing.
    return code == QNetworkReply::NoError || int(code) >= 200;
}

} // namespace

namespace Http {

QNetworkAccessManager *manager()
{
    return client().manager;
}

CookieJar *jar()
{
    return client().jar;
}

QNetworkRequest request(const QUrl &url, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    return request;
}

QString timeoutMessage()
{
    return QCoreApplication::translate("Http", "The request timed out.");
}

std::optional<NetworkError> transportError(QNetworkReply *reply)
{
    const auto code = reply->error();
    const bool hasStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (hasStatus && isHttpAnswer(code))
        return std::nullopt;
    if (code == QNetworkReply::NoError)
        return std::nullopt;
    if (code == QNetworkReply::OperationCanceledError || code == QNetworkReply::TimeoutError) {
        // A cancellation we asked for is recognised by the caller before it looks here; what is
        // left is Qt's transfer time-out, which uses the same code.
        return NetworkError{ timeoutMessage(), code, true };
    }
    return NetworkError{ reply->errorString(), code, false };
}

void send(const QNetworkRequest &request, const QByteArray &verb, const QByteArray &body,
          const Cancellation &cancel, QObject *context, Completion done)
{
    using Result = Outcome<NetworkError, HttpResponse>;
    if (cancel.isCancelled()) {
        post(context, [done] { done(Result::cancelled()); });
        return;
    }

    QNetworkReply *reply = manager()->sendCustomRequest(request, verb, body);
    cancel.bind(reply, [reply] { reply->abort(); });
    // Queued, so that the completion never runs inside cancel(): abort() finishes a reply at once.
    QObject::connect(reply, &QNetworkReply::finished, context,
                     [reply = QPointer<QNetworkReply>(reply), cancel, done] {
        if (reply)
            reply->deleteLater();
        if (!reply || cancel.isCancelled()) {
            done(Result::cancelled());
            return;
        }
        if (auto error = transportError(reply)) {
            done(*error);
            return;
        }
        HttpResponse response;
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response.contentType = reply->rawHeader("Content-Type");
        response.body = reply->readAll();
        done(response);
    }, Qt::QueuedConnection);
    // If the context goes first, nobody waits for the answer any more.
    QObject::connect(context, &QObject::destroyed, reply, [reply] {
        reply->abort();
        reply->deleteLater();
    });
}

} // namespace Http
