#include "platform/db/embedded/execute/InsertColumnList.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/execute/DerivedTexts.h"
#include "platform/db/embedded/functions/SchemaAccess.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

Tokens withIdentitySkipped(SqliteDatabase& database, const Tokens& tokens, const QString& table) {
    if (tokens.empty() || !tokens[0].isWord(u"INSERT") || table.isEmpty()) {
        return tokens;
    }
    std::size_t i = 1;
    if (i < tokens.size() && tokens[i].isWord(u"INTO")) {
        ++i;
    }
    // A table variable's name, or a table's.
    if (i < tokens.size() && tokens[i].kind == tsql::TokenKind::Variable) {
        ++i;
    } else {
        readObjectName(tokens, i);
    }
    // A column list of its own, DEFAULT VALUES, or a form that is not an INSERT of rows.
    if (i >= tokens.size() || !(tokens[i].isWord(u"VALUES") || tokens[i].isWord(u"SELECT") ||
                                tokens[i].isWord(u"EXEC") || tokens[i].isWord(u"EXECUTE") ||
                                tokens[i].isWord(u"OUTPUT") || tokens[i].isWord(u"WITH") ||
                                tokens[i].isPunctuation(u"("))) {
        return tokens;
    }
    if (tokens[i].isPunctuation(u"(") && i + 1 < tokens.size() &&
        !tokens[i + 1].isWord(u"SELECT") && !tokens[i + 1].isWord(u"WITH")) {
        return tokens;
    }
    // A fact of the table's definition: asked of the catalogue once per schema.
    const QStringList rows =
        derivedTexts(database, u'I', table, [&] {
            return DerivedTexts{
                tsql::schema_access::columnOf(
                    database.handle(),
                    QStringLiteral("SELECT name || '|' || coalesce(tsql_columnproperty("
                                   "tsql_object_id(?1), name, 'IsIdentity'), 0) "
                                   "FROM pragma_table_info(?1) ORDER BY cid"),
                    {table}),
                {}};
        }).statements;
    Tokens list{Token::punctuation(QStringLiteral("("))};
    bool identity = false;
    for (const QString& row : rows) {
        const qsizetype bar = row.lastIndexOf(QLatin1Char('|'));
        if (row.mid(bar + 1) == QLatin1String("1")) {
            identity = true;
            continue;
        }
        if (list.size() > 1) {
            list.push_back(Token::punctuation(QStringLiteral(",")));
        }
        Token column;
        column.kind = tsql::TokenKind::QuotedName;
        column.text = QLatin1Char('[') + row.left(bar).replace(QLatin1Char(']'), QStringLiteral("]]")) +
                      QLatin1Char(']');
        list.push_back(column);
    }
    if (!identity || list.size() == 1) {
        return tokens;
    }
    list.push_back(Token::punctuation(QStringLiteral(")")));
    Tokens written(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(i));
    written.insert(written.end(), list.begin(), list.end());
    written.insert(written.end(), tokens.begin() + static_cast<std::ptrdiff_t>(i), tokens.end());
    return written;
}

} // namespace estaciones::db::sqlite
