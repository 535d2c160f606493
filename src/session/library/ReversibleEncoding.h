#pragma once

#include <QString>

namespace estaciones::library {

// The text helper's reversible encoding, used for the database user and
// password kept in the workstation's INI file. It hides them from a casual
// look; it is not encryption.
//
// Scheme (fixed, so that files written by one station read on another): each
// UTF-16 unit of the text is XOR-ed with a key that depends on its position,
// key(i) = 0x5A3C + 0x0755 * i (mod 2^16), and written as four uppercase hex
// digits. Only [0-9A-F] appears, so the result survives an INI file (no "=",
// ";", "[", "|", blanks or accents) and any code page. Every text, accents and
// lone surrogates included, comes back unchanged: decode(encode(t)) == t.
QString encodeText(const QString& text);

// The inverse of encodeText. A text that is not a valid encoding (a value
// typed by hand into the INI file, say) comes back unchanged.
QString decodeText(const QString& encoded);

} // namespace estaciones::library
