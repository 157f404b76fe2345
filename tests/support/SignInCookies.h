#pragma once

// Cookies for the tests of sign-in and of what requests carry: made lasting in one call, picked by
// domain, read back from the jar's file as the next start of the app reads it, and named when a
// comparison fails.

#include "core/Http.h"

#include <QDateTime>
#include <QNetworkCookie>
#include <QStandardPaths>
#include <QTest>

using Cookies = QList<QNetworkCookie>;

// Path "/", a year to live: the jar keeps it in its file.
inline QNetworkCookie lastingCookie(const QByteArray &name, const QByteArray &value,
                                    const QString &domain)
{
    QNetworkCookie cookie(name, value);
    cookie.setDomain(domain);
    cookie.setPath(QStringLiteral("/"));
    cookie.setExpirationDate(QDateTime::currentDateTimeUtc().addYears(1));
    return cookie;
}

// Those whose domain contains `domain`.
inline Cookies cookiesOf(const Cookies &cookies, const QString &domain)
{
    Cookies found;
    for (const QNetworkCookie &cookie : cookies) {
        if (cookie.domain().contains(domain))
            found.append(cookie);
    }
    return found;
}

// The cookies of `domain` that the app's jar keeps for the next start, read from its file.
inline Cookies keptCookies(const QString &domain)
{
    const CookieJar kept(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                 + QStringLiteral("/cookies"),
                         nullptr);
    return cookiesOf(kept.allCookies(), domain);
}

// How QCOMPARE shows a cookie that should not be there.
inline char *toString(const QNetworkCookie &cookie)
{
    return QTest::toString(cookie.name() + " of " + cookie.domain().toUtf8());
}
