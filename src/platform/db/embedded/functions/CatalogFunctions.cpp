#include "platform/db/embedded/functions/CatalogFunctions.h"

#include "platform/db/embedded/functions/ObjectNameParts.h"

#include "platform/db/embedded/functions/SqliteArguments.h"

#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <sqlite3.h>

#include <optional>

namespace estaciones::db::tsql {

namespace {

using namespace schema_access;

// sys.types: the system types with their largest max_length, precision and scale.
const SystemTypeRow systemTypes[] = {
    {"image", 34, 34, 16, 0, 0},
    {"text", 35, 35, 16, 0, 0},
    {"uniqueidentifier", 36, 36, 16, 0, 0},
    {"date", 40, 40, 3, 10, 0},
    {"time", 41, 41, 5, 16, 7},
    {"datetime2", 42, 42, 8, 27, 7},
    {"datetimeoffset", 43, 43, 10, 34, 7},
    {"tinyint", 48, 48, 1, 3, 0},
    {"smallint", 52, 52, 2, 5, 0},
    {"int", 56, 56, 4, 10, 0},
    {"smalldatetime", 58, 58, 4, 16, 0},
    {"real", 59, 59, 4, 24, 0},
    {"money", 60, 60, 8, 19, 4},
    {"datetime", 61, 61, 8, 23, 3},
    {"float", 62, 62, 8, 53, 0},
    {"sql_variant", 98, 98, 8016, 0, 0},
    {"ntext", 99, 99, 16, 0, 0},
    {"bit", 104, 104, 1, 1, 0},
    {"decimal", 106, 106, 17, 38, 38},
    {"numeric", 108, 108, 17, 38, 38},
    {"smallmoney", 122, 122, 4, 10, 4},
    {"bigint", 127, 127, 8, 19, 0},
    {"varbinary", 165, 165, 8000, 0, 0},
    {"varchar", 167, 167, 8000, 0, 0},
    {"binary", 173, 173, 8000, 0, 0},
    {"char", 175, 175, 8000, 0, 0},
    {"timestamp", 189, 189, 8, 0, 0},
    {"nvarchar", 231, 231, 8000, 0, 0},
    {"nchar", 239, 239, 8000, 0, 0},
    {"xml", 241, 241, -1, 0, 0},
    {"sysname", 231, 256, 256, 0, 0},
};

// The fixed schemas: the users' and the fixed database roles', each owned by
// the principal of its id.
const SchemaRow schemas[] = {
    {"dbo", 1},
    {"guest", 2},
    {"INFORMATION_SCHEMA", 3},
    {"sys", 4},
    {"db_owner", 16384},
    {"db_accessadmin", 16385},
    {"db_securityadmin", 16386},
    {"db_ddladmin", 16387},
    {"db_backupoperator", 16389},
    {"db_datareader", 16390},
    {"db_datawriter", 16391},
    {"db_denydatareader", 16392},
    {"db_denydatawriter", 16393},
};

// The database users every database has, by principal id.
const SchemaRow users[] = {
    {"dbo", 1},
    {"guest", 2},
    {"INFORMATION_SCHEMA", 3},
    {"sys", 4},
};

const SystemTypeRow* systemType(const QString& name) {
    for (const SystemTypeRow& row : systemTypes)
        if (name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

struct ColumnType {
    int id = 0;
    int userId = 0;
    int bytes = 0;
    int precision = 0;
    int scale = 0;
    std::optional<int> characters; // the length in characters of a text type; -1 for max
};

bool isOneOf(const QString& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == QLatin1String(n))
            return true;
    return false;
}

// Storage bytes by precision, as the decimal and numeric page gives them.
int decimalBytes(int precision) {
    return precision <= 9 ? 5 : precision <= 19 ? 9 : precision <= 28 ? 13 : 17;
}

// The sizes of a declared column type as sys.columns gives them.
ColumnType columnType(const QString& declared) {
    const DeclaredType type = describeDeclaredType(declared);
    const SystemTypeRow* row = systemType(type.typeName);
    if (!row)
        return {};
    ColumnType c{row->systemTypeId, row->userTypeId, row->maxLength, row->precision, row->scale,
                 {}};
    const QString& name = type.typeName;
    if (isOneOf(name, {"decimal", "numeric"})) {
        c.precision = type.precision ? type.precision : 18;
        c.scale = type.scale;
        c.bytes = decimalBytes(c.precision);
    } else if (isOneOf(name, {"time", "datetime2", "datetimeoffset"})) {
        // The fractional seconds' scale, 7 unless declared; precision and
        // bytes follow it as the date and time pages give them.
        c.scale = type.characterLength.value_or(7);
        const int fraction = c.scale > 0 ? c.scale + 1 : 0;
        const int extra = c.scale <= 2 ? 0 : c.scale <= 4 ? 1 : 2;
        if (name == QLatin1String("time")) {
            c.precision = 8 + fraction;
            c.bytes = 3 + extra;
        } else if (name == QLatin1String("datetime2")) {
            c.precision = 19 + fraction;
            c.bytes = 6 + extra;
        } else {
            c.precision = 26 + fraction;
            c.bytes = 8 + extra;
        }
    } else if (isOneOf(name, {"varchar", "char", "nvarchar", "nchar", "varbinary", "binary"})) {
        const int length = type.characterLength.value_or(1);
        const bool national = name.startsWith(QLatin1Char('n'));
        c.bytes = length < 0 ? -1 : (national ? 2 * length : length);
        c.characters = length;
    } else if (isOneOf(name, {"text", "ntext", "sysname"})) {
        c.characters = name == QLatin1String("sysname") ? 128
                       : name == QLatin1String("text")  ? 2147483647
                                                        : 1073741823;
    }
    return c;
}

} // namespace

int declaredBytes(const QString& declared) {
    return columnType(declared).bytes;
}

int declaredPrecision(const QString& declared) {
    return columnType(declared).precision;
}

int declaredScale(const QString& declared) {
    return columnType(declared).scale;
}

namespace {

void resultInt(sqlite3_context* ctx, qint64 value) {
    sqlite3_result_int64(ctx, value);
}

// The schema a temporary object's id (negative) or a database object's id reads.
QString schemaOfId(qint64 id) {
    return id < 0 ? QStringLiteral("temp") : QStringLiteral("main");
}

// A table's name from the object id the catalogue gives it.
QString tableOfId(sqlite3* db, qint64 id) {
    return columnOf(db,
                    id < 0 ? QStringLiteral("SELECT name FROM sqlite_temp_schema WHERE rowid = -?1")
                           : QStringLiteral("SELECT name FROM sqlite_schema WHERE rowid = ?1 AND "
                                            "type IN ('table', 'view')"),
                    {QString::number(id)})
        .value(0);
}

QString lastPart(QString name) {
    name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    return name.section(QLatin1Char('.'), -1);
}

// The declared type of a column of a table (temporary tables too), or empty.
QString declaredTypeOf(sqlite3* db, const QString& table, const QString& column) {
    const bool temporary = table.startsWith(QLatin1Char('#'));
    return columnOf(db,
                    QStringLiteral("SELECT type FROM pragma_table_xinfo(?1, '%1') WHERE "
                                   "lower(name) = lower(?2) AND hidden <> 1")
                        .arg(temporary ? QStringLiteral("temp") : QStringLiteral("main")),
                    {table, column})
        .value(0);
}

using Part = int ColumnType::*;

template <Part part> void typePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const ColumnType type = columnType(textOf(argv[0]));
    if (type.id == 0)
        return sqlite3_result_null(ctx);
    resultInt(ctx, type.*part);
}

// COL_LENGTH('table', 'column'): max_length, NULL when there is no such column.
void colLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString declared =
        declaredTypeOf(db, catalogObjectName(textOf(argv[0])), textOf(argv[1]));
    if (declared.isEmpty())
        return sqlite3_result_null(ctx);
    resultInt(ctx, columnType(declared).bytes);
}

// COL_NAME(object_id, column_id)
void colName(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const qint64 id = sqlite3_value_int64(argv[0]);
    const QString table = tableOfId(db, id);
    if (table.isEmpty())
        return sqlite3_result_null(ctx);
    resultTextOrNull(ctx,
                     columnOf(db,
                              // xinfo: column ids count the computed columns, as sys.columns'.
                              QStringLiteral("SELECT name FROM pragma_table_xinfo(?1, '%1') WHERE "
                                             "cid = ?2 - 1 AND hidden <> 1")
                                  .arg(schemaOfId(id)),
                              {table, QString::number(sqlite3_value_int64(argv[1]))})
                         .value(0));
}

// The rows a table holds now, as sysindexes and sys.partitions count them.
void tableRows(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const qint64 id = sqlite3_value_int64(argv[0]);
    const QString table = tableOfId(db, id);
    if (table.isEmpty())
        return sqlite3_result_null(ctx);
    const QString count =
        columnOf(db, QStringLiteral("SELECT count(*) FROM %1.%2").arg(schemaOfId(id), quoted(table)))
            .value(0);
    sqlite3_result_int64(ctx, count.toLongLong());
}

// The identity store names the column; SQLite's own counter key (INTEGER
// PRIMARY KEY) and the numbering trigger tell it in a file made before the store.
bool isIdentityColumn(sqlite3* db, const QString& schema, const QString& table,
                      const QString& column, const QStringList& tableInfo) {
    const QString store = schema + QLatin1Char('.') + QLatin1String(identityTable);
    if (!columnOf(db,
                  QStringLiteral("SELECT 1 FROM %1.sqlite_schema WHERE type = 'table' AND name = ?1")
                      .arg(schema),
                  {QString::fromLatin1(identityTable)})
             .isEmpty())
        return !columnOf(db,
                         QStringLiteral("SELECT 1 FROM %1 WHERE table_name = ?1 AND "
                                        "lower(column_name) = lower(?2)")
                             .arg(store),
                         {table, column})
                    .isEmpty();
    const bool counter = tableInfo.value(2) == QLatin1String("1") &&
                         tableInfo.value(3) == QLatin1String("INTEGER");
    return counter ||
           !columnOf(db,
                     QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'trigger' AND "
                                    "lower(name) = lower('tsql_identity_' || ?1) AND "
                                    "instr(lower(sql), lower('NEW.\"' || ?2 || '\" IS NULL')) > 0"),
                     {table, column})
                .isEmpty();
}

// The arguments of COLUMNPROPERTY and INDEXPROPERTY: an object id, a name
// in that object and the property asked for.
struct PropertyCall {
    PropertyCall(sqlite3_context* ctx, sqlite3_value** argv)
        : db(sqlite3_context_db_handle(ctx)), id(sqlite3_value_int64(argv[0])),
          table(tableOfId(db, id)), name(textOf(argv[1])), property(textOf(argv[2]).toLower()) {}
    sqlite3* db;
    qint64 id;
    QString table;
    QString name;
    QString property;
};

// COLUMNPROPERTY(object_id, 'column', 'AllowsNull' | 'IsIdentity' | 'IsComputed' | 'Precision' |
// 'Scale' | 'ColumnId'); NULL for what it does not know.
void columnProperty(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto [db, id, table, column, property] = PropertyCall(ctx, argv);
    const QStringList row =
        table.isEmpty()
            ? QStringList()
            : columnOf(db,
                       // xinfo: computed columns are columns too, and count in ColumnId.
                       QStringLiteral("SELECT cid || '|' || \"notnull\" || '|' || pk || '|' || "
                                      "type || '|' || hidden FROM pragma_table_xinfo(?1, '%1') "
                                      "WHERE lower(name) = lower(?2) AND hidden <> 1")
                           .arg(schemaOfId(id)),
                       {table, column});
    if (row.isEmpty())
        return sqlite3_result_null(ctx);
    const QStringList parts = row.front().split(QLatin1Char('|'));
    const ColumnType type = columnType(parts.value(3));
    const QString schema = schemaOfId(id);
    // Identity columns never take NULL, though the one a trigger numbers is declared without NOT NULL.
    if (property == QLatin1String("allowsnull"))
        return resultInt(ctx, parts.value(1) == QLatin1String("1") ||
                                      isIdentityColumn(db, schema, table, column, parts)
                                  ? 0
                                  : 1);
    if (property == QLatin1String("columnid"))
        return resultInt(ctx, parts.value(0).toLongLong() + 1);
    if (property == QLatin1String("precision"))
        // The length in characters for text, the precision for numbers.
        return resultInt(ctx, type.characters.value_or(type.precision));
    if (property == QLatin1String("scale"))
        return type.characters ? sqlite3_result_null(ctx) : resultInt(ctx, type.scale);
    if (property == QLatin1String("isidentity"))
        return resultInt(ctx, isIdentityColumn(db, schema, table, column, parts) ? 1 : 0);
    if (property == QLatin1String("iscomputed"))
        return resultInt(ctx, parts.value(4) == QLatin1String("0") ? 0 : 1);
    sqlite3_result_null(ctx);
}

// INDEXPROPERTY(object_id, 'index', 'IsUnique' | 'IsClustered' | 'IndexID'): a
// primary key is the table's clustered index; every other index, unique or
// not, is nonclustered. NULL when there is no such index.
void indexProperty(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto [db, id, table, index, property] = PropertyCall(ctx, argv);
    if (table.isEmpty() || id < 0)
        return sqlite3_result_null(ctx);
    const bool primaryKey =
        !columnOf(db,
                  QStringLiteral("SELECT 1 FROM %1 WHERE kind = 'PK' AND lower(table_name) = "
                                 "lower(?1) AND lower(name) = lower(?2)")
                      .arg(QLatin1String(constraintTable)),
                  {table, index})
             .isEmpty();
    const QString sqliteIndex = table + QLatin1Char('.') + index;
    const QStringList ordinal = columnOf(
        db,
        QStringLiteral("SELECT (SELECT count(*) FROM sqlite_schema j WHERE j.type = 'index' AND "
                       "lower(j.tbl_name) = lower(i.tbl_name) AND j.rowid <= i.rowid AND "
                       "substr(lower(j.name), 1, length(j.tbl_name) + 1) = lower(j.tbl_name || "
                       "'.')) FROM sqlite_schema i WHERE i.type = 'index' AND lower(i.name) = "
                       "lower(?1)"),
        {sqliteIndex});
    if (!primaryKey && ordinal.isEmpty())
        return sqlite3_result_null(ctx);
    if (property == QLatin1String("isclustered"))
        return resultInt(ctx, primaryKey ? 1 : 0);
    if (property == QLatin1String("indexid"))
        return resultInt(ctx, primaryKey ? 1 : 1 + ordinal.front().toLongLong());
    if (property == QLatin1String("isunique")) {
        const bool unique =
            primaryKey ||
            !columnOf(db,
                      QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'trigger' AND "
                                     "lower(name) = lower('tsql_uq.' || ?1 || '.i')"),
                      {sqliteIndex})
                 .isEmpty();
        return resultInt(ctx, unique ? 1 : 0);
    }
    sqlite3_result_null(ctx);
}

// OBJECT_NAME(object_id): by the id ranges the catalogue gives each kind of object.
// The name of the object with catalogue id `id`, empty when there is none.
QString nameOfObject(sqlite3* db, qint64 id) {
    QString sql;
    qint64 rowid = id;
    if (id < 0) {
        sql = QStringLiteral("SELECT name FROM sqlite_temp_schema WHERE rowid = ?1");
        rowid = -id;
    } else if (id >= constraintIdBase) {
        sql = QStringLiteral("SELECT name FROM %1 WHERE rowid = ?1")
                  .arg(QLatin1String(constraintTable));
        rowid = id - constraintIdBase;
    } else if (id >= triggerIdBase) {
        sql = QStringLiteral("SELECT name FROM %1 WHERE rowid = ?1").arg(QLatin1String(triggerTable));
        rowid = id - triggerIdBase;
    } else if (id >= functionIdBase) {
        sql = QStringLiteral("SELECT name FROM %1 WHERE rowid = ?1")
                  .arg(QLatin1String(functionTable));
        rowid = id - functionIdBase;
    } else if (id >= procedureIdBase) {
        sql = QStringLiteral("SELECT name FROM %1 WHERE rowid = ?1")
                  .arg(QLatin1String(procedureTable));
        rowid = id - procedureIdBase;
    } else {
        sql = QStringLiteral("SELECT name FROM sqlite_schema WHERE rowid = ?1 AND type IN "
                             "('table', 'view', 'trigger')");
    }
    return columnOf(db, sql, {QString::number(rowid)}).value(0);
}

// The schema and own name of the object with catalogue id `id`; nullopt when there is none.
std::optional<SchemaQualifiedName> qualifiedNameOfObject(sqlite3* db, qint64 id) {
    if (id >= constraintIdBase) {
        // A constraint is in its table's schema; the file keeps its own name.
        const QString table =
            columnOf(db,
                     QStringLiteral("SELECT table_name FROM %1 WHERE rowid = ?1")
                         .arg(QLatin1String(constraintTable)),
                     {QString::number(id - constraintIdBase)})
                .value(0);
        if (table.isEmpty())
            return std::nullopt;
        return SchemaQualifiedName{splitStoredName(db, table).schema, nameOfObject(db, id)};
    }
    const QString stored = nameOfObject(db, id);
    if (stored.isEmpty())
        return std::nullopt;
    return splitStoredName(db, stored);
}

void objectName(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const auto name = qualifiedNameOfObject(sqlite3_context_db_handle(ctx), sqlite3_value_int64(argv[0]));
    name ? resultTextOrNull(ctx, name->name) : sqlite3_result_null(ctx);
}

void objectSchemaName(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const auto name = qualifiedNameOfObject(sqlite3_context_db_handle(ctx), sqlite3_value_int64(argv[0]));
    name ? resultTextOrNull(ctx, name->schema.name) : sqlite3_result_null(ctx);
}

// OBJECT_DEFINITION(id): the text a view, procedure, function or trigger was written
// with, a CHECK or DEFAULT constraint's expression; NULL for other objects
// (tables) and for views made before their texts were kept.
void objectDefinition(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const qint64 id = sqlite3_value_int64(argv[0]);
    if (id < 0)
        return sqlite3_result_null(ctx);
    QString sql;
    qint64 rowid = id;
    if (id >= constraintIdBase) {
        sql = QStringLiteral("SELECT definition FROM %1 WHERE rowid = ?1 AND kind IN ('C', 'D')")
                  .arg(QLatin1String(constraintTable));
        rowid = id - constraintIdBase;
    } else if (id >= triggerIdBase) {
        sql = QStringLiteral("SELECT definition FROM %1 WHERE rowid = ?1")
                  .arg(QLatin1String(triggerTable));
        rowid = id - triggerIdBase;
    } else if (id >= functionIdBase) {
        sql = QStringLiteral("SELECT definition FROM %1 WHERE rowid = ?1")
                  .arg(QLatin1String(functionTable));
        rowid = id - functionIdBase;
    } else if (id >= procedureIdBase) {
        sql = QStringLiteral("SELECT definicion FROM %1 WHERE rowid = ?1")
                  .arg(QLatin1String(procedureTable));
        rowid = id - procedureIdBase;
    } else {
        sql = QStringLiteral("SELECT d.definition FROM sqlite_schema AS m JOIN %1 AS d ON d.name "
                             "= m.name WHERE m.rowid = ?1 AND m.type = 'view'")
                  .arg(QLatin1String(viewTable));
    }
    resultTextOrNull(ctx, columnOf(db, sql, {QString::number(rowid)}).value(0));
}

// TYPE_ID('name'), TYPE_NAME(id): the system types' user_type_id.
void typeId(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const SystemTypeRow* row = isNullValue(argv[0]) ? nullptr : systemType(lastPart(textOf(argv[0])));
    row ? resultInt(ctx, row->userTypeId) : sqlite3_result_null(ctx);
}

void typeName(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (!isNullValue(argv[0]))
        for (const SystemTypeRow& row : systemTypes)
            if (row.userTypeId == sqlite3_value_int64(argv[0]))
                return resultTextOrNull(ctx, QString::fromLatin1(row.name));
    sqlite3_result_null(ctx);
}

// A name looked up by id in `rows`, and back; without an argument, the
// default schema (or user) of the session: dbo.
void nameOfId(sqlite3_context* ctx, int argc, sqlite3_value** argv, std::span<const SchemaRow> rows) {
    if (argc > 0 && isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const qint64 id = argc > 0 ? sqlite3_value_int64(argv[0]) : 1;
    for (const SchemaRow& row : rows)
        if (row.schemaId == id)
            return resultTextOrNull(ctx, QString::fromLatin1(row.name));
    sqlite3_result_null(ctx);
}

// SCHEMA_NAME([id]), SCHEMA_ID([name]): the fixed schemas and those CREATE SCHEMA made.
void schemaName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc > 0 && isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const auto schema = schemaWithId(sqlite3_context_db_handle(ctx),
                                     argc > 0 ? sqlite3_value_int64(argv[0]) : 1);
    schema ? resultTextOrNull(ctx, schema->name) : sqlite3_result_null(ctx);
}

void userName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    nameOfId(ctx, argc, argv, users);
}

void schemaId(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc > 0 && isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const QString name = argc > 0 ? textOf(argv[0]) : QStringLiteral("dbo");
    const auto schema = schemaNamed(sqlite3_context_db_handle(ctx), name);
    schema ? resultInt(ctx, schema->schemaId) : sqlite3_result_null(ctx);
}

// tsql_db_id(databases, current [, name]) and tsql_db_name(databases,
// current [, id]): `databases` is the session's JSON list of database names,
// whose position is the database_id less one.
QStringList databaseList(sqlite3_value* value) {
    QStringList names;
    for (const auto& name : QJsonDocument::fromJson(textOf(value).toUtf8()).array())
        names << name.toString();
    return names;
}

void databaseId(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc > 2 && isNullValue(argv[2]))
        return sqlite3_result_null(ctx);
    const QString name = textOf(argv[argc > 2 ? 2 : 1]);
    const QStringList names = databaseList(argv[0]);
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return resultInt(ctx, i + 1);
    sqlite3_result_null(ctx);
}

void dbNameFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 3)
        return resultTextOrNull(ctx, textOf(argv[1]));
    if (isNullValue(argv[2]))
        return sqlite3_result_null(ctx);
    const QStringList names = databaseList(argv[0]);
    const qint64 id = sqlite3_value_int64(argv[2]);
    if (id < 1 || id > names.size())
        return sqlite3_result_null(ctx);
    resultTextOrNull(ctx, names[id - 1]);
}

const FunctionRegistration catalogRegistrations[] = {
    {"tsql_system_type_id", 1, guarded<typePart<&ColumnType::id>>},
    {"tsql_user_type_id", 1, guarded<typePart<&ColumnType::userId>>},
    {"tsql_column_bytes", 1, guarded<typePart<&ColumnType::bytes>>},
    {"tsql_type_precision", 1, guarded<typePart<&ColumnType::precision>>},
    {"tsql_type_scale", 1, guarded<typePart<&ColumnType::scale>>},
    {"tsql_col_length", 2, guarded<colLength>},
    {"tsql_col_name", 2, guarded<colName>},
    {"tsql_table_rows", 1, guarded<tableRows>},
    {"tsql_columnproperty", 3, guarded<columnProperty>},
    {"tsql_indexproperty", 3, guarded<indexProperty>},
    {"tsql_object_name", 1, guarded<objectName>},
    {"tsql_object_definition", 1, guarded<objectDefinition>},
    {"tsql_object_schema_name", 1, guarded<objectSchemaName>},
    {"tsql_type_id", 1, guarded<typeId>},
    {"tsql_type_name_of_id", 1, guarded<typeName>},
    {"tsql_schema_name", 0, guarded<schemaName>},
    {"tsql_schema_name", 1, guarded<schemaName>},
    {"tsql_schema_id", 0, guarded<schemaId>},
    {"tsql_schema_id", 1, guarded<schemaId>},
    {"tsql_user_name", 1, guarded<userName>},
    {"tsql_db_id", 2, guarded<databaseId>},
    {"tsql_db_id", 3, guarded<databaseId>},
    {"tsql_db_name", 2, guarded<dbNameFunction>},
    {"tsql_db_name", 3, guarded<dbNameFunction>},
};

} // namespace

std::span<const SystemTypeRow> systemTypeRows() {
    return systemTypes;
}

std::span<const SchemaRow> schemaRows() {
    return schemas;
}

void registerCatalogFunctions(sqlite3* db) {
    for (const FunctionRegistration& r : catalogRegistrations)
        registerOne(db, r);
    registerUserSchemaFunctions(db);
}

} // namespace estaciones::db::tsql
