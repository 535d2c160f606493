#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"
#include "platform/db/embedded/storage/StoredDate.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace estaciones::db::tsql {

// These read the literals SQL Server accepts and do SQL Server's date
// arithmetic; StoredDate.h is the text a date keeps in the file.

// Reads 'd/m/yyyy', 'dd/mm/yy', 'd-m-yyyy', 'd.m.yyyy' (in `order`),
// 'yyyymmdd', ISO 'yyyy-mm-dd', 'yyyy/mm/dd', each with an optional time
// 'hh:mm[:ss[.fffffff]]' [AM|PM] and an offset from UTC ('+05:10', 'Z') that
// the value keeps in `offsetMinutes`, or a time alone (on 1 January 1900). The
// alphabetic forms 'Jan[uary] 10[,] 1900', '10 Jan[uary][,] 1900' and
// '1900 Jan[uary] [10]' name the month in English or Spanish.
// Two-digit years below 50 are 20xx. nullopt for anything else.
std::optional<PreciseDateTime> parseDateText(QStringView text, DateOrder order = DateOrder::DMY);

// A year-first text with dashes ('2025-13-01', '2025-13-01 10:00') written
// for a value of type `kind`: datetime and smalldatetime read it as their
// numeric formats under `order`, year, day, month under ydm, while date,
// datetime2 and datetimeoffset take it as ISO year, month, day. The text
// with its numbers in ISO order, for parseDateText, which reads the dashed
// form as stored dates have it; any other text comes back as it is.
QString inIsoOrder(const QString& text, DateOrder order, DateKind kind);


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
    Microsecond,
    Nanosecond,
    IsoWeek
};
std::optional<DatePart> parseDatePart(QStringView name);

// DATEADD: months and years clamp to the last day of the month (31 Jan + 1 month = 29 Feb).
// Microseconds and nanoseconds move the 100-ns steps (nanoseconds rounded to them).
PreciseDateTime dateAdd(DatePart part, qint64 amount, const PreciseDateTime& value);
// DATEDIFF: the number of `part` boundaries crossed from `from` to `to`
// (weeks start on Sunday whatever the language, as SQL Server counts them),
// values with an offset from UTC by their UTC times.
qint64 dateDiff(DatePart part, const PreciseDateTime& from, const PreciseDateTime& to);
// DATEPART: weekday and week count from the session's first day
// (`firstDayOfWeek`, 1 Monday ... 7 Sunday; 0: the language's, Monday in
// Spanish, Sunday in English).
qint64 datePart(DatePart part, const PreciseDateTime& value, Language language,
                int firstDayOfWeek = 0);
// DATENAME: month and weekday names in the session language, numbers otherwise.
QString dateName(DatePart part, const PreciseDateTime& value, Language language,
                 int firstDayOfWeek = 0);

// CONVERT(varchar, date, style) for the styles SQL Server documents: 0-14
// without the century and 100-114 with it, 20-25, 120, 121, 126 and 127.
// nullopt for any other style. The styles that spell the month abbreviate
// it in the session language, as the server's short month names do (Ene in
// Spanish, gen in Italian, Jan in us_english).
std::optional<QString> formatDateStyle(const QDateTime& value, int style,
                                       Language language = Language::English);
// The order a style reads its input in, for CONVERT(datetime, text, style).
std::optional<DateOrder> dateOrderOfStyle(int style);

// SQL Server's day zero (1 January 1900): CONVERT(datetime, 1) is 2 January 1900.
QDateTime dayZero();

} // namespace estaciones::db::tsql
