#include "platform/os/System.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryFile>

#include <pwd.h>
#include <unistd.h>

namespace estaciones::os {

QString environmentVariable(const QString& name) {
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QString temporaryFolder() {
    for (const char* name : {"TEMP", "TMP", "TMPDIR"}) {
        QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            while (value.size() > 1 && value.endsWith(QLatin1Char('/'))) {
                value.chop(1);
            }
            return value;
        }
    }
    return QDir::tempPath();
}

QString machineName() {
    return QSysInfo::machineHostName();
}

QString userName() {
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) {
        if (const passwd* entry = getpwuid(geteuid())) {
            name = QString::fromLocal8Bit(entry->pw_name);
        }
    }
    return name;
}

QString executablePath() {
    QString path =
        QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    if (path.isEmpty()) {
        path = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    }
    return path;
}

QString programFolder() {
    return QFileInfo(executablePath()).absolutePath();
}

QString executableName() {
    return QFileInfo(executablePath()).fileName();
}

QString userDataFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/estaciones");
}

QString userConfigFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base;
}

bool isFolderWritable(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(folder + QStringLiteral("/.escritura-XXXXXX"));
    return probe.open();
}

QString writableProgramFolder(const QString& folder) {
    if (isFolderWritable(folder)) {
        return folder;
    }
    const QString fallback = userDataFolder();
    QDir().mkpath(fallback);
    return fallback;
}

} // namespace estaciones::os
