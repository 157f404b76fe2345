#include "auth/PlatformAuth.h"

#include "auth/BrowserStore.h"
#include "core/Config.h"
#include "core/Http.h"

#include <algorithm>

namespace {

QString csrfCookieName(SocialPlatform platform)
{
    return platform == SocialPlatform::facebook ? QStringLiteral("fb_dtsg")
                                                : QStringLiteral("csrftoken");
}

bool hasValue(const QList<QNetworkCookie> &cookies, QByteArrayView name)
{
    for (const auto &cookie : cookies) {
        if (cookie.name() == name && !cookie.value().isEmpty())
            return true;
    }
    return false;
}

// Deletes the cookies one after the other, each once the previous deletion has completed.
void deleteInTurn(QPointer<BrowserStore> store, QList<QNetworkCookie> cookies)
{
    if (!store || cookies.isEmpty())
        return;
    const QNetworkCookie cookie = cookies.takeFirst();
    store->deleteCookie(cookie, store, [store, cookies] { deleteInTurn(store, cookies); });
}

} // namespace

PlatformAuth::PlatformAuth(SocialPlatform platform, BrowserStore *store, QObject *parent)
    : QObject(parent), m_platform(platform), m_store(store ? store : BrowserStore::instance())
{
    // Every change of the browser store, whatever its domain, leads to one copy and one
    // recomputation. The connection goes with this object, so a late notice finds nobody.
    connect(m_store, &BrowserStore::changed, this, &PlatformAuth::syncCookiesFromWebView);
    refreshAuthState();
    syncCookiesFromWebView();
}

QString PlatformAuth::platformName() const
{
    return rawValue(m_platform);
}

QString PlatformAuth::displayName() const
{
    return ::displayName(m_platform);
}

QUrl PlatformAuth::webOrigin() const
{
    return ::webOrigin(m_platform);
}

QString PlatformAuth::cookieDomainKey() const
{
    return Config::cookieDomainKey(webOrigin());
}

QList<QNetworkCookie> PlatformAuth::sessionCookies() const
{
    return Http::jar()->cookiesForUrl(webOrigin());
}

std::optional<QString> PlatformAuth::cookieHeader() const
{
    const auto cookies = sessionCookies();
    if (cookies.isEmpty())
        return std::nullopt;
    QStringList pairs;
    pairs.reserve(cookies.size());
    for (const auto &cookie : cookies)
        pairs.append(QString::fromUtf8(cookie.name() + '=' + cookie.value()));
    return pairs.join(QStringLiteral("; "));
}

std::optional<QString> PlatformAuth::csrfToken() const
{
    const QByteArray name = csrfCookieName(m_platform).toUtf8();
    for (const auto &cookie : sessionCookies()) {
        if (cookie.name() == name)
            return QString::fromUtf8(cookie.value());
    }
    return std::nullopt;
}

void PlatformAuth::syncCookiesFromWebView()
{
    if (!m_store)
        return;
    m_store->allCookies(this, [this](const QList<QNetworkCookie> &cookies) {
        const QString key = cookieDomainKey();
        for (const auto &cookie : cookies) {
            if (cookie.domain().contains(key))
                Http::jar()->insertCookie(cookie); // replaces same name, domain and path
        }
        refreshAuthState();
        emit synced();
    });
}

void PlatformAuth::signOut()
{
    const QString key = cookieDomainKey();
    auto *jar = Http::jar();
    QList<QNetworkCookie> fromJar;
    for (const auto &cookie : jar->allCookies()) {
        if (cookie.domain().contains(key)) {
            jar->deleteCookie(cookie);
            fromJar.append(cookie);
        }
    }

    if (m_store) {
        // Deletes the browser's cookies of this platform one after the other. The store drops
        // each from its mirror at once, so a copy running meanwhile cannot bring it back.
        QList<QNetworkCookie> doomed;
        for (const auto &cookie : m_store->cookies()) {
            if (cookie.domain().contains(key))
                doomed.append(cookie);
        }
        // The browser also keeps the cookies of earlier runs, which it does not report; the jar
        // kept its copies of them, so those are deleted from the browser as well.
        for (const auto &cookie : fromJar) {
            if (std::none_of(doomed.cbegin(), doomed.cend(), [&](const QNetworkCookie &known) {
                    return known.hasSameIdentifier(cookie);
                }))
                doomed.append(cookie);
        }
        deleteInTurn(m_store, doomed);
    }

    setSignedIn(false);
    setCookieCount(0);
}

void PlatformAuth::refreshAuthState()
{
    const auto cookies = sessionCookies();
    setCookieCount(int(cookies.size()));
    if (m_platform == SocialPlatform::facebook)
        setSignedIn(hasValue(cookies, "c_user") && hasValue(cookies, "xs"));
    else
        setSignedIn(hasValue(cookies, "sessionid"));
}

void PlatformAuth::setCookieCount(int count)
{
    if (m_cookieCount == count)
        return;
    m_cookieCount = count;
    emit cookieCountChanged();
}

void PlatformAuth::setSignedIn(bool signedIn)
{
    if (m_isSignedIn == signedIn)
        return;
    m_isSignedIn = signedIn;
    emit isSignedInChanged();
}
