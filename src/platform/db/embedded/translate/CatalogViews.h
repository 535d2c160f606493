#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"

#include <QString>

// The catalogue views as queries over SQLite's own catalogue and the
// engine's tables of constraints and procedures, with the columns and type
// codes the server documents for each.
namespace estaciones::db::tsql::catalog_views {

// sys.<view>: objects, tables, views, procedures, columns, types, schemas,
// databases, indexes, index_columns, foreign_keys, foreign_key_columns,
// check_constraints, default_constraints, key_constraints. Empty for a view
// it does not know.
QString systemView(const QString& view, const DialectSettings& settings);
// sys.schemas: the fixed schemas and those CREATE SCHEMA made.
QString sysSchemas(const DialectSettings& settings);
// The old views: sysobjects, syscolumns, sysconstraints, sysindexes, systypes,
// sysdatabases; empty for others.
QString compatibilityView(const QString& view, const DialectSettings& settings);
// The temporary tables, as tempdb..sysobjects lists them.
QString temporarySysobjects();
// INFORMATION_SCHEMA.<view>: TABLES, VIEWS, COLUMNS, ROUTINES, PARAMETERS,
// TABLE_CONSTRAINTS, KEY_COLUMN_USAGE, REFERENTIAL_CONSTRAINTS,
// CHECK_CONSTRAINTS, CONSTRAINT_COLUMN_USAGE, CONSTRAINT_TABLE_USAGE,
// VIEW_TABLE_USAGE, VIEW_COLUMN_USAGE, COLUMN_DOMAIN_USAGE, SCHEMATA. Empty
// for a view it does not know.
QString informationSchemaView(const QString& view, const DialectSettings& settings);

// sys.extended_properties, and the rows of fn_listextendedproperty for its
// seven arguments as SQL expressions (NULL for DEFAULT).
QString extendedPropertiesView();
QString listedExtendedProperties(const QStringList& arguments);

// What the views share.
namespace sql {
// The rows of sqlite_schema `alias` that are objects of the user, not the engine's.
QString userObject(const char* alias);
// The object id of the table named by the SQL expression `name`.
QString tableId(const QString& name);
// A comma list of names (the constraint table's columns) as a JSON array,
// for json_each.
QString listAsJson(const QString& list);
// A constraint kind's server type code, char(2) as sys.objects gives it.
QString paddedType(const QString& code);
} // namespace sql

} // namespace estaciones::db::tsql::catalog_views
