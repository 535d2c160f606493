#pragma once

#include "platform/core/Variant.h"
#include "platform/db/Engine.h"

#include <QString>

namespace estaciones::db::sqlite {

// A date or time in ISO 8601, as FOR JSON and FOR XML write it: the sqlcmd
// text with a 'T' between the date and the time, its fraction without the
// zeros that end it.
QString isoDateText(const Variant& value, const ColumnInfo& column);

} // namespace estaciones::db::sqlite
