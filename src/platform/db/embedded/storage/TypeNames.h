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
//  - money, smallmoney, decimal and numeric get " blob" ("money blob"), which
//    gives them no affinity: with the numeric affinity of a plain "money", a
//    value of more than 15 significant digits would turn into a double before
//    the column's store trigger could see it, and be kept rounded;
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

// money, smallmoney, decimal or numeric (a DeclaredType's typeName).
bool isExactNumberTypeName(const QString& typeName);

// The declared type a T-SQL column type becomes in SQLite (see above).
QString sqliteDeclaredType(const QString& tsqlType);
// A declared type without the affinity word sqliteDeclaredType gave a money
// or decimal type: "decimal(18,2) blob" → "decimal(18,2)".
QString withoutStoredAffinity(const QString& declared);
// That declared type as a column definition writes it: quoted where SQLite's
// type names cannot hold it ("varchar(max)", "datetime2(3) text").
QString sqliteColumnType(const QString& declaredType);

} // namespace estaciones::db::tsql
