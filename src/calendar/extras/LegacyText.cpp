#include "calendar/extras/LegacyText.h"

#include <QStringDecoder>

#include <array>

namespace estaciones::calendar::extras {

namespace {
// 0x80..0x9F, where Windows-1252 differs from Latin-1.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
} // namespace

QString fromWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte >= 0x80 && byte <= 0x9F ? QChar(HighControls[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QString textOfFile(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        return fromWindows1252(bytes);
    }
    return text;
}

} // namespace estaciones::calendar::extras
