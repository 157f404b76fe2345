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
    // The platform's cookies leave the jar and the browser's mirror together, before the browser
    // hears of it, so no copy (one already asked for, or one the deletions set off) finds any of
    // them to bring back, and the jar's file loses them with its next write.
    const QString key = cookieDomainKey();
    auto *jar = Http::jar();
    QList<QNetworkCookie> doomed;
    for (const auto &cookie : jar->allCookies()) {
        if (cookie.domain().contains(key)) {
            jar->deleteCookie(cookie);
            doomed.append(cookie);
        }
    }

    if (m_store) {
        // The jar's copies go from the browser too: the browser keeps the cookies of earlier runs
        // without reporting them.
        for (const auto &cookie : m_store->cookies()) {
            const bool listed = std::any_of(doomed.cbegin(), doomed.cend(),
                                            [&](const QNetworkCookie &known) {
                                                return known.hasSameIdentifier(cookie)
                                                        && known.value() == cookie.value();
                                            });
            if (cookie.domain().contains(key) && !listed)
                doomed.append(cookie);
        }
        m_store->deleteCookies(doomed);
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
