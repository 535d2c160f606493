#pragma once

#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <functional>

namespace estaciones::db::sqlite {

// What a statement's text becomes on one database, worked out once and then
// reused while nothing it depends on changed: the schema (any DDL, also by
// another station, and rollbacks; see SqliteDatabase::schemaStamp) and the
// dialect settings the translator reads. `kind` tells apart the different
// things derived from the same text. What `derive` throws is not kept.
using DerivedTexts = SqliteDatabase::DerivedTexts;
DerivedTexts derivedTexts(SqliteDatabase& database, QChar kind, const QString& text,
                          const std::function<DerivedTexts()>& derive);

// The statements `text` translates to on this database's dialect settings,
// translated once for the batch's compile step and its run alike.
QStringList translatedStatements(SqliteDatabase& database, const QString& text);

// The key of `text` in database.derivedTexts(), for a caller that only
// notes whether it met the text before (a batch that compiled).
QString derivedTextKey(SqliteDatabase& database, QChar kind, const QString& text);

} // namespace estaciones::db::sqlite
