#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/translate/Rewrites.h"

namespace estaciones::db::tsql::rewrite {

namespace {

// FOR XML PATH ('') at `at`: the index after it, or `at` when it is not there.
size_t afterXmlPath(const Pieces& pieces, size_t at) {
    if (at + 5 >= pieces.size() || !pieces[at].isWord(u"FOR") || !pieces[at + 1].isWord(u"XML") ||
        !pieces[at + 2].isWord(u"PATH") || !pieces[at + 3].isPunctuation(u"(") ||
        pieces[at + 4].kind != TokenKind::String || !pieces[at + 5].isPunctuation(u")"))
        return at;
    if (!pieces[at + 4].value().isEmpty())
        // Rows as <name> elements: only the text-joining form is carried out.
        sqlite::failWith(sqlite::native::NotSupported, {QStringLiteral("FOR XML PATH('name')")});
    return at + 6;
}

// The '(' that encloses pieces[at], or size_t(-1).
size_t enclosingOpen(const Pieces& pieces, size_t at) {
    int depth = 0;
    for (size_t i = at; i-- > 0;) {
        if (pieces[i].isPunctuation(u")"))
            ++depth;
        else if (pieces[i].isPunctuation(u"(") && depth-- == 0)
            return i;
    }
    return size_t(-1);
}

} // namespace

bool readsXmlText(const Token& method, const Token& path, const Token& type) {
    return method.isName(u"value") && path.kind == TokenKind::String &&
           path.value() == QLatin1String(".") && type.kind == TokenKind::String &&
           QString(type.value()).remove(QLatin1Char(' ')).toLower().endsWith(
               QLatin1String("varchar(max)"));
}

void joinForXmlPath(Pieces& pieces) {
    for (size_t at = 0; at < pieces.size(); ++at) {
        size_t end = afterXmlPath(pieces, at);
        if (end == at)
            continue;
        const size_t open = enclosingOpen(pieces, at);
        if (open == size_t(-1) || open + 1 >= at || !pieces[open + 1].isWord(u"SELECT"))
            sqlite::failWith(sqlite::native::NotSupported, {QStringLiteral("FOR XML")});
        // , TYPE).value('.', 'nvarchar(max)') reads the joined text back unescaped.
        bool typed = false;
        if (end + 1 < pieces.size() && pieces[end].isPunctuation(u",") &&
            pieces[end + 1].isWord(u"TYPE")) {
            typed = true;
            end += 2;
        }
        const size_t close = closeOf(pieces, open);
        if (close != end)
            sqlite::failWith(sqlite::native::NotSupported, {QStringLiteral("FOR XML")});
        size_t replaced = close + 1;
        if (typed && replaced + 2 < pieces.size() && pieces[replaced].isPunctuation(u".")) {
            // Only value('.', '[n]varchar(max)'), the joined text itself, is read here.
            const size_t open = replaced + 2;
            const bool textValue = pieces[open].isPunctuation(u"(") &&
                                   closeOf(pieces, open) == open + 4 &&
                                   pieces[open + 2].isPunctuation(u",") &&
                                   readsXmlText(pieces[replaced + 1], pieces[open + 1],
                                                pieces[open + 3]);
            if (!textValue)
                sqlite::failWith(sqlite::native::NotSupported,
                                 {QStringLiteral("xml data type methods")});
            replaced = closeOf(pieces, open) + 1;
        }
        const size_t from = findTopLevelWord(pieces, open + 2, at, u"FROM");
        Pieces expression(pieces.begin() + static_cast<std::ptrdiff_t>(open + 2),
                          pieces.begin() + static_cast<std::ptrdiff_t>(from));
        // A named column would become an element (the executor writes those);
        // [text()] is the text itself, [data()] values are spaced.
        QString separator;
        if (expression.size() >= 2 && expression[expression.size() - 2].isWord(u"AS")) {
            const QString alias = expression.back().value();
            if (alias == QLatin1String("data()"))
                separator = QStringLiteral(" ");
            else if (alias != QLatin1String("text()"))
                sqlite::failWith(sqlite::native::NotSupported,
                                 {QStringLiteral("FOR XML PATH with named columns")});
            expression.resize(expression.size() - 2);
        }
        QString value = render(expression).trimmed();
        if (!typed)
            value = QStringLiteral("replace(replace(replace(%1, '&', '&amp;'), '<', '&lt;'), '>', "
                                   "'&gt;')")
                        .arg(value);
        const QString text = QStringLiteral("(SELECT group_concat(tsql_xml_v, '%3') FROM (SELECT "
                                            "%1 AS tsql_xml_v %2))")
                                 .arg(value, render(pieces, from, at).trimmed(), separator);
        Pieces replacement = piecesOf(text);
        const size_t length = replacement.size();
        replaceRange(pieces, open, replaced, std::move(replacement));
        at = open + length - 1;
    }
}

} // namespace estaciones::db::tsql::rewrite
