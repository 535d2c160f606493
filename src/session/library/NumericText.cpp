#include "session/library/NumericText.h"

#include <algorithm>
#include <limits>

namespace estaciones::library {

namespace {

// A decimal number as read from text: sign, integer digits and fraction digits
// without marks, kept as text so that rounding is exact.
struct DecimalDigits {
    bool negative = false;
    QString integerPart;
    QString fractionPart;
};

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool allDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), isAsciiDigit);
}

// Digits grouped by thousands with `mark`: "1.234.567". The first group has one
// to three digits, every further group exactly three, so that a slip such as
// "1,,5" is not read as 15.
bool isGroupedNumber(QStringView text, QChar mark) {
    const auto groups = text.split(mark);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const bool sizeOk =
            i == 0 ? groups[i].size() >= 1 && groups[i].size() <= 3 : groups[i].size() == 3;
        if (!sizeOk || !allDigits(groups[i])) {
            return false;
        }
    }
    return true;
}

std::optional<DecimalDigits> splitDecimal(QStringView text) {
    text = text.trimmed();
    DecimalDigits digits;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        digits.negative = text.front() == u'-';
        text = text.sliced(1);
    }
    const qsizetype commas = text.count(u',');
    const qsizetype points = text.count(u'.');

    // The decimal mark: the last mark when both appear, a mark that appears
    // once; none when the only mark repeats (it groups thousands).
    qsizetype decimalMark = -1;
    if (commas > 0 && points > 0) {
        decimalMark = std::max(text.lastIndexOf(u','), text.lastIndexOf(u'.'));
    } else if (commas == 1 || points == 1) {
        decimalMark = std::max(text.indexOf(u','), text.indexOf(u'.'));
    }
    const QStringView integerText = decimalMark >= 0 ? text.first(decimalMark) : text;
    const QStringView fractionText =
        decimalMark >= 0 ? text.sliced(decimalMark + 1) : QStringView();
    if (!allDigits(fractionText)) {
        return std::nullopt;
    }
    if (allDigits(integerText)) {
        digits.integerPart = integerText.toString();
    } else {
        const QChar groupMark = integerText.contains(u',') ? u',' : u'.';
        if (!isGroupedNumber(integerText, groupMark)) {
            return std::nullopt;
        }
        digits.integerPart = integerText.toString().remove(groupMark);
    }
    digits.fractionPart = fractionText.toString();
    if (digits.integerPart.isEmpty() && digits.fractionPart.isEmpty()) {
        return std::nullopt;
    }
    return digits;
}

// The number scaled by 10^scale and rounded half to even; nothing on overflow.
std::optional<std::int64_t> scaledValue(const DecimalDigits& digits, int scale) {
    QString kept = digits.fractionPart.left(scale);
    kept = kept.leftJustified(scale, u'0');
    const QString dropped = digits.fractionPart.mid(scale);

    constexpr std::uint64_t limit = std::numeric_limits<std::int64_t>::max();
    std::uint64_t value = 0;
    for (const QChar c : digits.integerPart + kept) {
        const std::uint64_t digit = c.unicode() - u'0';
        if (value > (limit - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }

    bool roundUp = false;
    if (!dropped.isEmpty() && dropped.front() >= u'5') {
        const bool exactlyHalf =
            dropped.front() == u'5' && dropped.sliced(1).count(u'0') == dropped.size() - 1;
        roundUp = !exactlyHalf || (value % 2 == 1);
    }
    if (roundUp) {
        if (value == limit) {
            return std::nullopt;
        }
        ++value;
    }
    const auto signedValue = static_cast<std::int64_t>(value);
    return digits.negative ? -signedValue : signedValue;
}

std::optional<std::int32_t> parseHex(QStringView text) {
    QStringView hex = text.sliced(2);
    if (hex.endsWith(u'&')) {
        hex.chop(1);
    }
    if (hex.isEmpty() || hex.size() > 8) {
        return std::nullopt;
    }
    // Digits checked one by one: the library's own number readers would also
    // take blanks, signs or a "0x" prefix.
    std::uint32_t bits = 0;
    for (const QChar c : hex) {
        const char16_t u = c.unicode();
        std::uint32_t digit = 0;
        if (u >= u'0' && u <= u'9') {
            digit = u - u'0';
        } else if (u >= u'a' && u <= u'f') {
            digit = u - u'a' + 10;
        } else if (u >= u'A' && u <= u'F') {
            digit = u - u'A' + 10;
        } else {
            return std::nullopt;
        }
        bits = (bits << 4) | digit;
    }
    return static_cast<std::int32_t>(bits);
}

// Plain whole numbers of up to nine digits, the common case, without the
// general reader's temporary texts.
std::optional<std::int32_t> parseShortWholeNumber(QStringView text) {
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+')) {
        text = text.sliced(1);
    }
    if (text.isEmpty() || text.size() > 9) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -value : value;
}

} // namespace

std::optional<std::int32_t> parseInteger(QStringView text) {
    text = text.trimmed();
    if (text.startsWith(u"&H", Qt::CaseInsensitive)) {
        return parseHex(text);
    }
    if (const auto value = parseShortWholeNumber(text)) {
        return value;
    }
    const auto digits = splitDecimal(text);
    if (!digits) {
        return std::nullopt;
    }
    const auto value = scaledValue(*digits, 0);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

std::optional<Currency> parseCurrency(QStringView text) {
    const auto digits = splitDecimal(text);
    if (!digits) {
        return std::nullopt;
    }
    const auto value = scaledValue(*digits, 4);
    if (!value) {
        return std::nullopt;
    }
    return Currency{*value};
}

} // namespace estaciones::library
