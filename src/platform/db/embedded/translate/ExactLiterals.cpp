#include "platform/db/embedded/bind/ArithmeticTypes.h"
#include "platform/db/embedded/storage/ExactNumbers.h"
#include "platform/db/embedded/translate/Rewrites.h"

namespace estaciones::db::tsql::rewrite {

void keepWideLiteralExact(Pieces& call) {
    // name ( 'type' , value [, ...] )
    if (call.size() < 6 || call[2].kind != TokenKind::String)
        return;
    const auto type = sqlite::NumericType::fromDeclaration(call[2].value());
    if (!type || (type->kind() != sqlite::NumericType::Kind::Decimal &&
                  type->kind() != sqlite::NumericType::Kind::Money &&
                  type->kind() != sqlite::NumericType::Kind::SmallMoney))
        return;
    const auto args = splitTopLevel(call, 2, call.size() - 1);
    if (args.size() < 2)
        return;
    auto [from, to] = args[1];
    const bool signed_ =
        to == from + 2 && (call[from].isPunctuation(u"-") || call[from].isPunctuation(u"+"));
    if (to != from + 1 + (signed_ ? 1 : 0) || call[to - 1].kind != TokenKind::Number ||
        !isWiderThanDouble(call[to - 1].text))
        return;
    Piece literal;
    static_cast<Token&>(literal) =
        Token::string((signed_ ? call[from].text : QString()) + call[to - 1].text);
    literal.space = call[from].space;
    replaceRange(call, from, to, {literal});
}

namespace {

// A decimal literal that SQLite would read as a double, losing digits: more
// than 15 significant ones with a point, or a whole number beyond 64 bits.
bool losesDigitsInSqlite(const QString& literal) {
    if (!isWiderThanDouble(literal))
        return false;
    if (literal.contains(u'.'))
        return true;
    bool fits = false;
    literal.toLongLong(&fits);
    return !fits;
}

// Whether a '-' at `i` is a sign (nothing, an operator, '(' or ',' or a
// keyword before it) rather than a subtraction.
bool isSignAt(const Pieces& pieces, size_t i) {
    if (!pieces[i].isPunctuation(u"-"))
        return false;
    if (i == 0)
        return true;
    const Piece& before = pieces[i - 1];
    if (before.kind == TokenKind::Punctuation)
        return !before.isPunctuation(u")");
    return before.kind == TokenKind::Word && isReservedWord(before) && !before.isWord(u"NULL") &&
           !before.isWord(u"END");
}

} // namespace

void keepWideLiteralsExact(Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].kind != TokenKind::Number || !losesDigitsInSqlite(pieces[i].text))
            continue;
        const auto type = sqlite::NumericType::fromLiteral(pieces[i].text);
        if (!type || type->kind() != sqlite::NumericType::Kind::Decimal)
            continue; // beyond 38 digits: a float, as the server reads it
        const bool signed_ = i > 0 && isSignAt(pieces, i - 1);
        const size_t from = signed_ ? i - 1 : i;
        Pieces call = piecesOf(QStringLiteral("tsql_convert(%1, %2)")
                                   .arg(Token::string(type->declaration()).text,
                                        Token::string((signed_ ? QStringLiteral("-") : QString()) +
                                                      pieces[i].text)
                                            .text));
        call.front().space = pieces[from].space;
        const size_t length = call.size();
        replaceRange(pieces, from, i + 1, std::move(call));
        i = from + length - 1;
    }
}

} // namespace estaciones::db::tsql::rewrite
