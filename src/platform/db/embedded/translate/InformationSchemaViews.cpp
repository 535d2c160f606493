#include "platform/db/embedded/translate/CatalogViews.h"

#include "platform/db/embedded/functions/SchemaFunctions.h"

namespace estaciones::db::tsql::catalog_views {

namespace {

using namespace sql;

const QString engineConstraints = QLatin1String(constraintTable);

// The catalog and schema columns of a view, under `prefix` (TABLE, CONSTRAINT, ...):
// the schema of the object the file names `stored` (an SQL expression), dbo without one.
QString owner(const char* prefix, const char* stored = nullptr) {
    const QString schema = stored ? QStringLiteral("tsql_stored_schema(%1)").arg(QLatin1String(stored))
                                  : QStringLiteral("'dbo'");
    return QStringLiteral("@__db_name AS %1_CATALOG, %2 AS %1_SCHEMA")
        .arg(QLatin1String(prefix), schema);
}

// The object's own name, without the schema the file's name holds.
QString ownName(const char* stored) {
    return QStringLiteral("tsql_stored_own_name(%1) COLLATE tsql_text").arg(QLatin1String(stored));
}

QString tables() {
    return QStringLiteral("SELECT %1, %3 AS TABLE_NAME, CASE m.type WHEN "
                          "'table' THEN 'BASE TABLE' ELSE 'VIEW' END AS TABLE_TYPE FROM "
                          "sqlite_schema m WHERE m.type IN ('table', 'view') AND %2")
        .arg(owner("TABLE", "m.name"), userObject("m"), ownName("m.name"));
}

// VIEW_DEFINITION: the text as written, NULL beyond 4000 characters (and
// for a view made before the texts were kept).
QString views() {
    return QStringLiteral("SELECT %1, %4 AS TABLE_NAME, (SELECT CASE WHEN "
                          "length(d.definition) <= 4000 THEN d.definition END FROM %3 AS d WHERE "
                          "d.name = m.name) AS VIEW_DEFINITION, 'NONE' AS CHECK_OPTION, 'NO' AS "
                          "IS_UPDATABLE FROM sqlite_schema m WHERE m.type = 'view' AND %2")
        .arg(owner("TABLE", "m.name"), userObject("m"), QLatin1String(viewTable), ownName("m.name"));
}

// The type columns of INFORMATION_SCHEMA.COLUMNS and PARAMETERS for the
// declared type `type`: numbers have a precision, radix and scale, dates a
// precision, text a length in characters and bytes.
QString typeColumns(const QString& type) {
    const QString id = QStringLiteral("tsql_system_type_id(%1)").arg(type);
    const QString numeric = QStringLiteral("%1 IN (48, 52, 56, 59, 60, 62, 106, 108, 122, 127)")
                                .arg(id);
    const QString exact = QStringLiteral("%1 IN (48, 52, 56, 60, 106, 108, 122, 127)").arg(id);
    return QStringLiteral(
               "tsql_type_name(%1) AS DATA_TYPE, tsql_type_length(%1) AS "
               "CHARACTER_MAXIMUM_LENGTH, CASE WHEN tsql_type_length(%1) IS NOT NULL THEN "
               "tsql_column_bytes(%1) END AS CHARACTER_OCTET_LENGTH, CASE WHEN %2 THEN "
               "tsql_type_precision(%1) END AS NUMERIC_PRECISION, CASE WHEN %3 THEN 10 WHEN %2 "
               "THEN 2 END AS NUMERIC_PRECISION_RADIX, CASE WHEN %3 THEN tsql_type_scale(%1) END "
               "AS NUMERIC_SCALE, CASE WHEN %4 IN (40, 41, 42, 43, 58, 61) THEN "
               "tsql_type_scale(%1) END AS DATETIME_PRECISION")
        .arg(type, numeric, exact, id);
}

// COLUMN_DEFAULT: the default's text as the server keeps it ("((0))",
// "(getdate())"), that of its constraint; SQLite's is the translated one.
QString columns() {
    return QStringLiteral("SELECT %1, %4 AS TABLE_NAME, p.name COLLATE "
                          "tsql_text AS COLUMN_NAME, p.cid + 1 AS ORDINAL_POSITION, (SELECT "
                          "d.definition FROM %5 d WHERE d.kind = 'D' AND lower(d.table_name) = "
                          "lower(m.name) AND lower(d.columns) = lower(p.name)) AS COLUMN_DEFAULT, "
                          "CASE WHEN tsql_columnproperty(m.rowid, p.name, "
                          "'AllowsNull') THEN 'YES' ELSE 'NO' END AS "
                          "IS_NULLABLE, %2 FROM sqlite_schema m JOIN pragma_table_xinfo(m.name) p "
                          "WHERE m.type IN ('table', 'view') AND %3 AND p.hidden <> 1")
        .arg(owner("TABLE", "m.name"), typeColumns(QStringLiteral("p.type")), userObject("m"),
             ownName("m.name"), engineConstraints);
}

// The procedures and the functions; DATA_TYPE is a function's return type
// (the parameter of ordinal 0 of a scalar one), TABLE for a table-valued one.
QString routines() {
    return QStringLiteral("SELECT %1, %6 AS SPECIFIC_NAME, %2, %6 AS ROUTINE_NAME, 'PROCEDURE' "
                          "AS ROUTINE_TYPE, NULL AS "
                          "DATA_TYPE, substr(p.definicion, 1, 4000) AS ROUTINE_DEFINITION, 'SQL' "
                          "AS ROUTINE_BODY FROM %3 p UNION ALL SELECT %7, %9, %8, %9, "
                          "'FUNCTION', CASE f.type WHEN "
                          "'FN' THEN (SELECT tsql_type_name(a.type) FROM %5 a WHERE "
                          "a.procedure_name = f.name AND a.ordinal = 0) ELSE 'TABLE' END, "
                          "substr(f.definition, 1, 4000), 'SQL' FROM %4 f")
        .arg(owner("SPECIFIC", "p.name"), owner("ROUTINE", "p.name"),
             QLatin1String(procedureTable), QLatin1String(functionTable),
             QLatin1String(parameterTable), ownName("p.name"), owner("SPECIFIC", "f.name"),
             owner("ROUTINE", "f.name"), ownName("f.name"));
}

// A scalar function's return value is the row of ordinal 0: OUT, the
// result, without a name.
QString parameters() {
    return QStringLiteral("SELECT %1, a.procedure_name COLLATE tsql_text AS SPECIFIC_NAME, "
                          "a.ordinal AS ORDINAL_POSITION, CASE WHEN a.ordinal = 0 THEN 'OUT' WHEN "
                          "a.is_output THEN 'INOUT' ELSE 'IN' END AS PARAMETER_MODE, CASE WHEN "
                          "a.ordinal = 0 THEN 'YES' ELSE 'NO' END AS IS_RESULT, 'NO' AS "
                          "AS_LOCATOR, CASE WHEN a.ordinal > 0 THEN a.name END COLLATE tsql_text "
                          "AS PARAMETER_NAME, %2 FROM %3 a")
        .arg(owner("SPECIFIC"), typeColumns(QStringLiteral("a.type")),
             QLatin1String(parameterTable));
}

QString tableConstraints() {
    return QStringLiteral("SELECT %1, c.name COLLATE tsql_text AS CONSTRAINT_NAME, %2, "
                          "%4 AS TABLE_NAME, CASE c.kind WHEN 'PK' "
                          "THEN 'PRIMARY KEY' WHEN 'UQ' THEN 'UNIQUE' WHEN 'F' THEN 'FOREIGN "
                          "KEY' ELSE 'CHECK' END AS CONSTRAINT_TYPE, 'NO' AS IS_DEFERRABLE, 'NO' "
                          "AS INITIALLY_DEFERRED FROM %3 AS c WHERE c.kind IN ('PK', 'UQ', 'F', "
                          "'C')")
        .arg(owner("CONSTRAINT", "c.table_name"), owner("TABLE", "c.table_name"),
             engineConstraints, ownName("c.table_name"));
}

QString keyColumnUsage() {
    return QStringLiteral("SELECT %1, c.name COLLATE tsql_text AS CONSTRAINT_NAME, %2, "
                          "%5 AS TABLE_NAME, j.value COLLATE "
                          "tsql_text AS COLUMN_NAME, j.key + 1 AS ORDINAL_POSITION FROM %3 AS c "
                          "JOIN json_each(%4) j WHERE c.kind IN ('PK', 'UQ', 'F')")
        .arg(owner("CONSTRAINT", "c.table_name"), owner("TABLE", "c.table_name"),
             engineConstraints, listAsJson(QStringLiteral("c.columns")), ownName("c.table_name"));
}

// A foreign key's rule as the view spells it.
QString rule(const char* column) {
    return QStringLiteral("coalesce(nullif(c.%1, ''), 'NO ACTION')").arg(QLatin1String(column));
}

QString referentialConstraints() {
    // The key a foreign key references is the referenced table's primary key
    // or unique constraint on the same columns.
    return QStringLiteral("SELECT %1, c.name COLLATE tsql_text AS CONSTRAINT_NAME, %2, (SELECT "
                          "u.name FROM %3 u WHERE u.kind IN ('PK', 'UQ') AND lower(u.table_name) "
                          "= lower(c.ref_table) AND lower(u.columns) = lower(c.ref_columns)) "
                          "COLLATE tsql_text AS UNIQUE_CONSTRAINT_NAME, 'SIMPLE' AS "
                          "MATCH_OPTION, %4 AS UPDATE_RULE, %5 AS DELETE_RULE FROM %3 AS c WHERE "
                          "c.kind = 'F'")
        .arg(owner("CONSTRAINT"), owner("UNIQUE_CONSTRAINT"), engineConstraints, rule("on_update"),
             rule("on_delete"));
}

// Whether the word `name` (a table's or column's) stands in `text`, not as
// part of a longer name.
QString mentions(const QString& text, const QString& name) {
    return QStringLiteral("(' ' || lower(%1) || ' ') GLOB ('*[^a-z0-9_@#$]' || lower(%2) || "
                          "'[^a-z0-9_@#$]*')")
        .arg(text, name);
}

// The columns of each key and CHECK constraint: a key's own, and those of
// its table a CHECK's definition names.
QString constraintColumnUsage() {
    return QStringLiteral("SELECT %1, %6 AS TABLE_NAME, j.value "
                          "COLLATE tsql_text AS COLUMN_NAME, %2, c.name COLLATE tsql_text AS "
                          "CONSTRAINT_NAME FROM %3 AS c JOIN json_each(%4) j WHERE c.kind IN "
                          "('PK', 'UQ', 'F') UNION ALL SELECT %1, %6, "
                          "p.name COLLATE tsql_text, %2, c.name COLLATE tsql_text FROM %3 AS c "
                          "JOIN pragma_table_xinfo(c.table_name) p WHERE c.kind = 'C' AND p.hidden "
                          "<> 1 AND %5")
        .arg(owner("TABLE", "c.table_name"), owner("CONSTRAINT", "c.table_name"),
             engineConstraints, listAsJson(QStringLiteral("c.columns")),
             mentions(QStringLiteral("c.definition"), QStringLiteral("p.name")),
             ownName("c.table_name"));
}

// The tables and views each view's text (as written) names, as `v` (the
// view), `d` (its text) and `t` (the table) for the columns `columns`.
QString tablesOfViews(const QString& columns) {
    return QStringLiteral("SELECT %1 FROM sqlite_schema v JOIN %2 AS d ON d.name = v.name JOIN "
                          "sqlite_schema t ON t.type IN ('table', 'view') AND lower(t.name) <> "
                          "lower(v.name) AND %3 AND %4 WHERE v.type = 'view' AND %5")
        .arg(columns, QLatin1String(viewTable), userObject("t"),
             mentions(QStringLiteral("d.definition"), QStringLiteral("t.name")), userObject("v"));
}

QString viewTableUsage() {
    return tablesOfViews(QStringLiteral("%1, %3 AS VIEW_NAME, %2, %4 AS TABLE_NAME")
                             .arg(owner("VIEW", "v.name"), owner("TABLE", "t.name"),
                                  ownName("v.name"), ownName("t.name")));
}

// The columns of those tables each view reads: those its text names, and
// those a "*" of it brings into the view's own columns.
QString viewColumnUsage() {
    return QStringLiteral("SELECT u.VIEW_CATALOG, u.VIEW_SCHEMA, u.VIEW_NAME, u.TABLE_CATALOG, "
                          "u.TABLE_SCHEMA, u.TABLE_NAME, c.name COLLATE tsql_text AS COLUMN_NAME "
                          "FROM (%1) AS u JOIN pragma_table_xinfo(u.stored_table) c WHERE "
                          "c.hidden <> 1 AND (%2 OR "
                          "(instr(u.definition, '*') > 0 AND EXISTS (SELECT 1 FROM "
                          "pragma_table_info(u.stored_view) w WHERE lower(w.name) = "
                          "lower(c.name))))")
        .arg(tablesOfViews(QStringLiteral("%1, %3 AS VIEW_NAME, %2, %4 AS TABLE_NAME, "
                                          "d.definition AS definition, v.name AS stored_view, "
                                          "t.name AS stored_table")
                               .arg(owner("VIEW", "v.name"), owner("TABLE", "t.name"),
                                    ownName("v.name"), ownName("t.name"))),
             mentions(QStringLiteral("u.definition"), QStringLiteral("c.name")));
}

// One row for each constraint of a table (the kinds TABLE_CONSTRAINTS lists).
QString constraintTableUsage() {
    return QStringLiteral("SELECT %1, %4 AS TABLE_NAME, %2, c.name "
                          "COLLATE tsql_text AS CONSTRAINT_NAME FROM %3 AS c WHERE c.kind IN "
                          "('PK', 'UQ', 'F', 'C')")
        .arg(owner("TABLE", "c.table_name"), owner("CONSTRAINT", "c.table_name"),
             engineConstraints, ownName("c.table_name"));
}

// The columns of an alias data type: none, as the engine keeps no alias types
// (CREATE TYPE is refused).
QString columnDomainUsage() {
    return QStringLiteral("SELECT %1, NULL AS DOMAIN_NAME, %2, NULL AS TABLE_NAME, NULL AS "
                          "COLUMN_NAME WHERE 0")
        .arg(owner("DOMAIN"), owner("TABLE"));
}

QString checkConstraints() {
    return QStringLiteral("SELECT %1, c.name COLLATE tsql_text AS CONSTRAINT_NAME, c.definition "
                          "AS CHECK_CLAUSE FROM %2 AS c WHERE c.kind = 'C'")
        .arg(owner("CONSTRAINT"), engineConstraints);
}

// A schema's owner is the user or, for the fixed roles' schemas, the role of its id.
QString schemata(const DialectSettings& settings) {
    return QStringLiteral("SELECT @__db_name AS CATALOG_NAME, s.name AS SCHEMA_NAME, CASE WHEN "
                          "s.principal_id >= 16384 THEN s.name ELSE tsql_user_name(s.principal_id) "
                          "END COLLATE tsql_text AS SCHEMA_OWNER, NULL AS "
                          "DEFAULT_CHARACTER_SET_CATALOG, NULL AS DEFAULT_CHARACTER_SET_SCHEMA, "
                          "'iso_1' AS DEFAULT_CHARACTER_SET_NAME FROM (%1) AS s")
        .arg(sysSchemas(settings));
}

} // namespace

QString informationSchemaView(const QString& view, const DialectSettings& settings) {
    const QString name = view.toUpper();
    if (name == QLatin1String("SCHEMATA"))
        return schemata(settings);
    if (name == QLatin1String("TABLES"))
        return tables();
    if (name == QLatin1String("VIEWS"))
        return views();
    if (name == QLatin1String("COLUMNS"))
        return columns();
    if (name == QLatin1String("ROUTINES"))
        return routines();
    if (name == QLatin1String("PARAMETERS"))
        return parameters();
    if (name == QLatin1String("TABLE_CONSTRAINTS"))
        return tableConstraints();
    if (name == QLatin1String("KEY_COLUMN_USAGE"))
        return keyColumnUsage();
    if (name == QLatin1String("REFERENTIAL_CONSTRAINTS"))
        return referentialConstraints();
    if (name == QLatin1String("CHECK_CONSTRAINTS"))
        return checkConstraints();
    if (name == QLatin1String("CONSTRAINT_COLUMN_USAGE"))
        return constraintColumnUsage();
    if (name == QLatin1String("VIEW_TABLE_USAGE"))
        return viewTableUsage();
    if (name == QLatin1String("VIEW_COLUMN_USAGE"))
        return viewColumnUsage();
    if (name == QLatin1String("CONSTRAINT_TABLE_USAGE"))
        return constraintTableUsage();
    if (name == QLatin1String("COLUMN_DOMAIN_USAGE"))
        return columnDomainUsage();
    return {};
}

} // namespace estaciones::db::tsql::catalog_views
