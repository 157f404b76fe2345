#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QtQmlIntegration>

// A filter on the date a reel was posted, evaluated in the user's local calendar and time zone.
class DateRangeFilter
{
    Q_GADGET
    QML_VALUE_TYPE(dateRangeFilter)
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(QString label READ label CONSTANT)
    Q_PROPERTY(QString shortLabel READ shortLabel CONSTANT)
    Q_PROPERTY(QDateTime start READ start CONSTANT)
    Q_PROPERTY(QDateTime end READ end CONSTANT)

public:
    enum class Kind { all, today, last7, last30, last90, thisYear, custom };
    Q_ENUM(Kind)

    DateRangeFilter(Kind kind = Kind::all);
    static DateRangeFilter custom(const QDateTime &start, const QDateTime &end);
    // The preset filters in menu order; a custom range is offered separately.
    static QList<DateRangeFilter> presets();

    Kind kind() const { return m_kind; }
    QDateTime start() const { return m_start; }
    QDateTime end() const { return m_end; }

    QString label() const;
    QString shortLabel() const;

    // Whether a reel posted at `date` passes. `today` looks at the clock, not at `now`.
    bool includes(const QDateTime &date, const QDateTime &now) const;

    bool operator==(const DateRangeFilter &other) const;

private:
    Kind m_kind = Kind::all;
    QDateTime m_start;
    QDateTime m_end;
};

Q_DECLARE_METATYPE(DateRangeFilter)
