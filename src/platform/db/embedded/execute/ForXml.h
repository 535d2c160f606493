#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/execute/QueryShape.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// SELECT ... FOR XML RAW[('name')] | AUTO | PATH[('name')] [, ELEMENTS [XSINIL]]
// [, BINARY BASE64] [, ROOT[('name')]] [, TYPE] at a statement's own level.
struct ForXml {
    enum class Mode { Raw, Auto, Path };
    tsql::Tokens query;
    Mode mode = Mode::Raw;
    QString rowName = QStringLiteral("row"); // RAW's and PATH's element; PATH('') has none
    QString root;                            // empty: no ROOT
    bool elements = false;
    bool xsinil = false;
    bool binaryBase64 = false;
    bool typed = false;
    // AUTO: the query's FROM sources (the element is the alias, or the name
    // as written) and what names each select-list item's table ("*" for a
    // star; empty when the item names none).
    using Source = SourceName;
    std::vector<Source> sources;
    std::vector<QString> itemQualifiers;
    bool hasStar = false;
    // The select-list items that are a FOR XML ... TYPE subquery: their XML
    // goes in as it is, not escaped as text.
    std::vector<bool> xmlItems;
};
std::optional<ForXml> readForXml(const tsql::Tokens& tokens);

// Notes in `xml` which of its items are FOR XML ... TYPE subqueries, read
// from the statement as written (`written`), before they were worked out
// (and, for AUTO, the tables its items name as written).
void noteXmlItems(ForXml& xml, const tsql::Tokens& written);


// PATH('') over one item without a name (or named text() or data()), and no
// option but TYPE: the texts of the rows joined, which the translator writes
// for SQLite (so that the subquery may read the outer query's columns).
bool joinsTexts(const ForXml& xml);

// The rows of the query as the server gives FOR XML's text: one column
// (XML_F52E2B61-18A1-11d1-B105-00805F49916B) of rows of 2,033 characters at
// most, one row with TYPE; no rows when the query has none. RAW makes an
// element per row, AUTO one per table, a table's element nested in the one
// of the table named before it and kept open while its columns repeat.
// NULLs are left out (an empty xsi:nil element with ELEMENTS XSINIL).
ResultSet forXmlResult(const ResultSet& rows, const ForXml& xml);

} // namespace estaciones::db::sqlite
