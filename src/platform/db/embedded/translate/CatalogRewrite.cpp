#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/functions/SchemaFunctions.h"

namespace estaciones::db::tsql::rewrite {

namespace {

// SQL Server's object types for SQLite's schema rows.
const char* const objectType = "CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' ELSE 'TR' END";
// The engine's own tables and triggers (estaciones_*, tsql_*) are no user objects.
// A constraint row's type code and the id of its table.
const char* const constraintType =
    "CASE c.kind WHEN 'C' THEN 'C' WHEN 'F' THEN 'F' ELSE c.kind END";
const char* const parentTable = "(SELECT rowid FROM sqlite_schema WHERE type = 'table' AND "
                                "lower(name) = lower(c.table_name))";
const char* const userObjects = "type IN ('table','view','trigger') AND name NOT GLOB 'sqlite_*' "
                                "AND name NOT GLOB 'estaciones_*' AND name NOT GLOB 'tsql_*'";

// The connection's temporary tables, with the negative ids OBJECT_ID gives them.
QString temporarySysobjects() {
    return QStringLiteral("SELECT -rowid AS id, name COLLATE tsql_text AS name, %1 AS xtype, "
                          "%1 AS type, 1 AS uid, 0 AS parent_obj, 0 AS category "
                          "FROM sqlite_temp_schema WHERE %2")
        .arg(QLatin1String(objectType), QLatin1String(userObjects));
}

QString sysobjects(const DialectSettings& settings) {
    QString sql = QStringLiteral("SELECT rowid AS id, name COLLATE tsql_text AS name, %1 AS xtype, "
                                 "%1 AS type, 1 AS uid, 0 AS parent_obj, 0 AS category "
                                 "FROM sqlite_schema WHERE %2")
                      .arg(QLatin1String(objectType), QLatin1String(userObjects));
    if (!settings.procedureTable.isEmpty())
        sql += QStringLiteral(
                   " UNION ALL SELECT 1000000000 + rowid, name COLLATE tsql_text, 'P', 'P', "
                   "1, 0, 0 FROM %1")
                   .arg(quoteName(settings.procedureTable));
    sql += QStringLiteral(" UNION ALL SELECT %1 + c.rowid, c.name COLLATE tsql_text, %2, %2, 1, "
                          "%3, 0 FROM %4 AS c")
               .arg(QString::number(constraintIdBase), QLatin1String(constraintType),
                    QLatin1String(parentTable), QLatin1String(constraintTable));
    return sql;
}

QString sysObjectsView(const DialectSettings& settings) {
    return QStringLiteral("SELECT id AS object_id, name, xtype AS type, 1 AS schema_id, "
                          "parent_obj AS parent_object_id FROM (%1)")
        .arg(sysobjects(settings));
}

// The columns of every table and view, with the server's type codes and sizes.
QString columnsOf(const char* columns) {
    return QStringLiteral("SELECT %1 FROM sqlite_schema m JOIN pragma_table_xinfo(m.name) p WHERE "
                          "m.type IN ('table','view') AND m.name NOT GLOB 'sqlite_*' AND m.name "
                          "NOT GLOB 'estaciones_*' AND p.hidden <> 1")
        .arg(QLatin1String(columns));
}

QString sysColumns() {
    return columnsOf(
        "m.rowid AS object_id, p.name COLLATE tsql_text AS name, p.cid + 1 AS column_id, "
        "tsql_system_type_id(p.type) AS system_type_id, tsql_system_type_id(p.type) AS "
        "user_type_id, tsql_column_bytes(p.type) AS max_length, tsql_type_precision(p.type) AS "
        "precision, tsql_type_scale(p.type) AS scale, 1 - p.\"notnull\" AS is_nullable, "
        "tsql_columnproperty(m.rowid, p.name, 'IsIdentity') AS is_identity, p.hidden IN (2, 3) AS "
        "is_computed");
}

QString syscolumns() {
    return columnsOf(
        "m.rowid AS id, p.name COLLATE tsql_text AS name, p.cid + 1 AS colid, p.cid + 1 AS "
        "colorder, tsql_system_type_id(p.type) AS xtype, tsql_system_type_id(p.type) AS "
        "xusertype, tsql_column_bytes(p.type) AS length, tsql_type_precision(p.type) AS prec, "
        "tsql_type_scale(p.type) AS scale, 1 - p.\"notnull\" AS isnullable, p.hidden IN (2, 3) "
        "AS iscomputed");
}

// The engine's constraint rows of `kinds`, as the catalogue views show them.
QString constraints(const char* kinds, const QString& columns) {
    return QStringLiteral("SELECT %1 + c.rowid AS object_id, c.name COLLATE tsql_text AS name, %2 "
                          "AS type, 1 AS schema_id, %3 AS parent_object_id, %4 FROM %5 AS c WHERE "
                          "c.kind IN (%6)")
        .arg(QString::number(constraintIdBase), QLatin1String(constraintType),
             QLatin1String(parentTable), columns, QLatin1String(constraintTable),
             QLatin1String(kinds));
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
    return constraints(
        "'F'",
        QStringLiteral("'FOREIGN_KEY_CONSTRAINT' AS type_desc, (SELECT rowid FROM "
                       "sqlite_schema WHERE type = 'table' AND lower(name) = "
                       "lower(c.ref_table)) AS referenced_object_id, c.disabled AS "
                       "is_disabled, c.untrusted AS is_not_trusted, %1 AS "
                       "delete_referential_action, %2 AS delete_referential_action_desc, "
                       "%3 AS update_referential_action, %4 AS "
                       "update_referential_action_desc")
            .arg(referentialAction("on_delete", false), referentialAction("on_delete", true),
                 referentialAction("on_update", false), referentialAction("on_update", true)));
}

QString sysCheckConstraints() {
    return constraints(
        "'C'", QStringLiteral("'CHECK_CONSTRAINT' AS type_desc, c.definition AS definition, "
                              "coalesce((SELECT p.cid + 1 FROM pragma_table_info(c.table_name) "
                              "p WHERE lower(p.name) = lower(c.columns)), 0) AS "
                              "parent_column_id, c.disabled AS is_disabled, c.untrusted AS "
                              "is_not_trusted"));
}

QString sysKeyConstraints() {
    return constraints("'PK', 'UQ'",
                       QStringLiteral("CASE c.kind WHEN 'PK' THEN 'PRIMARY_KEY_CONSTRAINT' ELSE "
                                      "'UNIQUE_CONSTRAINT' END AS type_desc"));
}

// SQLite's indexes under the server's names: "T.ix" is index ix of T; a key
// SQLite keeps itself is the primary key's index.
QString sysIndexes() {
    return QStringLiteral(
               "SELECT m.rowid AS object_id, CASE WHEN i.origin = 'pk' THEN coalesce((SELECT "
               "k.name FROM %1 k WHERE k.kind = 'PK' AND lower(k.table_name) = lower(m.name)), "
               "i.name) ELSE substr(i.name, length(m.name) + 2) END COLLATE tsql_text AS name, "
               "i.seq + 2 AS index_id, CASE WHEN i.origin = 'pk' THEN 1 ELSE 2 END AS type, "
               "i.origin = 'pk' AS is_primary_key, (i.\"unique\" OR EXISTS (SELECT 1 FROM "
               "sqlite_schema t WHERE t.type = 'trigger' AND t.name = 'tsql_uq.' || i.name || "
               "'.i')) AS is_unique, EXISTS (SELECT 1 FROM %1 k WHERE k.kind = 'UQ' AND "
               "lower(m.name || '.' || k.name) = lower(i.name)) AS is_unique_constraint, i.partial "
               "AS has_filter FROM sqlite_schema m JOIN pragma_index_list(m.name) i WHERE m.type "
               "= 'table' AND m.name NOT GLOB 'sqlite_*' AND m.name NOT GLOB 'estaciones_*'")
        .arg(QLatin1String(constraintTable));
}

QString informationSchemaTableConstraints() {
    return QStringLiteral("SELECT @__db_name AS CONSTRAINT_CATALOG, 'dbo' AS CONSTRAINT_SCHEMA, "
                          "c.name COLLATE tsql_text AS CONSTRAINT_NAME, @__db_name AS "
                          "TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, c.table_name COLLATE tsql_text "
                          "AS TABLE_NAME, CASE c.kind WHEN 'PK' THEN 'PRIMARY KEY' WHEN 'UQ' "
                          "THEN 'UNIQUE' WHEN 'F' THEN 'FOREIGN KEY' ELSE 'CHECK' END AS "
                          "CONSTRAINT_TYPE, 'NO' AS IS_DEFERRABLE, 'NO' AS INITIALLY_DEFERRED "
                          "FROM %1 AS c")
        .arg(QLatin1String(constraintTable));
}

QString sysTables() {
    return QStringLiteral("SELECT rowid AS object_id, name COLLATE tsql_text AS name, 'U' AS type, "
                          "1 AS schema_id FROM sqlite_schema WHERE type = 'table' AND name NOT "
                          "GLOB 'sqlite_*' AND name NOT GLOB 'estaciones_*'");
}

QString informationSchemaTables(bool viewsOnly) {
    return QStringLiteral(
               "SELECT @__db_name AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, "
               "name COLLATE tsql_text AS TABLE_NAME, CASE type WHEN 'table' THEN "
               "'BASE TABLE' ELSE 'VIEW' END AS TABLE_TYPE FROM sqlite_schema "
               "WHERE type IN (%1) AND name NOT GLOB 'sqlite_*' AND name NOT GLOB 'estaciones_*'")
        .arg(viewsOnly ? QStringLiteral("'view'") : QStringLiteral("'table','view'"));
}

QString informationSchemaColumns() {
    return QStringLiteral(
        "SELECT @__db_name AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, m.name COLLATE tsql_text AS "
        "TABLE_NAME, p.name COLLATE tsql_text AS COLUMN_NAME, p.cid + 1 AS ORDINAL_POSITION, "
        "p.dflt_value AS COLUMN_DEFAULT, CASE WHEN p.\"notnull\" THEN 'NO' ELSE 'YES' END AS "
        "IS_NULLABLE, tsql_type_name(p.type) AS DATA_TYPE, tsql_type_length(p.type) AS "
        "CHARACTER_MAXIMUM_LENGTH FROM sqlite_schema m JOIN pragma_table_info(m.name) p "
        "WHERE m.type IN ('table','view') AND m.name NOT GLOB 'sqlite_*' AND m.name NOT GLOB "
        "'estaciones_*'");
}

bool hasAlias(const Pieces& pieces, size_t next) {
    return next < pieces.size() && (pieces[next].isWord(u"AS") ||
                                    (pieces[next].isNameLike() && !isReservedWord(pieces[next])));
}

} // namespace

void mapCatalogViews(Pieces& pieces, const DialectSettings& settings) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].isNameLike() || (i > 0 && pieces[i - 1].isPunctuation(u".")))
            continue;
        QString query;
        QString alias;
        size_t end = i + 1;
        const bool dotted = i + 2 < pieces.size() && pieces[i + 1].isPunctuation(u".") &&
                            pieces[i + 2].isNameLike();
        if (pieces[i].isName(u"sysobjects") && !dotted) {
            query = sysobjects(settings);
            alias = QStringLiteral("sysobjects");
        } else if (pieces[i].isName(u"syscolumns") && !dotted) {
            query = syscolumns();
            alias = QStringLiteral("syscolumns");
        } else if (pieces[i].isName(tempdbSysobjects) && !dotted) {
            query = temporarySysobjects();
            alias = QStringLiteral("sysobjects");
        } else if (dotted && pieces[i].isName(u"sys")) {
            alias = pieces[i + 2].value().toLower();
            end = i + 3;
            if (alias == QLatin1String("objects"))
                query = sysObjectsView(settings);
            else if (alias == QLatin1String("tables"))
                query = sysTables();
            else if (alias == QLatin1String("columns"))
                query = sysColumns();
            else if (alias == QLatin1String("foreign_keys"))
                query = sysForeignKeys();
            else if (alias == QLatin1String("check_constraints"))
                query = sysCheckConstraints();
            else if (alias == QLatin1String("key_constraints"))
                query = sysKeyConstraints();
            else if (alias == QLatin1String("indexes"))
                query = sysIndexes();
        } else if (dotted && pieces[i].isName(u"INFORMATION_SCHEMA")) {
            alias = pieces[i + 2].value().toUpper();
            end = i + 3;
            if (alias == QLatin1String("TABLES"))
                query = informationSchemaTables(false);
            else if (alias == QLatin1String("VIEWS"))
                query = informationSchemaTables(true);
            else if (alias == QLatin1String("COLUMNS"))
                query = informationSchemaColumns();
            else if (alias == QLatin1String("TABLE_CONSTRAINTS"))
                query = informationSchemaTableConstraints();
        }
        if (query.isEmpty())
            continue;
        // Only where a table is read (after FROM or JOIN), never a column called so.
        if (i == 0 || !(pieces[i - 1].isWord(u"FROM") || pieces[i - 1].isWord(u"JOIN") ||
                        pieces[i - 1].isPunctuation(u",")))
            continue;
        QString text = QStringLiteral("(%1)").arg(query);
        if (!hasAlias(pieces, end))
            text += QStringLiteral(" AS ") + quoteName(alias);
        Pieces replacement = piecesOf(text);
        const size_t length = replacement.size();
        replaceRange(pieces, i, end, std::move(replacement));
        i += length - 1;
    }
}

void completeStatementSyntax(Pieces& pieces) {
    if (pieces.empty())
        return;
    size_t first = 0;
    while (first < pieces.size() && pieces[first].isPunctuation(u";"))
        ++first;
    if (first >= pieces.size())
        return;
    if (pieces[first].isWord(u"INSERT") && first + 1 < pieces.size() &&
        !pieces[first + 1].isWord(u"INTO"))
        insertPieces(pieces, first + 1, piecesOf(QStringLiteral("INTO")));
    if (pieces[first].isWord(u"DELETE") && first + 1 < pieces.size() &&
        !pieces[first + 1].isWord(u"FROM"))
        insertPieces(pieces, first + 1, piecesOf(QStringLiteral("FROM")));
    if (pieces[first].isWord(u"WITH") && first + 1 < pieces.size() &&
        !pieces[first + 1].isWord(u"RECURSIVE")) {
        // WITH a [(cols)] AS (body), b AS (body) ...: recursive when a body names its own CTE.
        size_t i = first + 1;
        bool recursive = false;
        while (i < pieces.size() && pieces[i].isNameLike()) {
            const QString name = pieces[i].value();
            size_t j = i + 1;
            if (j < pieces.size() && pieces[j].isPunctuation(u"("))
                j = closeOf(pieces, j) + 1;
            if (j >= pieces.size() || !pieces[j].isWord(u"AS") || j + 1 >= pieces.size() ||
                !pieces[j + 1].isPunctuation(u"("))
                break;
            const size_t close = closeOf(pieces, j + 1);
            for (size_t k = j + 2; k < close && k < pieces.size(); ++k)
                recursive = recursive || pieces[k].isName(name);
            i = close + 1;
            if (i < pieces.size() && pieces[i].isPunctuation(u","))
                ++i;
            else
                break;
        }
        if (recursive)
            insertPieces(pieces, first + 1, piecesOf(QStringLiteral("RECURSIVE")));
    }
}

void rewriteQuery(Pieces& pieces, const DialectSettings& settings) {
    joinForXmlPath(pieces);
    rewriteTableOperators(pieces);
    mapCatalogViews(pieces, settings);
    mapFunctions(pieces);
    mapMoneyLiterals(pieces);
    checkIntLiteralArithmetic(pieces);
    mapDivisionOperators(pieces);
    mapPlusOperator(pieces);
    canonicaliseDateLiterals(pieces, settings);
    convertTextComparedWithNumbers(pieces);
    addComparisonCollations(pieces);
    moveTopToLimit(pieces);
    completeStatementSyntax(pieces);
}

} // namespace estaciones::db::tsql::rewrite
