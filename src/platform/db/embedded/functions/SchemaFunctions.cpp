#include "platform/db/embedded/functions/SchemaFunctions.h"

#include "platform/db/embedded/errors/TableVariableNames.h"
#include "platform/db/embedded/functions/ColumnAlteration.h"
#include "platform/db/embedded/functions/SchemaAccess.h"

#include <QStringList>

#include <sqlite3.h>

#include <stdexcept>

namespace estaciones::db::tsql {

namespace {

using namespace schema_access;

bool hasConstraintTable(sqlite3* db) {
    return !columnOf(
                db,
                QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1"),
                {QString::fromLatin1(constraintTable)})
                .isEmpty();
}

// The triggers and index the engine made for constraint `name` of `table`.
QStringList objectsOf(sqlite3* db, const QString& table, const QString& name) {
    const QString prefix = table + QLatin1Char('.') + name + QLatin1Char('.');
    return columnOf(db,
                    QStringLiteral("SELECT type || ' ' || name FROM sqlite_schema WHERE "
                                   "(type = 'trigger' AND (lower(name) GLOB lower('tsql_ck.' || ?1 "
                                   "|| '*') OR lower(name) GLOB lower('tsql_fk.' || ?1 || '*') OR "
                                   "lower(name) GLOB lower('tsql_uq.' || ?1 || '*'))) OR "
                                   "(type = 'index' AND lower(name) = lower(?2)) "
                                   "UNION ALL SELECT type || ' ' || name FROM sqlite_temp_schema "
                                   "WHERE type = 'trigger' AND (lower(name) GLOB lower('tsql_ck.' "
                                   "|| ?1 || '*') OR lower(name) GLOB lower('tsql_uq.' || ?1 || "
                                   "'*'))"),
                    {prefix, table + QLatin1Char('.') + name});
}

void dropObjects(sqlite3* db, const QStringList& objects) {
    for (const QString& object : objects) {
        const qsizetype space = object.indexOf(QLatin1Char(' '));
        execute(db, QStringLiteral("DROP %1 IF EXISTS %2")
                        .arg(object.left(space).toUpper(), quoted(object.mid(space + 1))));
    }
}

// ---- the functions -----------------------------------------------------------

// tsql_constraint_conflict(verb, kind, name, table, column): always fails with 547.
void constraintConflict(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const QString column = textOf(argv[4]);
    throw ServerFailure(
        547, QStringLiteral("The %1 statement conflicted with the %2 constraint \"%3\". The "
                            "conflict occurred in database \"%4\", table \"%5\"%6.")
                 .arg(textOf(argv[0]), textOf(argv[1]), textOf(argv[2]),
                      databaseName(sqlite3_context_db_handle(ctx)),
                      sqlite::shownTableName(textOf(argv[3])),
                      column.isEmpty() ? QString() : QStringLiteral(", column '%1'").arg(column)));
}

// tsql_duplicate_key(number, kind, table, name, value...): fails with 2601,
// 2627 (kind PRIMARY KEY or UNIQUE KEY) or 1505, the duplicate key value
// shown as the server shows it.
void duplicateKey(sqlite3_context*, int argc, sqlite3_value** argv) {
    QStringList values;
    for (int i = 4; i < argc; ++i)
        values << (sqlite3_value_type(argv[i]) == SQLITE_NULL ? QStringLiteral("<NULL>")
                                                              : textOf(argv[i]));
    const int number = sqlite3_value_int(argv[0]);
    const QString kind = textOf(argv[1]);
    const QString table = sqlite::shownTableName(textOf(argv[2]));
    const QString name = textOf(argv[3]);
    const QString value = QStringLiteral("(%1)").arg(values.join(QStringLiteral(", ")));
    QString text;
    if (number == 2601)
        text = QStringLiteral("Cannot insert duplicate key row in object '%1' with unique index "
                              "'%2'. The duplicate key value is %3.")
                   .arg(table, name, value);
    else if (number == 1505)
        text = QStringLiteral("The CREATE UNIQUE INDEX statement terminated because a duplicate "
                              "key was found for the object name '%1' and the index name '%2'. "
                              "The duplicate key value is %3.")
                   .arg(table, name, value);
    else
        text = QStringLiteral("Violation of %1 constraint '%2'. Cannot insert duplicate key in "
                              "object '%3'. The duplicate key value is %4.")
                   .arg(kind, name, table, value);
    throw ServerFailure(number, text);
}

// tsql_drop_constraint(table, name, if_exists): forgets the constraint (the
// statement drops its triggers and index after); 3728 when the table has no
// constraint of that name.
void dropConstraint(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString table = textOf(argv[0]);
    const QString name = textOf(argv[1]);
    const QStringList objects = objectsOf(db, table, name);
    bool recorded = false;
    if (hasConstraintTable(db)) {
        const QStringList row =
            columnOf(db,
                     QStringLiteral("SELECT kind || '|' || coalesce(columns, '') FROM %1 WHERE "
                                    "lower(table_name) = lower(?1) AND lower(name) = lower(?2)")
                         .arg(QLatin1String(constraintTable)),
                     {table, name});
        recorded = !row.isEmpty();
        if (recorded && row.front().startsWith(QLatin1String("D|")))
            removeColumnDefault(db, table, row.front().mid(2));
        execute(db, QStringLiteral("DELETE FROM %1 WHERE lower(table_name) = lower(%2) AND "
                                   "lower(name) = lower(%3)")
                        .arg(QLatin1String(constraintTable), quotedText(table), quotedText(name)));
    }
    if (objects.isEmpty() && !recorded && !sqlite3_value_int(argv[2]))
        throw ServerFailure(3728, QStringLiteral("'%1' is not a constraint.").arg(name));
    sqlite3_result_null(ctx);
}

// tsql_enable_constraints(table, name or NULL for all, enabled, validate):
// NOCHECK and CHECK CONSTRAINT; `validate` (WITH CHECK) refuses the rows
// there are when one breaks a constraint, and trusts it again.
void enableConstraints(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString table = textOf(argv[0]);
    const bool all = sqlite3_value_type(argv[1]) == SQLITE_NULL;
    const QString name = textOf(argv[1]);
    const int enabled = sqlite3_value_int(argv[2]);
    if (!hasConstraintTable(db)) {
        if (!all)
            throw ServerFailure(4917, QStringLiteral("Constraint '%1' does not exist.").arg(name));
        sqlite3_result_null(ctx);
        return;
    }
    const QString where = QStringLiteral("lower(table_name) = lower(?1) AND kind IN ('C', 'F')") +
                          (all ? QString() : QStringLiteral(" AND lower(name) = lower(?2)"));
    QStringList parameters{table};
    if (!all)
        parameters << name;
    if (!all &&
        columnOf(
            db,
            QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(QLatin1String(constraintTable), where),
            parameters)
            .isEmpty())
        throw ServerFailure(4917, QStringLiteral("Constraint '%1' does not exist.").arg(name));
    const bool validate = enabled && sqlite3_value_int(argv[3]);
    if (validate)
        for (const QString& violation : columnOf(db,
                                                 QStringLiteral("SELECT violation FROM %1 WHERE %2")
                                                     .arg(QLatin1String(constraintTable), where),
                                                 parameters))
            columnOf(db, violation + QStringLiteral(" LIMIT 1"));
    columnOf(db,
             QStringLiteral("UPDATE %1 SET disabled = %2, untrusted = %3 WHERE %4 RETURNING 1")
                 .arg(QLatin1String(constraintTable))
                 .arg(enabled ? 0 : 1)
                 .arg(validate ? QStringLiteral("0") : QStringLiteral("1"))
                 .arg(where),
             parameters);
    sqlite3_result_null(ctx);
}

// tsql_drop_table_constraints(table): before DROP TABLE. 3726 while another
// table's foreign key references it; otherwise its own foreign keys' triggers
// on the tables they reference go, and its rows in the constraint table.
void dropTableConstraints(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString table = textOf(argv[0]);
    if (!hasConstraintTable(db)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QStringList referencing = columnOf(
        db,
        QStringLiteral("SELECT name FROM %1 WHERE kind = 'F' AND lower(ref_table) = lower(?1) "
                       "AND lower(table_name) <> lower(?1)")
            .arg(QLatin1String(constraintTable)),
        {table});
    if (!referencing.isEmpty())
        throw ServerFailure(3726, QStringLiteral("Could not drop object 'dbo.%1' because it is "
                                                 "referenced by a FOREIGN KEY constraint.")
                                      .arg(table));
    for (const QString& name :
         columnOf(db,
                  QStringLiteral("SELECT name FROM %1 WHERE lower(table_name) = lower(?1)")
                      .arg(QLatin1String(constraintTable)),
                  {table}))
        dropObjects(db, objectsOf(db, table, name));
    execute(db, QStringLiteral("DELETE FROM %1 WHERE lower(table_name) = lower(%2)")
                    .arg(QLatin1String(constraintTable), quotedText(table)));
    sqlite3_result_null(ctx);
}

const FunctionRegistration schemaRegistrations[] = {
    {"tsql_constraint_conflict", 5, guarded<constraintConflict>},
    {"tsql_duplicate_key", -1, guarded<duplicateKey>},
    {"tsql_drop_constraint", 3, guarded<dropConstraint>},
    {"tsql_enable_constraints", 4, guarded<enableConstraints>},
    {"tsql_drop_table_constraints", 1, guarded<dropTableConstraints>},
    {"tsql_alter_column", 5, guarded<alterColumn>},
    {"tsql_refuse_dropped_column", 2, guarded<refuseDroppedColumn>},
};

} // namespace

void registerSchemaFunctions(sqlite3* db) {
    // Not innocuous: triggers call the failing ones, statements the schema-changing ones.
    for (const FunctionRegistration& r : schemaRegistrations)
        registerOne(db, r);
}

} // namespace estaciones::db::tsql
