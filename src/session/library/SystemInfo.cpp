#include "session/library/SystemInfo.h"

#include "platform/os/Desktop.h"
#include "platform/os/System.h"

#include <QDir>

namespace estaciones::library {

QString SystemInfo::machineName() const {
    return os::machineName();
}

QString SystemInfo::workstationIdentity() const {
    return os::userName();
}

QString SystemInfo::temporaryFolder() const {
    for (const QString& candidate : {os::temporaryFolder(), QDir::tempPath()}) {
        if (os::isFolderWritable(candidate)) {
            return candidate;
        }
    }
    const QString fallback = os::userDataFolder();
    QDir().mkpath(fallback);
    return fallback;
}

bool SystemInfo::openDocument(const QString& path, int windowStyle) const {
    return os::desktop().openDocument(path, windowStyle);
}

} // namespace estaciones::library
