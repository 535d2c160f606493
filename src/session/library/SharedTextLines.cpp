#include "session/library/SharedTextLines.h"

#include "session/library/Windows1252.h"

#include <QStringDecoder>

#include <algorithm>

namespace estaciones::library {

namespace {

// Whether all of the file is UTF-8, looked at a chunk at a time. Each chunk
// ends at a line end, where no multi-byte sequence can be cut.
bool isUtf8(QFile& file) {
    constexpr qint64 chunkSize = 1 << 20;
    while (!file.atEnd()) {
        // A small file is read at its size: a whole chunk's buffer for every
        // INI key read would cost more than the reading.
        const qint64 available = file.bytesAvailable();
        QByteArray chunk = file.read(available > 0 ? std::min(chunkSize, available) : chunkSize);
        if (!chunk.endsWith('\n')) {
            chunk += file.readLine();
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // The decoding happens when its result becomes a string.
        const QString decoded = utf8.decode(chunk);
        if (utf8.hasError()) {
            return false;
        }
    }
    return true;
}

} // namespace

bool SharedTextLines::open(const QString& path) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        return false;
    }
    m_utf8 = isUtf8(m_file);
    m_lineNumber = 0;
    return m_file.seek(0);
}

std::optional<QString> SharedTextLines::next() {
    if (!m_file.isOpen() || m_file.atEnd()) {
        return std::nullopt;
    }
    if (m_line.size() < 2) {
        m_line.resize(4096);
    }
    qint64 length = 0;
    for (;;) {
        // Reads at most the room left less one (it ends what it read with a NUL).
        const qint64 read = m_file.readLine(m_line.data() + length, m_line.size() - length);
        if (read <= 0) {
            break;
        }
        length += read;
        if (m_line.at(length - 1) == '\n' || m_file.atEnd()) {
            break;
        }
        m_line.resize(m_line.size() * 2);
    }
    QByteArrayView bytes(m_line.constData(), length);
    if (m_lineNumber == 0 && m_utf8 && bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    }
    ++m_lineNumber;
    if (bytes.endsWith('\n')) {
        bytes.chop(1);
    }
    if (bytes.endsWith('\r')) {
        bytes.chop(1);
    }
    return m_utf8 ? QString::fromUtf8(bytes) : fromWindows1252(bytes.toByteArray());
}

} // namespace estaciones::library
