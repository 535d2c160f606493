#include "platform/db/embedded/functions/CatalogFunctions.h"

#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <sqlite3.h>

#include <map>

namespace estaciones::db::tsql {

namespace {

using namespace schema_access;

struct SystemType {
    int id;
    int bytes;     // max_length; 0: from the declared length
    int precision; // 0 for text and binary
    int scale;
};

// sys.types: system_type_id, max_length, precision, scale.
const std::map<QString, SystemType>& systemTypes() {
    static const std::map<QString, SystemType> types{
        {"image", {34, 16, 0, 0}},
        {"text", {35, 16, 0, 0}},
        {"uniqueidentifier", {36, 16, 0, 0}},
        {"date", {40, 3, 10, 0}},
        {"time", {41, 5, 16, 7}},
        {"datetime2", {42, 8, 27, 7}},
        {"tinyint", {48, 1, 3, 0}},
        {"smallint", {52, 2, 5, 0}},
        {"int", {56, 4, 10, 0}},
        {"smalldatetime", {58, 4, 16, 0}},
        {"real", {59, 4, 24, 0}},
        {"money", {60, 8, 19, 4}},
        {"datetime", {61, 8, 23, 3}},
        {"float", {62, 8, 53, 0}},
        {"ntext", {99, 16, 0, 0}},
        {"bit", {104, 1, 1, 0}},
        {"decimal", {106, 0, 18, 0}},
        {"numeric", {108, 0, 18, 0}},
        {"smallmoney", {122, 4, 10, 4}},
        {"bigint", {127, 8, 19, 0}},
        {"varbinary", {165, 0, 0, 0}},
        {"varchar", {167, 0, 0, 0}},
        {"binary", {173, 0, 0, 0}},
        {"char", {175, 0, 0, 0}},
        {"timestamp", {189, 8, 0, 0}},
        {"nvarchar", {231, 0, 0, 0}},
        {"nchar", {239, 0, 0, 0}},
        {"xml", {241, -1, 0, 0}},
        {"sysname", {231, 256, 0, 0}},
    };
    return types;
}

struct ColumnType {
    int id = 0;
    int bytes = 0;
    int precision = 0;
    int scale = 0;
};

ColumnType columnType(const QString& declared) {
    const DeclaredType type = describeDeclaredType(declared);
    const auto found = systemTypes().find(type.typeName);
    if (found == systemTypes().end())
        return {};
    ColumnType c{found->second.id, found->second.bytes, found->second.precision,
                 found->second.scale};
    if (type.typeName == QLatin1String("decimal") || type.typeName == QLatin1String("numeric")) {
        c.precision = type.precision ? type.precision : 18;
        c.scale = type.scale;
        // Storage bytes by precision, as the decimal page gives them.
        c.bytes = c.precision <= 9 ? 5 : c.precision <= 19 ? 9 : c.precision <= 28 ? 13 : 17;
    } else if (c.bytes == 0) {
        const int length = type.characterLength.value_or(1);
        const bool national = type.typeName.startsWith(QLatin1Char('n'));
        c.bytes = length < 0 ? -1 : (national ? 2 * length : length);
    }
    return c;
}

// The declared type of a column of a table (temporary tables too), or empty.
QString declaredTypeOf(sqlite3* db, const QString& table, const QString& column) {
    const bool temporary = table.startsWith(QLatin1Char('#'));
    return columnOf(db,
                    QStringLiteral("SELECT type FROM pragma_table_info(?1, '%1') WHERE "
                                   "lower(name) = lower(?2)")
                        .arg(temporary ? QStringLiteral("temp") : QStringLiteral("main")),
                    {table, column})
        .value(0);
}

// A table's name from the object id the catalogue gives it.
QString tableOfId(sqlite3* db, qint64 id) {
    return columnOf(db,
                    id < 0 ? QStringLiteral("SELECT name FROM sqlite_temp_schema WHERE rowid = -?1")
                           : QStringLiteral("SELECT name FROM sqlite_schema WHERE rowid = ?1"),
                    {QString::number(id)})
        .value(0);
}

QString lastPart(QString name) {
    name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    return name.section(QLatin1Char('.'), -1);
}

void resultInt(sqlite3_context* ctx, qint64 value) {
    sqlite3_result_int64(ctx, value);
}

using Part = int ColumnType::*;

template <Part part> void typePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const ColumnType type = columnType(textOf(argv[0]));
    if (type.id == 0)
        return sqlite3_result_null(ctx);
    resultInt(ctx, type.*part);
}

// COL_LENGTH('table', 'column'): max_length, NULL when there is no such column.
void colLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString declared = declaredTypeOf(db, lastPart(textOf(argv[0])), textOf(argv[1]));
    if (declared.isEmpty())
        return sqlite3_result_null(ctx);
    resultInt(ctx, columnType(declared).bytes);
}

// COL_NAME(object_id, column_id)
void colName(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const qint64 id = sqlite3_value_int64(argv[0]);
    const QString table = tableOfId(db, id);
    const QString name =
        table.isEmpty()
            ? QString()
            : columnOf(db,
                       QStringLiteral("SELECT name FROM pragma_table_info(?1, "
                                      "'%1') WHERE cid = ?2 - 1")
                           .arg(id < 0 ? QStringLiteral("temp") : QStringLiteral("main")),
                       {table, QString::number(sqlite3_value_int64(argv[1]))})
                  .value(0);
    if (name.isEmpty())
        return sqlite3_result_null(ctx);
    const QByteArray utf8 = name.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

// COLUMNPROPERTY(object_id, 'column', 'AllowsNull' | 'IsIdentity' | 'Precision' | 'Scale' |
// 'ColumnId'); NULL for what it does not know.
void columnProperty(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const qint64 id = sqlite3_value_int64(argv[0]);
    const QString table = tableOfId(db, id);
    const QString column = textOf(argv[1]);
    const QString property = textOf(argv[2]).toLower();
    const QString schema = id < 0 ? QStringLiteral("temp") : QStringLiteral("main");
    const QStringList row =
        columnOf(db,
                 QStringLiteral("SELECT cid || '|' || \"notnull\" || '|' || pk || '|' || type FROM "
                                "pragma_table_info(?1, '%1') WHERE lower(name) = lower(?2)")
                     .arg(schema),
                 {table, column});
    if (table.isEmpty() || row.isEmpty())
        return sqlite3_result_null(ctx);
    const QStringList parts = row.front().split(QLatin1Char('|'));
    const ColumnType type = columnType(parts.value(3));
    if (property == QLatin1String("allowsnull"))
        return resultInt(ctx, parts.value(1) == QLatin1String("1") ? 0 : 1);
    if (property == QLatin1String("columnid"))
        return resultInt(ctx, parts.value(0).toLongLong() + 1);
    if (property == QLatin1String("precision"))
        return resultInt(ctx, type.precision ? type.precision : type.bytes);
    if (property == QLatin1String("scale"))
        return resultInt(ctx, type.scale);
    if (property == QLatin1String("isidentity")) {
        const bool counter =
            parts.value(2) == QLatin1String("1") && parts.value(3) == QLatin1String("INTEGER");
        const bool numbered =
            !columnOf(
                 db,
                 QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'trigger' AND "
                                "lower(name) = lower('tsql_identity_' || ?1) AND "
                                "instr(lower(sql), lower('NEW.\"' || ?2 || '\" IS NULL')) > 0"),
                 {table, column})
                 .isEmpty();
        return resultInt(ctx, counter || numbered ? 1 : 0);
    }
    sqlite3_result_null(ctx);
}

const FunctionRegistration registrations[] = {
    {"tsql_system_type_id", 1, guarded<typePart<&ColumnType::id>>},
    {"tsql_column_bytes", 1, guarded<typePart<&ColumnType::bytes>>},
    {"tsql_type_precision", 1, guarded<typePart<&ColumnType::precision>>},
    {"tsql_type_scale", 1, guarded<typePart<&ColumnType::scale>>},
    {"tsql_col_length", 2, guarded<colLength>},
    {"tsql_col_name", 2, guarded<colName>},
    {"tsql_columnproperty", 3, guarded<columnProperty>},
};

} // namespace

void registerCatalogFunctions(sqlite3* db) {
    for (const FunctionRegistration& r : registrations)
        registerOne(db, r);
}

} // namespace estaciones::db::tsql
