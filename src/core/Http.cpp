#include "core/Http.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTextBoundaryFinder>
#include <QTimer>

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
        instance.jar = new CookieJar(
                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                        + QStringLiteral("/cookies"),
                QCoreApplication::instance());
        manager->setCookieJar(instance.jar);
        // The manager takes ownership of the jar; give it back to the application so the jar
        // outlives any one manager and stays shared.
        instance.jar->setParent(QCoreApplication::instance());
        // Redirects are followed by Http::Redirects alone, never by Qt itself.
        manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    }
    return instance;
}

// Where confineRedirects() keeps the domain on the request.
constexpr auto confinedDomainAttribute = QNetworkRequest::Attribute(QNetworkRequest::User + 1);

bool isDowngrade(const QUrl &from, const QUrl &to)
{
    return from.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0
            && to.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0;
}

bool staysWithin(const QUrl &from, const QUrl &to, const QString &domainKey)
{
    if (isDowngrade(from, to))
        return false;
    const QString host = to.host().toLower();
    return host == domainKey || host.endsWith(u'.' + domainKey);
}

// Headers that say what the client is and what it accepts, never who the user is: the only ones
// a request carries to another host.
bool travelsAnywhere(const QByteArray &name, bool withBody)
{
    static const QByteArrayList names{ "user-agent", "accept", "accept-language",
                                       "accept-encoding" };
    const QByteArray lower = name.toLower();
    return names.contains(lower) || (withBody && lower == "content-type");
}

QString tooLargeMessage()
{
    return QCoreApplication::translate("Http", "The server's answer was larger than %1 MB and was "
                                               "not read.")
            .arg(Http::maxBodyBytes / (1024 * 1024));
}

bool isHttpAnswer(QNetworkReply::NetworkError code)
{
    // Qt reports HTTP error statuses as content (2xx), protocol (3xx) or server (4xx) errors;
    // everything below 200 is the connection itself failing.
    return code == QNetworkReply::NoError || int(code) >= 200;
}

} // namespace

CookieJar::CookieJar(const QString &filePath, QObject *parent)
    : QNetworkCookieJar(parent), m_filePath(filePath)
{
    load();
    // Pending changes reach the file before the application goes.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
        if (m_savePending)
            save();
    });
}

void CookieJar::setAllCookies(const QList<QNetworkCookie> &cookies)
{
    QNetworkCookieJar::setAllCookies(cookies);
    scheduleSave();
}

bool CookieJar::insertCookie(const QNetworkCookie &cookie)
{
    const bool changed = QNetworkCookieJar::insertCookie(cookie);
    if (changed)
        scheduleSave();
    return changed;
}

bool CookieJar::updateCookie(const QNetworkCookie &cookie)
{
    const bool changed = QNetworkCookieJar::updateCookie(cookie);
    if (changed)
        scheduleSave();
    return changed;
}

bool CookieJar::deleteCookie(const QNetworkCookie &cookie)
{
    const bool changed = QNetworkCookieJar::deleteCookie(cookie);
    if (changed)
        scheduleSave();
    return changed;
}

bool CookieJar::setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url)
{
    const bool changed = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    if (changed)
        scheduleSave();
    return changed;
}

void CookieJar::load()
{
    if (m_filePath.isEmpty())
        return;
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return; // nothing kept yet
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> kept;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        for (const auto &cookie : QNetworkCookie::parseCookies(line)) {
            if (!cookie.isSessionCookie() && cookie.expirationDate() > now)
                kept.append(cookie);
        }
    }
    QNetworkCookieJar::setAllCookies(kept);
}

void CookieJar::scheduleSave()
{
    if (m_filePath.isEmpty() || m_savePending)
        return;
    // Changes come in bursts (a login sets several cookies); one write covers the burst.
    m_savePending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_savePending)
            save();
    });
}

void CookieJar::stopSaving()
{
    m_filePath.clear();
    m_savePending = false;
}

void CookieJar::save()
{
    m_savePending = false;
    if (m_filePath.isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    // The file holds sessions: readable by its owner only, and replaced whole or not at all.
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const auto &cookie : allCookies()) {
        if (!cookie.isSessionCookie() && cookie.expirationDate() > now)
            file.write(cookie.toRawForm(QNetworkCookie::Full) + '\n');
    }
    if (!file.commit())
        qWarning("Could not keep the sign-in cookies in %s: %s", qPrintable(m_filePath),
                 qPrintable(file.errorString()));
}

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

std::optional<QString> bodySnippet(const QByteArray &body, int characters)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(body);
    if (decoder.hasError())
        return std::nullopt;
    // A CRLF line break is one break: it becomes one blank, and no carriage return is left behind
    // to break the line again.
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text.at(start)))
        ++start;
    while (end > start && isBlank(text.at(end - 1)))
        --end;
    text = text.mid(start, end - start);
    // Whole characters: a cut never splits a surrogate pair or a combining sequence.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype cut = 0;
    for (int i = 0; i < characters; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            return text;
        cut = next;
    }
    return text.left(cut);
}

QString timeoutMessage()
{
    return QCoreApplication::translate("Http", "The request timed out.");
}

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
            && !url.host().isEmpty();
}

Redirects::Redirects(const QNetworkRequest &request, const QByteArray &verb,
                     const QByteArray &body)
    : m_request(request), m_verb(verb), m_body(body)
{
}

QNetworkReply *Redirects::send(QNetworkAccessManager *network) const
{
    QNetworkRequest request = m_request;
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // A body of its own only where there is one: a GET with "Content-Length: 0" is no plain GET.
    if (m_verb == "GET" && m_body.isEmpty())
        return network->get(request);
    if (m_verb == "HEAD")
        return network->head(request);
    return network->sendCustomRequest(request, m_verb, m_body);
}

std::optional<QUrl> Redirects::target(QNetworkReply *reply)
{
    static const QList<int> redirects{ 301, 302, 303, 307, 308 };
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!redirects.contains(status) || !reply->hasRawHeader("Location"))
        return std::nullopt;
    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (!location.isValid() || location.isEmpty())
        return std::nullopt; // an answer of its own, judged by its status
    return reply->url().resolved(location);
}

std::optional<NetworkError> Redirects::follow(int status, const QUrl &target)
{
    const QUrl from = m_request.url();
    if (!isWebAddress(target)) {
        return NetworkError{ QCoreApplication::translate("Http", "The server redirected the "
                                                         "request to an address that is not on "
                                                         "the web (%1).")
                                     .arg(target.toDisplayString()),
                             QNetworkReply::ProtocolUnknownError, false };
    }
    m_visited.append(from);
    if (m_visited.contains(target)) {
        return NetworkError{ QCoreApplication::translate("Http", "The server redirected the "
                                                         "request in a loop."),
                             QNetworkReply::TooManyRedirectsError, false };
    }
    if (m_visited.size() > limit) {
        return NetworkError{ QCoreApplication::translate("Http", "The server redirected the "
                                                         "request too many times."),
                             QNetworkReply::TooManyRedirectsError, false };
    }
    const QVariant domainKey = m_request.attribute(confinedDomainAttribute);
    if (domainKey.isValid() && !staysWithin(from, target, domainKey.toString())) {
        return NetworkError{ QCoreApplication::translate("Http", "The server redirected the "
                                                         "request to another site (%1); it was "
                                                         "not followed.")
                                     .arg(target.host()),
                             QNetworkReply::InsecureRedirectError, false };
    }

    if (((status == 301 || status == 302) && m_verb == "POST")
        || (status == 303 && m_verb != "GET" && m_verb != "HEAD")) {
        m_verb = "GET";
        m_body.clear();
        m_request.setRawHeader("Content-Type", QByteArray()); // a null value removes it
    }
    const bool sameHost = from.host().compare(target.host(), Qt::CaseInsensitive) == 0
            && !isDowngrade(from, target);
    if (sameHost || domainKey.isValid()) {
        m_request.setUrl(target);
        return std::nullopt;
    }
    QNetworkRequest fresh(target);
    fresh.setTransferTimeout(m_request.transferTimeout());
    fresh.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                       m_request.attribute(QNetworkRequest::CacheLoadControlAttribute));
    for (const QByteArray &name : m_request.rawHeaderList()) {
        if (travelsAnywhere(name, !m_body.isEmpty()))
            fresh.setRawHeader(name, m_request.rawHeader(name));
    }
    m_request = fresh;
    return std::nullopt;
}

void confineRedirects(QNetworkRequest &request, const QString &domainKey)
{
    request.setAttribute(confinedDomainAttribute, domainKey.toLower());
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

namespace {

// One send() from the first request to the answer that ends it, through its redirects.
struct Exchange
{
    Exchange(Redirects redirects, Cancellation cancel, QObject *context, Completion done)
        : redirects(std::move(redirects)),
          cancel(std::move(cancel)),
          context(context),
          done(std::move(done))
    {
    }

    Redirects redirects;
    Cancellation cancel;
    QPointer<QObject> context;
    Completion done;
    // Counts the requests sent; a reply whose number is not the latest was left for a redirect
    // and its end is no news.
    int hop = 0;
    std::optional<NetworkError> refusal;
    QByteArray body; // of the latest reply, as far as it has arrived
};

// What a reply holds unread at most. Beyond it Qt stops reading the socket until the body is
// taken, so the network thread cannot run ahead of the cap.
constexpr qint64 replyBufferSize = 1024 * 1024;

void sendHop(const std::shared_ptr<Exchange> &exchange)
{
    using Result = Outcome<NetworkError, HttpResponse>;
    QObject *context = exchange->context;
    if (!context)
        return;
    QNetworkReply *reply = exchange->redirects.send(manager());
    reply->setReadBufferSize(replyBufferSize);
    const int hop = ++exchange->hop;
    exchange->body.clear();
    exchange->cancel.bind(reply, [reply] { reply->abort(); });
    const auto refuse = [exchange, reply](const NetworkError &error) {
        exchange->refusal = error;
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [exchange, reply, refuse] {
        if (const auto target = Redirects::target(reply)) {
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            if (auto error = exchange->redirects.follow(status, *target)) {
                refuse(*error);
                return;
            }
            // The body of a redirect is not read; the next request takes over, and this reply's
            // end is no news.
            reply->abort();
            reply->deleteLater();
            sendHop(exchange);
            return;
        }
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBodyBytes)
            refuse(NetworkError{ tooLargeMessage(), QNetworkReply::UnknownContentError, false });
    });
    // The body is taken as it arrives and counted, so an answer that never ends stops at the cap.
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [exchange, reply, refuse] {
        exchange->body += reply->readAll();
        if (exchange->body.size() > maxBodyBytes)
            refuse(NetworkError{ tooLargeMessage(), QNetworkReply::UnknownContentError, false });
    });
    // Queued, so that the completion never runs inside cancel(): abort() finishes a reply at once.
    QObject::connect(reply, &QNetworkReply::finished, context,
                     [reply = QPointer<QNetworkReply>(reply), exchange, hop] {
        if (hop != exchange->hop)
            return;
        if (reply)
            reply->deleteLater();
        if (!reply || exchange->cancel.isCancelled()) {
            exchange->done(Result::cancelled());
            return;
        }
        if (exchange->refusal) {
            exchange->done(*exchange->refusal);
            return;
        }
        if (auto error = transportError(reply)) {
            exchange->done(*error);
            return;
        }
        HttpResponse response;
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response.contentType = reply->rawHeader("Content-Type");
        response.retryAfter = reply->rawHeader("Retry-After");
        response.body = std::move(exchange->body) + reply->readAll();
        exchange->done(response);
    }, Qt::QueuedConnection);
    // If the context goes first, nobody waits for the answer any more.
    QObject::connect(context, &QObject::destroyed, reply, [reply] {
        reply->abort();
        reply->deleteLater();
    });
}

} // namespace

void send(const QNetworkRequest &request, const QByteArray &verb, const QByteArray &body,
          const Cancellation &cancel, QObject *context, Completion done)
{
    using Result = Outcome<NetworkError, HttpResponse>;
    if (cancel.isCancelled()) {
        post(context, [done] { done(Result::cancelled()); });
        return;
    }
    sendHop(std::make_shared<Exchange>(Redirects(request, verb, body), cancel, context,
                                       std::move(done)));
}

} // namespace Http
