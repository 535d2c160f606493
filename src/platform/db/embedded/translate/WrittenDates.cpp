#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/storage/DateText.h"

namespace estaciones::db::tsql::rewrite {

namespace {

// The text literal a conversion without a style converts: its second and
// last argument, alone or inside tsql_datetime_literal(...); none otherwise.
size_t convertedLiteral(const Pieces& pieces, size_t open, size_t close) {
    const auto args = splitTopLevel(pieces, open + 1, close);
    if (args.size() != 2)
        return none;
    auto [from, to] = args[1];
    if (to == from + 4 && pieces[from].isWord(u"tsql_datetime_literal") &&
        pieces[from + 1].isPunctuation(u"(") && pieces[from + 3].isPunctuation(u")"))
        from += 2;
    else if (to != from + 1)
        return none;
    return pieces[from].kind == TokenKind::String ? from : none;
}

} // namespace

void orderWrittenDates(Pieces& pieces, const DialectSettings& settings) {
    if (settings.dateOrder != DateOrder::YDM)
        return; // the only order that reads a dashed year-first text otherwise
    for (size_t i = 0; i + 3 < pieces.size(); ++i) {
        if (!pieces[i].isWord(u"tsql_convert") || !pieces[i + 1].isPunctuation(u"(") ||
            pieces[i + 2].kind != TokenKind::String)
            continue;
        const auto kind = dateKindOf(pieces[i + 2].value().trimmed().toLower());
        if (!kind)
            continue;
        const size_t literal = convertedLiteral(pieces, i + 1, closeOf(pieces, i + 1));
        if (literal == none)
            continue;
        const QString written = pieces[literal].value();
        const QString ordered = inIsoOrder(written, settings.dateOrder, *kind);
        if (ordered != written)
            pieces[literal].text = Token::string(ordered).text;
    }
}

} // namespace estaciones::db::tsql::rewrite
