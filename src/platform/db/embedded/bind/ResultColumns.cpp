#include "platform/db/embedded/bind/ResultColumns.h"

#include "platform/db/embedded/bind/InheritedDeclarations.h"
#include "platform/db/embedded/storage/StoredValues.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

namespace estaciones::db::sqlite {

namespace {

// A column without a declaration (an expression): typed from its first value.
ColumnInfo columnInfoFromValue(const QString& name, sqlite3_stmt* statement, int index) {
    ColumnInfo info;
    info.name = name;
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
        info.type = adtype::Integer;
        info.definedSize = 4;
        break;
    case SQLITE_FLOAT:
        info.type = adtype::Double;
        info.definedSize = 8;
        break;
    case SQLITE_BLOB:
        // 0x41, CONVERT(varbinary, ...): varbinary values.
        info.type = adtype::VarBinary;
        info.definedSize = 8000;
        break;
    case SQLITE_TEXT: {
        // MAX(Fecha), DATEADD(...): SQL Server types these as dates, and
        // dates are the only text stored in this exact form.
        static const QRegularExpression storedDateForm(
            QStringLiteral("^\\d{4}-\\d{2}-\\d{2}( \\d{2}:\\d{2}:\\d{2}(\\.\\d{1,7})?)?$"));
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, index)));
        if (const auto match = storedDateForm.match(text); match.hasMatch()) {
            // A date column keeps the day alone (EOMONTH, DATEFROMPARTS give one too).
            const bool dayOnly = match.captured(1).isEmpty();
            info.type = dayOnly ? adtype::DBDate : adtype::DBTimeStamp;
            info.definedSize = dayOnly ? 3 : 8;
            // A datetime keeps three digits of a second; seconds without a
            // fraction are a datetime2(0) (or a smalldatetime, printed alike).
            const int digits = std::max(static_cast<int>(match.capturedLength(2)) - 1, 0);
            if (!dayOnly && digits != 3) {
                setDatePrecision(info, tsql::DateKind::DateTime2, digits);
            }
            break;
        }
        info.type = adtype::VarChar;
        info.definedSize = 8000;
        break;
    }
    default:
        info.type = adtype::VarChar;
        info.definedSize = 8000;
        break;
    }
    return info;
}

} // namespace

std::vector<ColumnInfo> describeColumns(sqlite3_stmt* statement, bool* typedByValue) {
    std::vector<ColumnInfo> columns;
    if (typedByValue) {
        *typedByValue = false;
    }
    const int count = sqlite3_column_count(statement);
    InheritedDeclarations inherited(statement);
    for (int i = 0; i < count; ++i) {
        const char* origin = sqlite3_column_origin_name(statement, i);
        const QString name = !origin && inherited.isUnnamed(i)
                                 ? QString()
                                 : QString::fromUtf8(sqlite3_column_name(statement, i));
        // SQLite declares the first query's column of a UNION: the typing
        // looks at them all, and gives a plain column its declaration.
        const char* declared = sqlite3_column_decltype(statement, i);
        std::optional<QString> declaration = inherited.of(i);
        if (!declaration && declared) {
            declaration = QString::fromUtf8(declared);
        }
        if (!declaration && typedByValue) {
            *typedByValue = true;
        }
        ColumnInfo info = declaration ? columnInfoFromDeclaration(name, *declaration)
                                      : columnInfoFromValue(name, statement, i);
        const char* table = sqlite3_column_table_name(statement, i);
        if (table && origin) {
            info.baseTable = QString::fromUtf8(table);
            info.baseColumn = QString::fromUtf8(origin);
            int notNull = 0;
            int primaryKey = 0;
            int autoIncrement = 0;
            if (sqlite3_table_column_metadata(
                    sqlite3_db_handle(statement), sqlite3_column_database_name(statement, i), table,
                    origin, nullptr, nullptr, &notNull, &primaryKey, &autoIncrement) == SQLITE_OK) {
                info.nullable = !notNull && !primaryKey;
                info.identity = autoIncrement != 0;
            }
        }
        columns.push_back(std::move(info));
    }
    return columns;
}

} // namespace estaciones::db::sqlite
