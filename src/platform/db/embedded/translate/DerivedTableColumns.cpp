#include "platform/db/embedded/translate/Rewrites.h"

namespace estaciones::db::tsql::rewrite {

namespace {

// Whether the '(' at `open` starts a table source: after FROM, JOIN or the
// comma of a FROM list. APPLY reads its own column names (rewriteTableOperators).
bool startsTableSource(const Pieces& pieces, size_t open) {
    if (open == 0)
        return false;
    const Piece& before = pieces[open - 1];
    return before.isWord(u"FROM") || before.isWord(u"JOIN") || before.isPunctuation(u",");
}

// The names of `(name, name ...)` from `open` on, or nothing when the
// parentheses hold anything else.
std::optional<size_t> nameListEnd(const Pieces& pieces, size_t open) {
    if (open >= pieces.size() || !pieces[open].isPunctuation(u"("))
        return std::nullopt;
    const size_t close = closeOf(pieces, open);
    if (close >= pieces.size() || close == open + 1)
        return std::nullopt;
    for (size_t i = open + 1; i < close; ++i) {
        const bool name = (i - open) % 2 == 1;
        if (name ? !pieces[i].isNameLike() || isReservedWord(pieces[i])
                 : !pieces[i].isPunctuation(u","))
            return std::nullopt;
    }
    return close;
}

} // namespace

void nameDerivedTableColumns(Pieces& pieces) {
    for (size_t open = 0; open < pieces.size(); ++open) {
        if (!pieces[open].isPunctuation(u"(") || open + 1 >= pieces.size() ||
            !(pieces[open + 1].isWord(u"SELECT") || pieces[open + 1].isWord(u"VALUES") ||
              pieces[open + 1].isWord(u"WITH")) ||
            !startsTableSource(pieces, open))
            continue;
        const size_t close = closeOf(pieces, open);
        if (close >= pieces.size())
            continue;
        size_t alias = close + 1;
        if (alias < pieces.size() && pieces[alias].isWord(u"AS"))
            ++alias;
        if (alias >= pieces.size() || !pieces[alias].isNameLike() || isReservedWord(pieces[alias]))
            continue;
        const auto listEnd = nameListEnd(pieces, alias + 1);
        if (!listEnd)
            continue;
        // (query) AS t (a, b) → (WITH t (a, b) AS (query) SELECT * FROM t) AS t: a
        // common table expression is where SQLite takes a list of column names.
        const QString name = render(pieces, alias, alias + 1).trimmed();
        Pieces replaced = piecesOf(QStringLiteral("(WITH %1 %2 AS")
                                       .arg(name, render(pieces, alias + 1, *listEnd + 1).trimmed()));
        replaced.front().space = pieces[open].space;
        replaced.insert(replaced.end(), pieces.begin() + static_cast<std::ptrdiff_t>(open),
                        pieces.begin() + static_cast<std::ptrdiff_t>(close + 1));
        const Pieces tail = piecesOf(QStringLiteral(" SELECT * FROM %1) AS %1").arg(name));
        replaced.insert(replaced.end(), tail.begin(), tail.end());
        replaceRange(pieces, open, *listEnd + 1, std::move(replaced));
    }
}

} // namespace estaciones::db::tsql::rewrite
