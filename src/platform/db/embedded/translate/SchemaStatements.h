#pragma once

#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/storage/DialectSettings.h"

#include <QStringList>

#include <optional>

// Schema statements (CREATE TABLE/INDEX/VIEW, ALTER TABLE/VIEW, DROP INDEX,
// TRUNCATE, SELECT ... INTO), each giving the SQLite statements that do the
// same. nullopt when the pieces are not that statement.
namespace estaciones::db::tsql::schema {

std::optional<QStringList> createTable(Pieces pieces, const DialectSettings& settings);
std::optional<QStringList> alterTable(Pieces pieces, const DialectSettings& settings);
std::optional<QStringList> createIndex(Pieces pieces, const DialectSettings& settings);
std::optional<QStringList> dropIndex(Pieces pieces);
std::optional<QStringList> createOrAlterView(Pieces pieces, const DialectSettings& settings);
std::optional<QStringList> truncateTable(Pieces pieces);
std::optional<QStringList> selectInto(Pieces pieces, const DialectSettings& settings);

// How an index of `table` called `index` is named in SQLite, where index
// names are per database rather than per table.
QString indexName(const QString& table, const QString& index);

} // namespace estaciones::db::tsql::schema
