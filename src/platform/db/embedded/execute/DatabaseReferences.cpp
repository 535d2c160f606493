#include "platform/db/embedded/execute/DatabaseReferences.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

#include <QSet>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

bool isName(const Token& t) {
    return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName;
}

bool isOwner(const Token& t) {
    return t.isName(u"dbo") || t.isName(u"sys") || t.isName(u"INFORMATION_SCHEMA");
}

// master's views that list the server's own things, the same from any
// database, and the server's procedures (sp_, xp_), which master keeps.
bool isServerView(const Tokens& tokens, std::size_t owner, std::size_t object) {
    static const QSet<QString> views = {"sysdatabases", "syslogins",      "sysprocesses",
                                        "databases",    "server_principals", "sql_logins",
                                        "configurations"};
    if (owner != object && tokens[owner].isName(u"INFORMATION_SCHEMA"))
        return false;
    const QString name = tokens[object].value().toLower();
    return views.contains(name) || name.startsWith(QLatin1String("sp_")) ||
           name.startsWith(QLatin1String("xp_"));
}

} // namespace

QString otherDatabaseNamed(const Tokens& tokens, const QString& current) {
    for (std::size_t i = 0; i + 3 < tokens.size(); ++i) {
        if (!isName(tokens[i]) || !tokens[i + 1].isPunctuation(u".") ||
            (i > 0 && tokens[i - 1].isPunctuation(u".")))
            continue;
        // db..object or db.owner.object
        std::size_t owner = i + 2;
        std::size_t object = 0;
        if (tokens[i + 2].isPunctuation(u".") && isName(tokens[i + 3]))
            object = i + 3;
        else if (i + 4 < tokens.size() && isOwner(tokens[i + 2]) &&
                 tokens[i + 3].isPunctuation(u".") && isName(tokens[i + 4]))
            object = i + 4;
        if (object == 0)
            continue;
        if (owner + 1 == object)
            owner = object; // no owner written
        const QString database = tokens[i].value();
        if (database.compare(current, Qt::CaseInsensitive) == 0 ||
            database.compare(QLatin1String("tempdb"), Qt::CaseInsensitive) == 0)
            continue;
        if (database.compare(QLatin1String("master"), Qt::CaseInsensitive) == 0 &&
            isServerView(tokens, owner, object))
            continue;
        return database;
    }
    return {};
}

std::optional<ProviderError> otherDatabaseError(const Tokens& tokens, const QString& current) {
    const QString other = otherDatabaseNamed(tokens, current);
    if (other.isEmpty())
        return std::nullopt;
    return sqlServerError(native::NotSupported,
                          {QStringLiteral("a name of another database (%1) in a statement of %2")
                               .arg(other, current)});
}

} // namespace estaciones::db::sqlite
