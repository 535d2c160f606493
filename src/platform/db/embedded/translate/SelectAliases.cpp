#include "platform/db/embedded/translate/Rewrites.h"

#include <QSet>

namespace estaciones::db::tsql::rewrite {

namespace {

// Words that end a select list at its own level.
bool endsSelectList(const Piece& piece) {
    static const QSet<QString> words = {"from",  "where",  "group",  "having", "order", "union",
                                        "except", "intersect", "into", "for",    "option"};
    return piece.kind == TokenKind::Word && words.contains(piece.text.toLower());
}

// `name = expression`, `[name] = …` or `'name' = …`: the name of an item
// given before its expression.
bool isLeadingAlias(const Pieces& pieces, size_t from, size_t to) {
    if (to - from < 3 || !pieces[from + 1].isPunctuation(u"="))
        return false;
    const Piece& name = pieces[from];
    return name.kind == TokenKind::QuotedName || name.kind == TokenKind::String ||
           (name.kind == TokenKind::Word && !isReservedWord(name));
}

// The names the items of the select list [from, to) are given after their
// expressions: `… AS name`, `… [name]`, `… 'name'`.
QSet<QString> itemNames(const Pieces& pieces, size_t from, size_t to) {
    QSet<QString> names;
    for (const auto& [first, last] : splitTopLevel(pieces, from, to)) {
        if (last - first < 2)
            continue;
        const Piece& name = pieces[last - 1];
        if (name.kind == TokenKind::String || name.kind == TokenKind::QuotedName ||
            (name.kind == TokenKind::Word && pieces[last - 2].isWord(u"AS")))
            names.insert(name.value().toLower());
    }
    return names;
}

// Whether the ORDER BY item [first, last) is a text alone, with ASC or DESC.
bool isTextSortItem(const Pieces& pieces, size_t first, size_t last) {
    return pieces[first].kind == TokenKind::String &&
           (last == first + 1 ||
            (last == first + 2 && (pieces[first + 1].isWord(u"ASC") || pieces[first + 1].isWord(u"DESC"))));
}

} // namespace

size_t selectListStart(const Pieces& pieces, size_t select) {
    size_t i = select + 1;
    if (i < pieces.size() && (pieces[i].isWord(u"DISTINCT") || pieces[i].isWord(u"ALL")))
        ++i;
    if (i + 1 < pieces.size() && pieces[i].isWord(u"TOP")) {
        i = pieces[i + 1].isPunctuation(u"(") ? closeOf(pieces, i + 1) + 1 : i + 2;
        if (i < pieces.size() && pieces[i].isWord(u"PERCENT"))
            ++i;
        if (i + 1 < pieces.size() && pieces[i].isWord(u"WITH") && pieces[i + 1].isWord(u"TIES"))
            i += 2;
    }
    return i;
}

size_t selectListEnd(const Pieces& pieces, size_t from) {
    size_t i = from;
    while (i < pieces.size() && !endsSelectList(pieces[i]) && !pieces[i].isPunctuation(u")") &&
           !pieces[i].isPunctuation(u";"))
        i = pieces[i].isPunctuation(u"(") ? closeOf(pieces, i) + 1 : i + 1;
    return std::min(i, pieces.size());
}

void nameTextSortItems(Pieces& pieces) {
    for (size_t s = 0; s < pieces.size(); ++s) {
        if (!pieces[s].isWord(u"SELECT"))
            continue;
        const size_t from = selectListStart(pieces, s);
        const size_t listEnd = selectListEnd(pieces, from);
        const QSet<QString> names = itemNames(pieces, from, listEnd);
        if (names.isEmpty())
            continue;
        const size_t end = queryEnd(pieces, s);
        const size_t order = findTopLevelWord(pieces, listEnd, end, u"ORDER");
        if (order + 1 >= end || !pieces[order + 1].isWord(u"BY"))
            continue;
        const size_t itemsEnd = findTopLevelWord(pieces, order + 2, end, {u"OFFSET", u"FOR", u"OPTION"});
        for (const auto& [first, last] : splitTopLevel(pieces, order + 2, itemsEnd)) {
            if (!isTextSortItem(pieces, first, last) ||
                !names.contains(pieces[first].value().toLower()))
                continue;
            Pieces name = piecesOf(quoteName(pieces[first].value()));
            name.front().space = pieces[first].space;
            pieces[first] = name.front();
        }
    }
}

void moveLeadingAliases(Pieces& pieces) {
    for (size_t s = 0; s < pieces.size(); ++s) {
        if (!pieces[s].isWord(u"SELECT"))
            continue;
        const size_t from = selectListStart(pieces, s);
        const auto items = splitTopLevel(pieces, from, selectListEnd(pieces, from));
        // Right to left, so that the ranges still to do stay where they were.
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            const auto [first, last] = *it;
            if (!isLeadingAlias(pieces, first, last))
                continue;
            Pieces alias = piecesOf(QStringLiteral(" AS ") + quoteName(pieces[first].value()));
            alias.front().space = QStringLiteral(" ");
            insertPieces(pieces, last, alias);
            pieces[first + 2].space = pieces[first].space;
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(first),
                         pieces.begin() + static_cast<std::ptrdiff_t>(first + 2));
        }
    }
}

} // namespace estaciones::db::tsql::rewrite
