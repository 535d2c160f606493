#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace estaciones::db::sqlite {

// The embedded "server": a folder in which every database is one SQLite file
// named <database>.db. Database names are compared ignoring case.
class DataFolder {
public:
    // $ESTACIONES_DATOS when set, else the per-user data folder; created when missing.
    static DataFolder locate();
    explicit DataFolder(QString path);

    const QString& path() const { return m_path; }

    std::optional<QString> databaseFile(const QString& database) const;
    bool hasDatabase(const QString& database) const { return databaseFile(database).has_value(); }
    // Where a new database of that name goes.
    QString newDatabaseFile(const QString& database) const;
    QStringList databaseNames() const;

    // The registry of logins (not a database: another extension).
    QString loginRegistryFile() const;

    // The folder holding "<database>.semilla" files: $ESTACIONES_SEMILLAS when
    // set, else the program folder.
    static QString seedFolder();

private:
    QString m_path;
};

} // namespace estaciones::db::sqlite
