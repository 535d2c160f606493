#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace estaciones::db::tsql {

// The text a date or time value keeps in the file. Every type has one fixed
// width, so that two values of a type compare and sort as their bytes do:
//   date             yyyy-MM-dd
//   datetime         yyyy-MM-dd HH:mm:ss.fff      (1/300 s, 1753 to 9999)
//   smalldatetime    yyyy-MM-dd HH:mm:ss          (to the minute)
//   datetime2(n)     yyyy-MM-dd HH:mm:ss[.n digits] (n 0 to 7, 7 by default)
//   time(n)          HH:mm:ss[.n digits]
//   datetimeoffset(n) yyyy-MM-dd HH:mm:ss[.n digits] +hh:mm (the local time
//                    and its offset; a value without the offset is +00:00)
// It is written once, where a value enters (bind, store trigger, CONVERT),
// and read back without a regular expression.

// Dates here carry no time zone: Qt::UTC keeps Qt from consulting the
// system's zone (and the disk) on every value.
inline QDateTime naiveDateTime(const QDate& date, const QTime& time) {
    return QDateTime(date, time, Qt::UTC);
}

// A date and time to 100 ns, the finest datetime2 and time keep: QDateTime
// holds the milliseconds, `ticks` the 100-ns steps below them (0 to 9999).
// `offsetMinutes` is the offset from UTC the value was written with, when
// it has one (a datetimeoffset, a literal ending in '+05:10' or 'Z').
struct PreciseDateTime {
    QDateTime at;
    int ticks = 0;
    std::optional<int> offsetMinutes;

    PreciseDateTime() = default;
    PreciseDateTime(const QDateTime& value, int belowMillisecond = 0) // NOLINT: a QDateTime is one
        : at(value), ticks(belowMillisecond) {}

    QDate date() const { return at.date(); }
    QTime time() const { return at.time(); }
    bool isValid() const { return at.isValid(); }
    // 100-ns steps since midnight.
    qint64 ticksOfDay() const {
        return static_cast<qint64>(at.time().msecsSinceStartOfDay()) * 10000 + ticks;
    }
    static PreciseDateTime fromTicks(const QDate& day, qint64 ticksOfDay);
    // The value moved by `amount` 100-ns steps, across days as needed (the offset kept).
    PreciseDateTime addTicks(qint64 amount) const;
    // The same instant in UTC, without an offset: what datetimeoffsets compare by.
    PreciseDateTime utc() const;
    // The same instant at another offset from UTC.
    PreciseDateTime atOffset(int minutes) const;
    // The same local date and time with `minutes` as its offset.
    PreciseDateTime withOffset(std::optional<int> minutes) const;
};

// 100-ns steps, the unit of datetime2, time and datetimeoffset.
inline constexpr qint64 ticksPerMinute = 600000000LL;
inline constexpr qint64 ticksPerDay = 1440 * ticksPerMinute;

enum class DateKind { DateTime, SmallDateTime, Date, Time, DateTime2, DateTimeOffset };

// The offsets from UTC a datetimeoffset keeps: -14:00 to +14:00.
inline constexpr int maximumOffsetMinutes = 14 * 60;
// '+05:10', '-08:00': the offset as the server writes it.
QString offsetText(int minutes);
// The minutes of an offset written '+hh:mm' or '-hh:mm' (hours 0 to 14,
// minutes 0 to 59, at most 14:00), nullopt for anything else.
std::optional<int> parseOffsetText(QStringView text);
// The length of a stored date text without its ' +hh:mm' ending, and the
// ending's minutes (nullopt when the text has none).
int withoutOffsetLength(const char* text, int length, std::optional<int>* minutes = nullptr);

// The digits of fraction datetime2 and time keep when their type does not say.
inline constexpr int defaultFractionDigits = 7;

std::optional<DateKind> dateKindOf(QStringView typeName);
// The n of "datetime2(n)", "time(n)" or "datetimeoffset(n)" (7 without one,
// 0 for the other kinds).
int fractionDigitsOf(QStringView typeName);

// The value as a column of `kind` keeps it, rounded as the server rounds
// (datetime to 1/300 s: .002 is .003 and 23:59:59.999 the next day;
// smalldatetime to the minute; datetime2, time and datetimeoffset to
// `fractionDigits`; a datetimeoffset without an offset is at +00:00).
QString formatStoredDate(const PreciseDateTime& value, DateKind kind = DateKind::DateTime,
                         int fractionDigits = defaultFractionDigits);
// 242 when the value is outside the type's range (datetime 1753-9999,
// smalldatetime 1900 to 6 June 2079); a datetimeoffset's local time and its
// UTC time both within years 1 to 9999 (241 otherwise).
void checkDateRange(const PreciseDateTime& value, DateKind kind);

// A stored text read back: 'yyyy-MM-dd', 'yyyy-MM-dd HH:mm:ss' with an
// optional fraction of 1 to 7 digits ('T' also separates) and an optional
// offset ' +hh:mm', or a time alone (on 1 January 1900). nullopt for any
// other text.
std::optional<PreciseDateTime> readStoredDate(const char* text, int length);

// The same text's day, time to the millisecond and 100-ns steps below it,
// without the QDateTime: what a read of many rows takes. An offset is left out.
struct StoredDateParts {
    QDate date;
    QTime time;
    int ticks = 0;
};
std::optional<StoredDateParts> readStoredDateParts(const char* text, int length);

// Whether the text is in one of those forms (its shape, not its calendar).
bool isStoredDateText(const char* text, int length);
// Whether it is a datetimeoffset's, with its offset ('... +01:00').
bool isStoredOffsetText(const char* text, int length);
bool isStoredOffsetText(const QString& text);

// The 27 bytes 'yyyy-MM-dd HH:mm:ss.fffffff' a stored text stands for, so
// that values of different widths compare by their bytes (a text with an
// offset by its UTC time); false when the text is not stored form.
bool storedDateKey(const char* text, int length, char (&key)[27]);
// The same key for a value already read.
void dateKey(const PreciseDateTime& value, char (&key)[27]);

} // namespace estaciones::db::tsql
