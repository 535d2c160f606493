#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/parse/AggregateNames.h"

#include <QSet>

namespace estaciones::db::tsql::rewrite {

namespace {

// Words before a '(SELECT' that make it a set of rows, not one value.
bool takesRows(const Piece& piece) {
    static const QSet<QString> words = {"exists", "in",    "from",   "join",      "apply",
                                        "as",     "any",   "some",   "all",       "union",
                                        "except", "intersect", "into", "table"};
    return piece.kind == TokenKind::Word && words.contains(piece.text.toLower());
}

// The clause the piece at `at` belongs to at its own level of parentheses:
// its nearest word among those that start one, or none.
size_t clauseStart(const Pieces& pieces, size_t at) {
    static const QSet<QString> clauses = {"select", "from",  "join",   "where", "on",    "group",
                                          "having", "order", "set",    "values", "when", "then",
                                          "else",   "return", "if",    "while"};
    return nearestAtOwnLevel(pieces, at, [](const Piece& p) {
        return p.kind == TokenKind::Word && clauses.contains(p.text.toLower());
    });
}

// A '(SELECT' at `open` that stands for one value: after an operator, a
// function's '(' or ',', a select list's start, THEN, = ...; not a derived
// table, an IN or EXISTS list, a set operation's operand.
bool isScalarPosition(const Pieces& pieces, size_t open, bool expression) {
    if (open == 0)
        return expression;
    const Piece& before = pieces[open - 1];
    if (takesRows(before) || before.kind == TokenKind::QuotedName)
        return false;
    if (before.kind == TokenKind::Word && !isReservedWord(before))
        return false; // a table's column list: INSERT t (SELECT ...) is no value
    if (before.isPunctuation(u",")) {
        const size_t clause = clauseStart(pieces, open);
        return clause == none ||
               !(pieces[clause].isWord(u"FROM") || pieces[clause].isWord(u"JOIN"));
    }
    return true;
}

bool isAggregateName(const Piece& piece) {
    if (piece.kind != TokenKind::Word)
        return false;
    const QString name = piece.text.toLower();
    // tsql_single_value: the one-row check a scalar subquery was given already.
    return isAggregateFunction(name) || name == QLatin1String("tsql_single_value");
}

// Whether [from, to) calls an aggregate or a window function outside any
// subquery of its own.
bool aggregates(const Pieces& pieces, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        if (pieces[i].isPunctuation(u"(") && i + 1 < to && pieces[i + 1].isWord(u"SELECT")) {
            i = closeOf(pieces, i);
            continue;
        }
        if ((isAggregateName(pieces[i]) && i + 1 < to && pieces[i + 1].isPunctuation(u"(")) ||
            pieces[i].isWord(u"OVER"))
            return true;
    }
    return false;
}

// The end of the one expression that the subquery (SELECT ... ) in
// [select, close) gives, when it may give several rows; none when it gives
// one row at most or is not of that plain form.
size_t valueEnd(const Pieces& pieces, size_t select, size_t close) {
    const size_t first = select + 1;
    if (first >= close || pieces[first].isWord(u"DISTINCT") || pieces[first].isWord(u"TOP"))
        return none;
    const size_t from = findTopLevelWord(pieces, first, close, u"FROM");
    if (from >= close)
        return none; // no table: one row
    for (const QStringView word : {u"GROUP", u"HAVING", u"UNION", u"EXCEPT", u"INTERSECT",
                                   u"ORDER", u"FOR", u"LIMIT"}) {
        if (findTopLevelWord(pieces, from, close, word) < close)
            return none;
    }
    const auto items = splitTopLevel(pieces, first, from);
    if (items.size() != 1 || aggregates(pieces, first, from))
        return none;
    size_t end = from;
    const size_t as = findTopLevelWord(pieces, first, from, u"AS");
    if (as < from)
        end = as;
    else if (from - first >= 2 && pieces[from - 1].isNameLike() &&
             !isReservedWord(pieces[from - 1]) && !pieces[from - 2].isPunctuation(u".") &&
             !pieces[from - 2].isPunctuation(u"(") &&
             pieces[from - 2].kind != TokenKind::Punctuation)
        return none; // a bare alias: not told apart from the expression's end
    if (end == first + 1 && pieces[first].isPunctuation(u"*"))
        return none;
    return end;
}

} // namespace

void checkScalarSubqueries(Pieces& pieces, bool expression) {
    // Right to left: inner subqueries first, and what is inserted lies to
    // the right of what is still to be seen.
    for (size_t open = pieces.size(); open-- > 0;) {
        if (!pieces[open].isPunctuation(u"(") || open + 1 >= pieces.size() ||
            !pieces[open + 1].isWord(u"SELECT") || !isScalarPosition(pieces, open, expression))
            continue;
        const size_t close = closeOf(pieces, open);
        if (close >= pieces.size())
            continue;
        const size_t end = valueEnd(pieces, open + 1, close);
        if (end == none)
            continue;
        insertPieces(pieces, end, piecesOf(QStringLiteral(")")));
        Pieces call = piecesOf(QStringLiteral("tsql_single_value("));
        call.front().space = pieces[open + 2].space;
        pieces[open + 2].space.clear();
        insertPieces(pieces, open + 2, call);
    }
}

} // namespace estaciones::db::tsql::rewrite
