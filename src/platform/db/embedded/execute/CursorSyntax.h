#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace estaciones::db::sqlite {

// How DECLARE CURSOR, SET @c = CURSOR, OPEN, CLOSE, DEALLOCATE and FETCH read.

// What a cursor sees of the changes made after its OPEN.
enum class CursorSensitivity {
    Static,  // a copy made at OPEN
    Keyset,  // the rows of OPEN, their current values; a deleted row is missing (-2)
    Dynamic, // the rows of OPEN that still qualify, their current values
};

struct CursorOptions {
    bool global = true; // the server's 'default to local cursor' is off
    CursorSensitivity sensitivity = CursorSensitivity::Dynamic;
    bool scrollable = false; // every FETCH direction, not only NEXT
    bool readOnly = false;   // no WHERE CURRENT OF
    QStringList updatableColumns; // FOR UPDATE OF ...; empty: every column
};

struct CursorDefinition {
    CursorOptions options;
    tsql::Tokens query; // the SELECT, without its FOR UPDATE / FOR READ ONLY
};

// Reads `[INSENSITIVE] [SCROLL] CURSOR [options] FOR select [FOR ...]`
// from tokens[from] (after DECLARE's name, or after SET @c =). Throws 102 or
// 156 for what does not read so, 1048 for options that exclude each other.
CursorDefinition readCursorDefinition(const tsql::Tokens& tokens, std::size_t from);

// How a statement names its cursor: `[GLOBAL] name` or `@variable`.
struct CursorReference {
    QString name;
    bool global = false;
    bool variable = false;
};
// Reads one at tokens[i] and leaves `i` after it; 102 when there is none.
CursorReference readCursorReference(const tsql::Tokens& tokens, std::size_t& i);
// The cursor of OPEN, CLOSE or DEALLOCATE; 102 for anything after it.
CursorReference readCursorTarget(const tsql::Tokens& tokens);

enum class FetchDirection { Next, Prior, First, Last, Absolute, Relative };

struct FetchStatement {
    FetchDirection direction = FetchDirection::Next;
    tsql::Tokens offset; // ABSOLUTE / RELATIVE: n or @nvar
    CursorReference cursor;
    std::vector<QString> into; // the variables, in order
};
// FETCH [[direction] FROM] cursor [INTO @v, ...].
FetchStatement readFetch(const tsql::Tokens& tokens);
QString directionName(FetchDirection direction);

} // namespace estaciones::db::sqlite
