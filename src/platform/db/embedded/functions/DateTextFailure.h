#pragma once

#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/SqlValue.h"

namespace estaciones::db::tsql {

// The error of a text that gave no date of type `target`: for datetime, a
// text written as a date ('2024-02-30', '12/31/2008' read day first) whose
// day or month does not exist is out of range (242); any other text, and
// any text for the other date types, is no date at all (241).
ConversionError dateTextFailure(const QString& text, DateKind target);

} // namespace estaciones::db::tsql
