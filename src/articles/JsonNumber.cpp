#include "articles/JsonNumber.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace estaciones {

namespace {
// "+12", "-7", "0042": sign and digits only, within 64 bits.
std::optional<std::int64_t> wholeNumber(QStringView text) {
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == u'-';
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+'))
        ++i;
    if (i == text.size())
        return std::nullopt;
    // Accumulated as a negative number, whose range reaches INT64_MIN.
    std::int64_t value = 0;
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (value < (lowest + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative && value == lowest)
        return std::nullopt;
    return negative ? value : -value;
}
} // namespace

std::optional<Variant> jsonNumber(QStringView text) {
    if (const auto whole = wholeNumber(text))
        return Variant(*whole);
    if (const auto exact = Decimal::parse(text); exact && exact->precision() <= JsonDecimalDigits)
        return Variant(*exact);
    // "." whatever the workstation's locale: QStringView::toDouble reads the C locale.
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return Variant(value);
}

} // namespace estaciones
