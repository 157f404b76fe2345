#include "auth/BrowserStore.h"

#include "core/Async.h"
#include "core/WebIdentity.h"

#include <QCoreApplication>
#include <QQuickWebEngineProfile>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

BrowserStore::BrowserStore(QWebEngineCookieStore *engineStore, QObject *parent)
    : QObject(parent), m_engine(engineStore)
{
    if (!m_engine)
        return;
    connect(m_engine, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie &c) {
        add(c);
        emit changed();
    });
    connect(m_engine, &QWebEngineCookieStore::cookieRemoved, this,
            [this](const QNetworkCookie &c) {
                remove(c);
                emit changed();
            });
}

QWebEngineProfile *BrowserStore::profile()
{
    static bool prepared = false;
    if (!prepared) {
        prepared = true;
        // The QML and C++ default profiles share one engine profile: configuring it here, before
        // any page exists, makes the login view and the hidden page use the same persistent
        // cookies.
        auto *quick = QQuickWebEngineProfile::defaultProfile();
        quick->setStorageName(QStringLiteral("ClipDock"));
        quick->setOffTheRecord(false);
        quick->setPersistentCookiesPolicy(QQuickWebEngineProfile::ForcePersistentCookies);
        quick->setHttpUserAgent(WebIdentity::desktopUserAgent());
    }
    return QWebEngineProfile::defaultProfile();
}

BrowserStore *BrowserStore::instance()
{
    static QPointer<BrowserStore> store;
    if (!store)
        store = new BrowserStore(profile()->cookieStore(), QCoreApplication::instance());
    return store;
}

void BrowserStore::allCookies(QObject *context,
                              std::function<void(const QList<QNetworkCookie> &)> done) const
{
    post(context, [done = std::move(done), cookies = m_cookies] { done(cookies); });
}

void BrowserStore::setCookie(const QNetworkCookie &cookie, const QUrl &origin)
{
    if (m_engine) {
        m_engine->setCookie(cookie, origin); // the notice updates the mirror
        return;
    }
    add(cookie);
    emit changed();
}

void BrowserStore::deleteCookie(const QNetworkCookie &cookie, QObject *context,
                                std::function<void()> done)
{
    remove(cookie);
    if (m_engine)
        m_engine->deleteCookie(cookie);
    emit changed();
    post(context, std::move(done));
}

void BrowserStore::add(const QNetworkCookie &cookie)
{
    for (auto &known : m_cookies) {
        if (known.hasSameIdentifier(cookie)) {
            known = cookie;
            return;
        }
    }
    m_cookies.append(cookie);
}

void BrowserStore::remove(const QNetworkCookie &cookie)
{
    m_cookies.removeIf([&](const QNetworkCookie &known) { return known.hasSameIdentifier(cookie); });
}
