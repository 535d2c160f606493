#include "platform/core/TextEncodings.h"

namespace estaciones {

namespace {

// Unicode of bytes 0x80..0x9F; the five unassigned bytes map to themselves, as
// Windows' own conversion does.
constexpr char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString fromWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte <= 0x9F ? high[byte - 0x80] : char16_t(byte));
    }
    return text;
}

QByteArray toWindows1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = static_cast<char>(u);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (high[i] == u) {
                    byte = static_cast<char>(0x80 + i);
                    break;
                }
            }
        }
        bytes.append(byte);
    }
    return bytes;
}

QByteArray toUtf16Bytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xff));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QString fromUtf16Bytes(const QByteArray& bytes) {
    QString text(bytes.size() / 2 + bytes.size() % 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = 2 * i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[2 * i + 1]) : 0u;
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

} // namespace estaciones
