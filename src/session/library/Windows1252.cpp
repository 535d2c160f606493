#include "session/library/Windows1252.h"

#include <QStringDecoder>

namespace estaciones::library {

QString decodeSharedText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text.startsWith(QChar(0xFEFF)) ? text.sliced(1) : text;
    }
    return fromWindows1252(bytes);
}

} // namespace estaciones::library
