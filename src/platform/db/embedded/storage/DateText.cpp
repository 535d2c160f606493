#include "platform/db/embedded/storage/DateText.h"

#include "platform/db/embedded/storage/SqlValue.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace estaciones::db::tsql {

namespace {

int twoDigitYear(int year) {
    return year < 50 ? 2000 + year : 1900 + year;
}

// "hh:mm[:ss[.fffffff]] [AM|PM] [+hh:mm|Z]"; an empty text is midnight. The
// offset ('+5:00' and '+01:0' are written too) stays with the value, and one
// beyond -14:00 to +14:00 makes the text no date.
std::optional<PreciseDateTime> parseTime(const QDate& day, QStringView text) {
    const QString trimmed = text.trimmed().toString();
    if (trimmed.isEmpty())
        return PreciseDateTime(naiveDateTime(day, QTime(0, 0)));
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:[.:](\d{1,7}))?)?\s*([AaPp][Mm])?)"
                       R"(\s*(?:([Zz])|([+-])(\d{1,2}):(\d{1,2}))?$)"));
    const auto m = pattern.match(trimmed);
    if (!m.hasMatch())
        return std::nullopt;
    int hour = m.captured(1).toInt();
    const QString meridian = m.captured(5).toUpper();
    if (!meridian.isEmpty()) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = (hour % 12) + (meridian == QLatin1String("PM") ? 12 : 0);
    }
    const int fraction = (m.captured(4) + QStringLiteral("000000")).left(7).toInt(); // 100 ns
    const QTime time(hour, m.captured(2).toInt(), m.captured(3).toInt(), fraction / 10000);
    if (!time.isValid())
        return std::nullopt;
    std::optional<int> offset;
    if (m.hasCaptured(6)) {
        offset = 0;
    } else if (m.hasCaptured(7)) {
        const int intoHour = m.captured(9).toInt();
        const int minutes = m.captured(8).toInt() * 60 + intoHour;
        if (intoHour > 59 || minutes > maximumOffsetMinutes)
            return std::nullopt;
        offset = m.captured(7) == QLatin1String("-") ? -minutes : minutes;
    }
    return PreciseDateTime(naiveDateTime(day, time), fraction % 10000).withOffset(offset);
}

std::optional<PreciseDateTime> combine(int year, int month, int day, QStringView timeText) {
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1 || year > 9999) // each type checks its own range
        return std::nullopt;
    return parseTime(date, timeText);
}

const std::array<const char*, 12> spanishMonths = {
    "Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
    "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};
const std::array<const char*, 12> englishMonths = {"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
const std::array<const char*, 7> spanishDays = {"Lunes",   "Martes", "Miércoles", "Jueves",
                                                "Viernes", "Sábado", "Domingo"};
const std::array<const char*, 7> englishDays = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                "Friday", "Saturday", "Sunday"};
const std::array<const char*, 12> italianMonths = {"gennaio",   "febbraio", "marzo",    "aprile",
                                                   "maggio",    "giugno",   "luglio",   "agosto",
                                                   "settembre", "ottobre",  "novembre", "dicembre"};
const std::array<const char*, 7> italianDays = {"lunedì",  "martedì", "mercoledì", "giovedì",
                                                "venerdì", "sabato",  "domenica"};

// 1 to 12 for a month's name or its first three letters, in English,
// Spanish or Italian (the styles write them so); 0 for any other word.
int monthOfName(QStringView word) {
    for (const auto* names : {&englishMonths, &spanishMonths, &italianMonths}) {
        for (int i = 0; i < 12; ++i) {
            const QString name = QString::fromUtf8((*names)[static_cast<size_t>(i)]);
            if (word.compare(name, Qt::CaseInsensitive) == 0 ||
                word.compare(name.left(3), Qt::CaseInsensitive) == 0)
                return i + 1;
        }
    }
    return 0;
}

int fullYear(const QString& digits) {
    return digits.size() == 2 ? twoDigitYear(digits.toInt()) : digits.toInt();
}

// 'Jan[uary] 10[,] 1900', '10 Jan[uary][,] 1900' and '1900 Jan[uary] [10]',
// each with an optional time after it.
std::optional<PreciseDateTime> parseAlphabeticDate(const QString& s) {
    static const QRegularExpression monthFirst(
        QStringLiteral(R"(^(\p{L}+)\s+(\d{1,2}),?\s+(\d{4}|\d{2})(?:\s+(.*))?$)"));
    static const QRegularExpression dayFirst(
        QStringLiteral(R"(^(\d{1,2})\s+(\p{L}+),?\s+(\d{4}|\d{2})(?:\s+(.*))?$)"));
    static const QRegularExpression yearFirst(
        QStringLiteral(R"(^(\d{4})\s+(\p{L}+)(?:\s+(\d{1,2}))?(?:\s+(.*))?$)"));
    if (auto m = monthFirst.match(s); m.hasMatch()) {
        const int month = monthOfName(m.capturedView(1));
        if (month > 0)
            return combine(fullYear(m.captured(3)), month, m.captured(2).toInt(),
                           m.capturedView(4));
    }
    if (auto m = dayFirst.match(s); m.hasMatch()) {
        const int month = monthOfName(m.capturedView(2));
        if (month > 0)
            return combine(fullYear(m.captured(3)), month, m.captured(1).toInt(),
                           m.capturedView(4));
    }
    if (auto m = yearFirst.match(s); m.hasMatch()) {
        const int month = monthOfName(m.capturedView(2));
        const int day = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
        if (month > 0)
            return combine(m.captured(1).toInt(), month, day, m.capturedView(4));
    }
    return std::nullopt;
}

// Weeks that start on Sunday, counted from an arbitrary fixed Sunday.
qint64 sundayWeek(const QDate& date) {
    // Julian day 0 was a Monday, so day + 1 is a multiple of 7 on Sundays.
    return static_cast<qint64>(std::floor((date.toJulianDay() + 1) / 7.0));
}

qint64 floorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// 100-ns steps since day zero.
qint64 ticksSinceDayZero(const PreciseDateTime& value) {
    const qint64 days = dayZero().date().daysTo(value.date());
    return days * 864000000000LL + value.ticksOfDay();
}

// The letters of the order, the place of each part in the text.
const char* orderLetters(DateOrder order) {
    switch (order) {
    case DateOrder::DMY:
        return "dmy";
    case DateOrder::MDY:
        return "mdy";
    case DateOrder::YMD:
        return "ymd";
    case DateOrder::YDM:
        return "ydm";
    case DateOrder::MYD:
        return "myd";
    case DateOrder::DYM:
        return "dym";
    }
    return "dmy";
}

struct NumericDay {
    int year;
    int month;
    int day;
};

// Three numbers parted alike (4/15/2008, 15/2008/04, 96/4/15). A part of four
// digits is the year wherever it stands, the other two month and day in the
// order's sequence; else each is the part the order puts there, a year of
// two digits in the century the two-digit year cutoff gives.
std::optional<NumericDay> numericDate(const std::array<QString, 3>& parts, DateOrder order) {
    const QByteArray letters(orderLetters(order));
    const auto fourDigits = std::count_if(parts.begin(), parts.end(),
                                          [](const QString& p) { return p.size() == 4; });
    if (fourDigits > 1 || std::any_of(parts.begin(), parts.end(),
                                      [](const QString& p) { return p.size() == 3; }))
        return std::nullopt;
    NumericDay date{};
    if (fourDigits == 1) {
        const bool monthFirst = letters.indexOf('m') < letters.indexOf('d');
        std::vector<int> others;
        for (const QString& part : parts) {
            if (part.size() == 4)
                date.year = part.toInt();
            else
                others.push_back(part.toInt());
        }
        date.month = others[monthFirst ? 0 : 1];
        date.day = others[monthFirst ? 1 : 0];
        return date;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        const int value = parts[i].toInt();
        switch (letters[static_cast<int>(i)]) {
        case 'y':
            date.year = twoDigitYear(value);
            break;
        case 'm':
            date.month = value;
            break;
        default:
            date.day = value;
        }
    }
    return date;
}

} // namespace

QDateTime dayZero() {
    return naiveDateTime(QDate(1900, 1, 1), QTime(0, 0));
}

std::optional<PreciseDateTime> parseDateText(QStringView text, DateOrder order) {
    const QString s = text.trimmed().toString();
    if (s.isEmpty())
        return std::nullopt;
    // yyyy-mm-dd and yyyy/mm/dd: year, month, day whatever the session's
    // order, but for yyyy/dd/mm under ydm. The dashed form, which stored
    // dates take, stays year, month, day.
    static const QRegularExpression yearFirst(
        QStringLiteral(R"(^(\d{4})([-/.])(\d{1,2})[-/.](\d{1,2})(?:[ T](.*))?$)"));
    if (auto m = yearFirst.match(s); m.hasMatch()) {
        const bool dayBeforeMonth = order == DateOrder::YDM && m.captured(2) != QLatin1String("-");
        return combine(m.captured(1).toInt(), m.captured(dayBeforeMonth ? 4 : 3).toInt(),
                       m.captured(dayBeforeMonth ? 3 : 4).toInt(), m.capturedView(5));
    }
    static const QRegularExpression compact(
        QStringLiteral(R"(^(\d{4})(\d{2})(\d{2})(?:\s+(.*))?$)"));
    if (auto m = compact.match(s); m.hasMatch())
        return combine(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                       m.capturedView(4));
    static const QRegularExpression separated(
        QStringLiteral(R"(^(\d{1,4})([-/.])(\d{1,4})\2(\d{1,4})(?:\s+(.*))?$)"));
    if (auto m = separated.match(s); m.hasMatch()) {
        if (const auto day = numericDate({m.captured(1), m.captured(3), m.captured(4)}, order))
            return combine(day->year, day->month, day->day, m.capturedView(5));
        return std::nullopt;
    }
    if (s.contains(QLatin1Char(':'))) {
        if (auto time = parseTime(dayZero().date(), s))
            return time;
    }
    if (s.front().isLetter() || s.contains(QLatin1Char(' ')))
        return parseAlphabeticDate(s);
    return std::nullopt;
}

QString inIsoOrder(const QString& text, DateOrder order, DateKind kind) {
    if (order != DateOrder::YDM || (kind != DateKind::DateTime && kind != DateKind::SmallDateTime))
        return text;
    // The T of ISO 8601 ('2025-01-13T10:00') reads the same under every order.
    static const QRegularExpression dashed(
        QStringLiteral(R"(^(\s*\d{4}-)(\d{1,2})-(\d{1,2})(\s.*)?$)"),
        QRegularExpression::DotMatchesEverythingOption);
    const auto m = dashed.match(text);
    if (!m.hasMatch())
        return text;
    return m.captured(1) + m.captured(3) + QLatin1Char('-') + m.captured(2) + m.captured(4);
}

std::optional<DatePart> parseDatePart(QStringView name) {
    static const std::pair<const char*, DatePart> names[] = {
        {"year", DatePart::Year},       {"yy", DatePart::Year},
        {"yyyy", DatePart::Year},       {"quarter", DatePart::Quarter},
        {"qq", DatePart::Quarter},      {"q", DatePart::Quarter},
        {"month", DatePart::Month},     {"mm", DatePart::Month},
        {"m", DatePart::Month},         {"dayofyear", DatePart::DayOfYear},
        {"dy", DatePart::DayOfYear},    {"y", DatePart::DayOfYear},
        {"day", DatePart::Day},         {"dd", DatePart::Day},
        {"d", DatePart::Day},           {"week", DatePart::Week},
        {"wk", DatePart::Week},         {"ww", DatePart::Week},
        {"weekday", DatePart::Weekday}, {"dw", DatePart::Weekday},
        {"w", DatePart::Weekday},       {"hour", DatePart::Hour},
        {"hh", DatePart::Hour},         {"minute", DatePart::Minute},
        {"mi", DatePart::Minute},       {"n", DatePart::Minute},
        {"second", DatePart::Second},   {"ss", DatePart::Second},
        {"s", DatePart::Second},        {"millisecond", DatePart::Millisecond},
        {"ms", DatePart::Millisecond},  {"microsecond", DatePart::Microsecond},
        {"mcs", DatePart::Microsecond}, {"nanosecond", DatePart::Nanosecond},
        {"ns", DatePart::Nanosecond},   {"iso_week", DatePart::IsoWeek},
        {"isowk", DatePart::IsoWeek},   {"isoww", DatePart::IsoWeek}};
    for (const auto& [text, part] : names)
        if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0)
            return part;
    return std::nullopt;
}

namespace {

// More than 10,000 years either way, which no date type holds; counting that
// far in years, months or hours would overflow the arithmetic.
bool beyondEveryDate(DatePart part, qint64 amount) {
    const qint64 magnitude = amount < 0 ? -amount : amount;
    switch (part) {
    case DatePart::Year:
        return magnitude > 10000;
    case DatePart::Quarter:
        return magnitude > 40000;
    case DatePart::Month:
        return magnitude > 120000;
    case DatePart::Hour:
        return magnitude > 87660000;
    default:
        return false;
    }
}

} // namespace

PreciseDateTime dateAdd(DatePart part, qint64 amount, const PreciseDateTime& value) {
    const auto onDay = [&](const QDate& day) {
        return PreciseDateTime(naiveDateTime(day, value.time()), value.ticks)
            .withOffset(value.offsetMinutes);
    };
    if (beyondEveryDate(part, amount))
        return {};
    switch (part) {
    case DatePart::Year:
        return onDay(value.date().addYears(static_cast<int>(amount)));
    case DatePart::Quarter:
        return onDay(value.date().addMonths(static_cast<int>(amount * 3)));
    case DatePart::Month:
        return onDay(value.date().addMonths(static_cast<int>(amount)));
    case DatePart::DayOfYear:
    case DatePart::Day:
    case DatePart::Weekday:
        return onDay(value.date().addDays(amount));
    case DatePart::Week:
    case DatePart::IsoWeek:
        return onDay(value.date().addDays(amount * 7));
    case DatePart::Hour:
        return value.addTicks(amount * 36000000000LL);
    case DatePart::Minute:
        return value.addTicks(amount * 600000000LL);
    case DatePart::Second:
        return value.addTicks(amount * 10000000LL);
    case DatePart::Millisecond:
        return value.addTicks(amount * 10000LL);
    case DatePart::Microsecond:
        return value.addTicks(amount * 10LL);
    case DatePart::Nanosecond: {
        // Nanoseconds round to the 100 ns a value keeps: 49 add nothing, 50 add 100.
        const qint64 steps = amount >= 0 ? (amount + 50) / 100 : -((-amount + 49) / 100);
        return value.addTicks(steps);
    }
    }
    return value;
}

qint64 dateDiff(DatePart part, const PreciseDateTime& fromValue, const PreciseDateTime& toValue) {
    // Values with an offset count between their UTC times.
    const PreciseDateTime from = fromValue.utc();
    const PreciseDateTime to = toValue.utc();
    const QDate a = from.date();
    const QDate b = to.date();
    const auto boundaries = [&](qint64 ticksPerUnit) {
        return floorDiv(ticksSinceDayZero(to), ticksPerUnit) -
               floorDiv(ticksSinceDayZero(from), ticksPerUnit);
    };
    switch (part) {
    case DatePart::Year:
        return b.year() - a.year();
    case DatePart::Quarter:
        return (b.year() * 4 + (b.month() - 1) / 3) - (a.year() * 4 + (a.month() - 1) / 3);
    case DatePart::Month:
        return (b.year() * 12 + b.month()) - (a.year() * 12 + a.month());
    case DatePart::DayOfYear:
    case DatePart::Day:
    case DatePart::Weekday:
        return a.daysTo(b);
    case DatePart::Week:
    case DatePart::IsoWeek:
        return sundayWeek(b) - sundayWeek(a);
    case DatePart::Hour:
        return boundaries(36000000000LL);
    case DatePart::Minute:
        return boundaries(600000000LL);
    case DatePart::Second:
        return boundaries(10000000LL);
    case DatePart::Millisecond:
        return boundaries(10000LL);
    case DatePart::Microsecond:
        return boundaries(10LL);
    case DatePart::Nanosecond:
        return (ticksSinceDayZero(to) - ticksSinceDayZero(from)) * 100;
    }
    return 0;
}

qint64 datePart(DatePart part, const PreciseDateTime& value, Language language,
                int firstDayOfWeek) {
    const QDate d = value.date();
    const int firstDay = firstDayOfWeek > 0              ? firstDayOfWeek
                         : language != Language::English ? 1
                                                         : 7;
    switch (part) {
    case DatePart::Year:
        return d.year();
    case DatePart::Quarter:
        return (d.month() - 1) / 3 + 1;
    case DatePart::Month:
        return d.month();
    case DatePart::DayOfYear:
        return d.dayOfYear();
    case DatePart::Day:
        return d.day();
    case DatePart::Week: {
        // Week 1 holds 1 January; weeks start on the session's first day.
        const QDate jan1(d.year(), 1, 1);
        const int offset = (jan1.dayOfWeek() - firstDay + 7) % 7;
        return (d.dayOfYear() - 1 + offset) / 7 + 1;
    }
    case DatePart::Weekday:
        return (d.dayOfWeek() - firstDay + 7) % 7 + 1;
    case DatePart::Hour:
        return value.time().hour();
    case DatePart::Minute:
        return value.time().minute();
    case DatePart::Second:
        return value.time().second();
    case DatePart::Millisecond:
        return value.time().msec();
    case DatePart::Microsecond:
        return value.ticksOfDay() % 10000000 / 10;
    case DatePart::Nanosecond:
        return value.ticksOfDay() % 10000000 * 100;
    case DatePart::IsoWeek:
        return d.weekNumber();
    }
    return 0;
}

QString dateName(DatePart part, const PreciseDateTime& value, Language language,
                 int firstDayOfWeek) {
    const auto& months = language == Language::Spanish   ? spanishMonths
                         : language == Language::Italian ? italianMonths
                                                         : englishMonths;
    const auto& days = language == Language::Spanish   ? spanishDays
                       : language == Language::Italian ? italianDays
                                                       : englishDays;
    if (part == DatePart::Month)
        return QString::fromUtf8(months[value.date().month() - 1]);
    if (part == DatePart::Weekday)
        return QString::fromUtf8(days[value.date().dayOfWeek() - 1]);
    return QString::number(datePart(part, value, language, firstDayOfWeek));
}

std::optional<QString> formatDateStyle(const QDateTime& value, int style, Language language) {
    const auto f = [&](const char* format) { return value.toString(QString::fromLatin1(format)); };
    const QDate d = value.date();
    const QTime t = value.time();
    const auto& months = language == Language::Spanish   ? spanishMonths
                         : language == Language::Italian ? italianMonths
                                                         : englishMonths;
    const QString month = QString::fromUtf8(months[d.month() - 1]).left(3);
    const bool century = style >= 100;
    const QString year = century ? f("yyyy") : f("yy");
    // The 12-hour clock of the styles that spell the month: hour blank-padded, AM/PM glued on.
    const auto twelveHour = [&](bool seconds) {
        const QString hour = QString::number(t.hour() % 12 == 0 ? 12 : t.hour() % 12);
        QString clock = QStringLiteral("%1:%2").arg(hour, 2).arg(t.minute(), 2, 10, QLatin1Char('0'));
        if (seconds)
            clock += QStringLiteral(":%1:%2")
                         .arg(t.second(), 2, 10, QLatin1Char('0'))
                         .arg(t.msec(), 3, 10, QLatin1Char('0'));
        return clock + (t.hour() < 12 ? QLatin1String("AM") : QLatin1String("PM"));
    };
    const QString monthDayYear = QStringLiteral("%1 %2 %3").arg(month).arg(d.day(), 2).arg(d.year());
    switch (style) {
    case 0:
    case 100:
        return monthDayYear + QLatin1Char(' ') + twelveHour(false);
    case 9:
    case 109:
        return monthDayYear + QLatin1Char(' ') + twelveHour(true);
    case 1:
    case 101:
        return f("MM/dd/") + year;
    case 2:
    case 102:
        return year + f(".MM.dd");
    case 3:
    case 103:
        return f("dd/MM/") + year;
    case 4:
    case 104:
        return f("dd.MM.") + year;
    case 5:
    case 105:
        return f("dd-MM-") + year;
    case 6:
    case 106:
        return QStringLiteral("%1 %2 %3").arg(f("dd"), month, year);
    case 7:
    case 107:
        return QStringLiteral("%1 %2, %3").arg(month, f("dd"), year);
    case 8:
    case 108:
    case 24:
        return f("HH:mm:ss");
    case 10:
    case 110:
        return f("MM-dd-") + year;
    case 11:
    case 111:
        return year + f("/MM/dd");
    case 12:
    case 112:
        return year + f("MMdd");
    case 13:
    case 113:
        return QStringLiteral("%1 %2 %3 %4").arg(f("dd"), month, f("yyyy"), f("HH:mm:ss:zzz"));
    case 14:
    case 114:
        return f("HH:mm:ss:zzz");
    case 20:
    case 120:
        return f("yyyy-MM-dd HH:mm:ss");
    case 21:
    case 25:
    case 121:
        return f("yyyy-MM-dd HH:mm:ss.zzz");
    case 22:
        return f("MM/dd/yy ") + f("hh:mm:ss AP");
    case 23:
        return f("yyyy-MM-dd");
    case 126:
    case 127:
        return t.msec() ? f("yyyy-MM-ddTHH:mm:ss.zzz") : f("yyyy-MM-ddTHH:mm:ss");
    default:
        return std::nullopt;
    }
}

std::optional<DateOrder> dateOrderOfStyle(int style) {
    switch (style % 100) {
    case 1:
    case 10:
        return DateOrder::MDY;
    case 3:
    case 4:
    case 5:
    case 6:
        return DateOrder::DMY;
    case 2:
    case 11:
    case 12:
    case 20:
    case 21:
    case 23:
    case 26:
        return DateOrder::YMD;
    default:
        return std::nullopt;
    }
}

} // namespace estaciones::db::tsql
