#include "platform/db/embedded/catalog/ObjectNames.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

QString readObjectName(const tsql::Tokens& tokens, std::size_t& i) {
    if (i >= tokens.size() || !tokens[i].isNameLike()) {
        return {};
    }
    QString name = tokens[i].value();
    ++i;
    while (i + 1 < tokens.size() && tokens[i].isPunctuation(u".")) {
        if (tokens[i + 1].isPunctuation(u".")) {
            ++i; // "db..x": the owner left out
        } else if (tokens[i + 1].isNameLike()) {
            name = tokens[i + 1].value();
            i += 2;
        } else {
            break;
        }
    }
    return name;
}

void syntaxErrorAt(const tsql::Tokens& tokens, std::size_t i) {
    const QString near =
        i < tokens.size() ? tokens[i].text : (tokens.empty() ? QString() : tokens.back().text);
    failWith(native::SyntaxError, {near});
}

bool isObjectName(SqliteDatabase& database, const QString& name) {
    PreparedStatement query(database.handle(), QStringLiteral("SELECT tsql_object_id(?1)"));
    query.bindText(1, name);
    return query.step() == SQLITE_ROW && sqlite3_column_type(query.handle(), 0) != SQLITE_NULL;
}

void failObjectExists(SqliteDatabase& database, const QString& name) {
    failWith(native::ObjectExists, {tsql::splitStoredName(database.handle(), name).name});
}

QString sqliteQuoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace estaciones::db::sqlite
