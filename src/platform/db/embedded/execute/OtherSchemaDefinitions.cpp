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
    return tsql::withDefinitionInSchema(statement);
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
