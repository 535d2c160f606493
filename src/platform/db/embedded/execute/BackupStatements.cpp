#include "platform/db/embedded/execute/BackupStatements.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <filesystem>

namespace estaciones::db::sqlite {

using tsql::TokenKind;
using tsql::Tokens;

namespace {

// A raw connection for copying pages: no functions, no tables of our own.
class PageConnection {
public:
    PageConnection(const QString& file, int flags) {
        m_rc = sqlite3_open_v2(file.toUtf8().constData(), &m_db, flags, nullptr);
    }
    ~PageConnection() { sqlite3_close_v2(m_db); }
    PageConnection(const PageConnection&) = delete;
    PageConnection& operator=(const PageConnection&) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    sqlite3* handle() const { return m_db; }
    // The first column of the statement's first row ("" when none); the
    // result code in `rc`.
    QString pragma(const char* sql, int& rc) const {
        sqlite3_stmt* statement = nullptr;
        rc = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
        QString value;
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(statement);
            if (rc == SQLITE_ROW) {
                value = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
                rc = SQLITE_OK;
            } else if (rc == SQLITE_DONE) {
                rc = SQLITE_OK;
            }
        }
        sqlite3_finalize(statement);
        return value;
    }

private:
    sqlite3* m_db = nullptr;
    int m_rc = SQLITE_ERROR;
};

[[noreturn]] void terminate(const QString& statement, const ProviderError& cause) {
    throw ProviderFailure({cause, sqlServerError(native::BackupTerminated, {statement})});
}

QString operatingSystemError(int sqliteCode) {
    switch (sqliteCode & 0xff) {
    case SQLITE_CANTOPEN:
        return QStringLiteral("2(The system cannot find the file specified.)");
    case SQLITE_FULL:
        return QStringLiteral("112(There is not enough space on the disk.)");
    case SQLITE_PERM:
    case SQLITE_READONLY:
        return QStringLiteral("5(Access is denied.)");
    default:
        return QStringLiteral("%1(%2)").arg(sqliteCode).arg(
            QString::fromUtf8(sqlite3_errstr(sqliteCode)));
    }
}

// Copies every page of `from` into `to` in one step: a consistent snapshot
// of the source while its other stations keep writing. Retries while the
// source is busy (a station's checkpoint), up to `deadline`.
int copyPages(sqlite3* to, sqlite3* from, const QDeadlineTimer& deadline) {
    sqlite3_backup* copy = sqlite3_backup_init(to, "main", from, "main");
    if (!copy) {
        return sqlite3_extended_errcode(to);
    }
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(copy, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            sqlite3_sleep(10);
        }
    } while ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && !deadline.hasExpired());
    const int finished = sqlite3_backup_finish(copy);
    return rc == SQLITE_DONE ? finished : rc;
}

bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && name != QLatin1String("..") &&
           name != QLatin1String(".");
}

} // namespace

BackupStatements::BackupStatements(Session& session, ValueOf valueOf)
    : m_session(session), m_valueOf(std::move(valueOf)) {}

void BackupStatements::run(const Tokens& tokens) {
    const bool isBackup = !tokens.empty() && tokens[0].isWord(u"BACKUP");
    const QString what =
        isBackup ? QStringLiteral("BACKUP DATABASE") : QStringLiteral("RESTORE DATABASE");
    if (m_session.transactionDepth() > 0) {
        terminate(what, sqlServerError(native::BackupInTransaction));
    }
    const Statement statement =
        read(tokens, isBackup ? QStringLiteral("TO") : QStringLiteral("FROM"));
    if (isBackup) {
        backup(statement);
    } else {
        restore(statement);
    }
}

BackupStatements::Statement BackupStatements::read(const Tokens& tokens,
                                                   const QString& direction) const {
    // DATABASE name, then TO|FROM DISK = value; the WITH options that follow
    // (INIT, FORMAT, REPLACE, STATS, NAME...) change nothing here.
    const auto unsupported = [&](std::size_t i) {
        failWith(native::UserError,
                 {QStringLiteral("El motor embebido solo admite %1 DATABASE nombre %2 DISK = "
                                 "'archivo' (no '%3').")
                      .arg(tokens[0].text.toUpper(), direction,
                           i < tokens.size() ? tokens[i].text : QString())});
    };
    if (tokens.size() < 2 || !tokens[1].isWord(u"DATABASE")) {
        unsupported(1);
    }
    Statement statement;
    std::size_t i = 2;
    if (i < tokens.size() && tokens[i].kind == TokenKind::Variable) {
        statement.database = m_valueOf({tokens[i]}).trimmed();
    } else if (i < tokens.size() && tokens[i].isNameLike()) {
        statement.database = tokens[i].value().trimmed();
    }
    if (!isPlainName(statement.database)) {
        failWith(native::SyntaxError, {i < tokens.size() ? tokens[i].text : tokens.back().text});
    }
    ++i;
    if (i + 2 >= tokens.size() || !tokens[i].isWord(direction) ||
        !tokens[i + 1].isWord(u"DISK") || !tokens[i + 2].isPunctuation(u"=")) {
        unsupported(std::min(i + 1, tokens.size() - 1));
    }
    i += 3;
    Tokens expression;
    while (i < tokens.size() && !tokens[i].isWord(u"WITH") && !tokens[i].isPunctuation(u",")) {
        expression.push_back(tokens[i++]);
    }
    if (i < tokens.size() && tokens[i].isPunctuation(u",")) {
        unsupported(i); // striped backups over several files
    }
    if (expression.empty()) {
        failWith(native::SyntaxError, {tokens.back().text});
    }
    const QString file = m_valueOf(expression).trimmed();
    if (file.isEmpty() || file.contains(QChar(0))) {
        terminate(direction == QLatin1String("TO") ? QStringLiteral("BACKUP DATABASE")
                                                   : QStringLiteral("RESTORE DATABASE"),
                  sqlServerError(native::BackupDeviceUnopenable,
                                 {file, operatingSystemError(SQLITE_CANTOPEN)}));
    }
    statement.file = QDir(m_session.folder().path()).absoluteFilePath(file);
    return statement;
}

void BackupStatements::backup(const Statement& statement) {
    const QString what = QStringLiteral("BACKUP DATABASE");
    const std::optional<QString> source = m_session.folder().databaseFile(statement.database);
    if (!source) {
        terminate(what, sqlServerError(native::DatabaseDoesNotExist, {statement.database}));
    }
    const QString partial = statement.file + QStringLiteral(".parcial");
    QFile::remove(partial);
    int rc = SQLITE_OK;
    {
        PageConnection from(*source, SQLITE_OPEN_READONLY);
        PageConnection to(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!from.ok() || !to.ok()) {
            rc = from.ok() ? sqlite3_extended_errcode(to.handle()) : SQLITE_CANTOPEN;
        } else {
            rc = copyPages(to.handle(), from.handle(), m_session.lockDeadline());
        }
    }
    std::error_code renamed;
    if (rc == SQLITE_OK) {
        // The finished copy replaces an older backup in one step.
        std::filesystem::rename(partial.toStdString(), statement.file.toStdString(), renamed);
    }
    if (rc != SQLITE_OK || renamed) {
        QFile::remove(partial);
        terminate(what, sqlServerError(native::BackupDeviceUnopenable,
                                       {statement.file, renamed ? QString::fromStdString(
                                                                      renamed.message())
                                                                : operatingSystemError(rc)}));
    }
}

void BackupStatements::restore(const Statement& statement) {
    const QString what = QStringLiteral("RESTORE DATABASE");
    if (!QFileInfo(statement.file).isFile()) {
        terminate(what, sqlServerError(native::BackupDeviceUnopenable,
                                       {statement.file, operatingSystemError(SQLITE_CANTOPEN)}));
    }
    PageConnection from(statement.file, SQLITE_OPEN_READONLY);
    int rc = SQLITE_OK;
    from.pragma("SELECT count(*) FROM sqlite_master", rc);
    if (!from.ok() || rc != SQLITE_OK) {
        terminate(what, sqlServerError(native::BackupMediaMalformed, {statement.file}));
    }
    if (m_session.hasCurrent() &&
        m_session.current().name().compare(statement.database, Qt::CaseInsensitive) == 0) {
        terminate(what, sqlServerError(native::RestoreDatabaseInUse));
    }
    m_session.release(statement.database);
    const QString target = m_session.folder().databaseFile(statement.database)
                               .value_or(m_session.folder().newDatabaseFile(statement.database));
    PageConnection to(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // Leaving WAL needs the only connection to the file: every other
    // station's connection keeps a shared lock on it while it is open.
    to.pragma("PRAGMA locking_mode=EXCLUSIVE", rc);
    const QString mode = to.pragma("PRAGMA journal_mode=DELETE", rc);
    if (!to.ok() || rc != SQLITE_OK || mode.compare(QLatin1String("delete"), Qt::CaseInsensitive)) {
        terminate(what, sqlServerError(native::RestoreDatabaseInUse));
    }
    rc = copyPages(to.handle(), from.handle(), m_session.lockDeadline());
    if (rc != SQLITE_OK) {
        terminate(what, sqlServerError(native::BackupDeviceUnopenable,
                                       {statement.file, operatingSystemError(rc)}));
    }
    int ignored = SQLITE_OK;
    to.pragma("PRAGMA journal_mode=WAL", ignored);
}

} // namespace estaciones::db::sqlite
