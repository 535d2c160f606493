#include "platform/db/embedded/functions/ParseFunctions.h"

#include "platform/db/embedded/functions/Cultures.h"
#include "platform/db/embedded/storage/DateText.h"

#include <QRegularExpression>

namespace estaciones::db::tsql {

namespace {

bool isDateType(const QString& type) {
    return dateKindOf(type.section(QLatin1Char('('), 0, 0)).has_value();
}

// "€1.234,5" in de-DE → "1234.5"; nullopt when it is no number there.
std::optional<QString> numberText(QString text, const Culture& culture) {
    text = text.trimmed();
    text.remove(QString::fromUtf8(culture.currency));
    text.remove(culture.group);
    text.remove(QLatin1Char(' '));
    text.remove(QChar(0x00a0));
    text.replace(culture.decimal, QLatin1Char('.'));
    bool negative = false;
    if (text.startsWith(u'(') && text.endsWith(u')')) {
        negative = true;
        text = text.mid(1, text.size() - 2);
    }
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return negative ? QLatin1Char('-') + text : text;
}

int monthOf(const QString& word, const Culture& culture) {
    for (int m = 0; m < 12; ++m)
        if (word.compare(QString::fromUtf8(culture.months[m]), Qt::CaseInsensitive) == 0 ||
            word.compare(QString::fromUtf8(culture.shortMonths[m]).remove(u'.'),
                         Qt::CaseInsensitive) == 0)
            return m + 1;
    return 0;
}

bool isDayName(const QString& word, const Culture& culture) {
    for (int d = 0; d < 7; ++d)
        if (word.compare(QString::fromUtf8(culture.days[d]), Qt::CaseInsensitive) == 0 ||
            word.compare(QString::fromUtf8(culture.shortDays[d]).remove(u'.'),
                         Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The date and time a text gives in the culture: numbers in its order
// (month first in en-US), a month's name in place of its number, day names
// and words such as "de" passed over, then h:mm[:ss[.fff]] [AM|PM].
std::optional<QDateTime> dateIn(const QString& text, const Culture& culture) {
    static const QRegularExpression clock(
        QStringLiteral(R"((\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{1,7}))?)?\s*([AaPp][Mm])?)"));
    QString rest = text;
    QTime time(0, 0);
    if (const auto m = clock.match(rest); m.hasMatch()) {
        int hour = m.captured(1).toInt();
        const QString half = m.captured(5).toUpper();
        if (half == QLatin1String("PM") && hour < 12)
            hour += 12;
        if (half == QLatin1String("AM") && hour == 12)
            hour = 0;
        time = QTime(hour, m.captured(2).toInt(), m.captured(3).toInt(),
                     m.captured(4).left(3).leftJustified(3, u'0').toInt());
        if (!time.isValid())
            return std::nullopt;
        rest.remove(m.capturedStart(), m.capturedLength());
    }
    std::vector<int> numbers;
    int month = 0;
    static const QRegularExpression token(QStringLiteral(R"(\d+|[^\W\d_]+)"));
    for (auto it = token.globalMatch(rest); it.hasNext();) {
        const QString word = it.next().captured();
        if (word[0].isDigit()) {
            numbers.push_back(word.toInt());
        } else if (const int m = monthOf(word, culture)) {
            if (month)
                return std::nullopt;
            month = m;
        } else if (!isDayName(word, culture) && word.size() > 3) {
            return std::nullopt; // "de", "of" and the like pass; other words do not
        }
    }
    int day = 0, year = 0;
    const bool monthFirst = QString::fromUtf8(culture.shortDate).startsWith(u'M');
    if (month && numbers.size() == 2) {
        const bool yearFirst = numbers[0] > 31;
        day = yearFirst ? numbers[1] : numbers[0];
        year = yearFirst ? numbers[0] : numbers[1];
    } else if (!month && numbers.size() == 3) {
        if (numbers[0] > 31) {
            year = numbers[0];
            month = numbers[1];
            day = numbers[2];
        } else {
            month = monthFirst ? numbers[0] : numbers[1];
            day = monthFirst ? numbers[1] : numbers[0];
            year = numbers[2];
        }
    } else {
        return std::nullopt;
    }
    if (year < 100)
        year += year < 30 ? 2000 : 1900;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return naiveDateTime(date, time);
}

SqlValue parsed(const Call& c) {
    if (c.arg(1).isNull())
        return {};
    const QString type = c.arg(0).toText().trimmed();
    const QString text = c.arg(1).toText();
    const Culture& culture =
        cultureNamed(c.arg(2).isNull() ? QString() : c.arg(2).toText(), c.settings.language);
    const auto fail = [&]() -> SqlValue {
        throw ConversionError(9819, QStringLiteral("Error converting string value '%1' into data "
                                                   "type %2 using culture '%3'.")
                                        .arg(text, type, c.arg(2).toText()));
    };
    if (isDateType(type)) {
        const auto date = dateIn(text, culture);
        if (!date)
            return fail();
        return convertValue(type, SqlValue::of(formatStoredDate(*date, DateKind::DateTime2)),
                            std::nullopt, c.settings);
    }
    const auto number = numberText(text, culture);
    if (!number)
        return fail();
    try {
        return convertValue(type, SqlValue::of(*number), std::nullopt, c.settings);
    } catch (const ConversionError&) {
        return fail();
    }
}

SqlValue parseFunction(const Call& c) {
    return parsed(c);
}

SqlValue tryParseFunction(const Call& c) {
    try {
        return parsed(c);
    } catch (const ConversionError& e) {
        if (e.nativeNumber() != 9819)
            throw;
        return {};
    }
}

const FunctionSpec parseTable[] = {
    {"tsql_parse", 3, parseFunction, true},
    {"tsql_try_parse", 3, tryParseFunction, true},
};

} // namespace

std::span<const FunctionSpec> parseFunctions() {
    return parseTable;
}

} // namespace estaciones::db::tsql
