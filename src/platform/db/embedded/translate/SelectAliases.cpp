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

// The first piece of the select list of the SELECT at `select`: after
// DISTINCT or ALL and TOP n | TOP (expr) [PERCENT] [WITH TIES].
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

// `name = expression`, `[name] = …` or `'name' = …`: the name of an item
// given before its expression.
bool isLeadingAlias(const Pieces& pieces, size_t from, size_t to) {
    if (to - from < 3 || !pieces[from + 1].isPunctuation(u"="))
        return false;
    const Piece& name = pieces[from];
    return name.kind == TokenKind::QuotedName || name.kind == TokenKind::String ||
           (name.kind == TokenKind::Word && !isReservedWord(name));
}

} // namespace

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
