#include "platform/db/embedded/execute/OtherSchemaDefinitions.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/parse/OtherSchemaNames.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <algorithm>
#include <iterator>

namespace estaciones::db::sqlite {

std::optional<tsql::Tokens> definitionInSchema(SqliteDatabase& database,
                                               const tsql::Tokens& statement) {
    QString written;
    const QString schema = tsql::otherSchemaOfDefinition(statement, &written);
    if (schema.isEmpty())
        return std::nullopt;
    if (!written.isEmpty() && written.compare(database.name(), Qt::CaseInsensitive) != 0)
        failWith(native::NotSupported,
                 {QStringLiteral("an object made in another database (%1)").arg(written)});
    const std::optional<tsql::SchemaRecord> found = tsql::schemaNamed(database.handle(), schema);
    if (!found)
        failWith(native::SchemaNotFound, {schema});
    if (found->fixed)
        failWith(native::NotSupported,
                 {QStringLiteral("objects of schema %1 (a database keeps dbo's and its own schemas')")
                      .arg(found->name)});
    tsql::Tokens defined = tsql::withDefinitionInSchema(statement);
    // A view is a module too: its names are read in its schema first when it is made.
    const std::size_t kind = defined.size() > 3 && defined[1].isWord(u"OR") ? 3 : 1;
    if (kind < defined.size() && defined[kind].isWord(u"VIEW"))
        return tsql::withModuleSchema(std::move(defined), found->name, [&](const QString& stored) {
            return isObjectName(database, stored);
        });
    return defined;
}

std::optional<tsql::Tokens> bodyInModuleSchema(SqliteDatabase& database, const QString& module,
                                               const tsql::Tokens& body) {
    const tsql::SchemaQualifiedName name = tsql::splitStoredName(database.handle(), module);
    if (name.schema.fixed)
        return std::nullopt;
    tsql::Tokens significant;
    significant.reserve(body.size());
    std::copy_if(body.begin(), body.end(), std::back_inserter(significant),
                 [](const tsql::Token& token) { return !token.isTrivia(); });
    return tsql::withModuleSchema(std::move(significant), name.schema.name,
                                  [&](const QString& stored) { return isObjectName(database, stored); });
}

} // namespace estaciones::db::sqlite
