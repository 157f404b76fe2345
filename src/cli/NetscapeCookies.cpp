#include "cli/NetscapeCookies.h"

#include <QCoreApplication>

#include <cmath>
#include <optional>

namespace {

const QByteArray httpOnlyPrefix = QByteArrayLiteral("#HttpOnly_");

std::optional<bool> flag(const QByteArray &field)
{
    if (field.compare("TRUE", Qt::CaseInsensitive) == 0)
        return true;
    if (field.compare("FALSE", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

} // namespace

namespace NetscapeCookies {

std::variant<QList<QNetworkCookie>, ParseError> parse(const QByteArray &text, const QDateTime &now)
{
    QList<QNetworkCookie> cookies;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const int number = int(index) + 1;
        const auto fail = [number](const QString &message) {
            return ParseError{ number, QCoreApplication::translate("NetscapeCookies", "line %1: %2")
                                               .arg(number)
                                               .arg(message) };
        };
        QByteArray line = lines.at(index);
        if (line.endsWith('\r'))
            line.chop(1);
        bool httpOnly = false;
        if (line.startsWith(httpOnlyPrefix)) {
            httpOnly = true;
            line = line.mid(httpOnlyPrefix.size());
        } else if (line.startsWith('#') || line.trimmed().isEmpty()) {
            continue;
        }

        QList<QByteArray> fields = line.split('\t');
        // Some exporters leave the tab before an empty value out.
        if (fields.size() == 6)
            fields.append(QByteArray());
        if (fields.size() != 7)
            return fail(QCoreApplication::translate(
                                "NetscapeCookies", "expected 7 tab-separated fields (domain, "
                                                   "subdomains, path, secure, expiry, name, "
                                                   "value), found %1")
                                .arg(fields.size()));

        QByteArray domain = fields.at(0).trimmed();
        const auto subdomains = flag(fields.at(1).trimmed());
        const QByteArray path = fields.at(2).trimmed();
        const auto secure = flag(fields.at(3).trimmed());
        const QByteArray expiry = fields.at(4).trimmed();
        const QByteArray name = fields.at(5).trimmed();
        const QByteArray value = fields.at(6);

        if (domain.isEmpty() || domain == ".")
            return fail(QCoreApplication::translate("NetscapeCookies", "the domain is empty"));
        if (!subdomains)
            return fail(QCoreApplication::translate(
                                "NetscapeCookies", "the subdomains field is TRUE or FALSE, "
                                                   "not '%1'")
                                .arg(QString::fromUtf8(fields.at(1))));
        if (!secure)
            return fail(QCoreApplication::translate(
                                "NetscapeCookies", "the secure field is TRUE or FALSE, not '%1'")
                                .arg(QString::fromUtf8(fields.at(3))));
        if (!path.startsWith('/'))
            return fail(QCoreApplication::translate("NetscapeCookies",
                                                    "the path starts with '/', not '%1'")
                                .arg(QString::fromUtf8(path)));
        bool numeric = false;
        // Some exporters write fractional seconds; the whole seconds are what counts.
        const double seconds = expiry.toDouble(&numeric);
        if (!numeric || seconds < 0 || !std::isfinite(seconds))
            return fail(QCoreApplication::translate(
                                "NetscapeCookies", "the expiry is seconds since 1970 (0 for the "
                                                   "session), not '%1'")
                                .arg(QString::fromUtf8(expiry)));
        if (name.isEmpty())
            return fail(QCoreApplication::translate("NetscapeCookies", "the cookie has no name"));

        // A domain with a leading dot covers its subdomains; one without is its host alone.
        if (*subdomains && !domain.startsWith('.'))
            domain.prepend('.');
        else if (!*subdomains && domain.startsWith('.'))
            domain.remove(0, 1);

        QNetworkCookie cookie(name, value);
        cookie.setDomain(QString::fromUtf8(domain));
        cookie.setPath(QString::fromUtf8(path));
        cookie.setSecure(*secure);
        cookie.setHttpOnly(httpOnly);
        if (seconds > 0) {
            const QDateTime expires = QDateTime::fromSecsSinceEpoch(qint64(seconds), Qt::UTC);
            if (expires <= now)
                continue;
            cookie.setExpirationDate(expires);
        }
        cookies.append(cookie);
    }
    return cookies;
}

} // namespace NetscapeCookies
