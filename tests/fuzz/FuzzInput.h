#pragma once

#include "platform/core/Error.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every fuzz target needs: the input as bytes or as the text a reader
// would decode, a scratch folder for the readers that take files, and a loud
// stop for a broken promise (the fuzzer records the input).
namespace estaciones::fuzz {

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QString textOf(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// One folder for the whole run (a folder per input would cost more than the
// readers themselves).
inline const QDir& scratchFolder() {
    static QTemporaryDir folder;
    static const QDir dir(folder.path());
    return dir;
}

inline QString writeScratchFile(const QString& name, const QByteArray& bytes) {
    const QString path = scratchFolder().filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
    return path;
}

// Runs `read`; an Error it throws is the reader's documented answer (a
// message for the operator), not a fault.
template <class Read> void answering(Read read) {
    try {
        read();
    } catch (const Error&) {
    }
}

[[noreturn]] inline void brokenPromise(const char* what) {
    std::fprintf(stderr, "promesa rota: %s\n", what);
    std::abort();
}

} // namespace estaciones::fuzz
