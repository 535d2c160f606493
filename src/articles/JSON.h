#pragma once

#include "platform/core/Variant.h"

#include <QString>

#include <memory>

namespace estaciones {

// Reads a JSON text leniently (single quotes, unquoted keys, /* */ comments and
// missing commas are accepted) into a JsonDictionary or JsonCollection whose
// values are Variants: text, exact numbers (see jsonNumber), Boolean, Null,
// nested containers. Never throws: problems go to ErroresJson(), and reading
// goes on past a value that failed to read (False for a misspelt Boolean,
// Empty for anything else). Returns nullptr, with
// ErroresJson() == "Invalid JSON", when the text does not open with "{" or "[";
// also nullptr, with a line that says so, for a text longer than
// JsonReader::MaxLength.
std::shared_ptr<VariantObject> LeerJson(const QString& text);

// The problems of the last LeerJson on this thread, one line each ended by
// CR LF ("Invalid JSON" alone has no line end); empty when there were none.
const QString& ErroresJson();

} // namespace estaciones
