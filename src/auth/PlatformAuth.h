#pragma once

// Sign-in state of one platform. The login page leaves the platform's cookies in the browser
// store; PlatformAuth copies them into the app's cookie jar, decides from the session cookies
// whether the user is signed in, and builds the Cookie header and CSRF token the Instagram client
// sends. Signing out deletes the platform's cookies from both stores.

#include "core/SocialPlatform.h"

#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QtQmlIntegration>

#include <optional>

class BrowserStore;

class PlatformAuth : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Created by the application")
    // The platform's raw value: "instagram" or "facebook".
    Q_PROPERTY(QString platform READ platformName CONSTANT)
    Q_PROPERTY(QString displayName READ displayName CONSTANT)
    Q_PROPERTY(bool isSignedIn READ isSignedIn NOTIFY isSignedInChanged)
    Q_PROPERTY(int cookieCount READ cookieCount NOTIFY cookieCountChanged)

public:
    // Watches `store` (the app's browser store unless a test gives its own) and copies what it
    // already holds.
    explicit PlatformAuth(SocialPlatform platform, BrowserStore *store = nullptr,
                          QObject *parent = nullptr);

    SocialPlatform platform() const { return m_platform; }
    QString platformName() const;
    QString displayName() const;
    bool isSignedIn() const { return m_isSignedIn; }
    int cookieCount() const { return m_cookieCount; }

    // The configured web origin of the platform, and the part of a cookie's domain that marks it
    // as the platform's.
    QUrl webOrigin() const;
    QString cookieDomainKey() const;

    // The jar's cookies for the web origin, in the jar's order.
    QList<QNetworkCookie> sessionCookies() const;
    // "name=value; name=value", or nothing when there are no session cookies.
    std::optional<QString> cookieHeader() const;
    // The value of the first "csrftoken" (Instagram) or "fb_dtsg" (Facebook) session cookie.
    std::optional<QString> csrfToken() const;

    // Copies the platform's cookies from the browser store into the jar (adding or replacing,
    // never deleting), then recomputes the state. Finishes from the event loop.
    Q_INVOKABLE void syncCookiesFromWebView();
    // Removes the platform's cookies from the jar and the browser store's mirror at once, and
    // from the browser itself in the background; the state reads signed out immediately, and
    // nothing the browser reports about those cookies afterwards brings them back.
    Q_INVOKABLE void signOut();

signals:
    void isSignedInChanged();
    void cookieCountChanged();
    // A copy started by syncCookiesFromWebView() has been applied.
    void synced();

private:
    void refreshAuthState();
    void setCookieCount(int count);
    void setSignedIn(bool signedIn);

    const SocialPlatform m_platform;
    QPointer<BrowserStore> m_store;
    bool m_isSignedIn = false;
    int m_cookieCount = 0;
};
