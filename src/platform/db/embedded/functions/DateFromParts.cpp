#include "platform/db/embedded/functions/DateFromParts.h"

#include "platform/db/embedded/storage/StoredDate.h"

#include <array>

namespace estaciones::db::tsql {

namespace {

[[noreturn]] void failConstruct(const char* type) {
    throw ConversionError(289, QStringLiteral("Cannot construct data type %1, some of the "
                                              "arguments have values which are not valid.")
                                   .arg(QLatin1String(type)));
}

// The parts [first, first + count) as whole numbers; nothing when one is NULL.
template <size_t count>
std::optional<std::array<qint64, count>> partsOf(const Call& c, size_t first = 0) {
    std::array<qint64, count> parts{};
    for (size_t i = 0; i < count; ++i) {
        if (c.arg(first + i).isNull())
            return std::nullopt;
        parts[i] = c.integer(first + i);
    }
    return parts;
}

bool fitsInt(qint64 value) {
    return value >= 0 && value <= 0x7fffffff;
}

QDate dateOf(qint64 year, qint64 month, qint64 day, const char* type) {
    const QDate date = fitsInt(year) && fitsInt(month) && fitsInt(day)
                           ? QDate(static_cast<int>(year), static_cast<int>(month),
                                   static_cast<int>(day))
                           : QDate();
    if (!date.isValid() || year < 1 || year > 9999)
        failConstruct(type);
    return date;
}

// The time of day to the 100-ns step; `fractions` in units of 10^-precision s.
PreciseDateTime timeOf(const QDate& day, qint64 hour, qint64 minute, qint64 second,
                       qint64 fractions, qint64 precision, const char* type) {
    if (precision < 0 || precision > defaultFractionDigits)
        failConstruct(type);
    qint64 unit = 1;
    for (qint64 i = 0; i < precision; ++i)
        unit *= 10;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        fractions < 0 || fractions >= unit)
        failConstruct(type);
    qint64 ticksPerFraction = 1;
    for (qint64 i = precision; i < defaultFractionDigits; ++i)
        ticksPerFraction *= 10;
    const qint64 ticks = ((hour * 60 + minute) * 60 + second) * 10000000LL +
                         fractions * ticksPerFraction;
    return PreciseDateTime::fromTicks(day, ticks);
}

// The precision, which the server requires: NULL is no precision.
qint64 precisionOf(const Call& c, size_t index, const char* type) {
    if (c.arg(index).isNull())
        failConstruct(type);
    return c.integer(index);
}

SqlValue dateFromParts(const Call& c) {
    const auto p = partsOf<3>(c);
    if (!p)
        return {};
    const QDate date = dateOf((*p)[0], (*p)[1], (*p)[2], "date");
    return SqlValue::of(formatStoredDate(naiveDateTime(date, QTime(0, 0)), DateKind::Date));
}

SqlValue dateTimeFromParts(const Call& c) {
    const auto p = partsOf<7>(c);
    if (!p)
        return {};
    const auto& [year, month, day, hour, minute, second, milliseconds] = *p;
    if (year < 1753)
        failConstruct("datetime");
    const QDate date = dateOf(year, month, day, "datetime");
    const PreciseDateTime value = timeOf(date, hour, minute, second, milliseconds, 3, "datetime");
    return SqlValue::of(formatStoredDate(value, DateKind::DateTime));
}

SqlValue smallDateTimeFromParts(const Call& c) {
    const auto p = partsOf<5>(c);
    if (!p)
        return {};
    const auto& [year, month, day, hour, minute] = *p;
    const QDate date = dateOf(year, month, day, "smalldatetime");
    // 1 January 1900 to 6 June 2079, the type's whole range.
    if (date < QDate(1900, 1, 1) || date > QDate(2079, 6, 6))
        failConstruct("smalldatetime");
    const PreciseDateTime value = timeOf(date, hour, minute, 0, 0, 0, "smalldatetime");
    return SqlValue::of(formatStoredDate(value, DateKind::SmallDateTime));
}

SqlValue dateTime2FromParts(const Call& c) {
    const qint64 precision = precisionOf(c, 7, "datetime2");
    const auto p = partsOf<7>(c);
    if (!p)
        return {};
    const auto& [year, month, day, hour, minute, second, fractions] = *p;
    const QDate date = dateOf(year, month, day, "datetime2");
    const PreciseDateTime value =
        timeOf(date, hour, minute, second, fractions, precision, "datetime2");
    return SqlValue::of(
        formatStoredDate(value, DateKind::DateTime2, static_cast<int>(precision)));
}

// The offset from UTC of hour_offset and minute_offset: both of one sign,
// within -14:00 to +14:00.
int offsetOf(qint64 hours, qint64 minutes) {
    const bool oneSign = (hours >= 0 && minutes >= 0) || (hours <= 0 && minutes <= 0);
    const qint64 total = hours * 60 + minutes;
    if (!oneSign || minutes < -59 || minutes > 59 || total < -maximumOffsetMinutes ||
        total > maximumOffsetMinutes)
        failConstruct("datetimeoffset");
    return static_cast<int>(total);
}

SqlValue dateTimeOffsetFromParts(const Call& c) {
    const qint64 precision = precisionOf(c, 9, "datetimeoffset");
    // A minute offset needs its hour offset.
    if (c.arg(7).isNull() && !c.arg(8).isNull())
        failConstruct("datetimeoffset");
    const auto p = partsOf<9>(c);
    if (!p)
        return {};
    const auto& [year, month, day, hour, minute, second, fractions, hourOffset, minuteOffset] = *p;
    const QDate date = dateOf(year, month, day, "datetimeoffset");
    const PreciseDateTime value =
        timeOf(date, hour, minute, second, fractions, precision, "datetimeoffset")
            .withOffset(offsetOf(hourOffset, minuteOffset));
    const PreciseDateTime utc = value.utc();
    if (!utc.isValid() || utc.date().year() < 1 || utc.date().year() > 9999)
        failConstruct("datetimeoffset");
    return SqlValue::of(
        formatStoredDate(value, DateKind::DateTimeOffset, static_cast<int>(precision)));
}

SqlValue timeFromParts(const Call& c) {
    const qint64 precision = precisionOf(c, 4, "time");
    const auto p = partsOf<4>(c);
    if (!p)
        return {};
    const auto& [hour, minute, second, fractions] = *p;
    const PreciseDateTime value =
        timeOf(QDate(1900, 1, 1), hour, minute, second, fractions, precision, "time");
    return SqlValue::of(formatStoredDate(value, DateKind::Time, static_cast<int>(precision)));
}

const FunctionSpec dateFromPartsTable[] = {
    {"tsql_datefromparts", 3, dateFromParts, true},
    {"tsql_datetimefromparts", 7, dateTimeFromParts, true},
    {"tsql_smalldatetimefromparts", 5, smallDateTimeFromParts, true},
    {"tsql_datetime2fromparts", 8, dateTime2FromParts, true},
    {"tsql_timefromparts", 5, timeFromParts, true},
    {"tsql_datetimeoffsetfromparts", 10, dateTimeOffsetFromParts, true},
};

} // namespace

std::span<const FunctionSpec> dateFromPartsFunctions() {
    return dateFromPartsTable;
}

} // namespace estaciones::db::tsql
