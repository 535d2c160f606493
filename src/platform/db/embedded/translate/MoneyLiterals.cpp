#include "platform/db/embedded/translate/Rewrites.h"

namespace estaciones::db::tsql::rewrite {

void mapMoneyLiterals(Pieces& pieces) {
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        // $1.50 (the executor may hand it on as "$ 1.50"; a '$' means nothing else).
        if (!pieces[i].isPunctuation(u"$") || pieces[i + 1].kind != TokenKind::Number)
            continue;
        Pieces call = piecesOf(QStringLiteral("tsql_convert('money', %1)").arg(pieces[i + 1].text));
        call.front().space = pieces[i].space;
        keepWideLiteralExact(call);
        const size_t length = call.size();
        replaceRange(pieces, i, i + 2, std::move(call));
        i += length - 1;
    }
}

} // namespace estaciones::db::tsql::rewrite
