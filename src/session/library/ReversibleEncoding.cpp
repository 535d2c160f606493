#include "session/library/ReversibleEncoding.h"

#include <cstdint>
#include <optional>

namespace estaciones::library {

namespace {

constexpr char16_t keyAt(qsizetype position) {
    return static_cast<char16_t>(0x5A3C + 0x0755 * static_cast<std::uint32_t>(position));
}

constexpr char hexDigits[] = "0123456789ABCDEF";

std::optional<std::uint32_t> hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return std::nullopt; // lower case is never written, so it is not a valid encoding
}

} // namespace

QString encodeText(const QString& text) {
    QString encoded(text.size() * 4, Qt::Uninitialized);
    QChar* out = encoded.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode() ^ keyAt(i);
        for (int shift = 12; shift >= 0; shift -= 4) {
            *out++ = QLatin1Char(hexDigits[(unit >> shift) & 0xF]);
        }
    }
    return encoded;
}

QString decodeText(const QString& encoded) {
    if (encoded.size() % 4 != 0) {
        return encoded;
    }
    QString text(encoded.size() / 4, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        std::uint32_t unit = 0;
        for (qsizetype j = i * 4; j < i * 4 + 4; ++j) {
            const auto digit = hexValue(encoded[j]);
            if (!digit) {
                return encoded;
            }
            unit = (unit << 4) | *digit;
        }
        text[i] = QChar(static_cast<char16_t>(unit ^ keyAt(i)));
    }
    return text;
}

} // namespace estaciones::library
