#include "platform/db/embedded/bind/OrderByInSelectList.h"

#include "platform/db/embedded/bind/SelectListItems.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/Pieces.h"

#include <QStringList>

namespace estaciones::db::sqlite {

using tsql::Piece;
using tsql::Pieces;
using tsql::TokenKind;

namespace {

using Span = PieceSpan;

// Whether the ORDER BY item [from, to) is one the select list holds.
bool inSelectList(const Pieces& pieces, Span orderItem, const std::vector<SelectItem>& items,
                  bool hasStar) {
    auto [from, to] = orderItem;
    if (to > from && (pieces[to - 1].isWord(u"ASC") || pieces[to - 1].isWord(u"DESC"))) {
        --to;
    }
    if (to == from) {
        return true; // a syntax error, told elsewhere
    }
    // A position (its range is checked elsewhere), a COLLATE (sorts a listed
    // column or not: left alone) or no column at all (a constant, told elsewhere).
    if ((to - from == 1 && pieces[from].kind == TokenKind::Number) ||
        tsql::findTopLevelWord(pieces, from, to, u"COLLATE") < to ||
        std::none_of(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                     pieces.begin() + static_cast<std::ptrdiff_t>(to),
                     [](const Piece& p) { return p.isNameLike(); })) {
        return true;
    }
    const QStringList wanted = normalizedExpression(pieces, from, to);
    if (hasStar && wanted.size() == 1) {
        return true; // a column of the tables the * stands for, maybe
    }
    return std::any_of(items.begin(), items.end(), [&](const SelectItem& item) {
        return (wanted.size() == 1 && wanted.front() == item.alias) ||
               normalizedExpression(pieces, item.expression.first, item.expression.second) == wanted;
    });
}

// The select list of the SELECT at `select`, up to `limit` at most.
std::vector<SelectItem> selectList(const Pieces& pieces, size_t select, size_t limit,
                                   bool& hasStar) {
    const size_t start = selectListStart(pieces, select, limit);
    const size_t end = clauseStart(pieces, start, limit,
                                              {u"FROM", u"INTO", u"WHERE", u"GROUP", u"UNION",
                                               u"EXCEPT", u"INTERSECT", u"ORDER"});
    std::vector<SelectItem> items;
    hasStar = false;
    for (const Span& item : tsql::splitTopLevel(pieces, start, end)) {
        hasStar = hasStar || isStarItem(pieces, item);
        items.push_back(readSelectItem(pieces, item));
    }
    return items;
}

// The SELECT of a compound's first query, from the SELECT of any of them.
size_t firstBranch(const Pieces& pieces, size_t select) {
    for (size_t op = tsql::nearestAtOwnLevel(pieces, select, tsql::isSetOperator); op != tsql::none;
         op = tsql::nearestAtOwnLevel(pieces, select, tsql::isSetOperator)) {
        const size_t before = tsql::enclosingSelect(pieces, op);
        if (before == tsql::none) {
            return tsql::none; // a query in parentheses
        }
        select = before;
    }
    return select;
}

} // namespace

std::optional<ProviderError> orderByNotInSelectListError(const tsql::Tokens& tokens) {
    const Pieces pieces = tsql::toPieces(tokens);
    for (size_t order = 0; order + 1 < pieces.size(); ++order) {
        if (!pieces[order].isWord(u"ORDER") || !pieces[order + 1].isWord(u"BY")) {
            continue;
        }
        // An OVER's or WITHIN GROUP's ORDER BY has no SELECT of its own level.
        const size_t last = tsql::enclosingSelect(pieces, order);
        if (last == tsql::none) {
            continue;
        }
        const bool compound = tsql::nearestAtOwnLevel(pieces, order, tsql::isSetOperator) != tsql::none;
        const size_t listed = compound ? firstBranch(pieces, last) : last;
        if (listed == tsql::none ||
            (!compound && (last + 1 >= order || !pieces[last + 1].isWord(u"DISTINCT")))) {
            continue;
        }
        bool hasStar = false;
        const std::vector<SelectItem> items = selectList(pieces, listed, order, hasStar);
        const size_t end = tsql::findTopLevelWord(pieces, order + 2, tsql::queryEnd(pieces, last),
                                                  {u"OFFSET", u"FOR", u"OPTION"});
        for (const Span& orderItem : tsql::splitTopLevel(pieces, order + 2, end)) {
            if (!inSelectList(pieces, orderItem, items, hasStar)) {
                return sqlServerError(compound ? native::OrderByNotInCompoundList
                                               : native::OrderByNotInDistinctList);
            }
        }
    }
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
