#include "platform/db/embedded/translate/Rewrites.h"

namespace estaciones::db::tsql::rewrite {

namespace {

// += -= *= /= %= &= |= ^=: the operator before its '=', or empty.
QString compoundOperator(const Piece& piece) {
    static const QString operators = QStringLiteral("+-*/%&|^");
    if (piece.kind != TokenKind::Punctuation || piece.text.size() != 2 ||
        piece.text[1] != QLatin1Char('=') || !operators.contains(piece.text[0]))
        return {};
    return piece.text.left(1);
}

} // namespace

void expandCompoundAssignments(Pieces& pieces) {
    const size_t update = findTopLevelWord(pieces, 0, pieces.size(), u"UPDATE");
    if (update == pieces.size())
        return;
    const size_t set = findTopLevelWord(pieces, update + 1, pieces.size(), u"SET");
    if (set == pieces.size())
        return;
    const size_t listEnd =
        findTopLevelWord(pieces, set + 1, pieces.size(), {u"FROM", u"WHERE", u"OUTPUT", u"OPTION"});
    const auto items = splitTopLevel(pieces, set + 1, listEnd);
    // Right to left, so that the ranges still to do stay where they were.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const auto [first, last] = *it;
        size_t op = first;
        while (op < last && compoundOperator(pieces[op]).isEmpty())
            ++op;
        if (op == first || op + 1 >= last)
            continue;
        // col op= x → col = col op (x)
        Pieces closing = piecesOf(QStringLiteral(")"));
        closing.front().space.clear();
        insertPieces(pieces, last, closing);
        pieces[op + 1].space.clear(); // right after the '(' written below
        Pieces operand = slice(pieces, first, op);
        operand.front().space = QStringLiteral(" ");
        Pieces opening = piecesOf(QStringLiteral(" ") + compoundOperator(pieces[op]) +
                                  QStringLiteral(" ("));
        operand.insert(operand.end(), opening.begin(), opening.end());
        insertPieces(pieces, op + 1, operand);
        pieces[op].text = QStringLiteral("=");
    }
}

} // namespace estaciones::db::tsql::rewrite
