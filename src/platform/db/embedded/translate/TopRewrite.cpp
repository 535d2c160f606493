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
    bool ties = false;
};

// Whether the count is a whole number literal, alone or in its parentheses.
bool isWholeLiteral(const Pieces& count) {
    const bool parenthesised = count.size() == 3 && count[0].isPunctuation(u"(") &&
                               count[2].isPunctuation(u")");
    const Piece* number = count.size() == 1 ? &count[0] : parenthesised ? &count[1] : nullptr;
    if (!number || number->kind != TokenKind::Number)
        return false;
    for (const QChar c : number->text)
        if (!c.isDigit())
            return false;
    return true;
}

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
        pieces[top.to + 1].isWord(u"TIES")) {
        top.ties = true;
        top.to += 2;
    }
    // The count is checked when the statement runs: SQLite would take a
    // negative LIMIT as none at all. A whole number written as such needs no check.
    if (isWholeLiteral(top.count) && !top.percent) {
        top.count.front().space = QStringLiteral(" ");
        return top;
    }
    Pieces checked = piecesOf(top.percent ? QStringLiteral("tsql_top_percent(")
                                          : QStringLiteral("tsql_top_rows("));
    checked.insert(checked.end(), top.count.begin(), top.count.end());
    checked.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
    top.count = std::move(checked);
    top.count.front().space = QStringLiteral(" ");
    return top;
}

// Whether the count is the literal 100 alone (in its parentheses and check).
bool isHundred(const Pieces& count) {
    int numbers = 0;
    bool hundred = false;
    for (const Piece& p : count) {
        if (p.kind == TokenKind::Number) {
            ++numbers;
            hundred = p.text.toDouble() == 100.0;
        } else if (!p.isPunctuation(u"(") && !p.isPunctuation(u")") &&
                   !p.isWord(u"tsql_top_percent")) {
            return false;
        }
    }
    return numbers == 1 && hundred;
}


QString percentLimit(const Pieces& count, const QString& source) {
    // ceil(rows * n / 100) of the rows the same FROM ... gives.
    return QStringLiteral("LIMIT (SELECT CAST((COUNT(*) * (%1) + 99.9999999) / 100 AS INTEGER) "
                          "FROM (SELECT 1 %2))")
        .arg(render(count), source);
}

bool hasPercent(const Pieces& pieces, size_t from, size_t to) {
    for (size_t k = from; k < to; ++k)
        if (pieces[k].isWord(u"PERCENT"))
            return true;
    return false;
}

// SELECT TOP n PERCENT ... FROM (query) [AS] alias [WHERE ...] [ORDER BY ...].
struct PercentOfDerived {
    size_t select = 0;
    TopClause top;
    size_t from = 0;  // FROM
    size_t close = 0; // the derived table's ')'
};

// The ')' of the FROM clause at `from` when the clause is one derived table,
// `(query) [AS] alias`; none otherwise.
size_t singleDerivedTable(const Pieces& pieces, size_t from, size_t end) {
    if (from + 2 >= end || !pieces[from + 1].isPunctuation(u"(") ||
        !pieces[from + 2].isWord(u"SELECT"))
        return none;
    const size_t close = closeOf(pieces, from + 1);
    size_t next = close + 1;
    if (next < end && pieces[next].isWord(u"AS"))
        ++next;
    if (next >= end || !pieces[next].isNameLike() || isReservedWord(pieces[next]))
        return none;
    ++next;
    const bool clauseEnds = next == end || pieces[next].isPunctuation(u")") ||
                            (pieces[next].kind == TokenKind::Word && isReservedWord(pieces[next]));
    return clauseEnds ? close : none;
}

// A TOP PERCENT query from `start` on over a derived table that has none
// such inside: the innermost of nested ones.
std::optional<PercentOfDerived> innermostPercentOfDerived(const Pieces& pieces, size_t start) {
    // The last one found: any other inside its derived table would come after it.
    std::optional<PercentOfDerived> found;
    for (size_t i = start; i < pieces.size(); ++i) {
        if (!pieces[i].isWord(u"SELECT"))
            continue;
        size_t at = i + 1;
        if (at < pieces.size() && (pieces[at].isWord(u"DISTINCT") || pieces[at].isWord(u"ALL")))
            ++at;
        const auto top = readTop(pieces, at);
        if (!top || !top->percent || top->ties || isHundred(top->count))
            continue;
        const size_t end = scopeEnd(pieces, i + 1);
        const size_t from = findTopLevelWord(pieces, top->to, end, u"FROM");
        if (from >= end)
            continue;
        const size_t close = singleDerivedTable(pieces, from, end);
        if (close != none)
            found = PercentOfDerived{i, *top, from, close};
    }
    return found;
}

// Where the statement's WITH list takes one more query: before a SELECT,
// INSERT, UPDATE or DELETE that starts it, or after the queries of its own
// WITH; none for an expression (IF, SET @v = ...), whose text is no statement.
size_t withListEnd(const Pieces& pieces) {
    if (pieces.empty())
        return none;
    const Piece& first = pieces.front();
    if (first.isWord(u"SELECT") || first.isWord(u"INSERT") || first.isWord(u"UPDATE") ||
        first.isWord(u"DELETE"))
        return 0;
    if (first.isWord(u"WITH")) {
        for (const QStringView verb : {u"SELECT", u"INSERT", u"UPDATE", u"DELETE"}) {
            const size_t at = findTopLevelWord(pieces, 1, pieces.size(), verb);
            if (at < pieces.size())
                return at;
        }
    }
    return none;
}

// Whether the select list [from, to) has a * of its own.
bool selectsAll(const Pieces& pieces, size_t from, size_t to) {
    for (const auto& [first, last] : splitTopLevel(pieces, from, to))
        if (pieces[last - 1].isPunctuation(u"*"))
            return true;
    return false;
}

// The rows of the TOP PERCENT query `p`, whose FROM now names its derived
// table: numbered in its order and counted in one pass over the table,
// `FROM (SELECT *, ROW_NUMBER() OVER (ORDER BY ...), COUNT(*) OVER () FROM
// name AS t WHERE ...) AS t WHERE` the row is within the share, so that the
// table is read once. With a join, a grouping or a `*` of the list (which
// would show the numbers), the count repeats the FROM clause in the LIMIT.
void limitToPercent(Pieces& pieces, const PercentOfDerived& p) {
    const size_t end = scopeEnd(pieces, p.select + 1);
    const size_t order = findTopLevelWord(pieces, p.from, end, u"ORDER");
    const size_t where = findTopLevelWord(pieces, p.from, order, u"WHERE");
    const size_t alias = pieces[p.from + 2].isWord(u"AS") ? p.from + 3 : p.from + 2;
    const bool plain = alias + 1 == where &&
                       findTopLevelWord(pieces, where, order, u"GROUP") >= order &&
                       !selectsAll(pieces, p.top.to, p.from);
    if (!plain) {
        insertPieces(pieces, end,
                     piecesOf(percentLimit(p.top.count, render(pieces, p.from, order))));
    } else {
        const QString name = render(pieces, alias, alias + 1).trimmed();
        const QString numbered =
            QStringLiteral("FROM (SELECT *, ROW_NUMBER() OVER (%1) AS tsql_row, COUNT(*) OVER () "
                           "AS tsql_rows %2) AS %3 WHERE (%3.tsql_row - 1) * 100 < %3.tsql_rows * "
                           "(%4)")
                .arg(render(pieces, order, end), render(pieces, p.from, order), name,
                     render(p.top.count));
        replaceRange(pieces, p.from, order, piecesOf(numbered));
    }
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(p.top.from),
                 pieces.begin() + static_cast<std::ptrdiff_t>(p.top.to));
}

// The name that the source of a FROM clause [from, end) is known by — its
// alias, else its table's own name — when the clause is one table or one
// derived table with an alias; none for joins and anything else.
size_t singleSourceName(const Pieces& pieces, size_t from, size_t end) {
    size_t next = from + 1;
    if (next >= end)
        return none;
    size_t name = none;
    if (pieces[next].isPunctuation(u"(")) {
        next = closeOf(pieces, next) + 1;
    } else {
        while (next < end && pieces[next].isNameLike() && !isReservedWord(pieces[next])) {
            name = next;
            if (next + 2 < end && pieces[next + 1].isPunctuation(u"."))
                next += 2;
            else
                break;
        }
        if (name == none)
            return none;
        ++next;
    }
    if (next < end && pieces[next].isWord(u"AS"))
        ++next;
    if (next < end && pieces[next].isNameLike() && !isReservedWord(pieces[next]))
        name = next++;
    const bool clauseEnds =
        next == end || (pieces[next].kind == TokenKind::Word && isReservedWord(pieces[next]) &&
                        !pieces[next].isWord(u"JOIN") && !pieces[next].isWord(u"CROSS") &&
                        !pieces[next].isWord(u"INNER") && !pieces[next].isWord(u"LEFT") &&
                        !pieces[next].isWord(u"RIGHT") && !pieces[next].isWord(u"FULL") &&
                        !pieces[next].isWord(u"OUTER"));
    return clauseEnds ? name : none;
}

// SELECT TOP n [PERCENT] WITH TIES list FROM source [WHERE ...] ORDER BY o
// keeps the rows that rank within n by o (a row tied with the last ranks
// with it): the source is read with its rank, `FROM (SELECT *, RANK() OVER
// (ORDER BY o) AS tsql_tie_rank, COUNT(*) OVER () AS tsql_tie_rows FROM
// source WHERE ...) AS name WHERE name.tsql_tie_rank <= n`.
void keepTies(Pieces& pieces, size_t select, const TopClause& top) {
    const size_t end = scopeEnd(pieces, select + 1);
    const size_t order = findTopLevelWord(pieces, top.to, end, u"ORDER");
    if (order >= end)
        sqlite::failWith(sqlite::native::TiesWithoutOrder);
    const size_t from = findTopLevelWord(pieces, top.to, order, u"FROM");
    const size_t where = findTopLevelWord(pieces, from, order, u"WHERE");
    const size_t name = from < order ? singleSourceName(pieces, from, where) : none;
    const bool grouped = findTopLevelWord(pieces, from, order, u"GROUP") < order ||
                         (select + 1 < pieces.size() && pieces[select + 1].isWord(u"DISTINCT"));
    // ORDER BY 1 names a column of the list, which a window would read as a constant.
    bool byPosition = false;
    for (const auto& [first, last] : splitTopLevel(pieces, order + 2, end))
        byPosition = byPosition || pieces[first].kind == TokenKind::Number;
    if (name == none || grouped || byPosition || selectsAll(pieces, top.to, from))
        sqlite::failWith(
            sqlite::native::NotSupported,
            {QStringLiteral("TOP WITH TIES other than over one table, without grouping or *")});
    const QString alias = render(pieces, name, name + 1).trimmed();
    const QString bound =
        top.percent ? QStringLiteral("CAST((%1.tsql_tie_rows * (%2) + 99.9999999) / 100 AS INTEGER)")
                          .arg(alias, render(top.count))
                    : QStringLiteral("(%1)").arg(render(top.count));
    const QString ranked =
        QStringLiteral("FROM (SELECT *, RANK() OVER (%1) AS tsql_tie_rank, COUNT(*) OVER () AS "
                       "tsql_tie_rows %2) AS %3 WHERE %3.tsql_tie_rank <= %4 ")
            .arg(render(pieces, order, end).trimmed(), render(pieces, from, order).trimmed(),
                 alias, bound);
    replaceRange(pieces, from, order, piecesOf(ranked));
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(top.from),
                 pieces.begin() + static_cast<std::ptrdiff_t>(top.to));
}

} // namespace

// SELECT TOP n PERCENT ... FROM (query) alias: the query becomes a named one
// of the statement's WITH list and the FROM names it (see limitToPercent).
// Nested TOP PERCENT queries are done innermost first: each level then costs
// one pass over the level below, and the statement stays as flat as
// SQLite's parser needs.
// In an expression, where no WITH can start the text, the named query goes
// just before its SELECT.
void nameDerivedTablesOfPercents(Pieces& pieces) {
    size_t listEnd = withListEnd(pieces);
    const bool ownList = listEnd != none && !pieces.front().isWord(u"WITH");
    bool listStarted = !ownList;
    int named = 0;
    while (const auto found = innermostPercentOfDerived(
               pieces, listEnd == none ? 0 : listEnd)) {
        const PercentOfDerived& p = *found;
        const QString name = QStringLiteral("tsql_percent_%1").arg(++named);
        const Pieces query(pieces.begin() + static_cast<std::ptrdiff_t>(p.from + 2),
                           pieces.begin() + static_cast<std::ptrdiff_t>(p.close));
        replaceRange(pieces, p.from + 1, p.close + 1, piecesOf(name));
        limitToPercent(pieces, p);

        Pieces definition = piecesOf(QStringLiteral("%1 AS (").arg(name));
        definition.insert(definition.end(), query.begin(), query.end());
        definition.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
        const size_t at = listEnd == none ? p.select : listEnd;
        if (listEnd == none || !listStarted) {
            // WITH name AS (...) before the statement or the expression's SELECT.
            Pieces with = piecesOf(QStringLiteral("WITH"));
            with.insert(with.end(), definition.begin(), definition.end());
            definition = std::move(with);
        } else {
            definition.insert(definition.begin(), Piece{Token::punctuation(QStringLiteral(",")), {}});
        }
        definition.front().space = at < pieces.size() ? pieces[at].space : QString();
        definition.back().space.clear();
        if (at < pieces.size())
            pieces[at].space = QStringLiteral(" ");
        insertPieces(pieces, at, definition);
        if (listEnd != none) {
            listEnd += definition.size();
            listStarted = true;
        }
    }
}

// Where the query at `select` ends when it is one of a UNION's, EXCEPT's or
// INTERSECT's (the last one before the compound's ORDER BY); none otherwise.
size_t compoundBranchEnd(const Pieces& pieces, size_t select) {
    const size_t end = queryEnd(pieces, select);
    if (end < pieces.size() && isSetOperator(pieces[end]))
        return end;
    if (nearestAtOwnLevel(pieces, select, isSetOperator) == none)
        return none;
    return findTopLevelWord(pieces, select, end, {u"ORDER", u"OPTION", u"FOR"});
}

void moveTopToLimit(Pieces& pieces) {
    nameDerivedTablesOfPercents(pieces);
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
        if (top->ties && select) {
            keepTies(pieces, i, *top);
            continue;
        }
        Pieces limit;
        if (top->percent && isHundred(top->count)) {
            // TOP 100 PERCENT (views, subqueries): no limit at all.
        } else if (top->percent) {
            const size_t end = scopeEnd(pieces, i + 1);
            const size_t from = findTopLevelWord(pieces, top->to, end, u"FROM");
            const size_t order = findTopLevelWord(pieces, from, end, u"ORDER");
            // The count repeats the FROM clause: a TOP PERCENT inside it
            // (other than a derived table's, named above) would double the
            // work at every level.
            if (hasPercent(pieces, from, order)) {
                sqlite::failWith(sqlite::native::NotSupported,
                                 {QStringLiteral("TOP PERCENT inside a TOP PERCENT query")});
            }
            limit = piecesOf(percentLimit(top->count, render(pieces, from, order)));
        } else {
            limit = piecesOf(QStringLiteral("LIMIT"));
            limit.insert(limit.end(), top->count.begin(), top->count.end());
        }
        const size_t branchEnd = select ? compoundBranchEnd(pieces, i) : none;
        pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(top->from),
                     pieces.begin() + static_cast<std::ptrdiff_t>(top->to));
        if (limit.empty())
            continue;
        if (branchEnd == none) {
            insertPieces(pieces, scopeEnd(pieces, i + 1), limit);
            continue;
        }
        // One query of a compound: its own LIMIT would limit them all.
        const size_t end = branchEnd - (top->to - top->from);
        limit.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
        insertPieces(pieces, end, limit);
        insertPieces(pieces, i, piecesOf(QStringLiteral("SELECT * FROM (")));
    }
}

} // namespace estaciones::db::tsql::rewrite
