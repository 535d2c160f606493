#include "platform/db/embedded/catalog/SchemaRowsets.h"

#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/StoredValues.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

bool passes(const std::vector<Variant>& restrictions, std::size_t index, const QString& value) {
    if (index >= restrictions.size() || restrictions[index].isEmpty() ||
        restrictions[index].isNull()) {
        return true;
    }
    return restrictions[index].toString().compare(value, Qt::CaseInsensitive) == 0;
}

ColumnInfo textColumn(const char* name) {
    ColumnInfo column;
    column.name = QString::fromLatin1(name);
    column.type = adtype::VarWChar;
    column.definedSize = 128;
    return column;
}

ColumnInfo numberColumn(const char* name, int type) {
    ColumnInfo column;
    column.name = QString::fromLatin1(name);
    column.type = type;
    column.definedSize = 4;
    return column;
}

QString columnText(sqlite3_stmt* statement, int index) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, index)));
}

struct TableEntry {
    QString stored; // the file's name ("ventas.t" for a schema's table)
    QString schema;
    QString name;
    QString type; // TABLE or VIEW
};

std::vector<TableEntry> userTables(SqliteDatabase& database) {
    PreparedStatement query(database.handle(),
                            QStringLiteral("SELECT name, upper(type) FROM sqlite_master WHERE "
                                           "type IN ('table','view') ORDER BY name"));
    std::vector<TableEntry> tables;
    while (query.ok() && query.step() == SQLITE_ROW) {
        const QString name = columnText(query.handle(), 0);
        if (!isInternalTable(name)) {
            const tsql::SchemaQualifiedName owned = tsql::splitStoredName(database.handle(), name);
            tables.push_back({name, owned.schema.name, owned.name, columnText(query.handle(), 1)});
        }
    }
    return tables;
}

} // namespace

ResultSet tablesRowset(SqliteDatabase& database, const std::vector<Variant>& restrictions) {
    ResultSet rowset;
    rowset.columns = {textColumn("TABLE_CATALOG"), textColumn("TABLE_SCHEMA"),
                      textColumn("TABLE_NAME"), textColumn("TABLE_TYPE")};
    for (const TableEntry& table : userTables(database)) {
        if (passes(restrictions, 0, database.name()) && passes(restrictions, 1, table.schema) &&
            passes(restrictions, 2, table.name) && passes(restrictions, 3, table.type)) {
            rowset.rows.push_back({database.name(), table.schema, table.name, table.type});
        }
    }
    return rowset;
}

ResultSet columnsRowset(SqliteDatabase& database, const std::vector<Variant>& restrictions) {
    ResultSet rowset;
    rowset.columns = {textColumn("TABLE_CATALOG"),
                      textColumn("TABLE_SCHEMA"),
                      textColumn("TABLE_NAME"),
                      textColumn("COLUMN_NAME"),
                      numberColumn("ORDINAL_POSITION", adtype::Integer),
                      numberColumn("COLUMN_HASDEFAULT", adtype::Boolean),
                      textColumn("COLUMN_DEFAULT"),
                      numberColumn("IS_NULLABLE", adtype::Boolean),
                      numberColumn("DATA_TYPE", adtype::UnsignedTinyInt),
                      numberColumn("CHARACTER_MAXIMUM_LENGTH", adtype::Integer),
                      numberColumn("NUMERIC_PRECISION", adtype::SmallInt),
                      numberColumn("NUMERIC_SCALE", adtype::SmallInt)};
    if (!passes(restrictions, 0, database.name())) {
        return rowset;
    }
    for (const TableEntry& table : userTables(database)) {
        if (!passes(restrictions, 1, table.schema) || !passes(restrictions, 2, table.name)) {
            continue;
        }
        // The default's text is its constraint's, as the server keeps it;
        // SQLite's is the translated one.
        PreparedStatement info(
            database.handle(),
            QStringLiteral("SELECT p.cid, p.name, p.type, p.\"notnull\", p.dflt_value, p.pk, "
                           "(SELECT d.definition FROM %1 d WHERE d.kind = 'D' AND "
                           "lower(d.table_name) = lower(?1) AND lower(d.columns) = "
                           "lower(p.name)) FROM pragma_table_xinfo(?1) p WHERE p.hidden <> 1")
                .arg(QLatin1String(tsql::constraintTable)));
        info.bindText(1, table.stored);
        while (info.ok() && info.step() == SQLITE_ROW) {
            sqlite3_stmt* row = info.handle();
            const QString column = columnText(row, 1);
            if (!passes(restrictions, 3, column)) {
                continue;
            }
            const ColumnInfo type = columnInfoFromDeclaration(column, columnText(row, 2));
            const bool hasDefault = sqlite3_column_type(row, 4) != SQLITE_NULL;
            const bool isText = type.type == adtype::VarChar || type.type == adtype::Char ||
                                type.type == adtype::VarWChar || type.type == adtype::WChar ||
                                type.type == adtype::LongVarChar ||
                                type.type == adtype::LongVarWChar;
            rowset.rows.push_back(
                {database.name(), table.schema, table.name, column,
                 static_cast<long long>(sqlite3_column_int(row, 0) + 1), hasDefault,
                 sqlite3_column_type(row, 6) != SQLITE_NULL ? Variant(columnText(row, 6))
                                                             : Variant::null(),
                 sqlite3_column_int(row, 3) == 0 && sqlite3_column_int(row, 5) == 0, type.type,
                 isText ? Variant(static_cast<long long>(type.definedSize)) : Variant::null(),
                 type.type == adtype::Numeric ? Variant(type.precision) : Variant::null(),
                 type.type == adtype::Numeric ? Variant(type.numericScale) : Variant::null()});
        }
    }
    return rowset;
}

} // namespace estaciones::db::sqlite
