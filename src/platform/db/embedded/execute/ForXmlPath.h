#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/execute/ForXml.h"

namespace estaciones::db::sqlite {

// FOR XML PATH: each column's name read as a path from the row's element
// ('a/b' nests, '@a' and 'a/@b' are attributes, 'text()', 'data()',
// 'node()', '*' and a column without a name put the value in as it is,
// 'comment()' and 'processing-instruction(name)' write those nodes).

// Throws the server's error for a column name PATH cannot write: 6849 for
// '//' or a '/' at either end, 6850 for a name that is no XML name, 6846
// for a namespace prefix never declared, 6852 for an attribute after other
// content of its element, 6854 for a malformed processing instruction, 6864
// for an attribute of the row when PATH('') leaves the row's element out.
void checkPathColumns(const std::vector<ColumnInfo>& columns, const ForXml& xml);

// The rows' XML: a row element per row (none for PATH('')), columns sharing
// the elements of their paths while they follow one another, NULLs left
// out (an empty xsi:nil element with ELEMENTS XSINIL), a space between two
// data() values written one after the other.
QString pathText(const ResultSet& rows, const ForXml& xml);

} // namespace estaciones::db::sqlite
