#include "platform/db/embedded/translate/StoredDefinitions.h"

namespace estaciones::db::tsql {

namespace {

// A '-' or '+' that signs the number after it rather than subtracting.
bool isSign(const Pieces& pieces, size_t i) {
    if (!(pieces[i].isPunctuation(u"-") || pieces[i].isPunctuation(u"+")) ||
        i + 1 >= pieces.size() || pieces[i + 1].kind != TokenKind::Number)
        return false;
    if (i == 0)
        return true;
    const Piece& before = pieces[i - 1];
    return (before.kind == TokenKind::Punctuation && !before.isPunctuation(u")")) ||
           isReservedWord(before);
}

// The expression without the parentheses that enclose all of it.
std::pair<size_t, size_t> unwrapped(const Pieces& pieces) {
    size_t from = 0;
    size_t to = pieces.size();
    while (to - from >= 2 && pieces[from].isPunctuation(u"(") && closeOf(pieces, from) == to - 1) {
        ++from;
        --to;
    }
    return {from, to};
}

} // namespace

QString storedDefinition(const Pieces& expression) {
    const auto [from, to] = unwrapped(expression);
    QString text;
    bool blankAfter = false; // the last part written was a keyword
    for (size_t i = from; i < to; ++i) {
        const Piece& p = expression[i];
        QString part;
        bool blankBefore = false;
        bool keyword = false;
        if (isSign(expression, i)) {
            part = QStringLiteral("(%1%2)").arg(p.text, expression[i + 1].text);
            ++i;
        } else if (p.kind == TokenKind::Number) {
            part = QStringLiteral("(%1)").arg(p.text);
        } else if (p.isWord(u"AS") && i + 1 < to && expression[i + 1].kind == TokenKind::Word) {
            // CAST(x AS type[(n)]): the type as written, in lower case.
            size_t end = i + 2;
            if (end < to && expression[end].isPunctuation(u"("))
                end = std::min(closeOf(expression, end) + 1, to);
            part = QStringLiteral("AS ") +
                   render(expression, i + 1, end).toLower().remove(QLatin1Char(' '));
            blankBefore = true;
            i = end - 1;
        } else if (isReservedWord(p)) {
            part = p.text.toUpper();
            blankBefore = keyword = true;
        } else if (p.kind == TokenKind::Word && i + 1 < to && expression[i + 1].isPunctuation(u"(")) {
            part = p.text.toLower();
        } else if (p.kind == TokenKind::Word || p.kind == TokenKind::QuotedName) {
            part = QStringLiteral("[%1]").arg(p.value());
        } else {
            part = p.text;
        }
        if (!text.isEmpty() && (blankBefore || blankAfter))
            text += QLatin1Char(' ');
        text += part;
        blankAfter = keyword;
    }
    return QStringLiteral("(%1)").arg(text);
}

} // namespace estaciones::db::tsql
