#include "platform/db/embedded/functions/ColumnAlteration.h"

#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/storage/StoredColumns.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <sqlite3.h>

namespace estaciones::db::tsql {

namespace {

using namespace schema_access;

// SQLite's affinity of a declared type: values change their storage only
// when it changes.
QChar affinityOf(const QString& declared) {
    const QString t = declared.toLower();
    if (t.contains(QLatin1String("int")))
        return 'I';
    if (t.contains(QLatin1String("char")) || t.contains(QLatin1String("clob")) ||
        t.contains(QLatin1String("text")))
        return 'T';
    if (t.isEmpty() || t.contains(QLatin1String("blob")))
        return 'B';
    if (t.contains(QLatin1String("real")) || t.contains(QLatin1String("floa")) ||
        t.contains(QLatin1String("doub")))
        return 'R';
    return 'N';
}

bool isVariableLength(const QString& typeName) {
    return typeName == QLatin1String("varchar") || typeName == QLatin1String("nvarchar") ||
           typeName == QLatin1String("varbinary");
}

// 5074 for the object that depends on the column, then 4922 for the
// statement (ALTER COLUMN c, DROP COLUMN c) it refuses.
[[noreturn]] void dependent(const QString& what, const QString& name, const QString& column,
                            const QString& statement) {
    throw ServerFailure(
        5074, QStringLiteral("The %1 '%2' is dependent on column '%3'.").arg(what, name, column),
        {{4922, QStringLiteral("ALTER TABLE %1 %2 failed because one or more objects access "
                               "this column.")
                    .arg(statement, column)}});
}

// The table's definition, parsed, and the column's place in it.
struct Definition {
    QString schema; // main or temp
    Pieces pieces;
    size_t from = 0; // the column's definition
    size_t to = 0;

    QString declaredType() const {
        size_t k = from + 1;
        if (k >= to)
            return {};
        QString type = pieces[k].value();
        if (k + 1 < to && pieces[k + 1].isPunctuation(u"("))
            type += render(pieces, k + 1, closeOf(pieces, k + 1) + 1).remove(QLatin1Char(' '));
        return type;
    }
    // [CONSTRAINT name] DEFAULT (...) as the definition has it, or empty.
    std::pair<QString, QString> defaultClause() const {
        for (size_t k = from; k + 1 < to; ++k) {
            if (!pieces[k].isWord(u"DEFAULT") || !pieces[k + 1].isPunctuation(u"("))
                continue;
            const bool named = k >= from + 2 && pieces[k - 2].isWord(u"CONSTRAINT");
            const size_t start = named ? k - 2 : k;
            return {render(pieces, start, closeOf(pieces, k + 1) + 1).trimmed(),
                    named ? pieces[k - 1].value() : QString()};
        }
        return {};
    }
    // CONSTRAINT name PRIMARY KEY naming the column, or empty.
    QString primaryKeyName(const QString& column) const {
        for (size_t k = 0; k + 2 < pieces.size(); ++k)
            if (pieces[k].isWord(u"CONSTRAINT") && pieces[k + 2].isWord(u"PRIMARY")) {
                const size_t open = k + 4;
                if (k >= from && k < to)
                    return pieces[k + 1].value();
                if (open < pieces.size() && pieces[open].isPunctuation(u"("))
                    for (size_t i = open + 1; i < closeOf(pieces, open); ++i)
                        if (pieces[i].value().compare(column, Qt::CaseInsensitive) == 0)
                            return pieces[k + 1].value();
            }
        return QStringLiteral("PK");
    }
};

[[noreturn]] void missingTable(const QString& table) {
    throw ServerFailure(4902, QStringLiteral("Cannot find the object \"%1\" because it does not "
                                             "exist or you do not have permissions.")
                                  .arg(table));
}

Definition definitionOf(sqlite3* db, const QString& table, const QString& column) {
    Definition d;
    QStringList sql;
    for (const char* schema : {"main", "temp"}) {
        sql = columnOf(db,
                       QStringLiteral("SELECT sql FROM %1.sqlite_schema WHERE type = 'table' AND "
                                      "lower(name) = lower(?1)")
                           .arg(QLatin1String(schema)),
                       {table});
        if (!sql.isEmpty()) {
            d.schema = QLatin1String(schema);
            break;
        }
    }
    if (sql.isEmpty())
        missingTable(table);
    d.pieces = toPieces(tokenize(sql.front()));
    size_t open = 0;
    while (open < d.pieces.size() && !d.pieces[open].isPunctuation(u"("))
        ++open;
    if (open < d.pieces.size())
        for (const auto& [from, to] : splitTopLevel(d.pieces, open + 1, closeOf(d.pieces, open)))
            if (from < to && d.pieces[from].isNameLike() &&
                d.pieces[from].value().compare(column, Qt::CaseInsensitive) == 0) {
                d.from = from;
                d.to = to;
                return d;
            }
    throw ServerFailure(4924, QStringLiteral("ALTER TABLE ALTER COLUMN failed because column "
                                             "'%1' does not exist in table '%2'.")
                                  .arg(column, table));
}

// What a change of a column's type keeps; a dropped column keeps nothing.
struct TypeChange {
    bool sameType = false;
    bool variable = false; // the same variable-length type
    bool grows = false;    // ... and no shorter than before
};

TypeChange typeChange(const DeclaredType& before, const DeclaredType& after) {
    TypeChange change;
    change.sameType = before.typeName == after.typeName;
    change.variable = change.sameType && isVariableLength(after.typeName);
    const int oldLength = before.characterLength.value_or(0);
    const int newLength = after.characterLength.value_or(0);
    change.grows =
        change.variable && (newLength == -1 || (oldLength != -1 && newLength >= oldLength));
    return change;
}

// The server refuses to alter a column that a key, a foreign key, an index
// or a default depends on, except: "Used in an index, unless the column is a
// varchar, nvarchar, or varbinary data type, the data type isn't changed, the
// new size is equal to or larger than the old size, and the index isn't the
// result of a PRIMARY KEY constraint"; "changing the length of a
// variable-length column used in a CHECK or UNIQUE constraint is allowed";
// with a default, "the length, precision, or scale of a column can be changed
// if the data type isn't changed".
void refuseDependents(sqlite3* db, const Definition& d, const QString& table, const QString& column,
                      const TypeChange& change, const QString& statement) {
    const auto [sameType, variable, grows] = change;
    const QString schema = d.schema;
    if (!columnOf(db,
                  QStringLiteral("SELECT 1 FROM pragma_table_info(?1, '%1') WHERE pk > 0 AND "
                                 "lower(name) = lower(?2)")
                      .arg(schema),
                  {table, column})
             .isEmpty())
        dependent(QStringLiteral("object"), d.primaryKeyName(column), column, statement);
    const QStringList indexes = columnOf(
        db,
        QStringLiteral("SELECT il.name FROM pragma_index_list(?1, '%1') AS il, "
                       "pragma_index_info(il.name, '%1') AS ii WHERE lower(ii.name) = lower(?2)")
            .arg(schema),
        {table, column});
    if (!indexes.isEmpty() && !grows) {
        QString index = indexes.front();
        if (index.startsWith(table + QLatin1Char('.'), Qt::CaseInsensitive))
            index = index.mid(table.size() + 1);
        dependent(QStringLiteral("index"), index, column, statement);
    }
    if (!columnOf(db,
                  QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1"),
                  {QString::fromLatin1(constraintTable)})
             .isEmpty()) {
        const QString listed = QStringLiteral("(',' || lower(%1) || ',') LIKE ('%,' || "
                                              "lower(?2) || ',%')");
        for (const QString& row : columnOf(
                 db,
                 QStringLiteral("SELECT kind || name FROM %1 WHERE (kind <> 'D' OR %4) AND "
                                "((lower(table_name) = lower(?1) AND %2) OR (kind = 'F' AND "
                                "lower(ref_table) = lower(?1) AND %3))")
                     .arg(QLatin1String(constraintTable), listed.arg(QStringLiteral("columns")),
                          listed.arg(QStringLiteral("ref_columns")),
                          sameType ? QStringLiteral("0") : QStringLiteral("1")),
                 {table, column}))
            if (row.startsWith(QLatin1Char('F')) || row.startsWith(QLatin1Char('D')) || !variable)
                dependent(QStringLiteral("object"), row.mid(1), column, statement);
    }
    const auto [clause, name] = d.defaultClause();
    if (!clause.isEmpty() && !sameType)
        dependent(QStringLiteral("object"), name.isEmpty() ? QStringLiteral("DEFAULT") : name,
                  column, statement);
}

void dropTrigger(sqlite3* db, const QString& schema, const QString& name) {
    execute(db, QStringLiteral("DROP TRIGGER IF EXISTS %1.%2").arg(schema, quoted(name)));
}

// What the engine made for a column that is dropped goes with it: the
// triggers that keep its stored form, its default and its identity.
void dropColumnTriggers(sqlite3* db, const QString& schema, const QString& table,
                        const QString& column) {
    for (const char* event : {"i", "u"})
        dropTrigger(db, schema, storeTriggerName(table, column, event));
    dropTrigger(db, schema, QStringLiteral("tsql_default_%1_%2").arg(table, column));
    const QString store = schema + QLatin1Char('.') + QLatin1String(identityTable);
    const QString numbered = QStringLiteral("SELECT 1 FROM %1 WHERE table_name = ?1 AND "
                                            "lower(column_name) = lower(?2)")
                                 .arg(store);
    if (!columnOf(db,
                  QStringLiteral("SELECT 1 FROM %1.sqlite_schema WHERE type = 'table' AND name = ?1")
                      .arg(schema),
                  {QString::fromLatin1(identityTable)})
             .isEmpty() &&
        !columnOf(db, numbered, {table, column}).isEmpty()) {
        dropTrigger(db, schema, QStringLiteral("tsql_identity_") + table);
        execute(db, QStringLiteral("DELETE FROM %1 WHERE table_name = %2")
                        .arg(store, quotedText(table)));
    }
}

} // namespace

void refuseDroppedColumn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString table = textOf(argv[0]);
    const QString column = textOf(argv[1]);
    const bool exists = !columnOf(db,
                                  // table_xinfo: a computed column is one of the table's too.
                                  QStringLiteral("SELECT 1 FROM pragma_table_xinfo(?1) WHERE "
                                                 "lower(name) = lower(?2) AND hidden <> 1 UNION "
                                                 "ALL SELECT 1 FROM pragma_table_xinfo(?1, "
                                                 "'temp') WHERE lower(name) = lower(?2) AND "
                                                 "hidden <> 1"),
                                  {table, column})
                             .isEmpty();
    if (!exists) {
        if (columnOf(db, QStringLiteral("SELECT 1 FROM pragma_table_info(?1) UNION ALL SELECT 1 "
                                        "FROM pragma_table_info(?1, 'temp')"),
                     {table})
                .isEmpty())
            missingTable(table);
        throw ServerFailure(4924, QStringLiteral("ALTER TABLE DROP COLUMN failed because column "
                                                 "'%1' does not exist in table '%2'.")
                                      .arg(column, table));
    }
    const Definition d = definitionOf(db, table, column);
    refuseDependents(db, d, table, column, TypeChange{}, QStringLiteral("DROP COLUMN"));
    dropColumnTriggers(db, d.schema, table, column);
    sqlite3_result_null(ctx);
}

void removeColumnDefault(sqlite3* db, const QString& table, const QString& column) {
    execute(db, QStringLiteral("DROP TRIGGER IF EXISTS %1")
                    .arg(quoted(QStringLiteral("tsql_default_%1_%2").arg(table, column))));
    const Definition d = definitionOf(db, table, column);
    const QString clause = d.defaultClause().first;
    if (clause.isEmpty())
        return;
    QString columnSql = render(d.pieces, d.from, d.to);
    const qsizetype at = columnSql.indexOf(clause);
    if (at < 0)
        throw std::runtime_error("no se encuentra el valor predeterminado en la definición");
    columnSql.remove(at, clause.size());
    replaceTableDefinition(db, d.schema, table,
                           render(d.pieces, 0, d.from).trimmed() + QLatin1Char(' ') +
                               columnSql.trimmed() + render(d.pieces, d.to, d.pieces.size()));
}

void alterColumn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString table = textOf(argv[0]);
    const QString column = textOf(argv[1]);
    QString columnSql = textOf(argv[2]);
    const QString newType = textOf(argv[3]);
    const bool notNull = sqlite3_value_int(argv[4]) != 0;

    const Definition d = definitionOf(db, table, column);
    const QString oldDeclared = d.declaredType();
    const DeclaredType before = describeDeclaredType(oldDeclared);
    const DeclaredType after = describeDeclaredType(newType);
    refuseDependents(db, d, table, column, typeChange(before, after),
                     QStringLiteral("ALTER COLUMN"));

    // The values first: a refusal changes nothing.
    const QString t = d.schema + QLatin1Char('.') + quoted(table);
    const QString c = quoted(column);
    // char(n) values take their blanks and binary ones their checks and
    // zeros as the column's store triggers give them.
    const bool storedByType = after.typeName == QLatin1String("char") ||
                              after.typeName == QLatin1String("nchar") ||
                              after.typeName == QLatin1String("binary") ||
                              after.typeName == QLatin1String("varbinary");
    const QString converted =
        storedByType ? storedFormExpression(newType, c).value_or(c)
        : before.typeName == after.typeName
            ? c
            : QStringLiteral("tsql_convert(%1, %2)").arg(quotedText(newType), c);
    if (notNull &&
        !columnOf(db, QStringLiteral("SELECT 1 FROM %1 WHERE %2 IS NULL LIMIT 1").arg(t, c))
             .isEmpty())
        throw ServerFailure(515, QStringLiteral("Cannot insert the value NULL into column '%1', "
                                                "table '%2.dbo.%3'; column does not allow nulls. "
                                                "UPDATE fails.")
                                     .arg(column, databaseName(db), table));
    columnOf(db, QStringLiteral("SELECT count(%1) FROM %2").arg(converted, t));
    if (after.isText && after.characterLength && *after.characterLength > 0)
        // Text is measured before a conversion could cut it.
        columnOf(db, QStringLiteral("SELECT count(*) FROM %1 WHERE NOT tsql_max_length(%2, %3)")
                         .arg(t, before.isText ? c : converted)
                         .arg(*after.characterLength));

    // The default stays the column's, as the server keeps its constraint.
    const QString defaultClause = d.defaultClause().first;
    if (!defaultClause.isEmpty()) {
        const qsizetype check = columnSql.indexOf(QLatin1String(" CONSTRAINT \"E8152_"));
        columnSql.insert(check < 0 ? columnSql.size() : check, QLatin1Char(' ') + defaultClause);
    }
    const QString tableSql = render(d.pieces, 0, d.from).trimmed() + QLatin1Char(' ') + columnSql +
                             render(d.pieces, d.to, d.pieces.size());
    replaceTableDefinition(db, d.schema, table, tableSql);
    if (affinityOf(oldDeclared) != affinityOf(sqliteDeclaredType(newType)) || converted != c) {
        execute(db, QStringLiteral("UPDATE %1 SET %2 = %3").arg(t, c, converted));
        execute(db, QStringLiteral("REINDEX %1").arg(t));
    }
    sqlite3_result_null(ctx);
}

} // namespace estaciones::db::tsql
