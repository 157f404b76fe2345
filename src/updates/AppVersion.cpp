#include "updates/AppVersion.h"

#include <QCoreApplication>
#include <QList>
#include <QRegularExpression>

#include <algorithm>

#ifndef CLIPDOCK_VERSION
#define CLIPDOCK_VERSION "0.0.0"
#endif

namespace {

QList<qint64> numbers(const QString &version)
{
    static const QRegularExpression number(QStringLiteral("\\A[+-]?[0-9]+\\z"));
    QList<qint64> result;
    for (const QString &piece : version.split(u'.', Qt::SkipEmptyParts)) {
        if (!number.match(piece).hasMatch())
            continue;
        bool ok = false;
        const qint64 value = piece.toLongLong(&ok, 10);
        if (ok) // an overflowing piece is dropped like any other unreadable one
            result.append(value);
    }
    return result;
}

} // namespace

QString AppVersion::build()
{
    return QStringLiteral(CLIPDOCK_VERSION);
}

QString AppVersion::current()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("0.0.0") : version;
}

bool AppVersion::isOlder(const QString &a, const QString &b)
{
    const QList<qint64> left = numbers(a);
    const QList<qint64> right = numbers(b);
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
}
