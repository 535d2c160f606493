#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace estaciones::db::tsql {

// Dates travel through SQLite as text 'yyyy-mm-dd hh:mm:ss[.fff]'. These read
// the literals SQL Server accepts and do SQL Server's date arithmetic on them.

// Dates here carry no time zone: Qt::UTC keeps Qt from consulting the
// system's zone (and the disk) on every value.
inline QDateTime naiveDateTime(const QDate& date, const QTime& time) {
    return QDateTime(date, time, Qt::UTC);
}

// Reads 'd/m/yyyy', 'dd/mm/yy', 'd-m-yyyy', 'd.m.yyyy' (in `order`),
// 'yyyymmdd', ISO 'yyyy-mm-dd', 'yyyy/mm/dd', each with an optional time
// 'hh:mm[:ss[.fff]]' [AM|PM], or a time alone (on 1 January 1900).
// Two-digit years below 50 are 20xx. nullopt for anything else.
std::optional<QDateTime> parseDateText(QStringView text, DateOrder order = DateOrder::DMY);

enum class DateKind { DateTime, SmallDateTime, Date, Time, DateTime2 };
// How a value of that type is stored: datetime 'yyyy-mm-dd hh:mm:ss' (with
// '.fff' when there are milliseconds, rounded to the server's 1/300 s),
// smalldatetime to the minute, datetime2 to the millisecond, date
// 'yyyy-mm-dd', time 'hh:mm:ss'.
QString formatStoredDate(const QDateTime& value, DateKind kind = DateKind::DateTime);
// 242 when the value is outside the type's range (datetime 1753-9999,
// smalldatetime 1900 to 6 June 2079).
void checkDateRange(const QDateTime& value, DateKind kind);
std::optional<DateKind> dateKindOf(QStringView typeName);

// The datepart names and abbreviations of DATEADD, DATEDIFF, DATEPART, DATENAME.
enum class DatePart {
    Year,
    Quarter,
    Month,
    DayOfYear,
    Day,
    Week,
    Weekday,
    Hour,
    Minute,
    Second,
    Millisecond,
    IsoWeek
};
std::optional<DatePart> parseDatePart(QStringView name);

// DATEADD: months and years clamp to the last day of the month (31 Jan + 1 month = 29 Feb).
QDateTime dateAdd(DatePart part, qint64 amount, const QDateTime& value);
// DATEDIFF: the number of `part` boundaries crossed from `from` to `to`
// (weeks start on Sunday whatever the language, as SQL Server counts them).
qint64 dateDiff(DatePart part, const QDateTime& from, const QDateTime& to);
// DATEPART: weekday and week count from the session's first day
// (`firstDayOfWeek`, 1 Monday ... 7 Sunday; 0: the language's, Monday in
// Spanish, Sunday in English).
qint64 datePart(DatePart part, const QDateTime& value, Language language, int firstDayOfWeek = 0);
// DATENAME: month and weekday names in the session language, numbers otherwise.
QString dateName(DatePart part, const QDateTime& value, Language language, int firstDayOfWeek = 0);

// CONVERT(varchar, date, style) for the styles SQL Server documents: 0-14
// without the century and 100-114 with it, 20-25, 120, 121, 126 and 127.
// nullopt for any other style.
std::optional<QString> formatDateStyle(const QDateTime& value, int style);
// The order a style reads its input in, for CONVERT(datetime, text, style).
std::optional<DateOrder> dateOrderOfStyle(int style);

// SQL Server's day zero (1 January 1900): CONVERT(datetime, 1) is 2 January 1900.
QDateTime dayZero();

} // namespace estaciones::db::tsql
