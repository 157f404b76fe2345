#pragma once

// The embedded browser's cookie store: the persistent default WebEngine profile shared by the
// login page and the hidden Facebook page.
//
// WebEngine offers no "read all cookies" call, only change notices (cookieAdded, cookieRemoved).
// BrowserStore keeps a mirror fed by those notices; reading "all cookies of the browser" reads the
// mirror. The engine's loadAllCookies() does not replay the cookies kept from earlier runs in the
// Qt this app builds with, so the mirror starts empty each run; the app-wide jar keeps its own
// copy of the sessions across runs instead.
//
// Deleting cookies drops them from the mirror at once and only then asks the engine. The engine
// works on its own thread and reports in order: a notice that a deleted cookie was set may still
// be on its way, from before the deletion reached the engine. Until the engine reports the cookie
// removed, such a notice is ignored, so nothing that reads the mirror sees the cookie again.

#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

class QWebEngineCookieStore;
class QWebEngineProfile;

class BrowserStore : public QObject
{
    Q_OBJECT
public:
    // A store attached to `engineStore`, or a detached one (no browser engine at all) when it is
    // null, which tests use to play the browser.
    explicit BrowserStore(QWebEngineCookieStore *engineStore = nullptr, QObject *parent = nullptr);

    // The app's store, attached to the default profile; made on first use. Requires
    // QtWebEngineQuick::initialize() before the application object.
    static BrowserStore *instance();

    // The default profile, made persistent (its own storage, cookies kept across runs) and
    // speaking with the desktop user agent. Every page of the app uses it.
    static QWebEngineProfile *profile();

    // Every cookie the browser holds, in the order the engine reported them. Answers from the
    // event loop, never inside the call, with the mirror as it is then: an answer asked for
    // before a deletion does not hold the deleted cookies.
    void allCookies(QObject *context, std::function<void(const QList<QNetworkCookie> &)> done) const;
    QList<QNetworkCookie> cookies() const { return m_cookies; }

    // Sets a cookie as a page of `origin` would have (detached: straight into the mirror, as the
    // engine's notice would).
    void setCookie(const QNetworkCookie &cookie, const QUrl &origin = {});
    // Deletes the cookies from the browser: they leave the mirror together, with one change
    // notice, before the engine is asked. A detached store reports their removal from the event
    // loop, as the engine does.
    void deleteCookies(const QList<QNetworkCookie> &cookies);

signals:
    // Any cookie of any domain was added, replaced or removed.
    void changed();

private:
    // The engine's notices.
    void added(const QNetworkCookie &cookie);
    void removed(const QNetworkCookie &cookie);

    void remove(const QNetworkCookie &cookie);

    QPointer<QWebEngineCookieStore> m_engine;
    QList<QNetworkCookie> m_cookies;
    // Deleted, and not yet reported removed by the engine.
    QList<QNetworkCookie> m_deleting;
};
