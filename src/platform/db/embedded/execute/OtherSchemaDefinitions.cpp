#include "platform/db/embedded/execute/OtherSchemaDefinitions.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/parse/OtherSchemaNames.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

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

} // namespace estaciones::db::sqlite
