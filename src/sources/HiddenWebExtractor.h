#pragma once

// Reads a Facebook page the way a browser shows it. A page without any view or window loads the
// address on the app's shared browser profile (so it carries the Facebook login), settles, is
// scrolled to the bottom until lazily loaded videos stop appearing, and then a script collects the
// video and image addresses found in it.

#include "core/Async.h"
#include "sources/InstagramServiceError.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVariant>

#include <optional>

class QWebEngineLoadingInfo;
class QWebEnginePage;

// What the extraction script found on one page.
struct ExtractionResult
{
    QStringList videos;
    QStringList thumbs;
    std::optional<QString> title; // never empty when present
    qint64 htmlLength = 0;

    // Whatever the script returned. Anything that is not an object gives the empty result; a key
    // that is missing or of another type gives that key's empty value.
    static ExtractionResult from(const QVariant &scriptValue);

    bool operator==(const ExtractionResult &) const = default;
};

class HiddenWebExtractor : public QObject
{
    Q_OBJECT
public:
    using Completion = std::function<void(const Outcome<InstagramServiceError, ExtractionResult> &)>;

    // One extractor reads one page: call extractFacebookVideos() once.
    explicit HiddenWebExtractor(QObject *parent = nullptr);
    ~HiddenWebExtractor() override;

    // Loads `url`, lets it settle, scrolls it to the bottom at most `scrollPasses` times and reads
    // it. Scrolling stops early at the first pass that adds neither page height nor a video
    // address: the page has nothing more to load. A failed load, a load that takes longer than
    // the load time-out, and an error of the script end it with that failure's own description
    // (InstagramServiceError::network); a page that comes with an HTTP error status is read like
    // any other. Cancelling ends it as cancelled at once. The page is gone as soon as the
    // operation ends, however it ends. `done` runs once, from the event loop, unless `context` is
    // destroyed first: then the page goes at once and nothing is reported.
    //
    // The shared profile already speaks with the desktop user agent; a different `userAgent` is
    // sent with this page's requests only.
    void extractFacebookVideos(const QUrl &url, const QString &userAgent, int scrollPasses,
                               const Cancellation &cancel, QObject *context, Completion done);

    // Waiting for the page to load ends in a time-out after this long.
    int loadTimeoutMs() const { return m_loadTimeoutMs; }
    void setLoadTimeoutMs(int ms) { m_loadTimeoutMs = ms; }

    // The script that collects the addresses, with the configured host markers bound.
    static QString extractionScript();

private:
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void settle();
    // Reads the page after `passesDone` passes, then scrolls again or finishes.
    void look(int passesDone);
    void scroll(int pass);
    // Runs `script` in the app's own script world; `then` gets its value unless the operation has
    // ended meanwhile.
    void runScript(const QString &script, std::function<void(const QVariant &)> then);
    void finish(const Outcome<InstagramServiceError, ExtractionResult> &outcome);
    void tearDown();

    QPointer<QWebEnginePage> m_page;
    QPointer<QObject> m_waits; // parent of every timer of the operation
    QPointer<QTimer> m_loadTimer;
    QPointer<QObject> m_context;
    Cancellation m_cancel;
    Completion m_done;
    int m_scrollPasses = 0;
    // The page as the last look found it.
    qint64 m_lastHeight = 0;
    QSet<QString> m_lastVideos;
    int m_loadTimeoutMs;
    bool m_started = false;
    bool m_loaded = false; // the first load outcome has arrived; later ones are ignored
};
