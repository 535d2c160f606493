#include "platform/db/embedded/bind/SelectListItems.h"

namespace estaciones::db::sqlite {

using tsql::Piece;
using tsql::Pieces;
using tsql::TokenKind;

QStringList normalizedExpression(const Pieces& pieces, size_t from, size_t to) {
    QStringList out;
    for (size_t i = from; i < to; ++i) {
        const Piece& p = pieces[i];
        if (p.isNameLike() && i + 1 < to && pieces[i + 1].isPunctuation(u".")) {
            ++i; // the qualifier and its dot
            continue;
        }
        out << (p.isNameLike() ? p.value().toLower() : p.text);
    }
    return out;
}

SelectItem readSelectItem(const Pieces& pieces, PieceSpan item) {
    const auto [from, to] = item;
    if (to - from >= 3 && pieces[from].isNameLike() && pieces[from + 1].isPunctuation(u"=")) {
        return {{from + 2, to}, pieces[from].value().toLower()};
    }
    if (to - from >= 3 && pieces[to - 2].isWord(u"AS")) {
        return {{from, to - 2}, pieces[to - 1].value().toLower()};
    }
    if (to - from >= 2 && pieces[to - 1].isNameLike() && !tsql::isReservedWord(pieces[to - 1])) {
        const Piece& before = pieces[to - 2];
        const bool endsOperand = before.isPunctuation(u")") || before.isWord(u"END") ||
                                 (before.kind != TokenKind::Punctuation &&
                                  !tsql::isReservedWord(before));
        if (endsOperand) {
            return {{from, to - 1}, pieces[to - 1].value().toLower()};
        }
    }
    return {item, {}};
}

size_t selectListStart(const Pieces& pieces, size_t select, size_t end) {
    size_t i = select + 1;
    if (i < end && (pieces[i].isWord(u"DISTINCT") || pieces[i].isWord(u"ALL"))) {
        ++i;
    }
    if (i < end && pieces[i].isWord(u"TOP")) {
        ++i;
        i = i < end && pieces[i].isPunctuation(u"(") ? tsql::closeOf(pieces, i) + 1 : i + 1;
        if (i < end && pieces[i].isWord(u"PERCENT")) {
            ++i;
        }
        if (i + 1 < end && pieces[i].isWord(u"WITH") && pieces[i + 1].isWord(u"TIES")) {
            i += 2;
        }
    }
    return i;
}

size_t clauseStart(const Pieces& pieces, size_t from, size_t to,
                   std::initializer_list<QStringView> words) {
    for (size_t at = tsql::findTopLevelWord(pieces, from, to, words); at < to;
         at = tsql::findTopLevelWord(pieces, at + 1, to, words)) {
        if (!pieces[at].isWord(u"GROUP") || (at + 1 < to && pieces[at + 1].isWord(u"BY"))) {
            return at;
        }
    }
    return to;
}

bool isStarItem(const Pieces& pieces, PieceSpan item) {
    return item.second > item.first && pieces[item.second - 1].isPunctuation(u"*") &&
           (item.second - item.first == 1 || pieces[item.second - 2].isPunctuation(u"."));
}

} // namespace estaciones::db::sqlite
