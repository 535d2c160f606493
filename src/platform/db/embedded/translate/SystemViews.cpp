#include "platform/db/embedded/translate/CatalogViews.h"

#include "platform/db/embedded/functions/CatalogFunctions.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/SequenceStore.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/Token.h"

#include <QStringList>

namespace estaciones::db::tsql::catalog_views {

namespace sql {

QString userObject(const char* alias) {
    return QStringLiteral("%1.name NOT GLOB 'sqlite_*' AND %1.name NOT GLOB 'estaciones_*' AND "
                          "%1.name NOT GLOB 'tsql_*'")
        .arg(QLatin1String(alias));
}

QString tableId(const QString& name) {
    return QStringLiteral("(SELECT rowid FROM sqlite_schema WHERE type = 'table' AND lower(name) "
                          "= lower(%1))")
        .arg(name);
}

QString listAsJson(const QString& list) {
    return QStringLiteral("('[\"' || replace(replace(coalesce(%1, ''), '\"', '\\\"'), ',', "
                          "'\",\"') || '\"]')")
        .arg(list);
}

QString paddedType(const QString& code) {
    return QStringLiteral("substr(%1 || ' ', 1, 2) COLLATE tsql_text").arg(code);
}

} // namespace sql

namespace {

using namespace sql;

const QString constraints = QLatin1String(constraintTable);

QString constraintDescription() {
    return QStringLiteral("CASE c.kind WHEN 'C' THEN 'CHECK_CONSTRAINT' WHEN 'D' THEN "
                          "'DEFAULT_CONSTRAINT' WHEN 'F' THEN 'FOREIGN_KEY_CONSTRAINT' WHEN 'PK' "
                          "THEN 'PRIMARY_KEY_CONSTRAINT' ELSE 'UNIQUE_CONSTRAINT' END");
}

// The id of trigger t's table or view.
QString triggerParent() {
    return QStringLiteral("(SELECT rowid FROM sqlite_schema WHERE type IN ('table', 'view') AND "
                          "lower(name) = lower(t.table_name))");
}

// The create_date and modify_date of the object whose row is `alias`.
QString objectDates(const char* alias) {
    const QString date = QStringLiteral("(SELECT d.%1 FROM %2 d WHERE d.name = %3.name)");
    const QString table = QLatin1String(objectDateTable);
    const QString row = QLatin1String(alias);
    return QStringLiteral(", %1 AS create_date, %2 AS modify_date")
        .arg(date.arg(QStringLiteral("create_date"), table, row),
             date.arg(QStringLiteral("modify_date"), table, row));
}

QString sysTriggers() {
    return QStringLiteral("SELECT tsql_stored_own_name(t.name) COLLATE tsql_text AS name, %1 + "
                          "t.rowid AS object_id, 1 AS "
                          "parent_class, 'OBJECT_OR_COLUMN' AS parent_class_desc, %2 AS "
                          "parent_id, 'TR' COLLATE tsql_text AS type, 'SQL_TRIGGER' AS type_desc, 0 "
                          "AS is_ms_shipped, t.disabled AS is_disabled, 0 AS "
                          "is_not_for_replication, t.instead_of AS is_instead_of_trigger%4 FROM %3 "
                          "AS t")
        .arg(QString::number(triggerIdBase), triggerParent(), QLatin1String(triggerTable),
             objectDates("t"));
}

// One row for each statement kind each trigger answers (sys.events types:
// 1 INSERT, 2 UPDATE, 3 DELETE), with the place sp_settriggerorder gave it.
QString sysTriggerEvents() {
    QStringList branches;
    for (const auto& [type, event] :
         {std::pair{1, "INSERT"}, std::pair{2, "UPDATE"}, std::pair{3, "DELETE"}}) {
        const QString place = QStringLiteral(
            "coalesce((SELECT o.position = '%1' FROM %2 AS o WHERE o.trigger_name = t.name AND "
            "o.event = '%3'), 0)");
        branches << QStringLiteral("SELECT %1 + t.rowid AS object_id, %2 AS type, '%3' AS "
                                   "type_desc, 1 AS is_trigger_event, %4 AS is_first, %5 AS "
                                   "is_last, NULL AS event_group_type, NULL AS "
                                   "event_group_type_desc FROM %6 AS t WHERE t.on_%7 = 1")
                        .arg(QString::number(triggerIdBase), QString::number(type),
                             QLatin1String(event),
                             place.arg(QStringLiteral("First"), QLatin1String(triggerOrderTable),
                                       QLatin1String(event)),
                             place.arg(QStringLiteral("Last"), QLatin1String(triggerOrderTable),
                                       QLatin1String(event)),
                             QLatin1String(triggerTable), QString::fromLatin1(event).toLower());
    }
    return branches.join(QStringLiteral(" UNION ALL "));
}

// The catalogue views and system procedures this engine answers, as the
// system objects of the sys schema (4) that sys.all_objects adds to the
// database's own.
QString systemObjects() {
    static const char* const views[] = {"all_objects",
                                        "check_constraints",
                                        "columns",
                                        "computed_columns",
                                        "databases",
                                        "default_constraints",
                                        "identity_columns",
                                        "foreign_key_columns",
                                        "foreign_keys",
                                        "index_columns",
                                        "indexes",
                                        "key_constraints",
                                        "parameters",
                                        "objects",
                                        "procedures",
                                        "schemas",
                                        "sequences",
                                        "sql_modules",
                                        "tables",
                                        "trigger_events",
                                        "triggers",
                                        "types",
                                        "views",
                                        "syscolumns",
                                        "sysconstraints",
                                        "sysindexes",
                                        "sysobjects",
                                        "systypes",
                                        "partitions"};
    static const char* const procedures[] = {
        "sp_addlogin", "sp_columns",        "sp_defaultdb",      "sp_executesql",
        "sp_help",     "sp_helpconstraint", "sp_helpindex", "sp_helptext",       "sp_helptrigger",
        "sp_password", "sp_rename",         "sp_settriggerorder"};
    QStringList rows;
    int id = 0;
    for (const char* view : views)
        rows << QStringLiteral("(%1, '%2', 'V ', 'VIEW')").arg(--id).arg(QLatin1String(view));
    for (const char* procedure : procedures)
        rows << QStringLiteral("(%1, '%2', 'P ', 'SQL_STORED_PROCEDURE')")
                    .arg(--id)
                    .arg(QLatin1String(procedure));
    // Their dates are the release's, which the engine does not know: none.
    return QStringLiteral("SELECT column1, column2 COLLATE tsql_text, NULL, 4, 1, 0, 0, 0, column3 "
                          "COLLATE tsql_text, column4, NULL, NULL FROM (VALUES %1)")
        .arg(rows.join(QStringLiteral(", ")));
}

// Every object of the database with the columns sys.objects gives: the
// tables, views and triggers SQLite keeps, the procedures and the
// constraints the engine keeps, each with its id range.
QString objects(const DialectSettings& settings) {
    // An object's schema is in its name in the file ("ventas.t"); a trigger's and
    // a constraint's are their table's.
    const auto common = [](const char* schemaOf) {
        return QStringLiteral("NULL AS principal_id, tsql_stored_schema_id(%1) AS schema_id, 0 AS "
                              "is_ms_shipped, 0 AS is_published, 0 AS is_schema_published")
            .arg(QLatin1String(schemaOf));
    };
    const auto name = [](const char* column) {
        return QStringLiteral("tsql_stored_own_name(%1) COLLATE tsql_text").arg(QLatin1String(column));
    };
    QString sql =
        QStringLiteral(
            "SELECT m.rowid AS object_id, %6 AS name, %1, CASE WHEN m.type "
            "= 'trigger' THEN coalesce(%2, 0) ELSE 0 END AS parent_object_id, %3 AS type, CASE "
            "m.type WHEN 'table' THEN 'USER_TABLE' WHEN 'view' THEN 'VIEW' ELSE 'SQL_TRIGGER' "
            "END AS type_desc%5 FROM sqlite_schema m WHERE m.type IN ('table', 'view', "
            "'trigger') AND %4")
            .arg(common("m.tbl_name"), tableId(QStringLiteral("m.tbl_name")),
                 paddedType(QStringLiteral("(%1)").arg(QLatin1String(objectTypeCode))),
                 userObject("m"), objectDates("m"), name("m.name"));
    if (!settings.procedureTable.isEmpty())
        sql += QStringLiteral(" UNION ALL SELECT %1 + p.rowid, %5, %2, 0, "
                              "'P ' COLLATE tsql_text, 'SQL_STORED_PROCEDURE'%4 FROM %3 AS p")
                   .arg(QString::number(procedureIdBase), common("p.name"),
                        quoteName(settings.procedureTable), objectDates("p"), name("p.name"));
    sql +=
        QStringLiteral(" UNION ALL SELECT %1 + f.rowid, %5, %2, 0, f.type "
                       "COLLATE tsql_text, CASE f.type WHEN 'FN' THEN 'SQL_SCALAR_FUNCTION' WHEN "
                       "'IF' THEN 'SQL_INLINE_TABLE_VALUED_FUNCTION' ELSE "
                       "'SQL_TABLE_VALUED_FUNCTION' END%4 FROM %3 AS f")
            .arg(QString::number(functionIdBase), common("f.name"), QLatin1String(functionTable),
                 objectDates("f"), name("f.name"));
    // The T-SQL triggers, kept in a table of their own with their table's name.
    sql += QStringLiteral(" UNION ALL SELECT %1 + t.rowid, %6, %2, %3, 'TR' "
                          "COLLATE tsql_text, 'SQL_TRIGGER'%5 FROM %4 AS t")
               .arg(QString::number(triggerIdBase), common("t.table_name"), triggerParent(),
                    QLatin1String(triggerTable), objectDates("t"), name("t.name"));
    sql += QStringLiteral(" UNION ALL SELECT %1 + c.rowid, c.name COLLATE tsql_text, %2, %3, %4, "
                          "%5%7 FROM %6 AS c")
               .arg(QString::number(constraintIdBase), common("c.table_name"),
                    tableId(QStringLiteral("c.table_name")), paddedType(QStringLiteral("c.kind")),
                    constraintDescription(), constraints, objectDates("c"));
    sql += QStringLiteral(" UNION ALL SELECT %1 + s.rowid, %5, %2, 0, 'SO' "
                          "COLLATE tsql_text, 'SEQUENCE_OBJECT'%4 FROM %3 AS s")
               .arg(QString::number(sequenceIdBase), common("s.name"), QLatin1String(sequenceTable),
                    objectDates("s"), name("s.name"));
    return sql;
}

QString objectsOfType(const DialectSettings& settings, const char* types) {
    return QStringLiteral("SELECT * FROM (%1) WHERE type IN (%2)")
        .arg(objects(settings), QLatin1String(types));
}

// sys.sequences: the sequence objects with sys.objects' columns and their
// definition. A sequence not used since it was made or restarted gives its
// next value as current_value and no last_used_value; it is exhausted when
// its next value would pass a bound it does not cycle from.
QString sysSequences(const DialectSettings& settings) {
    return QStringLiteral(
               "SELECT o.*, s.start_value AS start_value, s.increment AS increment, "
               "s.minimum_value AS minimum_value, s.maximum_value AS maximum_value, s.is_cycling "
               "AS is_cycling, s.is_cached AS is_cached, s.cache_size AS cache_size, "
               "tsql_system_type_id(s.type_name) AS system_type_id, "
               "tsql_user_type_id(s.type_name) AS user_type_id, tsql_type_precision(s.type_name) "
               "AS precision, 0 AS scale, s.current_value AS current_value, (s.used AND NOT "
               "s.is_cycling AND CASE WHEN s.increment > 0 THEN s.current_value > "
               "s.maximum_value - s.increment ELSE s.current_value < s.minimum_value - "
               "s.increment END) AS is_exhausted, CASE WHEN s.used THEN s.current_value END AS "
               "last_used_value FROM (%1) AS o JOIN %2 AS s ON o.object_id = %3 + s.rowid")
        .arg(objectsOfType(settings, "'SO'"), QLatin1String(sequenceTable),
             QString::number(sequenceIdBase));
}

// The columns of every table and view, with the server's type codes and sizes.
QString columnsOf(const QString& columns) {
    return QStringLiteral("SELECT %1 FROM sqlite_schema m JOIN pragma_table_xinfo(m.name) p WHERE "
                          "m.type IN ('table','view') AND %2 AND p.hidden <> 1")
        .arg(columns, userObject("m"));
}

// The id of the default of column p.name of table m, or 0.
QString defaultOfColumn() {
    return QStringLiteral("coalesce((SELECT %1 + d.rowid FROM %2 d WHERE d.kind = 'D' AND "
                          "lower(d.table_name) = lower(m.name) AND lower(d.columns) = "
                          "lower(p.name)), 0)")
        .arg(QString::number(constraintIdBase), constraints);
}

// sys.columns' columns of column p of table or view m, and `extra` after them.
QString sysColumnsWith(const QString& extra) {
    return columnsOf(
        QStringLiteral(
            "m.rowid AS object_id, p.name COLLATE tsql_text AS name, p.cid + 1 AS column_id, "
            "tsql_system_type_id(p.type) AS system_type_id, tsql_user_type_id(p.type) AS "
            "user_type_id, tsql_column_bytes(p.type) AS max_length, tsql_type_precision(p.type) "
            "AS precision, tsql_type_scale(p.type) AS scale, tsql_columnproperty(m.rowid, p.name, "
            "'AllowsNull') AS is_nullable, 0 "
            "AS is_rowguidcol, tsql_columnproperty(m.rowid, p.name, 'IsIdentity') AS "
            "is_identity, p.hidden IN (2, 3) AS is_computed, %1 AS default_object_id, 0 AS "
            "rule_object_id%2")
            .arg(defaultOfColumn(), extra));
}

QString sysColumns() {
    return sysColumnsWith(QString());
}

// The identity columns with their seed, increment and the last value given.
QString sysIdentityColumns() {
    return QStringLiteral("SELECT * FROM (%1) WHERE is_identity = 1")
        .arg(sysColumnsWith(
            QStringLiteral(", tsql_ident_seed(m.name) AS seed_value, tsql_ident_incr(m.name) AS "
                           "increment_value, tsql_ident_last(m.name) AS last_value, 0 AS "
                           "is_not_for_replication")));
}

// The computed columns, with the text the engine keeps of their expression
// (NULL for a column a file kept before it did). PERSISTED as the engine
// noted it; a column it did not note is persisted when SQLite stores it
// (STORED: hidden 3), as every PERSISTED column a table was made with is.
QString sysComputedColumns() {
    return QStringLiteral("SELECT * FROM (%1) WHERE is_computed = 1")
        .arg(sysColumnsWith(
            QStringLiteral(", (SELECT d.definition FROM %1 d WHERE d.table_name = m.name AND "
                           "d.column_name = p.name) AS definition, 1 AS uses_database_collation, "
                           "COALESCE((SELECT d.persisted FROM %1 d WHERE d.table_name = m.name "
                           "AND d.column_name = p.name), p.hidden = 3) AS is_persisted")
                .arg(QLatin1String(computedColumnTable))));
}

// cdefault: the id of the column's default, as older scripts look it up in sysobjects.
QString syscolumns() {
    return columnsOf(
        QStringLiteral(
            "m.rowid AS id, p.name COLLATE tsql_text AS name, p.cid + 1 AS colid, p.cid + 1 AS "
            "colorder, tsql_system_type_id(p.type) AS xtype, tsql_user_type_id(p.type) AS "
            "xusertype, tsql_column_bytes(p.type) AS length, tsql_type_precision(p.type) AS prec, "
            "tsql_type_scale(p.type) AS scale, tsql_type_precision(p.type) AS xprec, "
            "tsql_type_scale(p.type) AS xscale, tsql_columnproperty(m.rowid, p.name, 'AllowsNull') "
            "AS "
            "isnullable, p.hidden IN (2, 3) AS iscomputed, %1 AS cdefault")
            .arg(defaultOfColumn()));
}

// The rows of sys.types, as a VALUES list of the system types.
QString typeRows() {
    QStringList rows;
    for (const SystemTypeRow& row : systemTypeRows())
        rows << QStringLiteral("(%1, %2, %3, %4, %5, %6)")
                    .arg(Token::string(QString::fromLatin1(row.name)).text)
                    .arg(row.systemTypeId)
                    .arg(row.userTypeId)
                    .arg(row.maxLength)
                    .arg(row.precision)
                    .arg(row.scale);
    return QStringLiteral("SELECT column1 COLLATE tsql_text AS name, column2 AS system_type_id, "
                          "column3 AS user_type_id, column4 AS max_length, column5 AS precision, "
                          "column6 AS scale FROM (VALUES %1)")
        .arg(rows.join(QStringLiteral(", ")));
}

QString sysTypes() {
    return QStringLiteral("SELECT name, system_type_id, user_type_id, 4 AS schema_id, NULL AS "
                          "principal_id, max_length, precision, scale, 1 AS is_nullable, 0 AS "
                          "is_user_defined, 0 AS is_assembly_type, 0 AS default_object_id, 0 AS "
                          "rule_object_id, 0 AS is_table_type FROM (%1)")
        .arg(typeRows());
}

QString systypes() {
    return QStringLiteral("SELECT name, system_type_id AS xtype, user_type_id AS xusertype, "
                          "max_length AS length, precision AS xprec, scale AS xscale, precision "
                          "AS prec, scale, 4 AS uid, 1 AS allownulls FROM (%1)")
        .arg(typeRows());
}

} // namespace

// The fixed schemas, and those CREATE SCHEMA made once it has made its table.
QString sysSchemas(const DialectSettings& settings) {
    QStringList rows;
    for (const SchemaRow& row : schemaRows())
        rows << QStringLiteral("(%1, %2, %2)")
                    .arg(Token::string(QString::fromLatin1(row.name)).text)
                    .arg(row.schemaId);
    QString made;
    if (settings.tableColumns &&
        !settings.tableColumns(QString::fromLatin1(userSchemaTable)).isEmpty())
        made = QStringLiteral(" UNION ALL SELECT name, schema_id, principal_id FROM %1")
                   .arg(QLatin1String(userSchemaTable));
    return QStringLiteral("SELECT column1 COLLATE tsql_text AS name, column2 AS schema_id, "
                          "column3 AS principal_id FROM (VALUES %1)%2")
        .arg(rows.join(QStringLiteral(", ")), made);
}

namespace {

// The session's databases in database_id order (a JSON list the executor binds).
QString sysDatabases() {
    return QStringLiteral("SELECT value COLLATE tsql_text AS name, key + 1 AS database_id, 140 "
                          "AS compatibility_level, 0 AS state, 'ONLINE' AS state_desc, 0 AS "
                          "is_read_only FROM json_each(@__databases)");
}

// sysdatabases, of the older scripts (IF NOT EXISTS (SELECT * FROM
// master..sysdatabases WHERE name = ...)): the session's databases.
QString sysdatabases() {
    return QStringLiteral("SELECT value COLLATE tsql_text AS name, key + 1 AS dbid, 140 AS "
                          "cmptlevel, 869 AS version FROM json_each(@__databases)");
}

// The indexes of table m that are its own "T.name" indexes in SQLite, with
// the ids the server would number them by (1 is the clustered key's).
QString namedIndexes() {
    return QStringLiteral(
               "SELECT m.rowid AS object_id, i.name AS sqlite_name, substr(i.name, "
               "length(m.name) + 2) COLLATE tsql_text AS name, CASE WHEN k.name IS NOT NULL THEN "
               "1 ELSE 1 + (SELECT count(*) FROM sqlite_schema j WHERE j.type = 'index' AND "
               "lower(j.tbl_name) = lower(i.tbl_name) AND j.rowid <= i.rowid AND "
               "substr(lower(j.name), 1, length(m.name) + 1) = lower(m.name || '.')) END AS "
               "index_id, k.name IS NOT NULL AS is_primary_key, (k.name IS NOT NULL OR EXISTS "
               "(SELECT 1 FROM sqlite_schema t WHERE t.type = 'trigger' AND t.name = 'tsql_uq.' "
               "|| i.name || '.i')) AS is_unique, EXISTS (SELECT 1 FROM %1 u WHERE u.kind = 'UQ' "
               "AND lower(m.name || '.' || u.name) = lower(i.name)) AS is_unique_constraint, "
               "instr(upper(i.sql), ' WHERE ') > 0 AS has_filter FROM sqlite_schema m JOIN "
               "sqlite_schema i ON i.type = 'index' AND lower(i.tbl_name) = lower(m.name) AND "
               "substr(lower(i.name), 1, length(m.name) + 1) = lower(m.name || '.') LEFT JOIN %1 "
               "k ON k.kind = 'PK' AND lower(m.name || '.' || k.name) = lower(i.name) WHERE "
               "m.type = 'table' AND %2")
        .arg(constraints, userObject("m"));
}

// A table's primary key that SQLite keeps in the table itself (no index of
// our own), or its heap when it has no key.
QString tableKeys() {
    return QStringLiteral(
               "SELECT m.rowid AS object_id, k.name COLLATE tsql_text AS name, CASE WHEN k.name "
               "IS NULL THEN 0 ELSE 1 END AS index_id, k.name IS NOT NULL AS is_primary_key, "
               "k.name IS NOT NULL AS is_unique, 0 AS is_unique_constraint, 0 AS has_filter, "
               "m.name AS table_name FROM sqlite_schema m LEFT JOIN %1 k ON k.kind = 'PK' AND "
               "lower(k.table_name) = lower(m.name) WHERE m.type = 'table' AND %2 AND NOT EXISTS "
               "(SELECT 1 FROM sqlite_schema i WHERE i.type = 'index' AND lower(i.name) = "
               "lower(m.name || '.' || k.name))")
        .arg(constraints, userObject("m"));
}

QString sysIndexes() {
    const QString common = QStringLiteral(
        "1 AS data_space_id, 0 AS ignore_dup_key, 0 AS fill_factor, 0 AS is_padded, 0 AS "
        "is_disabled, 0 AS is_hypothetical, 1 AS allow_row_locks, 1 AS allow_page_locks");
    return QStringLiteral(
               "SELECT object_id, name, index_id, index_id AS type, CASE index_id WHEN 0 THEN "
               "'HEAP' ELSE 'CLUSTERED' END AS type_desc, is_unique, is_primary_key, "
               "is_unique_constraint, has_filter, %1 FROM (%2) UNION ALL SELECT object_id, name, "
               "index_id, CASE WHEN is_primary_key THEN 1 ELSE 2 END, CASE WHEN is_primary_key "
               "THEN 'CLUSTERED' ELSE 'NONCLUSTERED' END, is_unique, is_primary_key, "
               "is_unique_constraint, has_filter, %1 FROM (%3)")
        .arg(common, tableKeys(), namedIndexes());
}

// A primary key kept in the table has its descending columns in the index
// SQLite makes for it (none for a rowid key, which is ascending).
QString sysIndexColumns() {
    return QStringLiteral(
               "SELECT k.object_id, 1 AS index_id, p.pk AS index_column_id, p.cid + 1 AS "
               "column_id, p.pk AS key_ordinal, 0 AS partition_ordinal, coalesce((SELECT "
               "x.\"desc\" FROM pragma_index_list(k.table_name) l JOIN "
               "pragma_index_xinfo(l.name) x WHERE l.origin = 'pk' AND x.key = 1 AND x.cid = "
               "p.cid), 0) AS is_descending_key, 0 AS is_included_column FROM (%1) k JOIN "
               "pragma_table_xinfo(k.table_name) p WHERE k.index_id = 1 AND p.pk > 0 AND "
               "p.hidden <> 1 UNION ALL SELECT i.object_id, i.index_id, x.seqno + 1, x.cid + 1, "
               "x.seqno + 1, 0, x.\"desc\", 0 FROM (%2) i JOIN pragma_index_xinfo(i.sqlite_name) "
               "x WHERE x.key = 1")
        .arg(tableKeys(), namedIndexes());
}

// rowcnt and rows count the table's rows, repeated on each of its indexes.
QString sysindexes() {
    return QStringLiteral("SELECT object_id AS id, name, index_id AS indid, 1 AS groupid, "
                          "tsql_table_rows(object_id) AS rowcnt, tsql_table_rows(object_id) AS "
                          "rows, 0 AS OrigFillFactor FROM (%1)")
        .arg(sysIndexes());
}

// One partition for each index and heap: no table is partitioned here.
QString sysPartitions() {
    return QStringLiteral("SELECT object_id * 256 + index_id AS partition_id, object_id, index_id, "
                          "1 AS partition_number, object_id * 256 + index_id AS hobt_id, "
                          "tsql_table_rows(object_id) AS rows, 0 AS filestream_filegroup_id, 0 "
                          "AS data_compression, 'NONE' AS data_compression_desc FROM (%1)")
        .arg(sysIndexes());
}

// The engine's constraint rows of `kinds`, with the columns sys.objects gives.
QString constraintRows(const char* kinds, const QString& columns) {
    return QStringLiteral("SELECT %1 + c.rowid AS object_id, c.name COLLATE tsql_text AS name, "
                          "NULL AS principal_id, tsql_stored_schema_id(c.table_name) AS "
                          "schema_id, %2 AS parent_object_id, %3 AS "
                          "type, %4 AS type_desc, 0 AS is_ms_shipped, 0 AS is_published, 0 AS "
                          "is_schema_published%8, %5 FROM %6 AS c WHERE c.kind IN (%7)")
        .arg(QString::number(constraintIdBase), tableId(QStringLiteral("c.table_name")),
             paddedType(QStringLiteral("c.kind")), constraintDescription(), columns, constraints,
             QLatin1String(kinds), objectDates("c"));
}

QString referentialAction(const char* column, bool described) {
    return (described ? QStringLiteral("CASE c.%1 WHEN 'CASCADE' THEN 'CASCADE' WHEN 'SET NULL' "
                                       "THEN 'SET_NULL' WHEN 'SET DEFAULT' THEN 'SET_DEFAULT' "
                                       "ELSE 'NO_ACTION' END")
                      : QStringLiteral("CASE c.%1 WHEN 'CASCADE' THEN 1 WHEN 'SET NULL' THEN 2 "
                                       "WHEN 'SET DEFAULT' THEN 3 ELSE 0 END"))
        .arg(QLatin1String(column));
}

QString sysForeignKeys() {
    return constraintRows(
        "'F'", QStringLiteral("%1 AS referenced_object_id, c.disabled AS is_disabled, c.untrusted "
                              "AS is_not_trusted, %2 AS delete_referential_action, %3 AS "
                              "delete_referential_action_desc, %4 AS update_referential_action, "
                              "%5 AS update_referential_action_desc, c.system_named AS "
                              "is_system_named")
                   .arg(tableId(QStringLiteral("c.ref_table")),
                        referentialAction("on_delete", false), referentialAction("on_delete", true),
                        referentialAction("on_update", false),
                        referentialAction("on_update", true)));
}

// The id of column `name` of table `table` (SQL expressions), or 0.
QString columnId(const QString& table, const QString& name) {
    return QStringLiteral("coalesce((SELECT p.cid + 1 FROM pragma_table_xinfo(%1) p WHERE "
                          "lower(p.name) = lower(%2) AND p.hidden <> 1), 0)")
        .arg(table, name);
}

QString sysForeignKeyColumns() {
    return QStringLiteral(
               "SELECT %1 + c.rowid AS constraint_object_id, j.key + 1 AS constraint_column_id, "
               "%2 AS parent_object_id, %3 AS parent_column_id, %4 AS referenced_object_id, %5 "
               "AS referenced_column_id FROM %6 AS c JOIN json_each(%7) j WHERE c.kind = 'F'")
        .arg(QString::number(constraintIdBase), tableId(QStringLiteral("c.table_name")),
             columnId(QStringLiteral("c.table_name"), QStringLiteral("j.value")),
             tableId(QStringLiteral("c.ref_table")),
             columnId(QStringLiteral("c.ref_table"),
                      QStringLiteral("json_extract(%1, '$[' || j.key || ']')")
                          .arg(listAsJson(QStringLiteral("c.ref_columns")))),
             constraints, listAsJson(QStringLiteral("c.columns")));
}

QString sysCheckConstraints() {
    return constraintRows(
        "'C'", QStringLiteral("c.definition AS definition, %1 AS parent_column_id, c.disabled AS "
                              "is_disabled, c.untrusted AS is_not_trusted, c.system_named AS "
                              "is_system_named")
                   .arg(columnId(QStringLiteral("c.table_name"), QStringLiteral("c.columns"))));
}

QString sysDefaultConstraints() {
    return constraintRows(
        "'D'", QStringLiteral("%1 AS parent_column_id, c.definition AS definition, "
                              "c.system_named AS is_system_named")
                   .arg(columnId(QStringLiteral("c.table_name"), QStringLiteral("c.columns"))));
}

QString sysKeyConstraints() {
    return constraintRows(
        "'PK', 'UQ'",
        QStringLiteral("coalesce((SELECT i.index_id FROM (%1) i WHERE i.object_id = %2 AND "
                       "lower(i.name) = lower(c.name)), 1) AS unique_index_id, c.system_named "
                       "AS is_system_named")
            .arg(namedIndexes(), tableId(QStringLiteral("c.table_name"))));
}

// sysconstraints, of the older scripts that find a column's default by its
// colid: the constraint, its table and column (0 for one over the table),
// and its kind in status (1 PK, 2 UQ, 3 FK, 4 CHECK, 5 DEFAULT; +16 on a
// column, +32 on the table).
QString sysconstraints() {
    const QString column = columnId(QStringLiteral("c.table_name"), QStringLiteral("c.columns"));
    return QStringLiteral("SELECT %1 + c.rowid AS constid, %2 AS id, %3 AS colid, 0 AS spare1, "
                          "CASE c.kind WHEN 'PK' THEN 1 WHEN 'UQ' THEN 2 WHEN 'F' THEN 3 WHEN 'C' "
                          "THEN 4 ELSE 5 END + CASE WHEN %3 > 0 THEN 16 ELSE 32 END AS status, 0 "
                          "AS actions, 0 AS error FROM %4 AS c")
        .arg(QString::number(constraintIdBase), tableId(QStringLiteral("c.table_name")), column,
             constraints);
}

QString sysobjects(const DialectSettings& settings) {
    // The old view's type puts primary keys and unique constraints under K.
    return QStringLiteral("SELECT object_id AS id, name, type AS xtype, CASE WHEN type IN ('PK', "
                          "'UQ') THEN 'K ' ELSE type END COLLATE tsql_text AS type, 1 AS uid, "
                          "parent_object_id AS parent_obj, 0 AS category, 0 AS status FROM (%1)")
        .arg(objects(settings));
}

// The parameters of the procedures and functions (a scalar function's return
// value as parameter 0 without a name), with the ids sys.objects gives them.
// Default values are kept only for CLR objects, as the server keeps them.
QString sysParameters() {
    return QStringLiteral(
               "SELECT coalesce((SELECT %1 + p.rowid FROM %2 p WHERE p.name = a.procedure_name), "
               "(SELECT %3 + f.rowid FROM %4 f WHERE f.name = a.procedure_name)) AS object_id, "
               "a.name COLLATE tsql_text AS name, a.ordinal AS parameter_id, "
               "tsql_system_type_id(a.type) AS system_type_id, tsql_user_type_id(a.type) AS "
               "user_type_id, tsql_column_bytes(a.type) AS max_length, "
               "tsql_type_precision(a.type) AS precision, tsql_type_scale(a.type) AS scale, "
               "a.is_output AS is_output, 0 AS is_cursor_ref, 0 AS has_default_value, 0 AS "
               "is_xml_document, NULL AS default_value, 0 AS xml_collection_id, 0 AS is_readonly, "
               "1 AS is_nullable FROM %5 a")
        .arg(QString::number(procedureIdBase), QLatin1String(procedureTable),
             QString::number(functionIdBase), QLatin1String(functionTable),
             QLatin1String(parameterTable));
}

// The modules written in T-SQL with their text: views, procedures,
// triggers and functions. A view made before its text was kept has NULL, as an encrypted
// one has on the server.
QString sysSqlModules() {
    return QStringLiteral(
               "SELECT m.rowid AS object_id, d.definition AS definition FROM "
               "sqlite_schema AS m LEFT JOIN %1 AS d ON d.name = m.name WHERE m.type = "
               "'view' AND %2 UNION ALL SELECT %3 + p.rowid, p.definicion FROM %4 AS p "
               "UNION ALL SELECT %5 + t.rowid, t.definition FROM %6 AS t UNION ALL SELECT %7 + "
               "f.rowid, f.definition FROM %8 AS f")
        .arg(QLatin1String(viewTable), userObject("m"), QString::number(procedureIdBase),
             QLatin1String(procedureTable), QString::number(triggerIdBase),
             QLatin1String(triggerTable), QString::number(functionIdBase),
             QLatin1String(functionTable));
}

} // namespace

QString temporarySysobjects() {
    return QStringLiteral("SELECT -rowid AS id, name COLLATE tsql_text AS name, %1 AS xtype, %1 "
                          "AS type, 1 AS uid, 0 AS parent_obj, 0 AS category, 0 AS status FROM "
                          "sqlite_temp_schema m WHERE m.type IN ('table', 'view') AND %2")
        .arg(paddedType(QStringLiteral("(%1)").arg(QLatin1String(objectTypeCode))),
             userObject("m"));
}

QString systemView(const QString& view, const DialectSettings& settings) {
    const QString name = view.toLower();
    if (name == QLatin1String("objects"))
        return objects(settings);
    if (name == QLatin1String("sequences"))
        return sysSequences(settings);
    if (name == QLatin1String("extended_properties"))
        return extendedPropertiesView();
    if (name == QLatin1String("tables"))
        return objectsOfType(settings, "'U'");
    if (name == QLatin1String("views"))
        return objectsOfType(settings, "'V'");
    if (name == QLatin1String("procedures"))
        return objectsOfType(settings, "'P'");
    if (name == QLatin1String("columns"))
        return sysColumns();
    if (name == QLatin1String("identity_columns"))
        return sysIdentityColumns();
    if (name == QLatin1String("computed_columns"))
        return sysComputedColumns();
    if (name == QLatin1String("types"))
        return sysTypes();
    if (name == QLatin1String("schemas"))
        return sysSchemas(settings);
    if (name == QLatin1String("databases"))
        return sysDatabases();
    if (name == QLatin1String("indexes"))
        return sysIndexes();
    if (name == QLatin1String("index_columns"))
        return sysIndexColumns();
    if (name == QLatin1String("partitions"))
        return sysPartitions();
    if (name == QLatin1String("foreign_keys"))
        return sysForeignKeys();
    if (name == QLatin1String("foreign_key_columns"))
        return sysForeignKeyColumns();
    if (name == QLatin1String("check_constraints"))
        return sysCheckConstraints();
    if (name == QLatin1String("default_constraints"))
        return sysDefaultConstraints();
    if (name == QLatin1String("key_constraints"))
        return sysKeyConstraints();
    if (name == QLatin1String("triggers"))
        return sysTriggers();
    if (name == QLatin1String("trigger_events"))
        return sysTriggerEvents();
    if (name == QLatin1String("all_objects"))
        return objects(settings) + QStringLiteral(" UNION ALL ") + systemObjects();
    if (name == QLatin1String("sql_modules"))
        return sysSqlModules();
    if (name == QLatin1String("parameters"))
        return sysParameters();
    return compatibilityView(view, settings);
}

QString compatibilityView(const QString& view, const DialectSettings& settings) {
    const QString name = view.toLower();
    if (name == QLatin1String("sysobjects"))
        return sysobjects(settings);
    if (name == QLatin1String("syscolumns"))
        return syscolumns();
    if (name == QLatin1String("sysindexes"))
        return sysindexes();
    if (name == QLatin1String("systypes"))
        return systypes();
    if (name == QLatin1String("sysdatabases"))
        return sysdatabases();
    if (name == QLatin1String("sysconstraints"))
        return sysconstraints();
    return {};
}

} // namespace estaciones::db::tsql::catalog_views
