#include "platform/db/embedded/bind/OrderByPlacement.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/Pieces.h"

namespace estaciones::db::sqlite {

using tsql::none;
using tsql::Pieces;

namespace {

// The '(' whose parentheses hold the piece at `at`; none at the top level.
size_t enclosingParenthesis(const Pieces& pieces, size_t at) {
    int depth = 0;
    for (size_t i = at; i-- > 0;) {
        if (pieces[i].isPunctuation(u")")) {
            ++depth;
        } else if (pieces[i].isPunctuation(u"(") && --depth < 0) {
            return i;
        }
    }
    return none;
}

// CREATE [OR ALTER] VIEW, or a function that RETURNS TABLE: its query is a
// view's or an inline function's at the top level too.
bool definesAViewOrInlineFunction(const Pieces& pieces) {
    if (pieces.empty() || (!pieces[0].isWord(u"CREATE") && !pieces[0].isWord(u"ALTER"))) {
        return false;
    }
    for (size_t i = 1; i + 1 < pieces.size() && i < 6; ++i) {
        if (pieces[i].isWord(u"VIEW")) {
            return true;
        }
        if (pieces[i].isWord(u"FUNCTION")) {
            const size_t returns = tsql::findTopLevelWord(pieces, i, pieces.size(), u"RETURNS");
            return returns + 1 < pieces.size() && pieces[returns + 1].isWord(u"TABLE");
        }
    }
    return false;
}

bool hasTop(const Pieces& pieces, size_t select) {
    size_t i = select + 1;
    if (i < pieces.size() && (pieces[i].isWord(u"DISTINCT") || pieces[i].isWord(u"ALL"))) {
        ++i;
    }
    return i < pieces.size() && pieces[i].isWord(u"TOP");
}

// Whether the query the ORDER BY at `order` sorts limits its rows or makes
// XML of them: TOP (on any of a compound's queries), OFFSET, FOR XML.
bool ordersSomething(const Pieces& pieces, size_t order, size_t last) {
    const size_t end = tsql::queryEnd(pieces, last);
    const size_t after = tsql::findTopLevelWord(pieces, order, end, {u"OFFSET", u"FOR"});
    if (after < end) {
        return true;
    }
    for (size_t select = last; select != none;) {
        if (hasTop(pieces, select)) {
            return true;
        }
        const size_t op = tsql::nearestAtOwnLevel(pieces, select, tsql::isSetOperator);
        select = op == none ? none : tsql::enclosingSelect(pieces, op);
    }
    return false;
}

} // namespace

std::optional<ProviderError> misplacedOrderByError(const tsql::Tokens& tokens) {
    const Pieces pieces = tsql::toPieces(tokens);
    const bool definition = definesAViewOrInlineFunction(pieces);
    for (size_t order = 0; order + 1 < pieces.size(); ++order) {
        if (!pieces[order].isWord(u"ORDER") || !pieces[order + 1].isWord(u"BY")) {
            continue;
        }
        // An OVER's or WITHIN GROUP's ORDER BY has no SELECT of its own level.
        const size_t last = tsql::enclosingSelect(pieces, order);
        if (last == none) {
            continue;
        }
        const bool nested = enclosingParenthesis(pieces, last) != none;
        if ((nested || definition) && !ordersSomething(pieces, order, last)) {
            return sqlServerError(native::OrderByInSubquery);
        }
    }
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
