#include "platform/db/embedded/DatabaseSeeder.h"

#include "platform/db/embedded/execute/BatchExecutor.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/parse/ScriptBatches.h"
#include "platform/db/embedded/storage/FormatVersion.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <stdexcept>

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

// The scripts a seed names, in order, as paths.
QStringList scriptsOf(const QString& seed) {
    const QDir seedFolder = QFileInfo(seed).absoluteDir();
    QStringList scripts;
    for (const QString& line : readScriptFile(seed).split('\n')) {
        const QString script = line.trimmed();
        if (!script.isEmpty() && !script.startsWith('#')) {
            scripts << seedFolder.filePath(script);
        }
    }
    return scripts;
}

void runSeed(const DataFolder& folder, const QString& database, const QString& seed,
             const QString& target) {
    auto created = std::make_unique<SqliteDatabase>(target, database, true);
    Session session(folder, std::move(created));
    for (const QString& script : scriptsOf(seed)) {
        for (const QString& batch : splitBatches(readScriptFile(script))) {
            BatchExecutor(session, {}, 0).run(batch);
        }
    }
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + path.toStdString());
    }
    return file.readAll();
}

// "<database> <fingerprint>", what the fingerprint file holds.
QString prebuiltStamp(const QString& database, const QString& seed) {
    return database + QLatin1Char(' ') + seedFingerprint(seed);
}

// Copies the prebuilt database of `seed` to `target` when it was built for
// `database` from the seed as it is now; false when there is none to use.
bool copyPrebuilt(const QString& database, const QString& seed, const QString& target) {
    QFile stamp(prebuiltFingerprintOf(seed));
    if (!QFileInfo::exists(prebuiltOf(seed)) || !stamp.open(QIODevice::ReadOnly)) {
        return false;
    }
    try {
        if (QString::fromUtf8(stamp.readAll()).trimmed() != prebuiltStamp(database, seed)) {
            return false;
        }
    } catch (const std::runtime_error&) {
        return false; // a script is unreadable: running the seed says so
    }
    // Written anew rather than copied: the copy is the user's, made as the
    // engine makes a database file (the installed one may be read-only).
    QFile source(prebuiltOf(seed));
    QFile copy(target);
    return source.open(QIODevice::ReadOnly) &&
           copy.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           copy.write(source.readAll()) == source.size() && copy.flush();
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
        if (!copyPrebuilt(database, *seed, temporary)) {
            removeDatabaseFiles(temporary);
            runSeed(folder, database, *seed, temporary);
        }
    } catch (...) {
        removeDatabaseFiles(temporary);
        throw;
    }
    if (!QFile::rename(temporary, target)) {
        removeDatabaseFiles(temporary);
    }
    return true;
}

QString prebuiltOf(const QString& seedFile) {
    const QFileInfo seed(seedFile);
    return seed.dir().filePath(seed.completeBaseName() + QStringLiteral(".sembrada"));
}

QString prebuiltFingerprintOf(const QString& seedFile) {
    return prebuiltOf(seedFile) + QStringLiteral(".huella");
}

QString seedFingerprint(const QString& seedFile) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(currentFormatVersion));
    hash.addData(bytesOf(seedFile));
    for (const QString& script : scriptsOf(seedFile)) {
        const QByteArray bytes = bytesOf(script);
        // Name and length first: moving text from one script to the next
        // changes the fingerprint.
        hash.addData("\n" + QFileInfo(script).fileName().toUtf8() + ' ' +
                     QByteArray::number(bytes.size()) + '\n');
        hash.addData(bytes);
    }
    return QString::fromLatin1(hash.result().toHex());
}

void prebuildSeed(const QString& seedFile, const QString& output) {
    const QString database = QFileInfo(seedFile).completeBaseName();
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        throw std::runtime_error("no temporary folder for " + output.toStdString());
    }
    const QString built = scratch.filePath(QStringLiteral("sembrada.db"));
    // The session (and its connection) ends here, so the file is whole
    // (the write-ahead log folded in) before it is copied.
    runSeed(DataFolder(scratch.path()), database, seedFile, built);
    QFile::remove(output);
    QFile stamp(output + QStringLiteral(".huella"));
    if (!QFile::copy(built, output) || !stamp.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        stamp.write(prebuiltStamp(database, seedFile).toUtf8() + '\n') < 0 || !stamp.flush()) {
        QFile::remove(output);
        throw std::runtime_error("cannot write " + output.toStdString());
    }
}

} // namespace estaciones::db::sqlite
