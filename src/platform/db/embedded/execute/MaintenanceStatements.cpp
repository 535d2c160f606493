#include "platform/db/embedded/execute/MaintenanceStatements.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/SequenceStatements.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/SystemProcedures.h"

#include <QSet>

namespace estaciones::db::sqlite {

using tsql::Tokens;

namespace {

[[noreturn]] void refuse(const QString& what) {
    failWith(native::NotSupported, {what});
}

bool isDefinition(const QString& first) {
    return first == QLatin1String("CREATE") || first == QLatin1String("ALTER") ||
           first == QLatin1String("DROP");
}

// The objects CREATE, ALTER and DROP may name that the engine does not keep.
bool isUnkeptObject(const QString& word) {
    static const QSet<QString> objects = {
        "TYPE",        "SYNONYM",     "LOGIN",       "FULLTEXT",
        "STATISTICS",  "ASSEMBLY",     "PARTITION",  "CERTIFICATE", "MASTER",    "SYMMETRIC",
        "ASYMMETRIC",  "ENDPOINT",     "EVENT",      "QUEUE",       "SERVICE",   "CONTRACT",
        "MESSAGE",     "RULE",         "AGGREGATE",  "CREDENTIAL",  "SERVER",    "AUDIT",
        "RESOURCE",    "WORKLOAD",     "SECURITY",   "EXTERNAL",    "APPLICATION",
        "AVAILABILITY", "BROKER",      "COLUMNSTORE", "SPATIAL",    "XML"};
    return objects.contains(word);
}

// Users, roles and owners have no meaning for a local file database, as
// GRANT has none: accepted so that provisioning scripts run through.
bool isAccessStatement(const QString& first, const QString& second) {
    return (isDefinition(first) && (second == QLatin1String("USER") || second == QLatin1String("ROLE"))) ||
           (first == QLatin1String("ALTER") && second == QLatin1String("AUTHORIZATION"));
}

// An ALTER DATABASE option the file cannot have, as the text naming it.
// Options that change no result (statistics, page checks, snapshots of
// reads, which WAL gives) take any value; the others only the file's own.
std::optional<QString> refusedDatabaseOption(const Tokens& tokens, std::size_t from,
                                             std::size_t to) {
    const QString option = upperWord(tokens, from);
    QString value;
    for (std::size_t i = from + 1; i < to; ++i)
        if (!tokens[i].isPunctuation(u"="))
            value += (value.isEmpty() ? QString() : QStringLiteral(" ")) + tokens[i].text.toUpper();
    static const QSet<QString> anyValue = {
        "AUTO_CREATE_STATISTICS", "AUTO_UPDATE_STATISTICS",   "AUTO_UPDATE_STATISTICS_ASYNC",
        "PAGE_VERIFY",            "TORN_PAGE_DETECTION",      "TARGET_RECOVERY_TIME",
        "ALLOW_SNAPSHOT_ISOLATION", "READ_COMMITTED_SNAPSHOT", "QUERY_STORE",
        "PARAMETERIZATION",       "DATE_CORRELATION_OPTIMIZATION", "DB_CHAINING",
        "TRUSTWORTHY",            "DELAYED_DURABILITY"};
    static const QSet<QString> asTheFileIs = {
        "RECOVERY SIMPLE",  "COMPATIBILITY_LEVEL 140", "MULTI_USER",      "ONLINE",
        "READ_WRITE",       "AUTO_CLOSE OFF",          "AUTO_SHRINK OFF", "RECURSIVE_TRIGGERS OFF",
        "CURSOR_DEFAULT GLOBAL", "CURSOR_CLOSE_ON_COMMIT OFF"};
    const QString setting = value.isEmpty() ? option : option + QLatin1Char(' ') + value;
    if (anyValue.contains(option) || asTheFileIs.contains(setting))
        return std::nullopt;
    return QStringLiteral("ALTER DATABASE SET ") + setting;
}

// Where ALTER DATABASE name|CURRENT goes on after the name.
std::size_t afterDatabaseName(const Tokens& tokens) {
    if (upperWord(tokens, 2) == QLatin1String("CURRENT"))
        return 3;
    std::size_t i = 2;
    readObjectName(tokens, i);
    return i;
}

// What ALTER DATABASE refuses whatever the database: a verb other than SET,
// an option the file cannot have.
std::optional<QString> refusedAlterDatabase(const Tokens& tokens) {
    const std::size_t i = afterDatabaseName(tokens);
    if (upperWord(tokens, i) != QLatin1String("SET"))
        return QStringLiteral("ALTER DATABASE ") + upperWord(tokens, i);
    std::size_t end = tokens.size();
    for (std::size_t k = i + 1; k < tokens.size(); ++k)
        if (tokens[k].isWord(u"WITH")) {
            end = k; // WITH ROLLBACK IMMEDIATE | NO_WAIT: no one else to wait for
            break;
        }
    for (const Range& range : splitByCommas(tokens, i + 1, end))
        if (std::optional<QString> refused = refusedDatabaseOption(tokens, range.from, range.to))
            return refused;
    return std::nullopt;
}

void alterDatabase(Session& session, const Tokens& tokens) {
    std::size_t i = 2;
    const QString name = upperWord(tokens, 2) == QLatin1String("CURRENT")
                             ? session.current().name()
                             : readObjectName(tokens, i);
    if (name.isEmpty())
        syntaxErrorAt(tokens, 2);
    if (!session.folder().hasDatabase(name) && !isSystemDatabase(name))
        failWith(native::DatabaseDoesNotExist, {name});
    if (std::optional<QString> refused = refusedAlterDatabase(tokens))
        refuse(*refused);
}

// CREATE LOGIN name WITH PASSWORD = 'x' [, DEFAULT_DATABASE = db, ...]: as sp_addlogin.
void createLogin(Session& session, const Tokens& tokens) {
    std::size_t i = 2;
    const QString login = readObjectName(tokens, i);
    if (login.isEmpty() || upperWord(tokens, i) != QLatin1String("WITH"))
        refuse(QStringLiteral("CREATE LOGIN other than WITH PASSWORD"));
    std::vector<CallArgument> arguments{{QStringLiteral("@loginame"), login}};
    for (const Range& option : splitByCommas(tokens, i + 1, tokens.size())) {
        const QString name = upperWord(tokens, option.from);
        if (option.to - option.from < 3 || !tokens[option.from + 1].isPunctuation(u"="))
            syntaxErrorAt(tokens, option.from);
        const QString value = tokens[option.from + 2].value();
        if (name == QLatin1String("PASSWORD"))
            arguments.push_back({QStringLiteral("@passwd"), value});
        else if (name == QLatin1String("DEFAULT_DATABASE"))
            arguments.push_back({QStringLiteral("@defdb"), value});
        else if (name == QLatin1String("DEFAULT_LANGUAGE"))
            arguments.push_back({QStringLiteral("@deflanguage"), value});
        else if (name != QLatin1String("CHECK_POLICY") && name != QLatin1String("CHECK_EXPIRATION"))
            refuse(QStringLiteral("CREATE LOGIN WITH ") + name);
    }
    callSystemProcedure(session, QStringLiteral("sp_addlogin"), arguments);
}

// The table an UPDATE STATISTICS or ALTER INDEX ... ON names, which must exist.
QString existingTable(Session& session, const Tokens& tokens, std::size_t& i) {
    const QString table = readObjectName(tokens, i);
    if (table.isEmpty())
        syntaxErrorAt(tokens, i);
    if (!session.current().hasTable(table))
        failWith(native::InvalidObjectName, {table});
    return table;
}

} // namespace

bool isMaintenanceStatement(const Tokens& tokens) {
    const QString first = upperWord(tokens, 0);
    const QString second = upperWord(tokens, 1);
    return isAccessStatement(first, second) || (isDefinition(first) && isUnkeptObject(second)) ||
           isSequenceStatement(tokens) ||
           (first == QLatin1String("ALTER") &&
            (second == QLatin1String("DATABASE") || second == QLatin1String("INDEX"))) ||
           (first == QLatin1String("UPDATE") && second == QLatin1String("STATISTICS"));
}

std::optional<ProviderError> maintenanceRefusal(const Tokens& tokens) {
    const QString first = upperWord(tokens, 0);
    const QString second = upperWord(tokens, 1);
    std::optional<QString> refused;
    if (isDefinition(first) && isUnkeptObject(second) &&
        !(first == QLatin1String("CREATE") && second == QLatin1String("LOGIN")))
        refused = first + QLatin1Char(' ') + second;
    else if (first == QLatin1String("ALTER") && second == QLatin1String("DATABASE"))
        refused = refusedAlterDatabase(tokens);
    if (!refused)
        return std::nullopt;
    return sqlServerError(native::NotSupported, {*refused});
}

bool runMaintenanceStatement(Session& session, const Tokens& tokens) {
    if (!isMaintenanceStatement(tokens))
        return false;
    const QString first = upperWord(tokens, 0);
    const QString second = upperWord(tokens, 1);
    if (first == QLatin1String("CREATE") && second == QLatin1String("LOGIN")) {
        createLogin(session, tokens);
        return true;
    }
    if (first == QLatin1String("ALTER") && second == QLatin1String("DATABASE")) {
        alterDatabase(session, tokens);
        return true;
    }
    if (isSequenceStatement(tokens)) {
        runSequenceStatement(session, tokens);
        return true;
    }
    if (std::optional<ProviderError> error = maintenanceRefusal(tokens))
        throw ProviderFailure({std::move(*error)});
    if (first == QLatin1String("UPDATE")) {
        // UPDATE STATISTICS table: SQLite's planner needs none; gathering them
        // (ANALYZE) could change the plans, and so the order of rows a query
        // without ORDER BY gives.
        std::size_t i = 2;
        existingTable(session, tokens, i);
        return true;
    }
    if (first == QLatin1String("ALTER") && second == QLatin1String("INDEX")) {
        // ALTER INDEX name | ALL ON table REBUILD | REORGANIZE [WITH (...)]
        std::size_t i = 2;
        while (i < tokens.size() && !tokens[i].isWord(u"ON"))
            ++i;
        ++i;
        const QString table = existingTable(session, tokens, i);
        const QString action = upperWord(tokens, i);
        if (action != QLatin1String("REBUILD") && action != QLatin1String("REORGANIZE"))
            refuse(QStringLiteral("ALTER INDEX ") + action);
        session.current().run(QStringLiteral("REINDEX ") + sqliteQuoted(table));
    }
    return true; // users, roles and owners
}

} // namespace estaciones::db::sqlite
