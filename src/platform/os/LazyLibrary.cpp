#include "platform/os/LazyLibrary.h"

#include "platform/os/System.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <dlfcn.h>

namespace estaciones::os {

namespace texts {
QString libraryMissing(const QString& feature, const QString& file, const char* reason) {
    return QStringLiteral("No se puede usar %1: no se puede cargar la biblioteca %2 (%3).")
        .arg(feature, file, QString::fromLocal8Bit(reason ? reason : "?"));
}
QString functionMissing(const QString& feature, const QString& file, const char* function) {
    return QStringLiteral("No se puede usar %1: a la biblioteca %2 le falta la función %3.")
        .arg(feature, file, QString::fromLatin1(function));
}
} // namespace texts

LazyLibrary::LazyLibrary(QString fileName, QString feature,
                         std::initializer_list<const char*> functions)
    : m_fileName(std::move(fileName)), m_feature(std::move(feature)), m_functions(functions),
      m_addresses(functions.size(), nullptr) {}

// The library stays loaded to the end of the process: the objects made by
// its functions may outlive this one (static destruction order).
LazyLibrary::~LazyLibrary() = default;

bool LazyLibrary::available() {
    std::call_once(m_once, [this] { open(); });
    return m_error.isEmpty();
}

QString LazyLibrary::error() {
    return available() ? QString() : m_error;
}

void LazyLibrary::open() {
    const QByteArray file = QFile::encodeName(m_fileName);
    // Local: the library's names must not resolve anybody else's.
    m_handle = dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        m_error = texts::libraryMissing(m_feature, m_fileName, dlerror());
        return;
    }
    for (std::size_t i = 0; i < m_functions.size(); ++i) {
        m_addresses[i] = dlsym(m_handle, m_functions[i]);
        if (m_addresses[i] == nullptr) {
            m_error = texts::functionMissing(m_feature, m_fileName, m_functions[i]);
            std::fill(m_addresses.begin(), m_addresses.end(), nullptr);
            return;
        }
    }
}

QString LazyLibrary::inProgramFolder(const QString& fileName) {
    return QDir(programFolder()).filePath(fileName);
}

} // namespace estaciones::os
