#pragma once

#include <QString>
#include <QStringList>

// The SQLite statements that enforce a CHECK, FOREIGN KEY, PRIMARY KEY or
// UNIQUE constraint (or a unique index) as the server does: triggers that
// fail with 547, 2601 or 2627 naming the constraint, a row per constraint
// in the engine's constraint table (whether it is enabled and trusted), and
// a first statement that refuses existing rows which break it (547, 1505).
// SQLite cannot add constraints to a table it has, and its own ones name
// neither the constraint nor the duplicate value; triggers can.
namespace estaciones::db::tsql::schema {

// A temporary table (#t) keeps its triggers in SQLite's temp schema.
bool isTemporaryTable(const QString& table);
// "CREATE TRIGGER " or, on a temporary table, "CREATE TEMP TRIGGER ".
QString createTriggerPrefix(const QString& table);

struct CheckConstraint {
    QString table;
    QString name;
    QString expression; // translated
    QString column;     // the one column it reads, or empty
    QString definition; // as written, for the catalogue
    bool systemNamed = false; // written without a name: the engine named it
};

struct ForeignKey {
    QString table;
    QString name;
    QStringList columns;
    QString referencedTable;
    QStringList referencedColumns;
    QString onDelete = QStringLiteral("NO ACTION"); // CASCADE, SET NULL, SET DEFAULT
    QString onUpdate = QStringLiteral("NO ACTION");
    bool systemNamed = false;
};

struct UniqueKey {
    QString table;
    QString name;
    QStringList columns;
    enum class Kind { Index, PrimaryKey, UniqueConstraint } kind = Kind::Index;
    QString filter;            // translated WHERE of a filtered index
    bool keptBySqlite = false; // a primary key SQLite itself keeps in the table
    bool recordOnly = false;   // kept by the rowid alias (an identity key): only listed
    bool systemNamed = false;
};

struct DefaultConstraint {
    QString table;
    QString name;
    QString column;
    QString definition; // as written, for the catalogue
    bool systemNamed = false;
};

QStringList checkStatements(const CheckConstraint& check, bool checkExistingRows);
QStringList foreignKeyStatements(const ForeignKey& key, bool checkExistingRows);
QStringList uniqueStatements(const UniqueKey& key);
// A default lives in the column (or its trigger); the constraint table lists it by name.
QStringList defaultStatements(const DefaultConstraint& constraint);

// The engine's constraint table, made where it is missing.
QString constraintTableDefinition();
// A statement that evaluates `query` (one column, calling functions that
// fail or change the schema) and returns no rows.
QString callingStatement(const QString& query);
// What DROP TABLE runs before dropping `table`: 3726 while a foreign key of
// another table references it; its own foreign keys' triggers on the tables
// they reference go, and the texts of its computed columns.
QStringList beforeDropTable(const QString& table);

// The triggers of a unique index that DROP INDEX removes with it.
QStringList dropUniqueTriggers(const QString& table, const QString& index);
// What enforces constraint `name` of `table`: its triggers and its index.
QStringList dropConstraintObjects(const QString& table, const QString& name);

// A name for a constraint written without one, in the server's pattern
// (PK__T__…, CK__T__col__…), stable for the same table and text.
QString generatedName(const QString& prefix, const QString& table, const QString& column,
                      const QString& text);

} // namespace estaciones::db::tsql::schema
