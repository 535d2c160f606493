#pragma once

#include <QString>
#include <QStringList>

// The statements that keep the catalogue's text of the computed columns
// (sys.computed_columns' definition) beside the tables: SQLite keeps only
// their translation. Each list starts by making the table where it is missing.
namespace estaciones::db::tsql::schema {

// `persisted`: declared PERSISTED (SQLite stores only the columns a table is made with).
QStringList recordComputedDefinition(const QString& table, const QString& column,
                                     const QString& definition, bool persisted);
// Those of `table`, or of its `column` alone.
QStringList forgetComputedDefinitions(const QString& table, const QString& column = {});
QStringList renameComputedDefinitionsTable(const QString& table, const QString& newTable);
QStringList renameComputedDefinitionColumn(const QString& table, const QString& column,
                                           const QString& newColumn);

} // namespace estaciones::db::tsql::schema
