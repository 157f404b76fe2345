#pragma once

// One media URL into one part file in the destination folder. The body is checked before it is
// kept: an error status, a type that is plainly no media or an encoding that was not asked for
// ends the transfer at once, and an empty body or one shorter than its announced length is a
// failure. Redirects are followed by the app's one rule (Http::Redirects), so the session goes
// only where it belongs. One Downloader serves one download() call.

#include "core/Async.h"
#include "core/Http.h"
#include "downloads/MediaFile.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// Why a download failed; description() is the one line the user sees.
struct DownloaderError
{
    enum class Kind {
        badStatus,     // "HTTP 404: <first 120 characters of the body on one line>"
        notAMediaFile, // "Not a media file (got text/html)."
        missingFile,   // "Downloaded file was not found."
        incomplete,    // the connection ended before the announced length arrived
        emptyFile,     // "The server sent an empty file."
        encoded,       // a Content-Encoding other than the identity the request asked for
        network,       // the transport's own failure, its own text (time-outs included), or a
                       // redirect that is not followed
        fileSystem,    // the system's text for a file that could not be written
    };

    Kind kind = Kind::missingFile;
    int status = 0;
    std::optional<QString> body;
    QString mimeType;
    QString encoding;
    qint64 received = 0;
    qint64 expected = 0;
    QString message;
    bool timedOut = false;

    static DownloaderError badStatus(int status, std::optional<QString> body);
    static DownloaderError notAMediaFile(const QString &mimeType);
    static DownloaderError missingFile();
    static DownloaderError incomplete(qint64 received, qint64 expected);
    static DownloaderError emptyFile();
    static DownloaderError encoded(const QString &encoding);
    static DownloaderError network(const QString &message, bool timedOut = false);
    static DownloaderError fileSystem(const QString &message);

    QString description() const;

    bool operator==(const DownloaderError &) const = default;
};

class Downloader : public QObject
{
    Q_OBJECT
public:
    using Headers = QHash<QByteArray, QByteArray>;
    using Result = Outcome<DownloaderError, std::shared_ptr<PartFile>>;
    using Completion = std::function<void(const Result &)>;
    using ProgressHandler = std::function<void(double fraction)>;

    // Sent with every request; `extraHeaders` given to the constructor win over these.
    static Headers defaultHeaders();

    // `onProgress` hears bytes written / announced length, clamped to 0...1, and nothing when no
    // length is announced. `network` carries the request; the app's one manager by default.
    Downloader(Headers extraHeaders, ProgressHandler onProgress, QObject *parent = nullptr,
               QNetworkAccessManager *network = nullptr);
    ~Downloader() override;

    // Fetches `url` into a new part file in `folder`. On success the caller owns that file: it
    // goes away with the last reference unless committed. Cancelling aborts the transfer and ends
    // the call as cancelled; a stalled transfer ends as a network error that says it timed out.
    // The completion runs once, from the event loop, unless this Downloader is destroyed first.
    void download(const QUrl &url, const QString &folder, const Cancellation &cancel,
                  Completion done);

private:
    enum class Verdict { undecided, accepted, collectingErrorBody };

    void sendRequest();
    void followRedirect(const QUrl &target);
    void onMetaData();
    void onReadyRead();
    // Writes what the reply holds, within the turn's share, and comes back for the rest.
    void drain();
    void onFinished();
    Verdict judge();
    void fail(const DownloaderError &error);
    void finish(const Result &result);
    std::optional<DownloaderError> errorAtEnd();

    Headers m_headers;
    ProgressHandler m_onProgress;
    QNetworkAccessManager *m_network;
    std::optional<Http::Redirects> m_redirects;
    QPointer<QNetworkReply> m_reply;
    Cancellation m_cancel;
    Completion m_done;
    std::shared_ptr<PartFile> m_part;
    Verdict m_verdict = Verdict::undecided;
    std::optional<DownloaderError> m_rejection;
    QByteArray m_errorBody;
    qint64 m_expected = -1;
    bool m_drainQueued = false;
    bool m_finished = false;
};
