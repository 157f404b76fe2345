#include "downloads/Downloader.h"

#include "core/Config.h"
#include "core/Http.h"
#include "core/WebIdentity.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <algorithm>

namespace {

// The most of an error page kept for its message; the rest is not waited for.
constexpr qsizetype errorBodyLimit = 64 * 1024;
constexpr int errorTextLength = 120;
// The reply holds at most this much unread; beyond it Qt stops reading the socket, so a slow
// disk slows the sender instead of filling memory.
constexpr qint64 replyBufferSize = 2 * 1024 * 1024;
// What one turn of the event loop writes to disk, for all transfers together, before it lets
// other events run. Each transfer's share is not enough: the network thread hands over data in
// many small pieces, each with its own readyRead, so ten transfers would otherwise write all that
// arrived during a long turn, making the next turn longer still.
constexpr qint64 writeBudgetPerTurn = 2 * 1024 * 1024;
constexpr qint64 readChunk = 256 * 1024;

// The bytes the current turn may still write; refilled at the start of the next turn.
qint64 takeFromTurnBudget(qint64 wanted)
{
    static qint64 left = writeBudgetPerTurn;
    static bool refillQueued = false;
    if (!refillQueued) {
        refillQueued = true;
        QTimer::singleShot(0, QCoreApplication::instance(), [] {
            left = writeBudgetPerTurn;
            refillQueued = false;
        });
    }
    const qint64 granted = std::min(wanted, left);
    left -= granted;
    return granted;
}

bool looksLikeMedia(const QString &mimeType)
{
    static const char *const markers[] = { "video", "audio", "mpeg", "mp4", "octet-stream",
                                           "binary" };
    return std::any_of(std::begin(markers), std::end(markers), [&](const char *marker) {
        return mimeType.contains(QLatin1String(marker));
    });
}

// The media type without its parameters, lower-cased: "text/html; charset=utf-8" is "text/html".
QString mimeTypeOf(const QNetworkReply *reply)
{
    const QByteArray header = reply->rawHeader("Content-Type");
    return QString::fromLatin1(header.split(';').constFirst()).trimmed().toLower();
}


} // namespace

DownloaderError DownloaderError::badStatus(int status, std::optional<QString> body)
{
    DownloaderError error;
    error.kind = Kind::badStatus;
    error.status = status;
    error.body = std::move(body);
    return error;
}

DownloaderError DownloaderError::notAMediaFile(const QString &mimeType)
{
    DownloaderError error;
    error.kind = Kind::notAMediaFile;
    error.mimeType = mimeType;
    return error;
}

DownloaderError DownloaderError::missingFile()
{
    return DownloaderError();
}

DownloaderError DownloaderError::incomplete(qint64 received, qint64 expected)
{
    DownloaderError error;
    error.kind = Kind::incomplete;
    error.received = received;
    error.expected = expected;
    return error;
}

DownloaderError DownloaderError::emptyFile()
{
    DownloaderError error;
    error.kind = Kind::emptyFile;
    return error;
}

DownloaderError DownloaderError::encoded(const QString &encoding)
{
    DownloaderError error;
    error.kind = Kind::encoded;
    error.encoding = encoding;
    return error;
}

DownloaderError DownloaderError::network(const QString &message, bool timedOut)
{
    DownloaderError error;
    error.kind = Kind::network;
    error.message = message;
    error.timedOut = timedOut;
    return error;
}

DownloaderError DownloaderError::fileSystem(const QString &message)
{
    DownloaderError error;
    error.kind = Kind::fileSystem;
    error.message = message;
    return error;
}

QString DownloaderError::description() const
{
    switch (kind) {
    case Kind::badStatus:
        if (body && !body->isEmpty())
            return QStringLiteral("HTTP %1: %2").arg(status).arg(*body);
        return QStringLiteral("HTTP %1").arg(status);
    case Kind::notAMediaFile:
        return QCoreApplication::translate("DownloaderError", "Not a media file (got %1).")
                .arg(mimeType);
    case Kind::missingFile:
        return QCoreApplication::translate("DownloaderError", "Downloaded file was not found.");
    case Kind::incomplete:
        return QCoreApplication::translate("DownloaderError", "The connection closed before the "
                                           "whole file arrived (%1 of %2 bytes).")
                .arg(received)
                .arg(expected);
    case Kind::emptyFile:
        return QCoreApplication::translate("DownloaderError", "The server sent an empty file.");
    case Kind::encoded:
        return QCoreApplication::translate("DownloaderError", "The server sent the file in an "
                                           "encoding it was not asked for (%1).")
                .arg(encoding);
    case Kind::network:
    case Kind::fileSystem:
        return message;
    }
    return message;
}

Downloader::Headers Downloader::defaultHeaders()
{
    return {
        { "User-Agent", WebIdentity::desktopUserAgent().toUtf8() },
        { "Accept", "*/*" },
        // The bytes on the wire are the file: Qt then leaves them as they are, and the announced
        // length can be checked against what was written.
        { "Accept-Encoding", "identity" },
    };
}

Downloader::Downloader(Headers extraHeaders, ProgressHandler onProgress, QObject *parent,
                       QNetworkAccessManager *network)
    : QObject(parent),
      m_headers(defaultHeaders()),
      m_onProgress(std::move(onProgress)),
      m_network(network ? network : Http::manager())
{
    // Header names are case-insensitive: an extra "user-agent" replaces the default one.
    for (auto extra = extraHeaders.cbegin(); extra != extraHeaders.cend(); ++extra) {
        m_headers.removeIf([&](const auto &entry) {
            return entry.key().compare(extra.key(), Qt::CaseInsensitive) == 0;
        });
        m_headers.insert(extra.key(), extra.value());
    }
}

Downloader::~Downloader()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void Downloader::download(const QUrl &url, const QString &folder, const Cancellation &cancel,
                          Completion done)
{
    Q_ASSERT(!m_done);
    m_cancel = cancel;
    m_done = std::move(done);
    if (cancel.isCancelled()) {
        finish(Result::cancelled());
        return;
    }
    // Only the web: a file: or qrc: address handed over by a server must not copy local files.
    if (!Http::isWebAddress(url)) {
        finish(DownloaderError::network(
                tr("Unsupported download address: %1").arg(url.toDisplayString())));
        return;
    }
    QString error;
    m_part = PartFile::create(folder, &error);
    if (!m_part) {
        finish(DownloaderError::fileSystem(error));
        return;
    }

    QNetworkRequest request = Http::request(url, Config::current().downloadTimeoutMs);
    for (auto header = m_headers.cbegin(); header != m_headers.cend(); ++header)
        request.setRawHeader(header.key(), header.value());
    m_redirects.emplace(request, QByteArrayLiteral("GET"), QByteArray());
    sendRequest();
}

void Downloader::sendRequest()
{
    QNetworkReply *reply = m_redirects->send(m_network);
    reply->setParent(this);
    reply->setReadBufferSize(replyBufferSize);
    m_reply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, &Downloader::onMetaData);
    connect(reply, &QNetworkReply::readyRead, this, &Downloader::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &Downloader::onFinished);
    m_cancel.bind(reply, [reply] { reply->abort(); });
}

void Downloader::followRedirect(const QUrl &target)
{
    // Said here rather than by the rule: the user reads about a download, not a request.
    if (!Http::isWebAddress(target)) {
        fail(DownloaderError::network(
                tr("The server sent the download to an address that is not on the web (%1).")
                        .arg(target.toDisplayString())));
        return;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (const auto refusal = m_redirects->follow(status, target)) {
        fail(DownloaderError::network(refusal->message));
        return;
    }
    // The redirect's own body is not read.
    QNetworkReply *left = m_reply;
    left->disconnect(this);
    left->abort();
    left->deleteLater();
    sendRequest();
}

Downloader::Verdict Downloader::judge()
{
    if (const auto target = Http::Redirects::target(m_reply)) {
        followRedirect(*target);
        return Verdict::undecided;
    }
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const int code = status.toInt();
        if (code < 200 || code > 299)
            return Verdict::collectingErrorBody;
    }
    const QString mimeType = mimeTypeOf(m_reply);
    if (!mimeType.isEmpty() && !looksLikeMedia(mimeType)) {
        fail(DownloaderError::notAMediaFile(mimeType));
        return Verdict::undecided;
    }
    // Identity was asked for: anything else would be saved as it came, not as the file.
    const QString encoding =
            QString::fromLatin1(m_reply->rawHeader("Content-Encoding")).trimmed().toLower();
    if (!encoding.isEmpty() && encoding != QLatin1String("identity")) {
        fail(DownloaderError::encoded(encoding));
        return Verdict::undecided;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    m_expected = length.isValid() ? length.toLongLong() : -1;
    return Verdict::accepted;
}

void Downloader::onMetaData()
{
    if (m_finished || m_verdict != Verdict::undecided)
        return;
    m_verdict = judge();
}

void Downloader::onReadyRead()
{
    drain();
}

void Downloader::drain()
{
    if (m_finished)
        return;
    if (m_verdict == Verdict::undecided) {
        m_verdict = judge();
        if (m_finished || m_verdict == Verdict::undecided)
            return;
    }

    if (m_verdict == Verdict::collectingErrorBody) {
        m_errorBody += m_reply->read(errorBodyLimit - m_errorBody.size());
        if (m_errorBody.size() >= errorBodyLimit) {
            const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            fail(DownloaderError::badStatus(status, Http::bodySnippet(m_errorBody, errorTextLength)));
        }
        return;
    }

    bool wrote = false;
    while (m_reply->bytesAvailable() > 0) {
        const qint64 wanted = std::min(readChunk, m_reply->bytesAvailable());
        const qint64 allowed = takeFromTurnBudget(wanted);
        if (allowed <= 0)
            break;
        const QByteArray chunk = m_reply->read(allowed);
        if (!m_part->write(chunk.constData(), chunk.size())) {
            fail(DownloaderError::fileSystem(m_part->errorString()));
            return;
        }
        wrote = true;
    }
    if (wrote && m_expected >= 1 && m_onProgress)
        m_onProgress(std::clamp(double(m_part->size()) / double(m_expected), 0.0, 1.0));
    // What is left waits for the next turn; no new readyRead would come for it while the
    // reply's buffer is full.
    if (m_reply->bytesAvailable() > 0 && !m_drainQueued) {
        m_drainQueued = true;
        post(this, [this] {
            m_drainQueued = false;
            drain();
        });
    }
}

void Downloader::onFinished()
{
    if (m_finished)
        return;
    if (m_cancel.isCancelled()) {
        finish(Result::cancelled());
        return;
    }
    if (m_rejection) {
        finish(*m_rejection);
        return;
    }
    const auto error = Http::transportError(m_reply);
    if (!error || !error->timedOut) {
        // What the reply still holds, up to one reply buffer, is written within the turn's share
        // like any other data: several transfers ending in one turn would otherwise write all of
        // theirs at once and keep the window from drawing. The rest waits for the next turn.
        drain();
        if (m_finished)
            return;
        if (m_verdict == Verdict::accepted && m_reply->bytesAvailable() > 0) {
            post(this, [this] { onFinished(); });
            return;
        }
    }
    if (error) {
        // A connection that ends early, cut or closed, is told by what arrived of the length
        // announced; a time-out says it timed out.
        if (!error->timedOut && m_verdict == Verdict::accepted && m_expected >= 0
            && m_part->size() < m_expected) {
            finish(DownloaderError::incomplete(m_part->size(), m_expected));
            return;
        }
        finish(DownloaderError::network(error->message, error->timedOut));
        return;
    }
    if (const auto error = errorAtEnd()) {
        finish(*error);
        return;
    }
    finish(m_part);
}

std::optional<DownloaderError> Downloader::errorAtEnd()
{
    if (m_verdict != Verdict::accepted) {
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        return DownloaderError::badStatus(status, Http::bodySnippet(m_errorBody, errorTextLength));
    }
    if (m_expected >= 0 && m_part->size() != m_expected)
        return DownloaderError::incomplete(m_part->size(), m_expected);
    if (m_part->size() == 0)
        return DownloaderError::emptyFile();
    if (!m_part->exists())
        return DownloaderError::missingFile();
    return std::nullopt;
}

void Downloader::fail(const DownloaderError &error)
{
    m_rejection = error;
    // abort() finishes the reply at once, and onFinished() reports the rejection.
    if (m_reply && m_reply->isRunning())
        m_reply->abort();
    else
        onFinished();
}

void Downloader::finish(const Result &result)
{
    m_finished = true;
    // From now on the result alone holds the file: a rejected or cancelled transfer's file goes
    // at once, an accepted one with the result unless its receiver commits it.
    m_part.reset();
    if (m_reply)
        m_reply->disconnect(this);
    post(this, [done = std::exchange(m_done, {}), result] {
        if (done)
            done(result);
    });
}
