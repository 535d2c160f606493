#pragma once

#include <QString>

#include <initializer_list>
#include <mutex>
#include <vector>

namespace estaciones::os {

// A shared library opened the first time one of its functions is wanted, so
// that a feature's native library (ODBC, libical, the web client, printing)
// costs the program nothing at start-up until the operator uses it.
// Every function is found when the library opens: either all of them are
// there or the feature is unavailable, never half of it. Thread-safe.
class LazyLibrary {
public:
    // `fileName`: a library name as the dynamic linker looks it up
    // ("libodbc.so.2") or a path. `feature`: what needs it, in Spanish, as
    // the object of "No se puede usar ..." ("la conexión por ODBC").
    LazyLibrary(QString fileName, QString feature, std::initializer_list<const char*> functions);
    ~LazyLibrary();
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // Opens the library on the first call; later calls give the same answer.
    bool available();
    // Why available() is false, in Spanish; "" when it is true.
    QString error();
    // The address of functions[index]; only after available() said true.
    void* address(std::size_t index) const { return m_addresses[index]; }

    // The path of `fileName` in the program's own folder (where the program's
    // modules are installed beside it).
    static QString inProgramFolder(const QString& fileName);

private:
    void open();

    QString m_fileName;
    QString m_feature;
    std::vector<const char*> m_functions;
    std::vector<void*> m_addresses;
    void* m_handle = nullptr;
    QString m_error;
    std::once_flag m_once;
};

} // namespace estaciones::os
