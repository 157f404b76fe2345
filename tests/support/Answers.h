#pragma once

// For tables of small pure functions: a row holds what the code answered, as one text, beside
// the text expected, so that the rules of one class share one table and a failure shows both.

#include <QStringList>
#include <QVariant>

// The values as text joined by " | ": numbers as digits, booleans as true or false, date-times
// in ISO form with milliseconds, addresses as they print.
template <typename... T>
QString answers(const T &...values)
{
    return QStringList{ QVariant::fromValue(values).toString()... }.join(QStringLiteral(" | "));
}
