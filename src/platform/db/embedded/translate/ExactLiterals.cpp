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

} // namespace estaciones::db::tsql::rewrite
