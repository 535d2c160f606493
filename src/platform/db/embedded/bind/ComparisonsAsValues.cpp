#include "platform/db/embedded/bind/ComparisonsAsValues.h"

#include "platform/db/embedded/bind/SelectListItems.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/Pieces.h"

namespace estaciones::db::sqlite {

namespace {

// Where the select list that starts at `from` ends: a clause, the end of the
// parentheses around its query, or a statement's end.
size_t selectListEnd(const tsql::Pieces& pieces, size_t from) {
    static const QStringView clauses[] = {u"FROM",  u"INTO",   u"WHERE",     u"GROUP",
                                         u"HAVING", u"ORDER", u"UNION",     u"EXCEPT",
                                         u"INTERSECT", u"FOR", u"OPTION",   u"WINDOW"};
    for (size_t i = from; i < pieces.size(); ++i) {
        const tsql::Piece& piece = pieces[i];
        if (piece.isPunctuation(u"(")) {
            i = tsql::closeOf(pieces, i);
        } else if (piece.isWord(u"CASE")) {
            i = tsql::endOfCase(pieces, i);
        } else if (piece.isPunctuation(u")") || piece.isPunctuation(u";")) {
            return i;
        } else if (piece.kind == tsql::TokenKind::Word &&
                   std::any_of(std::begin(clauses), std::end(clauses),
                               [&](QStringView word) { return piece.isWord(word); })) {
            return i;
        }
    }
    return pieces.size();
}

} // namespace

std::optional<ProviderError> comparisonAsValueError(const tsql::Tokens& tokens) {
    const tsql::Pieces pieces = tsql::toPieces(tokens);
    for (size_t select = 0; select < pieces.size(); ++select) {
        if (!pieces[select].isWord(u"SELECT")) {
            continue;
        }
        const size_t listFrom = selectListStart(pieces, select, pieces.size());
        const size_t listTo = selectListEnd(pieces, listFrom);
        for (size_t i = listFrom; i < listTo; ++i) {
            if (pieces[i].isPunctuation(u"(")) {
                i = tsql::closeOf(pieces, i);
            } else if (pieces[i].isWord(u"CASE")) {
                i = tsql::endOfCase(pieces, i);
            } else if (tsql::isComparison(pieces[i]) && !pieces[i].isPunctuation(u"=")) {
                // '=' is an alias's or a variable's (SELECT total = a + b).
                return sqlServerError(native::SyntaxError, {pieces[i].text});
            } else if (pieces[i].isWord(u"LIKE") || pieces[i].isWord(u"BETWEEN") ||
                       pieces[i].isWord(u"IN") || pieces[i].isWord(u"IS")) {
                return sqlServerError(native::SyntaxErrorNearKeyword, {pieces[i].text.toUpper()});
            }
        }
    }
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
