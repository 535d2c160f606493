#pragma once

#include <QString>

namespace estaciones::library {

// The shared library's system information object.
class SystemInfo {
public:
    QString machineName() const;
    // The workstation's second identity text: the logged-on user.
    QString workstationIdentity() const;
    // A folder where temporary files can be written, for callers whose
    // "TEMP" is empty: the temporary folder when writable, otherwise the
    // per-user data folder (created when missing). Without trailing "/".
    QString temporaryFolder() const;
    // Opens `path` with the program the desktop associates with it;
    // `windowStyle` is os::windowstyle (6 minimised, 0 hidden). False when
    // it could not be opened.
    bool openDocument(const QString& path, int windowStyle) const;
};

} // namespace estaciones::library
