#include "platform/db/embedded/execute/MaintenanceStatements.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
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

// The objects CREATE, ALTER and DROP may name that the engine does not keep.
bool isUnkeptObject(const QString& word) {
    static const QSet<QString> objects = {
        "SCHEMA",      "SEQUENCE",  "TYPE",      "SYNONYM",   "LOGIN",
        "FULLTEXT",  "STATISTICS", "ASSEMBLY", "PARTITION", "CERTIFICATE",
        "MASTER",      "SYMMETRIC", "ASYMMETRIC", "ENDPOINT", "EVENT",    "QUEUE",
        "SERVICE",     "CONTRACT",  "MESSAGE",   "RULE",      "AGGREGATE", "CREDENTIAL",
        "SERVER",      "AUDIT",     "RESOURCE",  "WORKLOAD",  "SECURITY", "EXTERNAL",
        "APPLICATION", "AVAILABILITY", "BROKER", "COLUMNSTORE", "SPATIAL", "XML"};
    return objects.contains(word);
}

// ALTER DATABASE options and the values the file has: those are accepted.
// Options that change no result (statistics, page checks, snapshots of
// reads, which WAL gives) take any value.
void checkDatabaseOption(const Tokens& tokens, std::size_t from, std::size_t to) {
    const QString option = upperWord(tokens, from);
    QString value;
    for (std::size_t i = from + 1; i < to; ++i)
        if (!tokens[i].isPunctuation(u"="))
            value += (value.isEmpty() ? QString() : QStringLiteral(" ")) + tokens[i].text.toUpper();
    static const QSet<QString> anyValue = {
        "AUTO_CREATE_STATISTICS", "AUTO_UPDATE_STATISTICS", "AUTO_UPDATE_STATISTICS_ASYNC",
        "PAGE_VERIFY",            "TORN_PAGE_DETECTION",    "TARGET_RECOVERY_TIME",
        "ALLOW_SNAPSHOT_ISOLATION", "READ_COMMITTED_SNAPSHOT", "QUERY_STORE",
        "PARAMETERIZATION",       "DATE_CORRELATION_OPTIMIZATION", "DB_CHAINING",
        "TRUSTWORTHY",            "DELAYED_DURABILITY",     "AUTO_CREATE_STATISTICS"};
    static const QSet<QString> asTheFileIs = {
        "RECOVERY SIMPLE",  "COMPATIBILITY_LEVEL 140", "MULTI_USER",     "ONLINE",
        "READ_WRITE",       "AUTO_CLOSE OFF",          "AUTO_SHRINK OFF", "RECURSIVE_TRIGGERS OFF",
        "CURSOR_DEFAULT GLOBAL", "CURSOR_CLOSE_ON_COMMIT OFF"};
    const QString setting = value.isEmpty() ? option : option + QLatin1Char(' ') + value;
    if (!anyValue.contains(option) && !asTheFileIs.contains(setting))
        refuse(QStringLiteral("ALTER DATABASE SET ") + setting);
}

void alterDatabase(Session& session, const Tokens& tokens) {
    std::size_t i = 2;
    const QString name = upperWord(tokens, i) == QLatin1String("CURRENT")
                             ? session.current().name()
                             : readObjectName(tokens, i);
    if (upperWord(tokens, 2) == QLatin1String("CURRENT"))
        i = 3;
    if (name.isEmpty())
        syntaxErrorAt(tokens, 2);
    if (!session.folder().hasDatabase(name) && !isSystemDatabase(name))
        failWith(native::DatabaseDoesNotExist, {name});
    if (upperWord(tokens, i) != QLatin1String("SET"))
        refuse(QStringLiteral("ALTER DATABASE ") + upperWord(tokens, i));
    std::size_t end = tokens.size();
    for (std::size_t k = i + 1; k < tokens.size(); ++k)
        if (tokens[k].isWord(u"WITH")) {
            end = k; // WITH ROLLBACK IMMEDIATE | NO_WAIT: no one else to wait for
            break;
        }
    for (const Range& range : splitByCommas(tokens, i + 1, end))
        checkDatabaseOption(tokens, range.from, range.to);
}

} // namespace

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

// Users, roles and owners have no meaning for a local file database, as
// GRANT has none: accepted so that provisioning scripts run through.
bool isAccessStatement(const QString& first, const QString& second) {
    const bool verb = first == QLatin1String("CREATE") || first == QLatin1String("ALTER") ||
                      first == QLatin1String("DROP");
    return (verb && (second == QLatin1String("USER") || second == QLatin1String("ROLE"))) ||
           (first == QLatin1String("ALTER") && second == QLatin1String("AUTHORIZATION"));
}

bool isMaintenanceStatement(const Tokens& tokens) {
    const QString first = upperWord(tokens, 0);
    const QString second = upperWord(tokens, 1);
    const bool definition = first == QLatin1String("CREATE") || first == QLatin1String("ALTER") ||
                            first == QLatin1String("DROP");
    return isAccessStatement(first, second) || (definition && isUnkeptObject(second)) ||
           (first == QLatin1String("ALTER") &&
            (second == QLatin1String("DATABASE") || second == QLatin1String("INDEX"))) ||
           (first == QLatin1String("UPDATE") && second == QLatin1String("STATISTICS"));
}

bool runMaintenanceStatement(Session& session, const Tokens& tokens) {
    if (!isMaintenanceStatement(tokens))
        return false;
    const QString first = upperWord(tokens, 0);
    const QString second = upperWord(tokens, 1);
    if (isAccessStatement(first, second))
        return true;
    if (first == QLatin1String("CREATE") && second == QLatin1String("LOGIN")) {
        createLogin(session, tokens);
        return true;
    }
    if ((first == QLatin1String("CREATE") || first == QLatin1String("ALTER") ||
         first == QLatin1String("DROP")) &&
        isUnkeptObject(second)) {
        refuse(first + QLatin1Char(' ') + second);
    }
    if (first == QLatin1String("ALTER") && second == QLatin1String("DATABASE")) {
        alterDatabase(session, tokens);
        return true;
    }
    if (first == QLatin1String("UPDATE") && second == QLatin1String("STATISTICS")) {
        std::size_t i = 2;
        const QString table = readObjectName(tokens, i);
        if (!session.current().hasTable(table))
            failWith(native::InvalidObjectName, {table});
        // SQLite's planner needs none; gathering them (ANALYZE) could change
        // the plans, and so the order of rows a query without ORDER BY gives.
        return true;
    }
    if (first == QLatin1String("ALTER") && second == QLatin1String("INDEX")) {
        // ALTER INDEX name | ALL ON table REBUILD | REORGANIZE [WITH (...)]
        std::size_t on = 2;
        while (on < tokens.size() && !tokens[on].isWord(u"ON"))
            ++on;
        std::size_t i = on + 1;
        const QString table = readObjectName(tokens, i);
        if (on >= tokens.size() || table.isEmpty())
            syntaxErrorAt(tokens, on);
        if (!session.current().hasTable(table))
            failWith(native::InvalidObjectName, {table});
        const QString action = upperWord(tokens, i);
        if (action != QLatin1String("REBUILD") && action != QLatin1String("REORGANIZE"))
            refuse(QStringLiteral("ALTER INDEX ") + action);
        session.current().run(QStringLiteral("REINDEX ") + sqliteQuoted(table));
        return true;
    }
    return false;
}

} // namespace estaciones::db::sqlite
