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
        manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    }
    return instance;
}

// Where confineRedirects() keeps the domain on the request.
constexpr auto confinedDomainAttribute = QNetworkRequest::Attribute(QNetworkRequest::User + 1);

bool staysWithin(const QUrl &from, const QUrl &to, const QString &domainKey)
{
    if (from.scheme() == QLatin1String("https") && to.scheme() != QLatin1String("https"))
        return false;
    const QString host = to.host().toLower();
    return host == domainKey || host.endsWith(u'.' + domainKey);
}

// Follows a redirect of `reply` only when it stays within `domainKey`; otherwise records why
// and aborts the reply.
void guardRedirects(QNetworkReply *reply, const QString &domainKey,
                    std::shared_ptr<std::optional<NetworkError>> refusal)
{
    QObject::connect(reply, &QNetworkReply::redirected, reply,
                     [reply, domainKey, refusal](const QUrl &target) {
        const QUrl to = reply->url().resolved(target);
        if (staysWithin(reply->url(), to, domainKey)) {
            emit reply->redirectAllowed();
            return;
        }
        *refusal = NetworkError{
            QCoreApplication::translate("Http", "The server redirected the request to another "
                                                "site (%1); it was not followed.").arg(to.host()),
            QNetworkReply::InsecureRedirectError, false };
        reply->abort();
    });
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

void confineRedirects(QNetworkRequest &request, const QString &domainKey)
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
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
    auto refusal = std::make_shared<std::optional<NetworkError>>();
    const QVariant domainKey = request.attribute(confinedDomainAttribute);
    if (domainKey.isValid())
        guardRedirects(reply, domainKey.toString(), refusal);
    // Queued, so that the completion never runs inside cancel(): abort() finishes a reply at once.
    QObject::connect(reply, &QNetworkReply::finished, context,
                     [reply = QPointer<QNetworkReply>(reply), cancel, done, refusal] {
        if (reply)
            reply->deleteLater();
        if (!reply || cancel.isCancelled()) {
            done(Result::cancelled());
            return;
        }
        if (*refusal) {
            done(**refusal);
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
