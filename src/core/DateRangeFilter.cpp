#include "core/DateRangeFilter.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

// Whole calendar days from `from` to `to`, truncated toward zero, counted on the local wall clock
// so that a day across a daylight-saving change is still one day.
qint64 wholeDaysBetween(const QDateTime &from, const QDateTime &to)
{
    const QDateTime localFrom = from.toLocalTime();
    const QDateTime localTo = to.toLocalTime();
    qint64 days = localFrom.date().daysTo(localTo.date());
    const QDateTime landed = localFrom.addDays(days);
    if (days > 0 && landed > localTo)
        --days;
    else if (days < 0 && landed < localTo)
        ++days;
    return days;
}

QString monthDay(const QDateTime &date)
{
    return QLocale().toString(date.toLocalTime().date(), QStringLiteral("MMM d"));
}

} // namespace

DateRangeFilter::DateRangeFilter(Kind kind) : m_kind(kind) { }

DateRangeFilter DateRangeFilter::custom(const QDateTime &start, const QDateTime &end)
{
    DateRangeFilter filter(Kind::custom);
    filter.m_start = start;
    filter.m_end = end;
    return filter;
}

QList<DateRangeFilter> DateRangeFilter::presets()
{
    return { Kind::all, Kind::today, Kind::last7, Kind::last30, Kind::last90, Kind::thisYear };
}

QString DateRangeFilter::label() const
{
    switch (m_kind) {
    case Kind::all: return QCoreApplication::translate("DateRangeFilter", "All time");
    case Kind::today: return QCoreApplication::translate("DateRangeFilter", "Today");
    case Kind::last7: return QCoreApplication::translate("DateRangeFilter", "Last 7 days");
    case Kind::last30: return QCoreApplication::translate("DateRangeFilter", "Last 30 days");
    case Kind::last90: return QCoreApplication::translate("DateRangeFilter", "Last 90 days");
    case Kind::thisYear: return QCoreApplication::translate("DateRangeFilter", "This year");
    case Kind::custom: return QCoreApplication::translate("DateRangeFilter", "Custom range");
    }
    return {};
}

QString DateRangeFilter::shortLabel() const
{
    switch (m_kind) {
    case Kind::all: return QCoreApplication::translate("DateRangeFilter", "All time");
    case Kind::today: return QCoreApplication::translate("DateRangeFilter", "Today");
    case Kind::last7: return QCoreApplication::translate("DateRangeFilter", "7 days");
    case Kind::last30: return QCoreApplication::translate("DateRangeFilter", "30 days");
    case Kind::last90: return QCoreApplication::translate("DateRangeFilter", "90 days");
    case Kind::thisYear: return QCoreApplication::translate("DateRangeFilter", "Year");
    case Kind::custom:
        return QCoreApplication::translate("DateRangeFilter", "%1 – %2", "first and last day")
                .arg(monthDay(m_start), monthDay(m_end));
    }
    return {};
}

bool DateRangeFilter::includes(const QDateTime &date, const QDateTime &now) const
{
    switch (m_kind) {
    case Kind::all:
        return true;
    case Kind::today:
        return date.toLocalTime().date() == QDate::currentDate();
    case Kind::last7:
        return wholeDaysBetween(date, now) <= 7;
    case Kind::last30:
        return wholeDaysBetween(date, now) <= 30;
    case Kind::last90:
        return wholeDaysBetween(date, now) <= 90;
    case Kind::thisYear:
        return date.toLocalTime().date().year() == now.toLocalTime().date().year();
    case Kind::custom: {
        // Both ends are whole days and inclusive: midnight after the end day still passes.
        const QDateTime lower = m_start.toLocalTime().date().startOfDay();
        const QDateTime upper = m_end.toLocalTime().date().addDays(1).startOfDay();
        return date >= lower && date <= upper;
    }
    }
    return false;
}

bool DateRangeFilter::operator==(const DateRangeFilter &other) const
{
    if (m_kind != other.m_kind)
        return false;
    return m_kind != Kind::custom || (m_start == other.m_start && m_end == other.m_end);
}
