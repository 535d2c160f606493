#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

namespace estaciones::db::tsql::rewrite {

namespace {

// The end (exclusive) of the statement or subquery that the word at `start`
// begins: the ')' closing its parenthesis, a ';', or the end.
size_t scopeEnd(const Pieces& pieces, size_t start) {
    int depth = 0;
    for (size_t i = start; i < pieces.size(); ++i) {
        if (pieces[i].isPunctuation(u"("))
            ++depth;
        else if (pieces[i].isPunctuation(u")") && --depth < 0)
            return i;
        else if (depth == 0 && pieces[i].isPunctuation(u";"))
            return i;
    }
    return pieces.size();
}

struct TopClause {
    size_t from = 0, to = 0; // the pieces to remove
    Pieces count;            // the row count expression
    bool percent = false;
};

// TOP at `at`: TOP n | TOP (expr) [PERCENT] [WITH TIES].
std::optional<TopClause> readTop(const Pieces& pieces, size_t at) {
    if (at + 1 >= pieces.size() || !pieces[at].isWord(u"TOP"))
        return std::nullopt;
    TopClause top{at, at + 2, {}};
    const Piece& next = pieces[at + 1];
    if (next.isPunctuation(u"(")) {
        const size_t close = closeOf(pieces, at + 1);
        if (close >= pieces.size())
            return std::nullopt;
        top.count.assign(pieces.begin() + static_cast<std::ptrdiff_t>(at + 1),
                         pieces.begin() + static_cast<std::ptrdiff_t>(close + 1));
        top.to = close + 1;
    } else if (next.kind == TokenKind::Number || next.kind == TokenKind::Variable) {
        top.count = {next};
    } else {
        return std::nullopt;
    }
    if (top.to < pieces.size() && pieces[top.to].isWord(u"PERCENT")) {
        top.percent = true;
        ++top.to;
    }
    if (top.to + 1 < pieces.size() && pieces[top.to].isWord(u"WITH") &&
        pieces[top.to + 1].isWord(u"TIES"))
        top.to += 2;
    top.count.front().space = QStringLiteral(" ");
    return top;
}

bool isHundred(const Pieces& count) {
    for (const Piece& p : count)
        if (p.kind == TokenKind::Number)
            return p.text.toDouble() == 100.0;
    return false;
}

} // namespace

void moveTopToLimit(Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        const bool select = pieces[i].isWord(u"SELECT");
        const bool update = pieces[i].isWord(u"UPDATE");
        const bool remove = pieces[i].isWord(u"DELETE");
        if (!select && !update && !remove)
            continue;
        size_t at = i + 1;
        if (select && at < pieces.size() &&
            (pieces[at].isWord(u"DISTINCT") || pieces[at].isWord(u"ALL")))
            ++at;
        const auto top = readTop(pieces, at);
        if (!top)
            continue;
        Pieces limit;
        if (top->percent && isHundred(top->count)) {
            // TOP 100 PERCENT (views, subqueries): no limit at all.
        } else if (top->percent) {
            // ceil(rows * n / 100) of the rows the same FROM ... gives.
            const size_t end = scopeEnd(pieces, i + 1);
            const size_t from = findTopLevelWord(pieces, top->to, end, u"FROM");
            const size_t order = findTopLevelWord(pieces, from, end, u"ORDER");
            // The count repeats the FROM clause: a TOP PERCENT inside it
            // would double the work at every level.
            for (size_t k = from; k < order; ++k) {
                if (pieces[k].isWord(u"PERCENT")) {
                    sqlite::failWith(sqlite::native::NotSupported,
                                     {QStringLiteral("TOP PERCENT inside a TOP PERCENT query")});
                }
            }
            limit =
                piecesOf(QStringLiteral(
                             "LIMIT (SELECT CAST((COUNT(*) * (%1) + 99.9999999) / 100 AS INTEGER) "
                             "FROM (SELECT 1 %2))")
                             .arg(render(top->count), render(pieces, from, order)));
        } else {
            limit = piecesOf(QStringLiteral("LIMIT"));
            limit.insert(limit.end(), top->count.begin(), top->count.end());
        }
        pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(top->from),
                     pieces.begin() + static_cast<std::ptrdiff_t>(top->to));
        if (!limit.empty())
            insertPieces(pieces, scopeEnd(pieces, i + 1), limit);
    }
}

} // namespace estaciones::db::tsql::rewrite
