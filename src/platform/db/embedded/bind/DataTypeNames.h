#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// Whether `name` (any case, without size) is a data type the server
// defines: a system type of sys.types, or a name it reads as one
// (integer, character, dec, rowversion). The engine keeps no user types:
// CREATE TYPE is refused.
bool isDataTypeName(const QString& name);

// The first type in `tokens` that is no data type, as the server refuses
// it when it compiles the batch: 243 for the type of a CAST or CONVERT
// (and their TRY_ forms), 2715 for a variable's in DECLARE and a column's in
// CREATE TABLE, DECLARE @t TABLE and ALTER TABLE ... ADD, numbered by its
// place in the list. SQLite takes any word as a column's type, and the
// conversions would give the value back unconverted.
std::optional<ProviderError> unknownDataTypeError(const tsql::Tokens& tokens);

// "datetime" or "smalldatetime" for a declaration of either ("datetime
// text" as the file keeps it): the types whose text is style 0 by default
// and whose number is their days since 1900. Nothing for any other type.
std::optional<QString> dateTimeTypeOf(const std::optional<QString>& declared);

} // namespace estaciones::db::sqlite
