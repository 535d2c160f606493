#include "platform/db/embedded/storage/StoredDate.h"

#include "platform/db/embedded/storage/SqlValue.h"

#include <algorithm>
#include <cstring>

namespace estaciones::db::tsql {

namespace {

constexpr char keyTemplate[] = "1900-01-01 00:00:00.0000000";

// The number in text[from, from + count) when every character is a digit.
int digitsAt(const char* text, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool isTimeSeparator(char c) {
    return c == ' ' || c == 'T';
}

// 'HH:mm:ss[.f{1,7}]' at text[from, length): the time and the fraction's digits.
bool timeShapeAt(const char* text, int from, int length) {
    const int n = length - from;
    if (n < 8 || text[from + 2] != ':' || text[from + 5] != ':')
        return false;
    if (digitsAt(text, from, 2) < 0 || digitsAt(text, from + 3, 2) < 0 ||
        digitsAt(text, from + 6, 2) < 0)
        return false;
    if (n == 8)
        return true;
    return n >= 10 && n <= 16 && text[from + 8] == '.' &&
           digitsAt(text, from + 9, n - 9) >= 0;
}

bool dateShape(const char* text, int length) {
    return length >= 10 && text[4] == '-' && text[7] == '-' && digitsAt(text, 0, 4) >= 0 &&
           digitsAt(text, 5, 2) >= 0 && digitsAt(text, 8, 2) >= 0;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The day of the proleptic Gregorian calendar (what QDate keeps, its Julian
// day number), or an invalid date: QDate(y, m, d) asks the calendar system
// for it, which cost more than the rest of a row's reading.
QDate calendarDay(int year, int month, int day) {
    static constexpr int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 ||
        day > monthDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0)) {
        return {};
    }
    // Days from 1 March of year 0, counted in 400-year eras.
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    constexpr qint64 julianDayOfYearZeroMarch1 = 1721120;
    return QDate::fromJulianDay(julianDayOfYearZeroMarch1 + era * 146097LL + dayOfEra);
}

// The day a time alone is read on.
const QDate& timeOnlyDay() {
    static const QDate day(1900, 1, 1);
    return day;
}

// The time at text[from, length) ('HH:mm:ss[.f{1,7}]') and its fraction's
// 100-ns steps below the millisecond, its shape and values read in one pass.
std::optional<StoredDateParts> readTime(const QDate& day, const char* text, int from, int length) {
    const int n = length - from;
    if (n < 8 || text[from + 2] != ':' || text[from + 5] != ':')
        return std::nullopt;
    const int hour = digitsAt(text, from, 2);
    const int minute = digitsAt(text, from + 3, 2);
    const int second = digitsAt(text, from + 6, 2);
    if (hour < 0 || minute < 0 || second < 0)
        return std::nullopt;
    int fraction = 0; // in 100 ns
    if (n > 8) {
        if (n < 10 || n > 16 || text[from + 8] != '.')
            return std::nullopt;
        fraction = digitsAt(text, from + 9, n - 9);
        if (fraction < 0)
            return std::nullopt;
        for (int i = n - 9; i < 7; ++i)
            fraction *= 10;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const QTime time = QTime::fromMSecsSinceStartOfDay(((hour * 60 + minute) * 60 + second) * 1000 +
                                                       fraction / 10000);
    return StoredDateParts{day, time, fraction % 10000};
}

// The value rounded to `digits` of fraction (0 to 7), halves up as the server rounds.
PreciseDateTime roundedToDigits(const PreciseDateTime& value, int digits) {
    qint64 unit = 1;
    for (int i = digits; i < 7; ++i)
        unit *= 10;
    const qint64 ticks = value.ticksOfDay();
    const qint64 rounded = (ticks + unit / 2) / unit * unit;
    return value.addTicks(rounded - ticks);
}

QString fractionText(const PreciseDateTime& value, int digits) {
    if (digits <= 0)
        return {};
    const qint64 fraction = value.ticksOfDay() % 10000000;
    return QLatin1Char('.') +
           QString::number(fraction).rightJustified(7, QLatin1Char('0')).left(digits);
}

// `count` digits of `value` at `at`.
void writeDigits(char* at, int value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// The key of the local time text[0, length) at `offsetMinutes`: its UTC
// time, worked out without a QDateTime or a QString, since sorting values at
// mixed offsets asks for it on every comparison.
bool utcKey(const char* text, int length, int offsetMinutes, char (&key)[27]) {
    const std::optional<StoredDateParts> parts = readStoredDateParts(text, length);
    if (!parts || length <= 10)
        return false;
    qint64 ticks = parts->time.msecsSinceStartOfDay() * 10000LL + parts->ticks -
                   offsetMinutes * ticksPerMinute;
    QDate day = parts->date;
    // An offset is under a day: the UTC time is at most a day either way.
    if (ticks < 0) {
        ticks += ticksPerDay;
        day = day.addDays(-1);
    } else if (ticks >= ticksPerDay) {
        ticks -= ticksPerDay;
        day = day.addDays(1);
    }
    int year = 0;
    int month = 0;
    int dayOfMonth = 0;
    day.getDate(&year, &month, &dayOfMonth);
    std::memcpy(key, keyTemplate, sizeof key);
    writeDigits(key, std::max(year, 0), 4); // the years stored values keep are 1 to 9999
    writeDigits(key + 5, month, 2);
    writeDigits(key + 8, dayOfMonth, 2);
    const qint64 seconds = ticks / 10000000;
    writeDigits(key + 11, static_cast<int>(seconds / 3600), 2);
    writeDigits(key + 14, static_cast<int>(seconds / 60 % 60), 2);
    writeDigits(key + 17, static_cast<int>(seconds % 60), 2);
    writeDigits(key + 20, static_cast<int>(ticks % 10000000), 7);
    return true;
}

} // namespace

PreciseDateTime PreciseDateTime::fromTicks(const QDate& day, qint64 ticksOfDay) {
    const qint64 days = ticksOfDay >= 0 ? ticksOfDay / ticksPerDay
                                        : -((-ticksOfDay + ticksPerDay - 1) / ticksPerDay);
    const qint64 intoDay = ticksOfDay - days * ticksPerDay;
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(intoDay / 10000));
    return PreciseDateTime(naiveDateTime(day.addDays(days), time),
                           static_cast<int>(intoDay % 10000));
}

PreciseDateTime PreciseDateTime::addTicks(qint64 amount) const {
    return fromTicks(date(), ticksOfDay() + amount).withOffset(offsetMinutes);
}

PreciseDateTime PreciseDateTime::utc() const {
    return fromTicks(date(), ticksOfDay() - offsetMinutes.value_or(0) * ticksPerMinute);
}

PreciseDateTime PreciseDateTime::atOffset(int minutes) const {
    return utc().addTicks(minutes * ticksPerMinute).withOffset(minutes);
}

PreciseDateTime PreciseDateTime::withOffset(std::optional<int> minutes) const {
    PreciseDateTime value = *this;
    value.offsetMinutes = minutes;
    return value;
}

QString offsetText(int minutes) {
    const int magnitude = minutes < 0 ? -minutes : minutes;
    return QStringLiteral("%1%2:%3")
        .arg(minutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
        .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

std::optional<int> parseOffsetText(QStringView text) {
    text = text.trimmed();
    if (text.size() != 6 || (text[0] != u'+' && text[0] != u'-') || text[3] != u':')
        return std::nullopt;
    const QByteArray digits = text.toLatin1();
    const int hours = digitsAt(digits.constData(), 1, 2);
    const int minutes = digitsAt(digits.constData(), 4, 2);
    if (hours < 0 || minutes < 0 || minutes > 59 || hours * 60 + minutes > maximumOffsetMinutes)
        return std::nullopt;
    return text[0] == u'-' ? -(hours * 60 + minutes) : hours * 60 + minutes;
}

int withoutOffsetLength(const char* text, int length, std::optional<int>* minutes) {
    // ' +hh:mm' after a date and a time: 'yyyy-MM-dd HH:mm:ss' is 19 characters.
    if (length < 26 || text[length - 7] != ' ' ||
        (text[length - 6] != '+' && text[length - 6] != '-') || text[length - 3] != ':')
        return length;
    const int hours = digitsAt(text, length - 5, 2);
    const int intoHour = digitsAt(text, length - 2, 2);
    if (hours < 0 || intoHour < 0)
        return length;
    if (minutes)
        *minutes = text[length - 6] == '-' ? -(hours * 60 + intoHour) : hours * 60 + intoHour;
    return length - 7;
}

std::optional<DateKind> dateKindOf(QStringView typeName) {
    const QString t = typeName.trimmed().toString().toLower();
    if (t == QLatin1String("datetime"))
        return DateKind::DateTime;
    if (t == QLatin1String("datetime2") || t.startsWith(QLatin1String("datetime2(")))
        return DateKind::DateTime2;
    if (t == QLatin1String("datetimeoffset") || t.startsWith(QLatin1String("datetimeoffset(")))
        return DateKind::DateTimeOffset;
    if (t == QLatin1String("smalldatetime"))
        return DateKind::SmallDateTime;
    if (t == QLatin1String("date"))
        return DateKind::Date;
    if (t == QLatin1String("time") || t.startsWith(QLatin1String("time(")))
        return DateKind::Time;
    return std::nullopt;
}

int fractionDigitsOf(QStringView typeName) {
    const auto kind = dateKindOf(typeName);
    if (kind != DateKind::DateTime2 && kind != DateKind::Time && kind != DateKind::DateTimeOffset)
        return 0;
    const qsizetype open = typeName.indexOf(QLatin1Char('('));
    if (open < 0)
        return defaultFractionDigits;
    bool ok = false;
    const int digits =
        typeName.mid(open + 1).chopped(1).trimmed().toInt(&ok); // "(n)" → n
    return ok && digits >= 0 && digits <= 7 ? digits : defaultFractionDigits;
}

QString formatStoredDate(const PreciseDateTime& value, DateKind kind, int fractionDigits) {
    switch (kind) {
    case DateKind::Date:
        return value.date().toString(QStringLiteral("yyyy-MM-dd"));
    case DateKind::Time: {
        const PreciseDateTime rounded = roundedToDigits(value, fractionDigits);
        return rounded.time().toString(QStringLiteral("HH:mm:ss")) +
               fractionText(rounded, fractionDigits);
    }
    case DateKind::SmallDateTime: {
        // smalldatetime keeps minutes: 29.998 seconds round down, 29.999 up.
        const int intoMinute = value.time().second() * 1000 + value.time().msec();
        QDateTime rounded = value.at.addSecs(intoMinute >= 29999 ? 60 : 0);
        rounded.setTime(QTime(rounded.time().hour(), rounded.time().minute()));
        return rounded.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case DateKind::DateTime: {
        // datetime counts time in 1/300 s: .002 is .003, .999 the next second.
        const qint64 ms = value.time().msecsSinceStartOfDay();
        const qint64 ticks = (ms * 3 + 5) / 10;
        const qint64 roundedMs = (ticks * 10 + 1) / 3;
        return value.at.addMSecs(roundedMs - ms)
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    }
    case DateKind::DateTime2: {
        const PreciseDateTime rounded = roundedToDigits(value, fractionDigits);
        return rounded.at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
               fractionText(rounded, fractionDigits);
    }
    case DateKind::DateTimeOffset:
        return formatStoredDate(value, DateKind::DateTime2, fractionDigits) + QLatin1Char(' ') +
               offsetText(value.offsetMinutes.value_or(0));
    }
    return {};
}

void checkDateRange(const PreciseDateTime& precise, DateKind kind) {
    if (kind == DateKind::DateTimeOffset) {
        // Both the local time and the UTC time must be dates: 9999-12-31
        // 10:10 is one in UTC but none at +13:50.
        const int offset = precise.offsetMinutes.value_or(0);
        const auto inYears = [](const PreciseDateTime& v) {
            return v.isValid() && v.date().year() >= 1 && v.date().year() <= 9999;
        };
        if (offset < -maximumOffsetMinutes || offset > maximumOffsetMinutes || !inYears(precise) ||
            !inYears(precise.utc()))
            throw ConversionError(241, QStringLiteral("Conversion failed when converting date "
                                                      "and/or time from character string."));
        return;
    }
    const QDateTime& value = precise.at;
    const int year = value.date().year();
    const bool small = kind == DateKind::SmallDateTime;
    // The last millisecond of 9999 rounds to 1/300 s into the year 10000.
    const bool roundsPastTheEnd =
        value.date() == QDate(9999, 12, 31) && value.time().msecsSinceStartOfDay() >= 86399999;
    const bool inRange = kind == DateKind::DateTime ? year >= 1753 && !roundsPastTheEnd
                         : small ? value >= naiveDateTime(QDate(1900, 1, 1), QTime(0, 0)) &&
                                       value < naiveDateTime(QDate(2079, 6, 6), QTime(23, 59, 30))
                                 : year >= 1 && year <= 9999;
    if (!inRange)
        throw ConversionError(
            242, QStringLiteral("The conversion of a varchar data type to a %1 "
                                "data type resulted in an out-of-range value.")
                     .arg(small ? QStringLiteral("smalldatetime") : QStringLiteral("datetime")));
}

std::optional<StoredDateParts> readStoredDateParts(const char* text, int length) {
    length = withoutOffsetLength(text, length);
    if (length >= 8 && length <= 16 && text[2] == ':')
        return readTime(timeOnlyDay(), text, 0, length);
    if (length < 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    if (year < 0 || month < 0 || day < 0)
        return std::nullopt;
    const QDate date = calendarDay(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    if (length == 10)
        return StoredDateParts{date, QTime(0, 0), 0};
    if (!isTimeSeparator(text[10]))
        return std::nullopt;
    return readTime(date, text, 11, length);
}

std::optional<PreciseDateTime> readStoredDate(const char* text, int length) {
    std::optional<int> offset;
    const int dateLength = withoutOffsetLength(text, length, &offset);
    const std::optional<StoredDateParts> parts = readStoredDateParts(text, dateLength);
    if (!parts)
        return std::nullopt;
    return PreciseDateTime(naiveDateTime(parts->date, parts->time), parts->ticks)
        .withOffset(offset);
}

bool isStoredDateText(const char* text, int length) {
    length = withoutOffsetLength(text, length);
    if (length >= 8 && length <= 16 && timeShapeAt(text, 0, length))
        return true;
    return dateShape(text, length) &&
           (length == 10 || (text[10] == ' ' && timeShapeAt(text, 11, length)));
}

bool isStoredOffsetText(const char* text, int length) {
    return withoutOffsetLength(text, length) != length && isStoredDateText(text, length);
}

bool isStoredOffsetText(const QString& text) {
    const QByteArray latin1 = text.toLatin1();
    return isStoredOffsetText(latin1.constData(), static_cast<int>(latin1.size()));
}

bool storedDateKey(const char* text, int length, char (&key)[27]) {
    // A datetimeoffset compares by its UTC time (a legacy one without its
    // offset is at +00:00, and its bytes are that time already).
    std::optional<int> offset;
    if (const int local = withoutOffsetLength(text, length, &offset); local != length)
        return utcKey(text, local, *offset, key);
    std::memcpy(key, keyTemplate, sizeof key);
    if (length >= 8 && length <= 16 && timeShapeAt(text, 0, length)) {
        std::memcpy(key + 11, text, static_cast<size_t>(length));
        return true;
    }
    if (!dateShape(text, length))
        return false;
    if (length > 10 && (!isTimeSeparator(text[10]) || !timeShapeAt(text, 11, length)))
        return false;
    std::memcpy(key, text, static_cast<size_t>(length));
    key[10] = ' ';
    return true;
}

void dateKey(const PreciseDateTime& value, char (&key)[27]) {
    const QByteArray text = formatStoredDate(value, DateKind::DateTime2).toLatin1();
    std::memcpy(key, text.constData(), sizeof key);
}

} // namespace estaciones::db::tsql
