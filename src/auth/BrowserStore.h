#pragma once

// The embedded browser's cookie store: the persistent default WebEngine profile shared by the
// login page and the hidden Facebook page.
//
// WebEngine offers no "read all cookies" call, only change notices (cookieAdded, cookieRemoved).
// BrowserStore keeps a mirror fed by those notices; reading "all cookies of the browser" reads the
// mirror. The engine's loadAllCookies() does not replay the cookies kept from earlier runs in the
// Qt this app builds with, so the mirror starts empty each run; the app-wide jar keeps its own
// copy of the sessions across runs instead. Deleting a
// cookie drops it from the mirror at once and asks the engine to delete it, so a copy that runs
// while the deletion is still under way cannot bring it back.

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
    // event loop, never inside the call.
    void allCookies(QObject *context, std::function<void(const QList<QNetworkCookie> &)> done) const;
    QList<QNetworkCookie> cookies() const { return m_cookies; }

    // Sets a cookie as a page of `origin` would have (detached: straight into the mirror).
    void setCookie(const QNetworkCookie &cookie, const QUrl &origin = {});
    // Deletes a cookie from the browser; `done` runs once it is gone from the mirror.
    void deleteCookie(const QNetworkCookie &cookie, QObject *context, std::function<void()> done);

signals:
    // Any cookie of any domain was added, replaced or removed.
    void changed();

private:
    void add(const QNetworkCookie &cookie);
    void remove(const QNetworkCookie &cookie);

    QPointer<QWebEngineCookieStore> m_engine;
    QList<QNetworkCookie> m_cookies;
};
