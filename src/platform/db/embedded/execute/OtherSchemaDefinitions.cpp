#include "platform/db/embedded/execute/OtherSchemaDefinitions.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/CatalogFunctions.h"
#include "platform/db/embedded/parse/OtherSchemaNames.h"

#include <algorithm>

namespace estaciones::db::sqlite {

std::optional<ProviderError> otherSchemaDefinitionError(const tsql::Tokens& statement) {
    const QString schema = tsql::otherSchemaOfDefinition(statement);
    if (schema.isEmpty())
        return std::nullopt;
    const auto rows = tsql::schemaRows();
    const bool exists = std::any_of(rows.begin(), rows.end(), [&](const tsql::SchemaRow& row) {
        return schema.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0;
    });
    if (!exists)
        return sqlServerError(native::SchemaNotFound, {schema});
    return sqlServerError(
        native::NotSupported,
        {QStringLiteral("objects of schema %1 (a database keeps dbo's only)").arg(schema)});
}

} // namespace estaciones::db::sqlite
