#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <algorithm>
#include <cstddef>

namespace estaciones::db::tsql {

// Whether the name at `name`, followed by '(', is no call of a built-in: the
// table or view a statement names (CREATE TABLE format (...), INSERT INTO
// space (a), INSERT len (a)), a common table expression's column list, a
// type (CAST(x AS char(10))), a schema's object (dbo.len(...) is a user's
// function), the table of CREATE INDEX i ON format (a). Of tokens or of the
// translator's pieces.
template <class Sequence> bool namesAnObjectBeforeParenthesis(const Sequence& tokens, std::size_t name) {
    if (name == 0) {
        return false;
    }
    const Token& before = tokens[name - 1];
    if (before.isPunctuation(u".")) {
        return true;
    }
    static const char16_t* const words[] = {u"TABLE", u"INTO",     u"REFERENCES", u"VIEW",
                                            u"FUNCTION", u"PROCEDURE", u"PROC",   u"TRIGGER",
                                            u"INDEX", u"INSERT",   u"MERGE",      u"WITH",
                                            u"AS"};
    for (const char16_t* word : words) {
        if (before.isWord(word)) {
            return true;
        }
    }
    if (before.isWord(u"ON")) {
        return std::any_of(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(name),
                           [](const Token& t) { return t.isWord(u"INDEX"); });
    }
    return false;
}

} // namespace estaciones::db::tsql
