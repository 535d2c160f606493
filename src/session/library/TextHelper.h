#pragma once

#include "platform/core/Error.h"
#include "platform/core/Variant.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace estaciones::library {

// The shared library's text helper object: the small text services that every
// part of the suite calls. Stateless; share the instance of textHelper().
// Its window call needs widgets and lives in WindowPreparation.h.
class TextHelper {
public:
    // cut: the text cut to at most `maxLength` characters (none when negative).
    QString cut(const QString& text, qsizetype maxLength) const;

    // text to decimal: a fixed-point number with four decimals; "12,5" and
    // "12.5" are both 12.5. Empty, blank or non-numeric text reads as 0.
    Currency toDecimal(const QString& text) const;

    // text to integer: decimal text rounded half to even ("12.5" is 12, "13.5"
    // is 14) or "&H" + hex digits + "&" ("&H0000FF00&" is 65280). Empty,
    // blank, non-numeric or out-of-range text reads as 0.
    std::int32_t toInteger(const QString& text) const;

    // null handling: Null becomes an empty text; any other value is unchanged.
    Variant nullToEmpty(const Variant& value) const;

    // word count: the number of words separated by blanks (tabs and line
    // ends count as blanks).
    int wordCount(const QString& text) const;

    // remove characters: the text without any occurrence of `character`.
    QString removeCharacter(const QString& text, QChar character) const;

    // replace: every occurrence of `oldText` replaced by `newText`, letter
    // case respected. An empty `oldText` leaves the text unchanged.
    QString replace(const QString& text, const QString& oldText, const QString& newText) const;

    // replace in statement: the table `name` renamed in a SQL statement,
    // ignoring case, whole names only, never inside literals.
    QString replaceInStatement(const QString& statement, const QString& name,
                               const QString& newName) const;

    // pad: the trimmed text right-aligned with blanks in `width` characters
    // (till "1" in 4 is "   1"). A longer text is kept whole, never cut: a
    // code that does not fit must not turn into another code. Without a
    // width, the trimmed text.
    QString pad(const QString& text, std::optional<int> width = std::nullopt) const;

    // error dialog: shows the error and the routine with Abort, Retry and
    // Ignore; returns 4 (retry), 5 (ignore) or 3 (abort).
    int errorDialog(const Error& error, const QString& routine) const;

    // encode, decode: the reversible encoding of ReversibleEncoding.h.
    QString encode(const QString& text) const;
    QString decode(const QString& encoded) const;

    // folder: the path ending in "/"; a final "\" (a path written on
    // Windows) becomes "/". An empty path stays empty rather than becoming
    // the root folder.
    QString folder(const QString& path) const;
};

} // namespace estaciones::library
