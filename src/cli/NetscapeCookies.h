#pragma once

// The cookies file format that browsers' export tools and command-line downloaders share: one
// cookie per line, seven tab-separated fields
//
//   domain  include-subdomains  path  secure  expiry  name  value
//
// with TRUE/FALSE flags, the expiry in seconds since 1970 (0 for a cookie of the session only),
// "#" comments, and "#HttpOnly_" in front of the domain of an HTTP-only cookie.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QNetworkCookie>
#include <QString>

#include <variant>

namespace NetscapeCookies {

// The largest file worth reading. A browser's whole export is a few hundred kilobytes; anything
// far bigger is not a cookies file, and reading it whole could take all memory.
inline constexpr qint64 maximumFileSize = 4 * 1024 * 1024;

struct ParseError
{
    int line = 0;    // 1-based
    QString message; // "line 3: ..."
};

// Every cookie of `text` that has not expired by `now`, in file order. The first malformed line
// fails the whole file: a file read in part would sign in as somebody else's half session.
std::variant<QList<QNetworkCookie>, ParseError> parse(const QByteArray &text,
                                                      const QDateTime &now);

} // namespace NetscapeCookies
