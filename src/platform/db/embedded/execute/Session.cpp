#include "platform/db/embedded/execute/Session.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/ScalarFunctionCall.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/DatabaseFileName.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSysInfo>

#include <sqlite3.h>

#include <algorithm>

namespace estaciones::db::sqlite {

Session::Session(DataFolder folder, SeedDatabase seed)
    : m_folder(std::move(folder)), m_seed(std::move(seed)) {}

Session::Session(DataFolder folder, std::unique_ptr<SqliteDatabase> database)
    : m_folder(std::move(folder)) {
    std::shared_ptr<SqliteDatabase> shared(std::move(database));
    m_current = shared.get();
    m_databases.insert_or_assign(shared->name().toLower(), shared);
    applyDialectSettings(*shared);
    registerScalarFunctionCall(shared->handle(), *this);
}

void Session::applyDialectSettings() {
    for (const auto& [name, database] : m_databases) {
        applyDialectSettings(*database);
    }
}

void Session::applyDialectSettings(SqliteDatabase& database) {
    tsql::DialectSettings& settings = database.dialectSettings();
    settings.language = language;
    settings.dateOrder = dateOrder;
    settings.firstDayOfWeek = dateFirst;
    settings.concatNullYieldsNull = concatNullYieldsNull;
    settings.userName = [this] { return user; };
    settings.tableColumns = [&database](const QString& table) {
        QStringList columns;
        PreparedStatement query(database.handle(),
                                QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
        query.bindText(1, table);
        while (query.ok() && query.step() == SQLITE_ROW) {
            columns << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
        }
        return columns;
    };
}

void Session::use(const QString& database, bool connecting) {
    const QString name = database.trimmed();
    const QString key = name.toLower();
    if (auto it = m_databases.find(key); it != m_databases.end()) {
        m_current = it->second.get();
        return;
    }
    std::optional<QString> file = m_folder.databaseFile(name);
    if (!file && m_seed && m_seed(m_folder, name)) {
        file = m_folder.databaseFile(name);
    }
    if (!file) {
        failWith(connecting ? native::CannotOpenDatabase : native::DatabaseDoesNotExist, {name});
    }
    auto opened = std::make_shared<SqliteDatabase>(
        *file, databaseNameOf(QFileInfo(*file).completeBaseName()), false);
    applyDialectSettings(*opened);
    registerScalarFunctionCall(opened->handle(), *this);
    opened->waitForLocksUntil(m_lockDeadline);
    m_current = opened.get();
    m_databases.insert_or_assign(key, std::move(opened));
}

SqliteDatabase& Session::current() const {
    if (!m_current) {
        throw Error(errnum::ConnectionUnusable, standardDescription(errnum::ConnectionUnusable));
    }
    return *m_current;
}

std::shared_ptr<const std::vector<StatementNode>> Session::parsed(const QString& batch) {
    if (const auto* kept = m_parsed.find(batch)) {
        return *kept;
    }
    auto nodes = std::make_shared<const std::vector<StatementNode>>(parseBatch(batch));
    m_parsed.put(batch, nodes);
    return nodes;
}

void Session::closeAll() {
    abandonTransaction();
    m_current = nullptr;
    m_databases.clear();
}

void Session::createDatabase(const QString& database, const QString& collation) {
    const QString name = database.trimmed();
    if (m_folder.hasDatabase(name)) {
        failWith(native::DatabaseExists, {name});
    }
    SqliteDatabase created(m_folder.newDatabaseFile(name), name, true);
    if (!collation.isEmpty()) {
        created.setSetting(QStringLiteral("collation"), collation);
    }
}

QString Session::databaseList() const {
    // The server's own databases keep their ids (1 to 4); the folder's follow by name.
    QStringList names{QStringLiteral("master"), QStringLiteral("tempdb"), QStringLiteral("model"),
                      QStringLiteral("msdb")};
    QStringList others = m_folder.databaseNames();
    others.removeIf([&](const QString& name) { return names.contains(name, Qt::CaseInsensitive); });
    std::sort(others.begin(), others.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QJsonArray list;
    for (const QString& name : names + others)
        list.append(name);
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

Variant Session::systemValue(const QString& name) const {
    const QString key = name.toUpper();
    if (key == QLatin1String("IDENTITY")) {
        return lastIdentity;
    }
    if (key == QLatin1String("SCOPE_IDENTITY")) {
        return scopeIdentity;
    }
    if (key == QLatin1String("ROWCOUNT")) {
        return rowCount;
    }
    if (key == QLatin1String("ERROR")) {
        return lastErrorNumber;
    }
    if (key == QLatin1String("TRANCOUNT")) {
        return m_transactionDepth;
    }
    if (key == QLatin1String("FETCH_STATUS")) {
        return fetchStatus;
    }
    if (key == QLatin1String("CURSOR_ROWS")) {
        const std::shared_ptr<const Cursor> cursor = lastOpenedCursor.lock();
        return cursor ? cursor->rowCountStatus() : 0LL;
    }
    if (key == QLatin1String("DB_NAME")) {
        return m_current ? Variant(m_current->name()) : Variant::null();
    }
    if (key == QLatin1String("DATABASES")) {
        return databaseList();
    }
    if (key == QLatin1String("SPID")) {
        return 51;
    }
    // The client's machine and program: the engine runs inside the client.
    if (key == QLatin1String("HOST_NAME")) {
        return QSysInfo::machineHostName();
    }
    if (key == QLatin1String("APP_NAME")) {
        return QCoreApplication::applicationName();
    }
    if (key == QLatin1String("SERVERNAME")) {
        return QStringLiteral("(local)");
    }
    if (key == QLatin1String("LANGUAGE")) {
        return languageName;
    }
    if (key == QLatin1String("DATEFIRST")) {
        return dateFirst;
    }
    if (key == QLatin1String("OPTIONS")) {
        // The bits of the options this session keeps (IMPLICIT_TRANSACTIONS,
        // ANSI_NULLS, QUOTED_IDENTIFIER, NOCOUNT, CONCAT_NULL_YIELDS_NULL, XACT_ABORT).
        return (implicitTransactions ? 2 : 0) | (ansiNulls ? 32 : 0) |
               (quotedIdentifier ? 256 : 0) | (noCount ? 512 : 0) |
               (concatNullYieldsNull ? 4096 : 0) | (xactAbort ? 16384 : 0);
    }
    if (key == QLatin1String("LOCK_TIMEOUT")) {
        return lockTimeout;
    }
    if (key == QLatin1String("MAX_PRECISION")) {
        return 38; // of decimal and numeric
    }
    if (key == QLatin1String("VERSION")) {
        return QStringLiteral("Estaciones embedded SQL engine");
    }
    return Variant::null();
}

void Session::beginTransaction() {
    if (m_transactionDepth == 0) {
        SqliteDatabase& database = current();
        database.run(QStringLiteral("BEGIN IMMEDIATE"));
        const auto it = m_databases.find(database.name().toLower());
        m_transactionDatabase = it != m_databases.end() ? it->second : nullptr;
    }
    ++m_transactionDepth;
}

void Session::commitTransaction() {
    if (m_transactionDepth == 0) {
        failWith(native::CommitWithoutBegin);
    }
    if (m_doomed) {
        failWith(native::UncommittableTransaction);
    }
    if (--m_transactionDepth == 0 && m_transactionDatabase) {
        const auto database = std::move(m_transactionDatabase);
        try {
            database->run(QStringLiteral("COMMIT"));
        } catch (const ProviderFailure&) {
            ignoringErrors([&] { database->run(QStringLiteral("ROLLBACK")); });
            throw;
        }
    }
}

void Session::beginCall() {
    for (const auto& [name, database] : m_databases) {
        database->beginCall();
    }
}

void Session::endCall() {
    for (const auto& [name, database] : m_databases) {
        database->endCall();
    }
}

void Session::abandonTransaction() {
    if (m_transactionDepth > 0) {
        ignoringErrors([this] { rollbackTransaction(); });
    }
}

void Session::release(const QString& database) {
    const QString key = database.trimmed().toLower();
    const auto it = m_databases.find(key);
    if (it == m_databases.end() || it->second.get() == m_current ||
        it->second == m_transactionDatabase) {
        return;
    }
    m_databases.erase(it);
}

void Session::waitForLocksUntil(std::optional<QDeadlineTimer> deadline) {
    m_lockDeadline = deadline;
    for (const auto& [name, database] : m_databases) {
        database->waitForLocksUntil(deadline);
    }
}

void Session::rollbackTransaction() {
    if (m_transactionDepth == 0) {
        failWith(native::RollbackWithoutBegin);
    }
    m_transactionDepth = 0;
    m_transactionName.clear();
    m_savepoints.clear();
    m_doomed = false;
    // SQLite may have rolled back already (an interrupted write, a full disk).
    if (const auto database = std::move(m_transactionDatabase); database && database->inTransaction()) {
        database->run(QStringLiteral("ROLLBACK"));
    }
}

void Session::nameTransaction(const QString& name) {
    if (m_transactionDepth == 1) {
        m_transactionName = name.toLower();
    }
}

void Session::saveTransaction(const QString& savepoint) {
    if (m_transactionDepth == 0 || !m_transactionDatabase) {
        failWith(native::SaveWithoutTransaction);
    }
    m_transactionDatabase->run(QStringLiteral("SAVEPOINT ") + sqliteQuoted(savepoint));
    m_savepoints.append(savepoint.toLower());
}

void Session::rollbackTransaction(const QString& name) {
    if (m_transactionDepth == 0) {
        failWith(native::RollbackWithoutBegin);
    }
    const QString key = name.toLower();
    const qsizetype savepoint = m_savepoints.lastIndexOf(key);
    if (savepoint < 0) {
        if (m_transactionName.isEmpty() || key != m_transactionName) {
            failWith(native::NoSuchSavepoint, {name});
        }
        rollbackTransaction();
        return;
    }
    if (m_doomed) {
        failWith(native::UncommittableTransaction);
    }
    // SQLite forgets the savepoints made after this one, as SQL Server does.
    m_transactionDatabase->run(QStringLiteral("ROLLBACK TO ") + sqliteQuoted(name));
    m_savepoints.erase(m_savepoints.begin() + savepoint + 1, m_savepoints.end());
}

void Session::doomTransaction() {
    if (m_transactionDepth > 0) {
        m_doomed = true;
    }
}

} // namespace estaciones::db::sqlite
