#include "platform/db/embedded/execute/UserSchemaStatements.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/SchemaProcedures.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/SequenceStore.h"
#include "platform/db/embedded/functions/UserSchemas.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

bool startsElement(const Tokens& tokens, std::size_t i) {
    const QString word = upperWord(tokens, i);
    return word == QLatin1String("CREATE") || word == QLatin1String("GRANT") ||
           word == QLatin1String("REVOKE") || word == QLatin1String("DENY");
}

// The schema's name at tokens[i], which is one part; leaves `i` after it.
QString schemaNameAt(const Tokens& tokens, std::size_t& i) {
    if (i >= tokens.size() || !tokens[i].isNameLike() ||
        (i + 1 < tokens.size() && tokens[i + 1].isPunctuation(u".")))
        syntaxErrorNear(tokens, std::min(i, tokens.size() - 1));
    return tokens[i++].value();
}

// The principal AUTHORIZATION names: the database's own users are dbo and guest.
int principalNamed(const QString& owner) {
    if (owner.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0)
        return 1;
    if (owner.compare(QLatin1String("guest"), Qt::CaseInsensitive) == 0)
        return 2;
    failWith(native::CannotFindPrincipal, {QStringLiteral("find"), QStringLiteral("user"), owner});
}

// CREATE TABLE x / CREATE VIEW x of the element [from, to): x in `schema`.
Tokens elementInSchema(const Tokens& tokens, std::size_t from, std::size_t to,
                       const QString& schema) {
    Tokens element = slice(tokens, from, to);
    const QString kind = upperWord(element, 1);
    if (upperWord(element, 0) != QLatin1String("CREATE"))
        return element; // GRANT, REVOKE, DENY
    if (kind != QLatin1String("TABLE") && kind != QLatin1String("VIEW"))
        syntaxErrorNear(element, 1);
    if (element.size() > 2 && element[2].isNameLike() &&
        !(element.size() > 3 && element[3].isPunctuation(u"."))) {
        element.insert(element.begin() + 2,
                       {Token{tsql::TokenKind::QuotedName,
                              QLatin1Char('[') + QString(schema).replace(QLatin1Char(']'),
                                                                         QLatin1String("]]")) +
                                  QLatin1Char(']')},
                        Token::punctuation(QStringLiteral("."))});
    }
    return element;
}

// Runs `step` as one transaction of its own, or inside the session's one as a savepoint.
void atomically(Session& session, const std::function<void()>& step) {
    SqliteDatabase& database = session.current();
    const bool own = session.transactionDepth() == 0;
    if (own)
        session.beginTransaction();
    else
        database.run(QStringLiteral("SAVEPOINT tsql_schema"));
    try {
        step();
    } catch (...) {
        if (own)
            ignoringErrors([&] { session.rollbackTransaction(); });
        else
            ignoringErrors([&] {
                database.run(QStringLiteral("ROLLBACK TO tsql_schema; RELEASE tsql_schema"));
            });
        throw;
    }
    if (own)
        session.commitTransaction();
    else
        database.run(QStringLiteral("RELEASE tsql_schema"));
}

void createSchema(Session& session, const Tokens& tokens,
                  const std::function<void(const Tokens&, const Tokens&)>& runElement) {
    std::size_t i = 2;
    if (upperWord(tokens, i) == QLatin1String("AUTHORIZATION"))
        failWith(native::NotSupported, {QStringLiteral("CREATE SCHEMA AUTHORIZATION without a name")});
    const QString name = schemaNameAt(tokens, i);
    int principal = 1;
    if (upperWord(tokens, i) == QLatin1String("AUTHORIZATION")) {
        ++i;
        principal = principalNamed(schemaNameAt(tokens, i));
    }
    std::vector<Range> elements;
    while (i < tokens.size()) {
        if (tokens[i].isPunctuation(u";")) {
            ++i;
            continue;
        }
        if (!startsElement(tokens, i))
            syntaxErrorNear(tokens, i);
        std::size_t end = i + 1;
        int depth = 0;
        for (; end < tokens.size(); ++end) {
            if (tokens[end].isPunctuation(u"("))
                ++depth;
            else if (tokens[end].isPunctuation(u")"))
                --depth;
            else if (depth == 0 && (tokens[end].isPunctuation(u";") || startsElement(tokens, end)))
                break;
        }
        elements.push_back({i, end});
        i = end;
    }
    SqliteDatabase& database = session.current();
    sqlite3* db = database.handle();
    if (tsql::schemaNamed(db, name) || isObjectName(database, name))
        failWith(native::ObjectExists, {name});
    atomically(session, [&] {
        database.run(QString::fromLatin1(tsql::userSchemaTableSql));
        database.run(
            QStringLiteral("INSERT INTO %1 (name, schema_id, principal_id) SELECT %2, max(%3, "
                           "coalesce(max(schema_id), 0) + 1), %4 FROM %1")
                .arg(QLatin1String(tsql::userSchemaTable), tsql::schema_access::quotedText(name))
                .arg(tsql::firstUserSchemaId)
                .arg(principal));
        // The tables before the views, which may read them; then the permissions.
        for (const char* kind : {"TABLE", "VIEW", ""})
            for (const Range& element : elements) {
                const QString second = upperWord(tokens, element.from + 1);
                const bool create = upperWord(tokens, element.from) == QLatin1String("CREATE");
                if (*kind ? (create && second == QLatin1String(kind)) : !create)
                    runElement(elementInSchema(tokens, element.from, element.to, name),
                               slice(tokens, element.from, element.to));
            }
    });
}

// The first object whose name in the file is in `schema`, by its own name; empty when none.
QString objectOfSchema(SqliteDatabase& database, const tsql::SchemaRecord& schema) {
    const QString prefix = tsql::schema_access::quotedText(schema.name + QLatin1Char('.'));
    const QString of = QStringLiteral("lower(substr(name, 1, %1)) = lower(%2)")
                           .arg(schema.name.size() + 1)
                           .arg(prefix);
    const QString sql =
        QStringLiteral("SELECT name FROM sqlite_schema WHERE type IN ('table', 'view') AND %1 "
                       "UNION ALL SELECT name FROM %2 WHERE %1 UNION ALL SELECT name FROM %3 "
                       "WHERE %1 UNION ALL SELECT name FROM %4 WHERE %1 UNION ALL SELECT name "
                       "FROM %5 WHERE %1 LIMIT 1")
            .arg(of, QLatin1String(tsql::procedureTable), QLatin1String(tsql::functionTable),
                 QLatin1String(tsql::triggerTable), QLatin1String(tsql::sequenceTable));
    const QStringList found = tsql::schema_access::columnOf(database.handle(), sql);
    return found.isEmpty() ? QString() : found.front().mid(schema.name.size() + 1);
}

void dropSchema(Session& session, const Tokens& tokens) {
    std::size_t i = 2;
    const bool ifExists = upperWord(tokens, 2) == QLatin1String("IF") &&
                          upperWord(tokens, 3) == QLatin1String("EXISTS");
    if (ifExists)
        i = 4;
    const QString name = schemaNameAt(tokens, i);
    if (i < tokens.size() && !tokens[i].isPunctuation(u";"))
        syntaxErrorNear(tokens, i);
    SqliteDatabase& database = session.current();
    const std::optional<tsql::SchemaRecord> schema = tsql::schemaNamed(database.handle(), name);
    if (!schema) {
        if (ifExists)
            return;
        failWith(native::CannotDrop, {QStringLiteral("schema"), name});
    }
    if (schema->fixed)
        failWith(native::NotSupported, {QStringLiteral("DROP SCHEMA ") + schema->name});
    const QString object = objectOfSchema(database, *schema);
    if (!object.isEmpty())
        failWith(native::ReferencedByObject, {QStringLiteral("drop schema"), schema->name, object});
    database.run(QStringLiteral("DELETE FROM %1 WHERE name = %2")
                     .arg(QLatin1String(tsql::userSchemaTable),
                          tsql::schema_access::quotedText(schema->name)));
}

// ALTER SCHEMA s TRANSFER [OBJECT::] [schema.]object
void transferToSchema(Session& session, const Tokens& tokens) {
    std::size_t i = 2;
    const QString target = schemaNameAt(tokens, i);
    if (upperWord(tokens, i) != QLatin1String("TRANSFER"))
        syntaxErrorNear(tokens, std::min(i, tokens.size() - 1));
    ++i;
    if (upperWord(tokens, i) == QLatin1String("OBJECT") && i + 1 < tokens.size() &&
        tokens[i + 1].isPunctuation(u"::"))
        i += 2;
    else if (i + 1 < tokens.size() && tokens[i + 1].isPunctuation(u"::"))
        failWith(native::NotSupported, {QStringLiteral("ALTER SCHEMA TRANSFER ") + upperWord(tokens, i)});
    QString fromSchema = QStringLiteral("dbo");
    QString written; // the name as the statement gives it, for the error
    QString object;
    if (i + 2 < tokens.size() && tokens[i].isNameLike() && tokens[i + 1].isPunctuation(u".") &&
        tokens[i + 2].isNameLike()) {
        fromSchema = tokens[i].value();
        object = tokens[i + 2].value();
        written = fromSchema + QLatin1Char('.') + object;
    } else if (i < tokens.size() && tokens[i].isNameLike()) {
        object = tokens[i].value();
        written = object;
    } else {
        syntaxErrorNear(tokens, std::min(i, tokens.size() - 1));
    }
    SqliteDatabase& database = session.current();
    sqlite3* db = database.handle();
    const std::optional<tsql::SchemaRecord> to = tsql::schemaNamed(db, target);
    if (!to)
        failWith(native::CannotFindPrincipal, {QStringLiteral("find"), QStringLiteral("schema"), target});
    if (to->fixed && to->schemaId != 1)
        failWith(native::NotSupported, {QStringLiteral("ALTER SCHEMA ") + to->name});
    const std::optional<tsql::SchemaRecord> from = tsql::schemaNamed(db, fromSchema);
    const QString stored = tsql::storedName(from ? from->name : fromSchema, object);
    if (!from || (from->fixed && from->schemaId != 1) || !isObjectName(database, stored))
        failWith(native::CannotFindPrincipal, {QStringLiteral("find"), QStringLiteral("object"), written});
    const QString moved = tsql::storedName(to->name, object);
    if (moved.compare(stored, Qt::CaseInsensitive) == 0)
        return;
    renameObject(database, stored, moved);
    // A table's triggers are in its schema: they move with it.
    for (const QString& trigger : tsql::schema_access::columnOf(
             db, QStringLiteral("SELECT name FROM %1 WHERE table_name = ?1")
                     .arg(QLatin1String(tsql::triggerTable)),
             {moved}))
        renameObject(database, trigger,
                     tsql::storedName(to->name, tsql::splitStoredName(db, trigger).name));
}

} // namespace

bool isSchemaStatement(const Tokens& tokens) {
    const QString first = upperWord(tokens, 0);
    return upperWord(tokens, 1) == QLatin1String("SCHEMA") &&
           (first == QLatin1String("CREATE") || first == QLatin1String("DROP") ||
            first == QLatin1String("ALTER"));
}

void runSchemaStatement(Session& session, const Tokens& tokens,
                        const std::function<void(const Tokens&, const Tokens&)>& runElement) {
    const QString first = upperWord(tokens, 0);
    if (first == QLatin1String("CREATE"))
        createSchema(session, tokens, runElement);
    else if (first == QLatin1String("DROP"))
        dropSchema(session, tokens);
    else
        transferToSchema(session, tokens);
}

} // namespace estaciones::db::sqlite
