#include "platform/db/embedded/functions/UserSchemas.h"

#include "platform/db/embedded/functions/CatalogFunctions.h"
#include "platform/db/embedded/functions/FunctionRegistration.h"
#include "platform/db/embedded/functions/LookupStatements.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/functions/SqliteArguments.h"

#include <sqlite3.h>

#include <stdexcept>

namespace estaciones::db::tsql {

using namespace schema_access;

namespace {

std::optional<SchemaRecord> fixedSchema(const auto& matches) {
    for (const SchemaRow& row : schemaRows())
        if (matches(row))
            return SchemaRecord{QString::fromLatin1(row.name), row.schemaId, row.schemaId, true};
    return std::nullopt;
}

std::optional<SchemaRecord> userSchemaWhere(sqlite3* db, const QString& condition,
                                            const QString& value) {
    if (!hasUserSchemaTable(db))
        return std::nullopt;
    const LookupStatement lookup(
        db, QStringLiteral("SELECT name, schema_id, principal_id FROM %1 WHERE %2")
                .arg(QLatin1String(userSchemaTable), condition));
    sqlite3_stmt* statement = lookup.handle();
    if (!statement)
        throw std::runtime_error(sqlite3_errmsg(db));
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(statement, 1, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
    if (sqlite3_step(statement) != SQLITE_ROW)
        return std::nullopt;
    return SchemaRecord{valueText(sqlite3_column_value(statement, 0)),
                        sqlite3_column_int(statement, 1), sqlite3_column_int(statement, 2), false};
}

void objectSchemaId(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, splitStoredName(sqlite3_context_db_handle(ctx), textOf(argv[0])).schema.schemaId);
}

void objectSchema(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    resultTextOrNull(ctx, splitStoredName(sqlite3_context_db_handle(ctx), textOf(argv[0])).schema.name);
}

void objectOwnName(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    resultTextOrNull(ctx, splitStoredName(sqlite3_context_db_handle(ctx), textOf(argv[0])).name);
}

const FunctionRegistration userSchemaRegistrations[] = {
    {"tsql_stored_schema_id", 1, guarded<objectSchemaId>},
    {"tsql_stored_schema", 1, guarded<objectSchema>},
    {"tsql_stored_own_name", 1, guarded<objectOwnName>},
};

} // namespace

bool hasUserSchemaTable(sqlite3* db) {
    return sqlite3_table_column_metadata(db, "main", userSchemaTable, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<SchemaRecord> schemaNamed(sqlite3* db, const QString& name) {
    if (auto fixed = fixedSchema([&](const SchemaRow& row) {
            return name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0;
        }))
        return fixed;
    return userSchemaWhere(db, QStringLiteral("name = ?1"), name);
}

std::optional<SchemaRecord> schemaWithId(sqlite3* db, long long id) {
    if (auto fixed = fixedSchema([&](const SchemaRow& row) { return row.schemaId == id; }))
        return fixed;
    return userSchemaWhere(db, QStringLiteral("schema_id = ?1"), QString::number(id));
}

SchemaQualifiedName splitStoredName(sqlite3* db, const QString& stored) {
    static const SchemaRecord dbo{QStringLiteral("dbo"), 1, 1, true};
    const qsizetype dot = stored.indexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == stored.size() - 1)
        return {dbo, stored};
    std::optional<SchemaRecord> schema = schemaNamed(db, stored.left(dot));
    if (!schema || schema->fixed)
        return {dbo, stored};
    return {*schema, stored.mid(dot + 1)};
}

QString storedName(const QString& schema, const QString& name) {
    if (schema.isEmpty() || schema.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0)
        return name;
    return schema + QLatin1Char('.') + name;
}

void registerUserSchemaFunctions(sqlite3* db) {
    for (const FunctionRegistration& r : userSchemaRegistrations)
        registerOne(db, r);
}

} // namespace estaciones::db::tsql
