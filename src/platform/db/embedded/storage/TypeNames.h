#pragma once

#include <QString>

#include <optional>

namespace estaciones::db::tsql {

// A column type as T-SQL wrote it and as the SQLite schema keeps it.
//
// Declared types in translated tables are the T-SQL ones in lower case
// ("varchar(50)", "money", "bit"), except:
//  - date and time types get " text" ("datetime text") so that SQLite gives
//    them text affinity: with the numeric affinity of a plain "datetime",
//    '20250314' would turn into a number and stop comparing as a date;
//  - an IDENTITY primary key is "INTEGER" (upper case, SQLite's rowid alias).
struct DeclaredType {
    QString typeName;                   // T-SQL name, lower case: "varchar", "datetime"
    std::optional<int> characterLength; // varchar(n) → n; max → -1
    int precision = 0;                  // decimal(p, s)
    int scale = 0;
    int adoType = 200;      // ADO DataTypeEnum (adVarChar by default)
    qint64 definedSize = 0; // ADO DefinedSize
    bool identity = false;
    bool isText = false;
    bool isDate = false;
};

// Reads a declared type (sqlite3_column_decltype or PRAGMA table_info's type).
DeclaredType describeDeclaredType(const QString& declared);

// The declared type a T-SQL column type becomes in SQLite (see above).
QString sqliteDeclaredType(const QString& tsqlType);

} // namespace estaciones::db::tsql
