#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/functions/SqliteFunctions.h"

#include <QSet>

#include <algorithm>
#include <functional>
#include <vector>

namespace estaciones::db::tsql::rewrite {

namespace {

// The functions whose result is always text (their names once mapped).
bool givesText(const Piece& name) {
    static const QSet<QString> names = {
        "tsql_upper",   "tsql_lower",     "tsql_replace",  "tsql_left",      "tsql_right",
        "tsql_substring", "tsql_space",   "tsql_replicate", "tsql_stuff",    "tsql_reverse",
        "tsql_concat",  "tsql_concat_ws", "tsql_quotename", "tsql_char",     "tsql_nchar",
        "tsql_translate", "tsql_format",  "tsql_str",      "ltrim",          "rtrim",
        "trim"};
    return name.kind == TokenKind::Word && names.contains(name.text.toLower());
}

bool isCallAt(const Pieces& pieces, size_t name) {
    return name + 1 < pieces.size() && pieces[name + 1].isPunctuation(u"(") &&
           (name == 0 || !pieces[name - 1].isPunctuation(u"."));
}

// Whether the argument [from, to) of a + is a text: a text literal, a text
// function's call, or a + of texts itself.
bool isTextOperand(const Pieces& pieces, size_t from, size_t to);

// tsql_add(a, b) that joins texts: one of its operands is a text and none
// a number (a text plus a number is a number).
bool joinsTexts(const Pieces& pieces, size_t name) {
    if (!pieces[name].isWord(u"tsql_add") || !isCallAt(pieces, name))
        return false;
    const size_t close = closeOf(pieces, name + 1);
    if (close >= pieces.size())
        return false;
    bool text = false;
    for (const auto& [first, last] : splitTopLevel(pieces, name + 2, close)) {
        if (last == first + 1 && pieces[first].kind == TokenKind::Number)
            return false;
        text = text || isTextOperand(pieces, first, last);
    }
    return text;
}

bool isTextOperand(const Pieces& pieces, size_t from, size_t to) {
    if (to == from + 1)
        return pieces[from].kind == TokenKind::String;
    if (from + 1 >= to || !isCallAt(pieces, from) || closeOf(pieces, from + 1) != to - 1)
        return false;
    return givesText(pieces[from]) || joinsTexts(pieces, from);
}

// The end of the text expression that starts item [first, last) when the
// rest of the item is only its alias (`AS name`, `name`) or an ASC or DESC;
// `none` otherwise.
size_t textExpressionEnd(const Pieces& pieces, size_t first, size_t last) {
    size_t end = none;
    if (pieces[first].kind == TokenKind::String)
        end = first + 1;
    else if (isCallAt(pieces, first) && closeOf(pieces, first + 1) < last &&
             isTextOperand(pieces, first, closeOf(pieces, first + 1) + 1))
        end = closeOf(pieces, first + 1) + 1;
    if (end == none || end == last)
        return end;
    if (pieces[end].isWord(u"COLLATE"))
        return none;
    const bool aliasOrOrder =
        (end + 1 == last && (pieces[end].isNameLike() || pieces[end].kind == TokenKind::String)) ||
        (end + 2 == last && pieces[end].isWord(u"AS"));
    return aliasOrOrder ? end : none;
}

bool isCompoundWord(const Piece& piece) {
    return piece.isWord(u"UNION") || piece.isWord(u"EXCEPT") || piece.isWord(u"INTERSECT") ||
           piece.isWord(u"ALL");
}

// Whether the query whose SELECT is at `select` is a branch of a UNION,
// EXCEPT or INTERSECT: its columns are typed by precedence over the
// branches, which a COLLATE after an item would hide.
bool inCompound(const Pieces& pieces, size_t select) {
    size_t before = select;
    while (before > 0 && pieces[before - 1].isPunctuation(u"("))
        --before;
    const size_t end = queryEnd(pieces, select);
    return (before > 0 && isCompoundWord(pieces[before - 1])) ||
           (end < pieces.size() && isCompoundWord(pieces[end]));
}

// Where a COLLATE goes after the text results that a query sorts, groups or
// keeps distinct: its select list's items (which ORDER BY, DISTINCT and an
// outer query take their collation from), its ORDER BY and GROUP BY items.
// Only whole items: a text inside another call keeps what that call's
// typing reads (DATALENGTH of N'...').
void textItemsOfQuery(const Pieces& pieces, size_t select, std::vector<size_t>& ends) {
    const auto items = [&](size_t from, size_t to, bool literals) {
        for (const auto& [first, last] : splitTopLevel(pieces, from, to)) {
            size_t itemEnd = last;
            if (itemEnd > first + 1 &&
                (pieces[itemEnd - 1].isWord(u"ASC") || pieces[itemEnd - 1].isWord(u"DESC")))
                --itemEnd;
            if (!literals && pieces[first].kind == TokenKind::String)
                continue;
            const size_t end = textExpressionEnd(pieces, first, itemEnd);
            if (end != none)
                ends.push_back(end);
        }
    };
    const size_t from = selectListStart(pieces, select);
    const size_t listEnd = selectListEnd(pieces, from);
    const size_t end = queryEnd(pieces, select);
    if (!inCompound(pieces, select))
        items(from, listEnd, false);
    for (const QStringView clause : {QStringView(u"GROUP"), QStringView(u"ORDER")}) {
        const size_t at = findTopLevelWord(pieces, listEnd, end, clause);
        if (at + 1 >= end || !pieces[at + 1].isWord(u"BY"))
            continue;
        const size_t itemsEnd = findTopLevelWord(
            pieces, at + 2, end, {u"HAVING", u"ORDER", u"LIMIT", u"OFFSET", u"FOR", u"OPTION"});
        items(at + 2, itemsEnd, false);
    }
}

// A derived table's VALUES rows: their text literals make its columns.
void textLiteralsOfValues(const Pieces& pieces, size_t values, std::vector<size_t>& ends) {
    const size_t end = closeOf(pieces, values - 1);
    for (size_t row = values + 1; row < end && pieces[row].isPunctuation(u"(");) {
        const size_t close = closeOf(pieces, row);
        if (close >= end)
            break;
        for (const auto& [first, last] : splitTopLevel(pieces, row + 1, close))
            if (last == first + 1 && pieces[first].kind == TokenKind::String)
                ends.push_back(last);
        row = close + 1 < end && pieces[close + 1].isPunctuation(u",") ? close + 2 : end;
    }
}

// MIN, MAX and COUNT(DISTINCT ...) of a text expression compare texts.
void textArgumentOfAggregate(const Pieces& pieces, size_t name, std::vector<size_t>& ends) {
    const bool count = pieces[name].isWord(u"count");
    if (!(count || pieces[name].isWord(u"min") || pieces[name].isWord(u"max")) ||
        !isCallAt(pieces, name))
        return;
    const size_t close = closeOf(pieces, name + 1);
    size_t first = name + 2;
    if (count) {
        if (first >= close || !pieces[first].isWord(u"DISTINCT"))
            return;
        ++first;
    }
    if (close < pieces.size() && first < close && pieces[first].kind != TokenKind::String &&
        textExpressionEnd(pieces, first, close) == close)
        ends.push_back(close);
}

} // namespace

void collateTextResults(Pieces& pieces) {
    std::vector<size_t> ends;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].isWord(u"SELECT"))
            textItemsOfQuery(pieces, i, ends);
        else if (pieces[i].isWord(u"VALUES") && i > 0 && pieces[i - 1].isPunctuation(u"("))
            textLiteralsOfValues(pieces, i, ends);
        else
            textArgumentOfAggregate(pieces, i, ends);
    }
    // Right to left, so that the positions still found stay where they were.
    std::sort(ends.begin(), ends.end(), std::greater<>());
    ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
    for (const size_t end : ends) {
        if (end < pieces.size() && pieces[end].isWord(u"COLLATE"))
            continue;
        insertPieces(pieces, end,
                     piecesOf(QStringLiteral("COLLATE %1").arg(QLatin1String(textCollation))));
    }
}

} // namespace estaciones::db::tsql::rewrite
