#include "platform/db/embedded/translate/Rewrites.h"

namespace estaciones::db::tsql::rewrite {

namespace {

// SQL Server's object types for SQLite's schema rows.
const char* const objectType = "CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' ELSE 'TR' END";
const char* const userObjects = "type IN ('table','view','trigger') AND name NOT GLOB 'sqlite_*'";

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
    return sql;
}

QString sysObjectsView(const DialectSettings& settings) {
    return QStringLiteral("SELECT id AS object_id, name, xtype AS type, 1 AS schema_id FROM (%1)")
        .arg(sysobjects(settings));
}

QString sysTables() {
    return QStringLiteral(
        "SELECT rowid AS object_id, name COLLATE tsql_text AS name, 'U' AS type, "
        "1 AS schema_id FROM sqlite_schema WHERE type = 'table' AND name NOT GLOB 'sqlite_*'");
}

QString informationSchemaTables(bool viewsOnly) {
    return QStringLiteral("SELECT @__db_name AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, "
                          "name COLLATE tsql_text AS TABLE_NAME, CASE type WHEN 'table' THEN "
                          "'BASE TABLE' ELSE 'VIEW' END AS TABLE_TYPE FROM sqlite_schema "
                          "WHERE type IN (%1) AND name NOT GLOB 'sqlite_*'")
        .arg(viewsOnly ? QStringLiteral("'view'") : QStringLiteral("'table','view'"));
}

QString informationSchemaColumns() {
    return QStringLiteral(
        "SELECT @__db_name AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, m.name COLLATE tsql_text AS "
        "TABLE_NAME, p.name COLLATE tsql_text AS COLUMN_NAME, p.cid + 1 AS ORDINAL_POSITION, "
        "p.dflt_value AS COLUMN_DEFAULT, CASE WHEN p.\"notnull\" THEN 'NO' ELSE 'YES' END AS "
        "IS_NULLABLE, tsql_type_name(p.type) AS DATA_TYPE, tsql_type_length(p.type) AS "
        "CHARACTER_MAXIMUM_LENGTH FROM sqlite_schema m JOIN pragma_table_info(m.name) p "
        "WHERE m.type IN ('table','view') AND m.name NOT GLOB 'sqlite_*'");
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
        } else if (dotted && pieces[i].isName(u"INFORMATION_SCHEMA")) {
            alias = pieces[i + 2].value().toUpper();
            end = i + 3;
            if (alias == QLatin1String("TABLES"))
                query = informationSchemaTables(false);
            else if (alias == QLatin1String("VIEWS"))
                query = informationSchemaTables(true);
            else if (alias == QLatin1String("COLUMNS"))
                query = informationSchemaColumns();
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
