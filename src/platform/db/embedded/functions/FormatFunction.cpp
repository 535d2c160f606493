#include "platform/db/embedded/functions/FormatFunction.h"

#include "platform/db/embedded/functions/Cultures.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace estaciones::db::tsql {

namespace {

// What .NET refuses (a FormatException), which FORMAT answers with NULL.
struct Refused {};

[[noreturn]] void notSupported(const QString& pattern) {
    throw ConversionError(40517, QStringLiteral("Keyword or statement option 'FORMAT %1' is not "
                                                "supported in this version of SQL Server.")
                                     .arg(pattern));
}

// ---- numbers -------------------------------------------------------------------

// The digits of |value| rounded to `decimals` places: whole part, fraction.
std::pair<QString, QString> digitsOf(double value, int decimals) {
    const QString text =
        QString::number(std::fabs(roundHalfAwayFromZero(value, decimals)), 'f', decimals);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? std::pair{text, QString()}
                     : std::pair{text.left(point), text.mid(point + 1)};
}

QString grouped(const QString& whole, QChar group) {
    QString out;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += group;
        out += whole[i];
    }
    return out;
}

QString fixed(double value, int decimals, const Culture& culture, bool withGroups) {
    const auto [whole, fraction] = digitsOf(value, decimals);
    QString text = withGroups ? grouped(whole, culture.group) : whole;
    if (!fraction.isEmpty())
        text += culture.decimal + fraction;
    return text;
}

bool isNegativeAfterRounding(double value, int decimals) {
    return roundHalfAwayFromZero(value, decimals) < 0;
}

QString withPattern(const char* pattern, const QString& number, const Culture& culture) {
    return QString::fromUtf8(pattern)
        .replace(QLatin1Char('n'), number)
        .replace(QLatin1Char('$'), QString::fromUtf8(culture.currency))
        .replace(QStringLiteral("£"), QString::fromUtf8(culture.currency));
}

// 'G': the shortest form of up to `precision` significant digits (15 for a
// double), in exponent form when the exponent is below -5 or reaches it.
QString general(double value, int precision, const Culture& culture) {
    if (value == 0)
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', precision);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        // 1e+20 → 1E+20; 1e-07 → 1E-07.
        const QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        const QChar sign = exponent[0] == QLatin1Char('-') ? u'-' : u'+';
        exponent.remove(0, exponent[0] == u'-' || exponent[0] == u'+' ? 1 : 0);
        text = mantissa + QStringLiteral("E") + sign + exponent.rightJustified(2, u'0');
    }
    return text.replace(QLatin1Char('.'), culture.decimal);
}

QString exponential(double value, int decimals, bool upper, const Culture& culture) {
    QString text = QString::number(std::fabs(value), 'e', decimals);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    QString exponent = text.mid(e + 2);
    text = text.left(e).replace(QLatin1Char('.'), culture.decimal) +
           (upper ? QLatin1Char('E') : QLatin1Char('e')) + text[e + 1] +
           exponent.rightJustified(3, u'0');
    return value < 0 ? QLatin1Char('-') + text : text;
}

std::optional<QString> standardNumber(const SqlValue& number, QChar kind, int precision,
                                      const Culture& culture, std::optional<int> scale) {
    const double value = number.toReal();
    const bool whole = number.kind == SqlValue::Kind::Integer;
    const auto signedText = [&](const QString& text, int decimals) {
        return isNegativeAfterRounding(value, decimals) ? QLatin1Char('-') + text : text;
    };
    switch (kind.toUpper().unicode()) {
    case 'N': {
        const int d = precision < 0 ? 2 : precision;
        return signedText(fixed(value, d, culture, true), d);
    }
    case 'F': {
        const int d = precision < 0 ? 2 : precision;
        return signedText(fixed(value, d, culture, false), d);
    }
    case 'C': {
        const int d = precision < 0 ? 2 : precision;
        return withPattern(isNegativeAfterRounding(value, d) ? culture.negativeCurrencyPattern
                                                             : culture.currencyPattern,
                           fixed(value, d, culture, true), culture);
    }
    case 'P': {
        const int d = precision < 0 ? 2 : precision;
        const QString text = withPattern(culture.percentPattern,
                                         fixed(value * 100, d, culture, true), culture);
        return isNegativeAfterRounding(value * 100, d) ? QLatin1Char('-') + text : text;
    }
    case 'D': {
        if (!whole)
            throw Refused{};
        const QString digits =
            QString::number(std::abs(number.integer)).rightJustified(std::max(precision, 0), u'0');
        return number.integer < 0 ? QLatin1Char('-') + digits : digits;
    }
    case 'X': {
        if (!whole)
            throw Refused{};
        QString digits = QString::number(static_cast<quint64>(number.integer), 16);
        if (number.integer < 0 && number.integer >= INT32_MIN)
            digits = digits.right(8); // an int's own 32 bits
        digits = digits.rightJustified(std::max(precision, 0), u'0');
        return kind == u'X' ? digits.toUpper() : digits;
    }
    case 'G':
        if (whole && precision <= 0)
            return QString::number(number.integer);
        // A money or decimal value keeps the digits of its scale.
        if (scale && precision <= 0)
            return signedText(fixed(value, *scale, culture, false), *scale);
        return general(value, precision <= 0 ? 15 : precision, culture);
    case 'E':
        return exponential(value, precision < 0 ? 6 : precision, kind == u'E', culture);
    default:
        return std::nullopt;
    }
}

// One section of a custom pattern ("#,##0.00", "###-##-####", "0%").
QString customNumber(double value, const QString& pattern, const Culture& culture,
                     bool withSign) {
    // First pass: where the placeholders are and what the pattern asks for.
    int wholePlaces = 0, minWhole = 0, fractionPlaces = 0, minFraction = 0;
    bool point = false, groups = false, sawWholeZero = false;
    int scaleThousands = 0;
    int percent = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\\') {
            ++i;
        } else if (c == u'\'' || c == u'"') {
            const qsizetype end = pattern.indexOf(c, i + 1);
            i = end < 0 ? pattern.size() : end;
        } else if (c == u'0' || c == u'#') {
            if (point) {
                ++fractionPlaces;
                if (c == u'0')
                    minFraction = fractionPlaces;
            } else {
                ++wholePlaces;
                sawWholeZero = sawWholeZero || c == u'0';
                if (sawWholeZero)
                    ++minWhole;
            }
        } else if (c == u'.' && !point) {
            point = true;
        } else if (c == u',' && !point) {
            // Between placeholders it groups; right before the point or the end it scales.
            qsizetype j = i + 1;
            while (j < pattern.size() && pattern[j] == u',')
                ++j;
            const bool placeholderFollows =
                j < pattern.size() && (pattern[j] == u'0' || pattern[j] == u'#');
            if (wholePlaces > 0 && placeholderFollows)
                groups = true;
            else if (wholePlaces > 0)
                scaleThousands += static_cast<int>(j - i);
            i = j - 1;
        } else if (c == u'%') {
            ++percent;
        } else if (c == u'E' || c == u'e' || c == u'\u2030') {
            notSupported(QStringLiteral("'%1'").arg(pattern));
        }
    }
    value = value * std::pow(100.0, percent) / std::pow(1000.0, scaleThousands);
    // Plain variables, not a structured binding: the lambdas below capture them.
    const std::pair<QString, QString> parts = digitsOf(value, fractionPlaces);
    QString whole = parts.first;
    QString fraction = parts.second;
    if (whole == QLatin1String("0"))
        whole.clear();
    whole = whole.rightJustified(minWhole, u'0');
    while (fraction.size() > minFraction && fraction.endsWith(u'0'))
        fraction.chop(1);
    const bool negative = withSign && roundHalfAwayFromZero(value, fractionPlaces) < 0;

    // Second pass: the placeholders filled, right-aligned on the whole digits.
    QString out;
    int wholeSeen = 0;
    int fractionSeen = 0;
    bool inFraction = false;
    const qsizetype excess = whole.size() - wholePlaces;
    const auto wholeDigit = [&](int place) {
        // Place `place` (0-based) shows the digits that fall on it; the first takes the excess.
        QString digits;
        const qsizetype from = place == 0 ? 0 : place + excess;
        const qsizetype to = place + excess + 1;
        for (qsizetype d = std::max<qsizetype>(from, 0); d < to; ++d) {
            const qsizetype fromRight = whole.size() - d - 1;
            digits += whole[d];
            if (groups && fromRight > 0 && fromRight % 3 == 0)
                digits += culture.group;
        }
        return digits;
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\\') {
            if (i + 1 < pattern.size())
                out += pattern[++i];
        } else if (c == u'\'' || c == u'"') {
            const qsizetype end = pattern.indexOf(c, i + 1);
            out += pattern.mid(i + 1, (end < 0 ? pattern.size() : end) - i - 1);
            i = end < 0 ? pattern.size() : end;
        } else if (c == u'0' || c == u'#') {
            if (inFraction) {
                if (fractionSeen < fraction.size())
                    out += fraction[fractionSeen];
                ++fractionSeen;
            } else {
                out += wholeDigit(wholeSeen++);
            }
        } else if (c == u'.' && !inFraction) {
            inFraction = true;
            if (!fraction.isEmpty())
                out += culture.decimal;
        } else if (c == u',' && !inFraction) {
            // Consumed by the grouping or the scaling.
        } else if (c == u'%') {
            out += u'%';
        } else {
            out += c;
        }
    }
    return negative ? QLatin1Char('-') + out : out;
}

// Sections "positive;negative;zero": the negative one shows no sign of its own.
QString customNumberSections(double value, const QString& pattern, const Culture& culture) {
    QStringList sections;
    QString current;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'\\' && i + 1 < pattern.size()) {
            current += pattern[i];
            current += pattern[++i];
        } else if (pattern[i] == u';') {
            sections << current;
            current.clear();
        } else {
            current += pattern[i];
        }
    }
    sections << current;
    if (sections.size() >= 3 && value == 0)
        return customNumber(value, sections[2], culture, false);
    if (sections.size() >= 2 && value < 0 && !sections[1].isEmpty())
        return customNumber(-value, sections[1], culture, false);
    return customNumber(value, sections[0], culture, true);
}

QString formatNumber(const SqlValue& number, const QString& pattern, const Culture& culture,
                     std::optional<int> scale) {
    static const QRegularExpression standard(QStringLiteral("^([A-Za-z])(\\d{0,2})$"));
    if (const auto m = standard.match(pattern); m.hasMatch()) {
        const int precision = m.captured(2).isEmpty() ? -1 : m.captured(2).toInt();
        if (const auto text = standardNumber(number, m.captured(1)[0], precision, culture, scale))
            return *text;
        if (QStringLiteral("RrBb").contains(m.captured(1)[0]))
            notSupported(QStringLiteral("'%1'").arg(pattern));
        throw Refused{};
    }
    return customNumberSections(number.toReal(), pattern, culture);
}

// ---- dates -------------------------------------------------------------------

// f...: that many digits of the second's fraction; F...: without trailing zeros.
QString fractionDigits(const QTime& time, QChar kind, qsizetype count) {
    if (count > 7)
        throw Refused{};
    QString fraction =
        QString::number(time.msec()).rightJustified(3, u'0').append(QString(4, u'0'));
    fraction.truncate(count);
    if (kind == u'F')
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
    return fraction;
}

// A quoted text or an escaped character at pattern[at], copied to `out`:
// the number of pattern characters it took.
qsizetype appendLiteral(const QString& pattern, qsizetype at, QString& out) {
    const QChar c = pattern[at];
    if (c == u'\\') {
        if (at + 1 >= pattern.size())
            throw Refused{};
        out += pattern[at + 1];
        return 2;
    }
    const qsizetype end = pattern.indexOf(c, at + 1);
    if (end < 0)
        throw Refused{};
    out += pattern.mid(at + 1, end - at - 1);
    return end - at + 1;
}

QString standardDatePattern(QChar kind, const Culture& culture) {
    const auto join = [](const char* a, const char* b) {
        return QString::fromUtf8(a) + QLatin1Char(' ') + QString::fromUtf8(b);
    };
    switch (kind.unicode()) {
    case 'd':
        return QString::fromUtf8(culture.shortDate);
    case 'D':
        return QString::fromUtf8(culture.longDate);
    case 'f':
        return join(culture.longDate, culture.shortTime);
    case 'F':
        return join(culture.longDate, culture.longTime);
    case 'g':
        return join(culture.shortDate, culture.shortTime);
    case 'G':
        return join(culture.shortDate, culture.longTime);
    case 'm':
    case 'M':
        return QString::fromUtf8(culture.monthDay);
    case 'y':
    case 'Y':
        return QString::fromUtf8(culture.yearMonth);
    case 't':
        return QString::fromUtf8(culture.shortTime);
    case 'T':
        return QString::fromUtf8(culture.longTime);
    case 's':
        return QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss");
    case 'u':
        return QStringLiteral("yyyy'-'MM'-'dd HH':'mm':'ss'Z'");
    case 'o':
    case 'O':
        return QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss'.'fffffff");
    default:
        throw Refused{};
    }
}

QString formatDate(const QDateTime& value, QString pattern, const Culture& culture) {
    if (pattern.size() == 1)
        pattern = standardDatePattern(pattern[0], culture);
    else if (pattern.size() == 2 && pattern[0] == u'%')
        pattern = pattern.mid(1);
    const QDate date = value.date();
    const QTime time = value.time();
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        const auto number = [&](int v, qsizetype width) {
            out += QString::number(v).rightJustified(std::min<qsizetype>(width, 2), u'0');
        };
        switch (c.unicode()) {
        case 'd':
            if (run <= 2)
                number(date.day(), run);
            else
                out += QString::fromUtf8(run == 3 ? culture.shortDays[date.dayOfWeek() - 1]
                                                  : culture.days[date.dayOfWeek() - 1]);
            break;
        case 'M':
            if (run <= 2)
                number(date.month(), run);
            else
                out += QString::fromUtf8(run == 3 ? culture.shortMonths[date.month() - 1]
                                                  : culture.months[date.month() - 1]);
            break;
        case 'y':
            if (run <= 2)
                number(date.year() % 100, run);
            else
                out += QString::number(date.year()).rightJustified(run, u'0');
            break;
        case 'h':
            number(time.hour() % 12 == 0 ? 12 : time.hour() % 12, run);
            break;
        case 'H':
            number(time.hour(), run);
            break;
        case 'm':
            number(time.minute(), run);
            break;
        case 's':
            number(time.second(), run);
            break;
        case 'f':
        case 'F':
            out += fractionDigits(time, c, run);
            break;
        case 't': {
            const QString designator =
                QString::fromUtf8(time.hour() < 12 ? culture.am : culture.pm);
            out += run == 1 ? designator.left(1) : designator;
            break;
        }
        case ':':
            out += QString(run, u':');
            break;
        case '/':
            out += QString(run, culture.dateSeparator);
            break;
        case '\'':
        case '"':
        case '\\':
            run = appendLiteral(pattern, i, out);
            break;
        case '%':
            run = 1;
            break;
        case 'g':
        case 'K':
        case 'z':
            notSupported(QStringLiteral("'%1'").arg(pattern));
        default:
            out += QString(run, c);
        }
        i += run;
    }
    return out;
}

// A time value is a duration to .NET: its custom patterns take hh, mm, ss
// and f..., and every other character must be escaped or quoted.
QString formatTime(const QTime& time, const QString& pattern) {
    if (pattern == QLatin1String("c") || pattern == QLatin1String("t") ||
        pattern == QLatin1String("T")) {
        QString text = time.toString(QStringLiteral("HH:mm:ss"));
        if (time.msec())
            text += QLatin1Char('.') +
                    QString::number(time.msec()).rightJustified(3, u'0') + QStringLiteral("0000");
        return text;
    }
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        switch (c.unicode()) {
        case 'h':
        case 'm':
        case 's': {
            if (run > 2)
                throw Refused{};
            const int v = c == u'h' ? time.hour() : c == u'm' ? time.minute() : time.second();
            out += QString::number(v).rightJustified(run, u'0');
            break;
        }
        case 'f':
        case 'F':
            out += fractionDigits(time, c, run);
            break;
        case '\'':
        case '"':
        case '\\':
            run = appendLiteral(pattern, i, out);
            break;
        default:
            throw Refused{};
        }
        i += run;
    }
    return out;
}

SqlValue formatFunction(const Call& c) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    const Culture& culture =
        cultureNamed(c.arg(2).isNull() ? QString() : c.arg(2).toText(), c.settings.language);
    const QString pattern = c.arg(1).toText();
    const SqlValue& value = c.arg(0);
    try {
        if (value.isNumber())
            return SqlValue::of(formatNumber(
                value, pattern, culture,
                c.arg(3).isNull() ? std::nullopt : std::optional<int>(int(c.integer(3)))));
        static const QRegularExpression timeOnly(
            QStringLiteral(R"(^\s*\d{1,2}:\d{2}(:\d{2}(\.\d+)?)?\s*$)"));
        if (timeOnly.match(value.toText()).hasMatch())
            return SqlValue::of(formatTime(c.date(0).time(), pattern));
        const auto date = valueAsDate(value, c.settings.dateOrder);
        if (!date)
            throw ConversionError(8116, QStringLiteral("Argument data type varchar is invalid "
                                                       "for argument 1 of format function."));
        return SqlValue::of(formatDate(date->at, pattern, culture));
    } catch (const Refused&) {
        return {};
    }
}

const FunctionSpec formatTable[] = {
    {"tsql_format", 2, formatFunction, true},
    {"tsql_format", 3, formatFunction, true},
    {"tsql_format", 4, formatFunction, true},
};

} // namespace

std::span<const FunctionSpec> formatFunctions() {
    return formatTable;
}

} // namespace estaciones::db::tsql
