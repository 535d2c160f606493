#include "platform/db/embedded/execute/ObjectDates.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"
#include "platform/db/embedded/translate/CatalogViews.h"

#include <QSet>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

bool wordAt(const Tokens& tokens, std::size_t i, QStringView word) {
    return i < tokens.size() && tokens[i].isWord(word);
}

// The index of the kind a CREATE, ALTER or DROP names, past OR ALTER and an
// index's options.
std::size_t kindAt(const Tokens& tokens) {
    std::size_t i = 1;
    if (wordAt(tokens, i, u"OR") && wordAt(tokens, i + 1, u"ALTER"))
        i += 2;
    while (wordAt(tokens, i, u"UNIQUE") || wordAt(tokens, i, u"CLUSTERED") ||
           wordAt(tokens, i, u"NONCLUSTERED"))
        ++i;
    return i;
}

bool isObjectKind(const Token& word) {
    static const QSet<QString> kinds = {"TABLE",    "VIEW",    "PROC",     "PROCEDURE",
                                        "FUNCTION", "TRIGGER", "SEQUENCE", "INDEX"};
    return word.kind == tsql::TokenKind::Word && kinds.contains(word.text.toUpper());
}

// The name after SELECT ... INTO at the statement's own level, or "".
QString selectIntoTarget(const Tokens& tokens) {
    int depth = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].isPunctuation(u"("))
            ++depth;
        else if (tokens[i].isPunctuation(u")"))
            --depth;
        else if (depth == 0 && tokens[i].isWord(u"INTO")) {
            std::size_t at = i + 1;
            return readObjectName(tokens, at);
        }
    }
    return {};
}

// The object the statement alters, or "".
QString alteredObject(const Tokens& tokens) {
    const std::size_t kind = kindAt(tokens);
    if (kind >= tokens.size())
        return {};
    if (tokens[kind].isWord(u"INDEX")) {
        // CREATE INDEX i ON t: the table's modify_date moves.
        if (!tokens[0].isWord(u"CREATE"))
            return {};
        for (std::size_t i = kind + 1; i < tokens.size(); ++i)
            if (tokens[i].isWord(u"ON")) {
                std::size_t at = i + 1;
                return readObjectName(tokens, at);
            }
        return {};
    }
    const bool alters = tokens[0].isWord(u"ALTER") || (tokens[0].isWord(u"CREATE") && kind == 3);
    if (!alters)
        return {};
    std::size_t at = kind + 1;
    return readObjectName(tokens, at);
}

QString dateTable() {
    return QString::fromLatin1(tsql::objectDateTable);
}

} // namespace

bool changesObjects(const Tokens& statement) {
    if (statement.empty())
        return false;
    const Token& first = statement.front();
    if (first.isWord(u"CREATE") || first.isWord(u"ALTER") || first.isWord(u"DROP")) {
        const std::size_t kind = kindAt(statement);
        if (kind >= statement.size() || !isObjectKind(statement[kind]))
            return false;
        // A temporary table is tempdb's.
        return !(kind + 1 < statement.size() && statement[kind + 1].text.startsWith(u'#'));
    }
    if (first.isWord(u"SELECT") || first.isWord(u"WITH")) {
        const QString target = selectIntoTarget(statement);
        return !target.isEmpty() && !target.startsWith(u'#');
    }
    return false;
}

void noteObjectDates(SqliteDatabase& database, const Tokens& statement) {
    const QString objects =
        tsql::catalog_views::systemView(QStringLiteral("objects"), database.dialectSettings());
    QStringList statements;
    statements << QStringLiteral("INSERT OR IGNORE INTO %1 (name, create_date, modify_date) "
                                 "SELECT o.name, n.now, n.now FROM (%2) AS o, (SELECT "
                                 "tsql_getdate() AS now) AS n")
                      .arg(dateTable(), objects);
    if (const QString altered = alteredObject(statement); !altered.isEmpty())
        statements << QStringLiteral("UPDATE %1 SET modify_date = tsql_getdate() WHERE name = %2")
                          .arg(dateTable(), Token::literal(altered));
    if (!statement.front().isWord(u"CREATE"))
        statements << QStringLiteral("DELETE FROM %1 WHERE lower(name) NOT IN (SELECT lower(name) "
                                     "FROM (%2))")
                          .arg(dateTable(), objects);
    database.run(statements.join(QStringLiteral(";\n")));
}

void renameObjectDates(SqliteDatabase& database, const QString& name, const QString& newName) {
    database.run(QStringLiteral("UPDATE %1 SET name = %2 WHERE name = %3")
                     .arg(dateTable(), Token::literal(newName), Token::literal(name)));
}

} // namespace estaciones::db::sqlite
