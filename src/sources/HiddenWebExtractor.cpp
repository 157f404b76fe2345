#include "sources/HiddenWebExtractor.h"

#include "auth/BrowserStore.h"
#include "core/Config.h"
#include "core/Http.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include <algorithm>
#include <cmath>

namespace {

const QString scrollScript = QStringLiteral("window.scrollTo(0, document.body.scrollHeight);");
const QString heightScript =
        QStringLiteral("document.documentElement ? document.documentElement.scrollHeight : 0;");

// The key under which the wrapper around the extraction script reports an exception.
const QString scriptErrorKey = QStringLiteral("extractionError");

// Sends one page's requests with its own user agent; the shared profile keeps the app's.
class UserAgentInterceptor : public QWebEngineUrlRequestInterceptor
{
public:
    UserAgentInterceptor(const QString &userAgent, QObject *parent)
        : QWebEngineUrlRequestInterceptor(parent), m_userAgent(userAgent.toUtf8())
    {
    }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        info.setHttpHeader(QByteArrayLiteral("User-Agent"), m_userAgent);
    }

private:
    QByteArray m_userAgent;
};

bool isObject(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantMap || value.typeId() == QMetaType::QVariantHash;
}

// A list whose every item is a string; anything else gives nothing.
std::optional<QStringList> stringList(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList();
    if (value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList strings;
    for (const QVariant &item : value.toList()) {
        if (item.typeId() != QMetaType::QString)
            return std::nullopt;
        strings.append(item.toString());
    }
    return strings;
}

// A whole number. Script numbers arrive as int or double; a fraction is not an integer.
std::optional<qint64> integer(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return value.toLongLong();
    case QMetaType::Double: {
        const double number = value.toDouble();
        constexpr double limit = 9007199254740992.0; // 2^53: beyond it doubles skip integers
        if (std::isfinite(number) && std::trunc(number) == number && std::abs(number) <= limit)
            return qint64(number);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

QString scriptSource()
{
    static const QString source = [] {
        QFile file(QStringLiteral(":/qt/qml/ClipDock/sources/facebook-extract.js"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return source;
}

} // namespace

ExtractionResult ExtractionResult::from(const QVariant &scriptValue)
{
    ExtractionResult result;
    if (!isObject(scriptValue))
        return result;
    const QVariantMap object = scriptValue.toMap();
    result.videos = stringList(object.value(QStringLiteral("videos"))).value_or(QStringList());
    result.thumbs = stringList(object.value(QStringLiteral("thumbs"))).value_or(QStringList());
    const QVariant title = object.value(QStringLiteral("title"));
    if (title.typeId() == QMetaType::QString && !title.toString().isEmpty())
        result.title = title.toString();
    result.htmlLength = integer(object.value(QStringLiteral("htmlLength"))).value_or(0);
    return result;
}

HiddenWebExtractor::HiddenWebExtractor(QObject *parent)
    : QObject(parent), m_loadTimeoutMs(Http::defaultTimeoutMs)
{
}

HiddenWebExtractor::~HiddenWebExtractor()
{
    m_done = {};
    // Deleting the page answers its pending script calls with nothing; they find no operation.
    delete m_page;
    tearDown();
}

QString HiddenWebExtractor::extractionScript()
{
    const QString source = scriptSource();
    if (source.isEmpty())
        return {};
    const Config &config = Config::current();
    const QJsonObject markers{
        { QStringLiteral("facebookVideoCdn"), config.facebookVideoCdnMarker },
        { QStringLiteral("instagramCdn"), config.instagramCdnMarker },
        { QStringLiteral("imageCdnPrefix"), config.imageCdnPrefix },
    };
    // The block keeps the binding out of the page's global scope; the try statement's value is
    // the script's result, or the exception's description under scriptErrorKey.
    return QStringLiteral("try {\nconst extractionMarkers = %1;\n%2\n} catch (error) {\n"
                          "({ %3: String(error && error.message || error) });\n}")
        .arg(QString::fromUtf8(QJsonDocument(markers).toJson(QJsonDocument::Compact)), source,
             scriptErrorKey);
}

void HiddenWebExtractor::extractFacebookVideos(const QUrl &url, const QString &userAgent,
                                               int scrollPasses, const Cancellation &cancel,
                                               QObject *context, Completion done)
{
    if (!context)
        context = this;
    if (m_started) {
        post(context, [done = std::move(done)] {
            done(InstagramServiceError::network(tr("This page reader has already been used.")));
        });
        return;
    }
    m_started = true;
    m_context = context;
    m_cancel = cancel;
    m_done = std::move(done);
    m_scrollPasses = std::max(0, scrollPasses);
    m_waits = new QObject(this);
    if (context != this) {
        connect(context, &QObject::destroyed, this, [this] {
            m_done = {};
            tearDown();
        });
    }
    cancel.bind(m_waits, [this] { finish(Cancelled{}); });
    if (!m_done)
        return; // cancelled before it started

    QWebEngineProfile *profile = BrowserStore::profile();
    auto *page = new QWebEnginePage(profile, this);
    m_page = page;
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    page->setAudioMuted(true);
    if (!userAgent.isEmpty() && userAgent != profile->httpUserAgent())
        page->setUrlRequestInterceptor(new UserAgentInterceptor(userAgent, page));
    connect(page, &QWebEnginePage::loadingChanged, this, &HiddenWebExtractor::onLoadingChanged);
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        finish(InstagramServiceError::network(tr("The page stopped unexpectedly.")));
    });

    m_loadTimer = new QTimer(m_waits);
    m_loadTimer->setSingleShot(true);
    connect(m_loadTimer, &QTimer::timeout, this,
            [this] { finish(InstagramServiceError::network(Http::timeoutMessage())); });
    m_loadTimer->start(m_loadTimeoutMs);
    page->load(url);
    // Shown to its own scripts, though no window is made: a hidden page's timers run about once a
    // second, which holds back lazy loading. The engine forgets a visibility set before the
    // first load.
    page->setVisible(true);
}

void HiddenWebExtractor::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    // Only the first outcome counts: a later finish or failure of the same page changes nothing.
    if (m_loaded || !m_done || info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    m_loaded = true;
    if (m_loadTimer)
        m_loadTimer->stop();

    // The engine calls a page that came with an HTTP error status a failed load. The page is
    // there all the same, and what it shows is read like any other.
    const bool pageArrived = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus
            || info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain;
    if (!pageArrived) {
        const QString message = info.errorString().isEmpty()
                ? tr("The page could not be loaded.")
                : info.errorString();
        finish(InstagramServiceError::network(message));
        return;
    }
    settle();
}

void HiddenWebExtractor::settle()
{
    waitFor(Config::current().facebookSettleMs, m_cancel, m_waits, [this](bool cancelled) {
        if (!cancelled && m_done)
            look(0);
    });
}

// Every look reads the whole page with the script that gives the result, so "a new video" means
// exactly what the result counts as one, and the last look is the result.
void HiddenWebExtractor::look(int passesDone)
{
    const QString script = extractionScript();
    if (script.isEmpty()) {
        finish(InstagramServiceError::network(tr("The page reading script is missing.")));
        return;
    }
    runScript(heightScript, [this, passesDone, script](const QVariant &heightValue) {
        const qint64 height = integer(heightValue).value_or(0);
        runScript(script, [this, passesDone, height](const QVariant &value) {
            if (isObject(value) && value.toMap().contains(scriptErrorKey)) {
                finish(InstagramServiceError::network(value.toMap().value(scriptErrorKey).toString()));
                return;
            }
            ExtractionResult found = ExtractionResult::from(value);
            const bool grew = height > m_lastHeight
                    || std::any_of(found.videos.cbegin(), found.videos.cend(),
                                   [this](const QString &video) { return !m_lastVideos.contains(video); });
            if (passesDone == m_scrollPasses || (passesDone > 0 && !grew)) {
                finish(found);
                return;
            }
            m_lastHeight = height;
            m_lastVideos = QSet<QString>(found.videos.cbegin(), found.videos.cend());
            scroll(passesDone + 1);
        });
    });
}

void HiddenWebExtractor::scroll(int pass)
{
    // The page may have no body to scroll; the pass waits all the same.
    runScript(scrollScript, [this, pass](const QVariant &) {
        waitFor(Config::current().facebookScrollMs, m_cancel, m_waits, [this, pass](bool cancelled) {
            if (!cancelled && m_done)
                look(pass);
        });
    });
}

void HiddenWebExtractor::runScript(const QString &script, std::function<void(const QVariant &)> then)
{
    // The app's own scripts run in a world of their own: the page's scripts can neither see nor
    // replace what they use, and the page's security policy does not apply to them.
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [self = QPointer(this), page = m_page, then](const QVariant &value) {
                              // A deleted page answers its pending calls with nothing.
                              if (self && self->m_done && self->m_page == page)
                                  then(value);
                          });
}

void HiddenWebExtractor::finish(const Outcome<InstagramServiceError, ExtractionResult> &outcome)
{
    if (!m_done)
        return;
    auto done = std::exchange(m_done, {});
    tearDown();
    if (m_context)
        post(m_context, [done = std::move(done), outcome] { done(outcome); });
}

void HiddenWebExtractor::tearDown()
{
    if (m_waits) {
        for (QTimer *timer : m_waits->findChildren<QTimer *>())
            timer->stop();
        m_waits->deleteLater();
        m_waits = nullptr;
    }
    if (m_page) {
        disconnect(m_page, nullptr, this, nullptr);
        m_page->triggerAction(QWebEnginePage::Stop);
        // Later: this may run inside one of the page's own signals.
        m_page->deleteLater();
        m_page = nullptr;
    }
}
