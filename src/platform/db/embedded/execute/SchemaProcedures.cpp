#include "platform/db/embedded/execute/SchemaProcedures.h"
#include "platform/db/embedded/execute/ObjectDates.h"

#include "platform/db/embedded/catalog/FunctionCatalog.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/catalog/ProcedureCatalog.h"
#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/catalog/ViewDefinitions.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/translate/ComputedColumnDefinitions.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

// '[dbo].[T].[c]' → its parts without brackets or owner; '[ventas].[T].[c]'
// → "ventas.T", c, as the file names the object of a schema the database
// has, whose name `schema` then receives.
QStringList nameParts(SqliteDatabase& database, QString name, QString* schema = nullptr) {
    name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    QStringList parts = name.split(QLatin1Char('.'));
    if (parts.size() > 1 && parts.front().compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    else if (parts.size() > 1) {
        const auto found = tsql::schemaNamed(database.handle(), parts.front());
        if (found && !found->fixed) {
            if (schema)
                *schema = found->name;
            parts[1] = tsql::storedName(found->name, parts[1]);
            parts.removeFirst();
        }
    }
    return parts;
}

using tsql::schema_access::quoted;

QString literal(const QString& text) {
    return tsql::schema_access::quotedText(text);
}

// Rows of a query: name and SQL.
std::vector<std::pair<QString, QString>> namedSql(SqliteDatabase& database, const QString& sql) {
    std::vector<std::pair<QString, QString>> rows;
    PreparedStatement query(database.handle(), sql);
    while (query.ok() && query.step() == SQLITE_ROW)
        rows.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(
                              sqlite3_column_text(query.handle(), 0))),
                          QString::fromUtf8(reinterpret_cast<const char*>(
                              sqlite3_column_text(query.handle(), 1))));
    return rows;
}

[[noreturn]] void ambiguous(const QString& type) {
    failWith(native::RenameAmbiguous, {type});
}

// An index or trigger made again under `newName` (SQLite renames neither).
void recreate(SqliteDatabase& database, const QString& type, const QString& oldName,
              const QString& newName, QString renamed) {
    const qsizetype at = renamed.indexOf(quoted(oldName), 0, Qt::CaseInsensitive);
    if (at < 0)
        return;
    renamed.replace(at, quoted(oldName).size(), quoted(newName));
    database.run(QStringLiteral("DROP %1 %2; %3").arg(type, quoted(oldName), renamed));
}

// The engine's triggers and indexes named after `table` take `newTable`.
void renameTableObjects(SqliteDatabase& database, const QString& table, const QString& newTable) {
    const QString t = QRegularExpression::escape(table);
    const QRegularExpression patterns[] = {
        QRegularExpression(QStringLiteral("^(tsql_(?:ck|fk|uq)\\.)%1(\\..*)$").arg(t),
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(QStringLiteral("^(tsql_(?:identity|default|date)_)%1((?:_.*)?)$").arg(t),
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(QStringLiteral("^()%1(\\..*)$").arg(t),
                           QRegularExpression::CaseInsensitiveOption)};
    for (const auto& [name, sql] :
         namedSql(database, QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type IN "
                                           "('trigger', 'index') AND sql IS NOT NULL")))
        for (const QRegularExpression& pattern : patterns) {
            const auto m = pattern.match(name);
            if (!m.hasMatch())
                continue;
            const bool index = !name.startsWith(QLatin1String("tsql_"));
            QString body = sql;
            if (name.startsWith(QLatin1String("tsql_identity_"), Qt::CaseInsensitive)) {
                // The identity store's row is found by the table's name.
                body.replace(literal(table), literal(newTable), Qt::CaseInsensitive);
            }
            recreate(database, index ? QStringLiteral("INDEX") : QStringLiteral("TRIGGER"), name,
                     m.captured(1) + newTable + m.captured(2), body);
            break;
        }
}

// SQLite alters no view: it is made again under the new name, with the
// trigger that lets INSERT reach its table.
void renameView(SqliteDatabase& database, const QString& view, const QString& newName) {
    static const QRegularExpression named(
        QStringLiteral(R"(^(\s*CREATE\s+(?:TRIGGER\s+("(?:[^"]|"")*")\s+INSTEAD\s+OF\s+INSERT\s+ON\s+)?(?:VIEW\s+)?)("(?:[^"]|"")*"))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto definitions = namedSql(
        database, QStringLiteral("SELECT type, sql FROM sqlite_schema WHERE (type = 'view' AND "
                                 "lower(name) = lower(%1)) OR (type = 'trigger' AND lower(name) = "
                                 "lower(%2)) ORDER BY type DESC")
                      .arg(literal(view), literal(QStringLiteral("tsql_insert_") + view)));
    QStringList statements{QStringLiteral("DROP VIEW %1").arg(quoted(view))};
    for (const auto& [type, sql] : definitions) {
        const QRegularExpressionMatch m = named.match(sql);
        if (!m.hasMatch())
            failWith(native::NotSupported, {QStringLiteral("sp_rename de esta vista")});
        QString renamed = sql;
        renamed.replace(m.capturedStart(3), m.capturedLength(3), quoted(newName));
        if (type == QLatin1String("trigger"))
            renamed.replace(m.capturedStart(2), m.capturedLength(2),
                            quoted(QStringLiteral("tsql_insert_") + newName));
        statements << renamed;
    }
    database.run(statements.join(QStringLiteral(";\n")));
    ViewDefinitions(database).rename(view, newName);
}

bool isView(SqliteDatabase& database, const QString& name) {
    return !namedSql(database, QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type = "
                                              "'view' AND lower(name) = lower(%1)")
                                   .arg(literal(name)))
                .empty();
}

void renameTable(SqliteDatabase& database, const QString& table, const QString& newName) {
    if (!database.hasTable(table))
        ambiguous(QStringLiteral("OBJECT"));
    if (isView(database, table))
        return renameView(database, table, newName);
    database.run(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(table), quoted(newName)));
    renameTableObjects(database, table, newName);
    database.run(tsql::schema::renameComputedDefinitionsTable(table, newName)
                     .join(QStringLiteral(";\n")));
    database.run(tsql::identityTableDefinition(table) +
                 QStringLiteral("; UPDATE %1 SET table_name = %2 WHERE table_name = %3")
                     .arg(tsql::identityStoreOf(table), literal(newName), literal(table)));
    database.run(QStringLiteral("UPDATE %1 SET table_name = %2 WHERE lower(table_name) = "
                                "lower(%3); UPDATE %1 SET ref_table = %2 WHERE lower(ref_table) = "
                                "lower(%3)")
                     .arg(QLatin1String(tsql::constraintTable), literal(newName), literal(table)));
    // Its T-SQL triggers stay with it (their text keeps the name they were written with).
    database.run(QStringLiteral("UPDATE %1 SET table_name = %2 WHERE lower(table_name) = lower(%3)")
                     .arg(QLatin1String(tsql::triggerTable), literal(newName), literal(table)));
}

// A comma list of column names with `column` renamed.
QString renamedInList(const QString& list, const QString& column, const QString& newName) {
    QStringList names = list.split(QLatin1Char(','));
    for (QString& n : names)
        if (n.compare(column, Qt::CaseInsensitive) == 0)
            n = newName;
    return names.join(QLatin1Char(','));
}

void renameColumn(SqliteDatabase& database, const QString& table, const QString& column,
                  const QString& newName) {
    if (!database.hasTable(table) ||
        // table_xinfo: a computed column is one of the table's too.
        namedSql(database, QStringLiteral("SELECT name, type FROM pragma_table_xinfo(%1) WHERE "
                                          "lower(name) = lower(%2) AND hidden <> 1")
                               .arg(literal(table), literal(column)))
            .empty())
        ambiguous(QStringLiteral("COLUMN"));
    database.run(QStringLiteral("ALTER TABLE %1 RENAME COLUMN %2 TO %3")
                     .arg(quoted(table), quoted(column), quoted(newName)));
    database.run(tsql::schema::renameComputedDefinitionColumn(table, column, newName)
                     .join(QStringLiteral(";\n")));
    // The constraint rows name the column among their own columns or the referenced ones.
    for (const auto& [list, table_column] :
         {std::pair{"columns", "table_name"}, std::pair{"ref_columns", "ref_table"}})
        for (const auto& [name, columns] : namedSql(
                 database, QStringLiteral("SELECT name, %1 FROM %2 WHERE lower(%3) = lower(%4)")
                               .arg(QLatin1String(list), QLatin1String(tsql::constraintTable),
                                    QLatin1String(table_column), literal(table))))
            database.run(QStringLiteral("UPDATE %1 SET %2 = %3 WHERE name = %4")
                             .arg(QLatin1String(tsql::constraintTable), QLatin1String(list),
                                  literal(renamedInList(columns, column, newName)), literal(name)));
}

// The engine's index and triggers of key, CHECK or FOREIGN KEY `name` of
// `table` (T.name, tsql_uq.T.name.i, tsql_ck..., tsql_fk...) made again
// under `newName`, which their failure texts name too; its catalogue row follows.
void renameConstraintObjects(SqliteDatabase& database, const QString& table, const QString& name,
                             const QString& newName) {
    const QRegularExpression pattern(
        QStringLiteral("^(tsql_(?:ck|fk|uq)\\.)?%1\\.%2((?:\\.[a-z]+)?)$")
            .arg(QRegularExpression::escape(table), QRegularExpression::escape(name)),
        QRegularExpression::CaseInsensitiveOption);
    for (const auto& [object, sql] :
         namedSql(database, QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type IN "
                                           "('trigger', 'index') AND sql IS NOT NULL")))
        if (const QRegularExpressionMatch m = pattern.match(object); m.hasMatch()) {
            const bool index = m.captured(1).isEmpty();
            recreate(database, index ? QStringLiteral("INDEX") : QStringLiteral("TRIGGER"), object,
                     m.captured(1) + table + QLatin1Char('.') + newName + m.captured(2),
                     index ? sql : QString(sql).replace(literal(name), literal(newName)));
        }
    database.run(QStringLiteral("UPDATE %1 SET name = %2, violation = replace(violation, %3, %4) "
                                "WHERE lower(table_name) = lower(%5) AND lower(name) = lower(%6)")
                     .arg(QLatin1String(tsql::constraintTable), literal(newName),
                          literal(literal(name)), literal(literal(newName)), literal(table),
                          literal(name)));
}

void renameIndex(SqliteDatabase& database, const QString& table, const QString& index,
                 const QString& newName) {
    const auto found = namedSql(
        database, QStringLiteral("SELECT tbl_name, substr(name, length(tbl_name) + 2) FROM "
                                 "sqlite_schema WHERE type = 'index' AND lower(name) = lower(%1)")
                      .arg(literal(table + QLatin1Char('.') + index)));
    if (found.empty())
        ambiguous(QStringLiteral("INDEX"));
    renameConstraintObjects(database, found.front().first, found.front().second, newName);
}

// The table and the name as written of the constraint named `name`;
// nullopt when there is none.
std::optional<std::pair<QString, QString>> findConstraint(SqliteDatabase& database,
                                                          const QString& name) {
    if (!database.hasTable(QLatin1String(tsql::constraintTable)))
        return std::nullopt;
    const auto rows =
        namedSql(database, QStringLiteral("SELECT table_name, name FROM %1 WHERE lower(name) = "
                                          "lower(%2)")
                               .arg(QLatin1String(tsql::constraintTable), literal(name)));
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}

// 15335 when another object of the database already has `name`: the text
// names the kind of name sp_rename was asked to change (OBJECT).
void refuseNameInUse(SqliteDatabase& database, const QString& name) {
    if (database.hasTable(name) || findConstraint(database, name) ||
        ProcedureCatalog(database).exists(name) || FunctionCatalog(database).exists(name) ||
        TriggerCatalog(database).exists(name))
        failWith(native::RenameNameInUse, {name, QStringLiteral("OBJECT")});
}

// 'ventas.PK_t': a constraint of a table of schema ventas, whose name the
// file keeps without the schema (the file's name `stored` is "ventas.PK_t").
bool constraintOfSchema(SqliteDatabase& database, const QString& schema, const QString& stored) {
    if (schema.isEmpty())
        return false;
    const auto constraint = findConstraint(database, stored.mid(schema.size() + 1));
    return constraint &&
           tsql::splitStoredName(database.handle(), constraint->first)
                   .schema.name.compare(schema, Qt::CaseInsensitive) == 0;
}

} // namespace

ProviderError renameCaution() {
    ProviderError caution;
    caution.nativeError = 15477;
    caution.severity = 10;
    caution.description = QStringLiteral(
        "Caution: Changing any part of an object name could break scripts and stored procedures.");
    return caution;
}

bool callSchemaProcedure(Session& session, const QString& procedure,
                         const std::vector<CallArgument>& arguments) {
    if (procedure.compare(QLatin1String("sp_rename"), Qt::CaseInsensitive) != 0)
        return false;
    SqliteDatabase& database = session.current();
    QString schema;
    const QStringList parts = nameParts(database, argumentText(arguments, "@objname", 0), &schema);
    const QString newName = nameParts(database, argumentText(arguments, "@newname", 1)).last();
    const QString type = argumentText(arguments, "@objtype", 2).toUpper();
    if (type == QLatin1String("COLUMN") && parts.size() == 2)
        renameColumn(database, parts[0], parts[1], newName);
    else if (type == QLatin1String("INDEX") && parts.size() == 2)
        renameIndex(database, parts[0], parts[1], newName);
    else if ((type.isEmpty() || type == QLatin1String("OBJECT")) && parts.size() == 1 &&
             constraintOfSchema(database, schema, parts[0]))
        renameObject(database, parts[0].mid(schema.size() + 1), newName);
    else if ((type.isEmpty() || type == QLatin1String("OBJECT")) && parts.size() == 1)
        renameObject(database, parts[0], tsql::storedName(schema, newName)); // it stays in its schema
    else
        ambiguous(type);
    return true;
}

void renameObject(SqliteDatabase& database, const QString& name, const QString& newName) {
    refuseNameInUse(database, newName);
    // A constraint, a procedure, a function or a trigger is an object of its own,
    // renamed by its name alone.
    if (const auto constraint = findConstraint(database, name))
        renameConstraintObjects(database, constraint->first, constraint->second, newName);
    else if (ProcedureCatalog(database).exists(name))
        ProcedureCatalog(database).rename(name, newName);
    else if (FunctionCatalog(database).exists(name))
        FunctionCatalog(database).rename(name, newName);
    else if (TriggerCatalog(database).exists(name))
        TriggerCatalog(database).rename(name, newName);
    else
        renameTable(database, name, newName);
    renameObjectDates(database, name, newName);
}

} // namespace estaciones::db::sqlite
