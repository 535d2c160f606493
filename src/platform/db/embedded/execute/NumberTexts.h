#pragma once

#include "platform/core/Variant.h"
#include "platform/db/Engine.h"

#include <QString>

namespace estaciones::db::sqlite {

// A number's digits as FOR JSON and FOR XML write them: money with its four
// decimals, a decimal at its column's scale, other numbers as they are. The
// caller writes a bit column's value its own way first.
QString numberText(const Variant& value, const ColumnInfo& column);

} // namespace estaciones::db::sqlite
