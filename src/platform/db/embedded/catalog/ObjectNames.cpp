#include "platform/db/embedded/catalog/ObjectNames.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

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

QString sqliteQuoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace estaciones::db::sqlite
