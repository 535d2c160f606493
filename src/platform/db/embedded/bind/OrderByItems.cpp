#include "platform/db/embedded/bind/OrderByItems.h"

#include "platform/db/embedded/bind/SelectListItems.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/Pieces.h"

#include <QStringList>

namespace estaciones::db::sqlite {

using tsql::Piece;
using tsql::Pieces;
using tsql::TokenKind;

namespace {

using Span = std::pair<size_t, size_t>;

// The item without its ASC or DESC.
Span sortKey(const Pieces& pieces, Span item) {
    if (item.second > item.first && (pieces[item.second - 1].isWord(u"ASC") ||
                                     pieces[item.second - 1].isWord(u"DESC"))) {
        --item.second;
    }
    return item;
}

bool isPosition(const Piece& piece) {
    if (piece.kind != TokenKind::Number) {
        return false;
    }
    return std::all_of(piece.text.begin(), piece.text.end(), [](QChar c) { return c.isDigit(); });
}

// The aliases of the select list of the SELECT at `select`, in lower case.
QStringList aliasesOf(const Pieces& pieces, size_t select, size_t order) {
    const size_t start = selectListStart(pieces, select, order);
    const size_t end = clauseStart(pieces, start, order,
                                   {u"FROM", u"INTO", u"WHERE", u"GROUP", u"UNION", u"EXCEPT",
                                    u"INTERSECT", u"ORDER"});
    QStringList aliases;
    for (const Span& item : tsql::splitTopLevel(pieces, start, end)) {
        aliases << readSelectItem(pieces, item).alias;
    }
    return aliases;
}

// Whether the key is a constant: no column, variable, function call or
// subquery in it, nor a single whole number, which is a position, nor a
// text that names an alias of the list ('Total Salary'), which is that column.
bool isConstant(const Pieces& pieces, Span key, const QStringList& aliases) {
    if (key.first == key.second || (key.second - key.first == 1 && isPosition(pieces[key.first]))) {
        return false;
    }
    if (key.second - key.first == 1 && pieces[key.first].kind == TokenKind::String &&
        aliases.contains(pieces[key.first].value().toLower())) {
        return false;
    }
    for (size_t i = key.first; i < key.second; ++i) {
        const Piece& p = pieces[i];
        const bool literal = p.kind == TokenKind::String || p.kind == TokenKind::Number ||
                             p.isWord(u"NULL");
        if (!literal && p.kind != TokenKind::Punctuation) {
            return false;
        }
    }
    return true;
}

// The key as two writings of one item compare: names in lower case and
// without brackets, qualifiers kept (t.a and u.a are two columns).
QStringList keyText(const Pieces& pieces, Span key) {
    QStringList out;
    for (size_t i = key.first; i < key.second; ++i) {
        out << (pieces[i].isNameLike() ? pieces[i].value().toLower() : pieces[i].text);
    }
    return out;
}

} // namespace

std::optional<ProviderError> orderByItemsError(const tsql::Tokens& tokens) {
    const Pieces pieces = tsql::toPieces(tokens);
    for (size_t order = 0; order + 1 < pieces.size(); ++order) {
        if (!pieces[order].isWord(u"ORDER") || !pieces[order + 1].isWord(u"BY")) {
            continue;
        }
        // An OVER's or WITHIN GROUP's ORDER BY has rules of its own.
        const size_t select = tsql::enclosingSelect(pieces, order);
        if (select == tsql::none) {
            continue;
        }
        const size_t end = tsql::findTopLevelWord(pieces, order + 2, tsql::queryEnd(pieces, select),
                                                  {u"OFFSET", u"FOR", u"OPTION"});
        const QStringList aliases = aliasesOf(pieces, select, order);
        std::vector<QStringList> seen;
        int position = 0;
        for (const Span& item : tsql::splitTopLevel(pieces, order + 2, end)) {
            ++position;
            const Span key = sortKey(pieces, item);
            if (isConstant(pieces, key, aliases)) {
                return sqlServerError(native::OrderByConstant, {QString::number(position)});
            }
            QStringList text = keyText(pieces, key);
            if (std::find(seen.begin(), seen.end(), text) != seen.end()) {
                return sqlServerError(native::OrderByItemRepeated);
            }
            seen.push_back(std::move(text));
        }
    }
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
