#include "auth/BrowserStore.h"

#include "core/Async.h"
#include "core/WebIdentity.h"

#include <QCoreApplication>
#include <QQuickWebEngineProfile>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <algorithm>

BrowserStore::BrowserStore(QWebEngineCookieStore *engineStore, QObject *parent)
    : QObject(parent), m_engine(engineStore)
{
    if (!m_engine)
        return;
    connect(m_engine, &QWebEngineCookieStore::cookieAdded, this, &BrowserStore::added);
    connect(m_engine, &QWebEngineCookieStore::cookieRemoved, this, &BrowserStore::removed);
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
    post(context, [store = QPointer<const BrowserStore>(this), done = std::move(done)] {
        done(store ? store->m_cookies : QList<QNetworkCookie>());
    });
}

void BrowserStore::setCookie(const QNetworkCookie &cookie, const QUrl &origin)
{
    if (m_engine)
        m_engine->setCookie(cookie, origin); // the notice updates the mirror
    else
        added(cookie);
}

void BrowserStore::deleteCookies(const QList<QNetworkCookie> &cookies)
{
    if (cookies.isEmpty())
        return;
    for (const auto &cookie : cookies) {
        remove(cookie);
        m_deleting.append(cookie);
    }
    emit changed();
    if (!m_engine) {
        post(this, [this, cookies] {
            for (const auto &cookie : cookies)
                removed(cookie);
        });
        return;
    }
    for (const auto &cookie : cookies)
        m_engine->deleteCookie(cookie);
}

void BrowserStore::added(const QNetworkCookie &cookie)
{
    // Set before the deletion reached the engine, which removes it again.
    const bool deleted = std::any_of(m_deleting.cbegin(), m_deleting.cend(),
                                     [&](const QNetworkCookie &gone) {
                                         return gone.hasSameIdentifier(cookie)
                                                 && gone.value() == cookie.value();
                                     });
    if (deleted)
        return;
    for (auto &known : m_cookies) {
        if (known.hasSameIdentifier(cookie)) {
            known = cookie;
            emit changed();
            return;
        }
    }
    m_cookies.append(cookie);
    emit changed();
}

void BrowserStore::removed(const QNetworkCookie &cookie)
{
    // The engine no longer holds the cookie: a later notice that it was set is of a new one.
    m_deleting.removeIf(
            [&](const QNetworkCookie &gone) { return gone.hasSameIdentifier(cookie); });
    remove(cookie);
    emit changed();
}

void BrowserStore::remove(const QNetworkCookie &cookie)
{
    m_cookies.removeIf([&](const QNetworkCookie &known) { return known.hasSameIdentifier(cookie); });
}
