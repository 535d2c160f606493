#include "session/library/Windows1252.h"

#include <QStringDecoder>

namespace estaciones::library {

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

QString decodeSharedText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text.startsWith(QChar(0xFEFF)) ? text.sliced(1) : text;
    }
    return fromWindows1252(bytes);
}

} // namespace estaciones::library
