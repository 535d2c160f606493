#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"
#include "platform/db/embedded/storage/SqlValue.h"
#include "platform/db/embedded/storage/StoredDate.h"

#include <QDateTime>

#include <optional>

namespace estaciones::db::tsql {

// CONVERT(type, value[, style]) and CAST(value AS type). `typeName` is the
// T-SQL type as written ("varchar(10)", "datetime", "decimal(18, 2)").
// Throws ConversionError where SQL Server fails (241 for a bad date, 245/8114
// for a bad number).
// `sourceType`, where the caller knows it, is the value's declared type: it
// tells nvarchar text (two bytes a character in binary) and the width of an
// integer type.
SqlValue convertValue(const QString& typeName, const SqlValue& value, std::optional<int> style,
                      const DialectSettings& settings, const QString& sourceType = {});

// The value read as a date (text in any literal form, or a number of days
// since 1 January 1900); nullopt when it is not one.
std::optional<PreciseDateTime> valueAsDate(const SqlValue& value, DateOrder order);

// The value read as a number: text is trimmed and must be a whole literal.
std::optional<SqlValue> valueAsNumber(const SqlValue& value);

// 8115 when `value` does not fit money or smallmoney (`typeName`).
void checkMoneyRange(double value, const QString& typeName);
// ROUND(x, digits): halves away from zero; negative digits round to tens, hundreds...
double roundHalfAwayFromZero(double value, int digits);

// STR(x, length, decimals): right aligned, '*' * length when it does not fit.
QString strFunction(double value, int length, int decimals);

} // namespace estaciones::db::tsql
