#pragma once

#include "platform/core/Variant.h"
#include "platform/db/Engine.h"

#include <QString>

namespace estaciones::db::sqlite {

// The texts FOR XML writes, shared by its modes.

// The text as an XML name, what a name cannot hold written _xHHHH_ (RAW and
// AUTO name their elements and attributes so).
QString encodedXmlName(const QString& name);

// The text escaped for an element's content or, with `attribute`, for an
// attribute's value between double quotes.
QString escapedXml(const QString& text, bool attribute);

// A value's text in the XML, not yet escaped: numbers as NumberTexts writes
// them, bit as 0 or 1, dates in ISO 8601, binary in base64 when
// `binaryBase64` (refused otherwise, as is a float: their texts differ).
QString xmlValueText(const Variant& value, const ColumnInfo& column, bool binaryBase64);

bool isNullValue(const Variant& value);

// The string value of XML FOR XML wrote (what value('.', ...) reads): its
// texts joined, unescaped, without tags, comments or processing instructions.
QString xmlStringValue(const QString& xml);

} // namespace estaciones::db::sqlite
