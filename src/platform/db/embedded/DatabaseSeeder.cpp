#include "platform/db/embedded/DatabaseSeeder.h"

#include "platform/db/embedded/execute/BatchExecutor.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/parse/ScriptBatches.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace estaciones::db::sqlite {

namespace {

std::optional<QString> seedFile(const QString& database) {
    const QDir folder(DataFolder::seedFolder());
    const QString wanted = database + QStringLiteral(".semilla");
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.semilla")}, QDir::Files)) {
        if (file.fileName().compare(wanted, Qt::CaseInsensitive) == 0) {
            return file.filePath();
        }
    }
    return std::nullopt;
}

void removeDatabaseFiles(const QString& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(file + QLatin1String(suffix));
    }
}

void runSeed(const DataFolder& folder, const QString& database, const QString& seed,
             const QString& target) {
    auto created = std::make_unique<SqliteDatabase>(target, database, true);
    Session session(folder, std::move(created));
    const QDir seedFolder = QFileInfo(seed).absoluteDir();
    for (const QString& line : readScriptFile(seed).split('\n')) {
        const QString script = line.trimmed();
        if (script.isEmpty() || script.startsWith('#')) {
            continue;
        }
        for (const QString& batch : splitBatches(readScriptFile(seedFolder.filePath(script)))) {
            BatchExecutor(session, {}, 0).run(batch);
        }
    }
}

} // namespace

bool seedDatabase(const DataFolder& folder, const QString& database) {
    if (database.compare(QLatin1String("master"), Qt::CaseInsensitive) == 0) {
        // The server's own database: where a session without one starts.
        SqliteDatabase(folder.newDatabaseFile(QStringLiteral("master")), QStringLiteral("master"),
                       true);
        return true;
    }
    const std::optional<QString> seed = seedFile(database);
    if (!seed) {
        return false;
    }
    QLockFile lock(QDir(folder.path()).filePath(QLatin1Char('.') + database + ".seed.lock"));
    lock.lock();
    if (folder.hasDatabase(database)) {
        return true; // another process seeded it while we waited
    }
    const QString target = folder.newDatabaseFile(database);
    const QString temporary =
        target + QStringLiteral(".semilla-") + QString::number(QCoreApplication::applicationPid());
    removeDatabaseFiles(temporary);
    try {
        runSeed(folder, database, *seed, temporary);
    } catch (...) {
        removeDatabaseFiles(temporary);
        throw;
    }
    if (!QFile::rename(temporary, target)) {
        removeDatabaseFiles(temporary);
    }
    return true;
}

} // namespace estaciones::db::sqlite
