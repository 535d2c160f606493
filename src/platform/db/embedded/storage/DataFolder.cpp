#include "platform/db/embedded/storage/DataFolder.h"

#include "platform/db/embedded/storage/DatabaseFileName.h"

#include "platform/os/System.h"

#include <QDir>
#include <QFileInfo>

namespace estaciones::db::sqlite {

namespace {
const QString databaseSuffix = QStringLiteral(".db");

} // namespace

DataFolder DataFolder::locate() {
    QString path = os::environmentVariable(QStringLiteral("ESTACIONES_DATOS"));
    if (path.isEmpty()) {
        path = os::userDataFolder();
    }
    QDir().mkpath(path);
    return DataFolder(path);
}

DataFolder::DataFolder(QString path) : m_path(QDir::cleanPath(std::move(path))) {}

std::optional<QString> DataFolder::databaseFile(const QString& database) const {
    const QString wanted = database.trimmed();
    if (wanted.isEmpty()) {
        return std::nullopt;
    }
    const QString exact = QDir(m_path).filePath(fileBaseNameOf(wanted) + databaseSuffix);
    if (QFileInfo::exists(exact)) {
        return exact;
    }
    const QDir dir(m_path);
    for (const QFileInfo& file :
         dir.entryInfoList({QStringLiteral("*") + databaseSuffix}, QDir::Files)) {
        if (databaseNameOf(file.completeBaseName()).compare(wanted, Qt::CaseInsensitive) == 0) {
            return file.filePath();
        }
    }
    return std::nullopt;
}

QString DataFolder::newDatabaseFile(const QString& database) const {
    return QDir(m_path).filePath(fileBaseNameOf(database.trimmed()) + databaseSuffix);
}

QStringList DataFolder::databaseNames() const {
    QStringList names;
    for (const QFileInfo& file :
         QDir(m_path).entryInfoList({QStringLiteral("*") + databaseSuffix}, QDir::Files)) {
        names << databaseNameOf(file.completeBaseName());
    }
    return names;
}

QString DataFolder::loginRegistryFile() const {
    return QDir(m_path).filePath(QStringLiteral("logins.registro"));
}

QString DataFolder::seedFolder() {
    const QString folder = os::environmentVariable(QStringLiteral("ESTACIONES_SEMILLAS"));
    return folder.isEmpty() ? os::programFolder() : folder;
}

} // namespace estaciones::db::sqlite
