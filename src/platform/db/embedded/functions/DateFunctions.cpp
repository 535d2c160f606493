#include "platform/db/embedded/functions/DateFunctions.h"

#include <QRegularExpression>

#include <chrono>
#include <cstdlib>

namespace estaciones::db::tsql {

// A datetime's stored text always has three digits of a second, so one
// without a fraction is a datetime2(0) or a smalldatetime, which keep that
// form; DATEADD's literals are converted to datetime before they get here.
std::pair<DateKind, int> kindOfDateText(const SqlValue& value) {
    if (value.kind != SqlValue::Kind::Text)
        return {DateKind::DateTime, 3};
    const QByteArray latin1 = value.text.trimmed().toLatin1();
    const int length = static_cast<int>(latin1.size());
    if (!isStoredDateText(latin1.constData(), length))
        return {DateKind::DateTime, 3};
    const int local = withoutOffsetLength(latin1.constData(), length);
    if (local != length)
        return {DateKind::DateTimeOffset, local > 19 ? local - 20 : 0};
    if (length == 10)
        return {DateKind::Date, 0};
    if (latin1[2] == ':')
        return {DateKind::Time, length > 8 ? length - 9 : 0};
    const int digits = length > 19 ? length - 20 : 0;
    return {digits == 3 ? DateKind::DateTime : DateKind::DateTime2, digits};
}

SqlValue datetimeoffsetOf(const PreciseDateTime& value, const SqlValue& source) {
    checkDateRange(value, DateKind::DateTimeOffset);
    const auto [kind, digits] = kindOfDateText(source);
    return SqlValue::of(
        formatStoredDate(value, DateKind::DateTimeOffset, kind == DateKind::Date ? 0 : digits));
}

namespace {

QString dateKindName(DateKind kind);

bool isPartOfTheDay(DatePart part) {
    switch (part) {
    case DatePart::Hour:
    case DatePart::Minute:
    case DatePart::Second:
    case DatePart::Millisecond:
    case DatePart::Microsecond:
    case DatePart::Nanosecond:
        return true;
    default:
        return false;
    }
}

QString datePartName(DatePart part) {
    static const char* const names[] = {"year",   "quarter",     "month",       "dayofyear",
                                        "day",    "week",        "weekday",     "hour",
                                        "minute", "second",      "millisecond", "microsecond",
                                        "nanosecond", "iso_week"};
    return QString::fromLatin1(names[static_cast<int>(part)]);
}

// A time has no day and a date no time of day: 9810 for a part the value's
// type lacks (a literal was read as a datetime2 before it got here).
void checkPartOfType(DatePart part, const SqlValue& value, const char* function) {
    const DateKind kind = kindOfDateText(value).first;
    const bool lacking = (kind == DateKind::Time && !isPartOfTheDay(part)) ||
                         (kind == DateKind::Date && isPartOfTheDay(part));
    if (lacking)
        throw ConversionError(9810, QStringLiteral("The datepart %1 is not supported by date "
                                                   "function %2 for data type %3.")
                                        .arg(datePartName(part), QLatin1String(function),
                                             dateKindName(kind)));
}

bool isTimeZoneOffset(const SqlValue& part) {
    const QString name = part.toText().trimmed();
    return name.compare(QLatin1String("tzoffset"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("tz"), Qt::CaseInsensitive) == 0;
}

// The tzoffset part: the signed minutes of the value's offset from UTC
// ('2007-05-10 00:00:01.1234567 +05:10' is 310); a value without one has 0.
qint64 offsetMinutes(const Call& c) {
    return c.date(1).offsetMinutes.value_or(0);
}

SqlValue datenameFunction(const Call& c) {
    if (c.arg(1).isNull())
        return {};
    if (isTimeZoneOffset(c.arg(0)))
        return SqlValue::of(QString::number(offsetMinutes(c)));
    checkPartOfType(c.part(0), c.arg(1), "datename");
    return SqlValue::of(
        dateName(c.part(0), c.date(1), c.settings.language, c.settings.firstDayOfWeek));
}

SqlValue datepartFunction(const Call& c) {
    if (c.arg(1).isNull())
        return {};
    if (isTimeZoneOffset(c.arg(0)))
        return SqlValue::of(offsetMinutes(c));
    checkPartOfType(c.part(0), c.arg(1), "datepart");
    return SqlValue::of(
        datePart(c.part(0), c.date(1), c.settings.language, c.settings.firstDayOfWeek));
}

QString dateKindName(DateKind kind) {
    switch (kind) {
    case DateKind::Date:
        return QStringLiteral("date");
    case DateKind::Time:
        return QStringLiteral("time");
    case DateKind::SmallDateTime:
        return QStringLiteral("smalldatetime");
    case DateKind::DateTime2:
        return QStringLiteral("datetime2");
    case DateKind::DateTimeOffset:
        return QStringLiteral("datetimeoffset");
    case DateKind::DateTime:
        break;
    }
    return QStringLiteral("datetime");
}

SqlValue dateaddFunction(const Call& c) {
    if (c.arg(1).isNull() || c.arg(2).isNull())
        return {};
    // The number is an int: a larger one fails before any date is looked at.
    const qint64 amount = c.integer(1);
    if (amount < INT32_MIN || amount > INT32_MAX)
        failOverflow(QStringLiteral("int"));
    checkPartOfType(c.part(0), c.arg(2), "dateadd");
    const PreciseDateTime result = dateAdd(c.part(0), amount, c.date(2));
    // Not a structured binding: clang 14 lets no lambda capture one.
    const std::pair<DateKind, int> typed = kindOfDateText(c.arg(2));
    DateKind kind = typed.first;
    const int digits = typed.second;
    // The binder names a smalldatetime, whose text alone is a datetime2(0)'s.
    if (c.args.size() > 3 && dateKindOf(c.arg(3).toText()) == DateKind::SmallDateTime)
        kind = DateKind::SmallDateTime;
    const int firstYear = kind == DateKind::DateTime        ? 1753
                          : kind == DateKind::SmallDateTime ? 1900
                                                            : 1;
    const auto inRange = [&](const PreciseDateTime& v) {
        if (kind == DateKind::SmallDateTime && v.isValid() && v.date() > QDate(2079, 6, 6))
            return false;
        return v.isValid() && v.date().year() >= firstYear && v.date().year() <= 9999;
    };
    if (!inRange(result) || !inRange(result.utc()))
        throw ConversionError(517, QStringLiteral("Adding a value to a '%1' column caused an "
                                                  "overflow.")
                                       .arg(dateKindName(kind)));
    return SqlValue::of(formatStoredDate(result, kind, digits));
}

// DATEDIFF answers an int, DATEDIFF_BIG a bigint; a count beyond either is 535.
SqlValue boundedDateDiff(const Call& c, bool big) {
    if (c.arg(1).isNull() || c.arg(2).isNull())
        return {};
    const DatePart part = c.part(0);
    const PreciseDateTime from = c.date(1);
    const PreciseDateTime to = c.date(2);
    const bool fits = part != DatePart::Nanosecond ||
                      std::abs(dateDiff(DatePart::Microsecond, from, to)) < INT64_MAX / 1000;
    const qint64 count = fits ? dateDiff(part, from, to) : 0;
    if (!fits || (!big && (count < INT32_MIN || count > INT32_MAX)))
        throw ConversionError(
            535, QStringLiteral("The %1 function resulted in an overflow. The number of "
                                "dateparts separating two date/time instances is too large. Try "
                                "to use %1 with a less precise datepart.")
                     .arg(big ? QStringLiteral("datediff_big") : QStringLiteral("datediff")));
    return SqlValue::of(count);
}

SqlValue datediffFunction(const Call& c) {
    return boundedDateDiff(c, false);
}

SqlValue datediffBigFunction(const Call& c) {
    return boundedDateDiff(c, true);
}

SqlValue getdateFunction(const Call&) {
    const QDateTime now = QDateTime::currentDateTime();
    return SqlValue::of(formatStoredDate(naiveDateTime(now.date(), now.time())));
}

SqlValue getutcdateFunction(const Call&) {
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    return SqlValue::of(formatStoredDate(naiveDateTime(utc.date(), utc.time())));
}

// SYSDATETIME and SYSUTCDATETIME: a datetime2(7), to the clock's 100 ns.
SqlValue clockDateTime2(bool utc) {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const qint64 ticks =
        std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
    const QDateTime instant =
        QDateTime::fromMSecsSinceEpoch(ticks / 10000, utc ? Qt::UTC : Qt::LocalTime);
    const PreciseDateTime now(naiveDateTime(instant.date(), instant.time()),
                              static_cast<int>(ticks % 10000));
    return SqlValue::of(formatStoredDate(now, DateKind::DateTime2));
}

SqlValue sysdatetimeFunction(const Call&) {
    return clockDateTime2(false);
}

// SYSDATETIMEOFFSET: the system's local time with its offset from UTC now.
SqlValue sysdatetimeoffsetFunction(const Call&) {
    const QByteArray utc = clockDateTime2(true).text.toLatin1();
    const PreciseDateTime now = *readStoredDate(utc.constData(), static_cast<int>(utc.size()));
    const int offset = QDateTime::currentDateTime().offsetFromUtc() / 60;
    return SqlValue::of(formatStoredDate(now.atOffset(offset), DateKind::DateTimeOffset));
}

// An offset argument of SWITCHOFFSET and TODATETIMEOFFSET: signed minutes, or
// a text '+hh:mm'; 9812 outside -14:00 to +14:00.
int offsetArgument(const Call& c, size_t i, const char* function) {
    std::optional<int> minutes;
    if (c.arg(i).kind == SqlValue::Kind::Text) {
        minutes = parseOffsetText(c.arg(i).text);
    } else {
        const qint64 whole = c.integer(i);
        if (whole >= -maximumOffsetMinutes && whole <= maximumOffsetMinutes)
            minutes = static_cast<int>(whole);
    }
    if (!minutes)
        throw ConversionError(9812, QStringLiteral("The timezone provided to builtin function %1 "
                                                   "is invalid.")
                                        .arg(QLatin1String(function)));
    return *minutes;
}

// SWITCHOFFSET and TODATETIMEOFFSET: the value put at the offset their
// second argument gives, by `place`.
template <class Place> SqlValue atGivenOffset(const Call& c, const char* function, Place place) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    return datetimeoffsetOf(place(c.date(0), offsetArgument(c, 1, function)), c.arg(0));
}

// SWITCHOFFSET(value, offset): the same instant at another offset.
SqlValue switchoffsetFunction(const Call& c) {
    return atGivenOffset(c, "switchoffset", [](const PreciseDateTime& value, int offset) {
        return value.atOffset(offset);
    });
}

// TODATETIMEOFFSET(value, offset): the value's local date and time at that
// offset (an offset it had is replaced, not applied).
SqlValue todatetimeoffsetFunction(const Call& c) {
    return atGivenOffset(c, "todatetimeoffset", [](const PreciseDateTime& value, int offset) {
        return value.withOffset(offset);
    });
}

SqlValue sysutcdatetimeFunction(const Call&) {
    return clockDateTime2(true);
}

// ISDATE: whether the text is a valid datetime, in datetime's range.
SqlValue isdateFunction(const Call& c) {
    if (c.arg(0).kind != SqlValue::Kind::Text)
        return SqlValue::of(qint64(0));
    const auto date = parseDateText(c.arg(0).text, c.settings.dateOrder);
    const bool valid = date && date->date().year() >= 1753;
    return SqlValue::of(qint64(valid ? 1 : 0));
}

// A text literal read as a datetime: that type keeps no more than three
// digits of a second and no offset from UTC, so a literal with either is 241.
SqlValue datetimeLiteralFunction(const Call& c) {
    const SqlValue& value = c.arg(0);
    if (value.kind != SqlValue::Kind::Text)
        return value;
    static const QRegularExpression beyondDatetime(
        QStringLiteral(R"(\d:\d{1,2}:\d{1,2}\.\d{4}|\d:\d{2}(?::\d{1,2}(?:\.\d+)?)?\s*)"
                       R"((?:[AaPp][Mm])?\s*[+-]\d{1,2}:\d{2}\s*$)"));
    if (beyondDatetime.match(value.text).hasMatch())
        throw ConversionError(241, QStringLiteral("Conversion failed when converting date "
                                                  "and/or time from character string."));
    return value;
}

// What a date column keeps: canonical text, whatever literal form came in.
SqlValue storeDateFunction(const Call& c) {
    const SqlValue& value = c.arg(0);
    if (value.isNull())
        return value;
    const QString type = c.arg(1).toText();
    const DateKind kind = dateKindOf(type).value_or(DateKind::DateTime);
    const int digits = fractionDigitsOf(type);
    // A bare 8-digit number is a 'yyyymmdd' literal that lost its quotes to affinity.
    if (value.kind == SqlValue::Kind::Integer && value.integer >= 17530101 &&
        value.integer <= 99991231) {
        if (auto d = parseDateText(QString::number(value.integer)))
            return SqlValue::of(formatStoredDate(*d, kind, digits));
    }
    // Most values come in a stored form already: read without a regular expression.
    std::optional<PreciseDateTime> stored;
    if (value.kind == SqlValue::Kind::Text) {
        const QByteArray latin1 = value.text.toLatin1();
        stored = readStoredDate(latin1.constData(), static_cast<int>(latin1.size()));
    }
    const PreciseDateTime date = stored ? *stored : c.date(0);
    checkDateRange(date, kind);
    return SqlValue::of(formatStoredDate(date, kind, digits));
}

const FunctionSpec dateTable[] = {
    {"tsql_datename", 2, datenameFunction, true},
    {"tsql_datepart", 2, datepartFunction, true},
    {"tsql_dateadd", 3, dateaddFunction, true},
    {"tsql_dateadd", 4, dateaddFunction, true},
    {"tsql_datediff", 3, datediffFunction, true},
    {"tsql_datediff_big", 3, datediffBigFunction, true},
    // The translator writes the clock's functions with one constant argument,
    // so that each call is read once per run (FunctionSpec::oncePerRun); the
    // defaults of files written before call them without one.
    {"tsql_getdate", 1, getdateFunction, false, nullptr, true},
    {"tsql_getutcdate", 1, getutcdateFunction, false, nullptr, true},
    {"tsql_sysdatetime", 1, sysdatetimeFunction, false, nullptr, true},
    {"tsql_sysutcdatetime", 1, sysutcdatetimeFunction, false, nullptr, true},
    {"tsql_sysdatetimeoffset", 1, sysdatetimeoffsetFunction, false, nullptr, true},
    {"tsql_getdate", 0, getdateFunction, false},
    {"tsql_getutcdate", 0, getutcdateFunction, false},
    {"tsql_sysdatetime", 0, sysdatetimeFunction, false},
    {"tsql_sysutcdatetime", 0, sysutcdatetimeFunction, false},
    {"tsql_sysdatetimeoffset", 0, sysdatetimeoffsetFunction, false},
    {"tsql_switchoffset", 2, switchoffsetFunction, true},
    {"tsql_todatetimeoffset", 2, todatetimeoffsetFunction, true},
    {"tsql_isdate", 1, isdateFunction, true},
    {"tsql_store_date", 2, storeDateFunction, true},
    {"tsql_datetime_literal", 1, datetimeLiteralFunction, true},
};

} // namespace

std::span<const FunctionSpec> dateFunctions() {
    return dateTable;
}

} // namespace estaciones::db::tsql
