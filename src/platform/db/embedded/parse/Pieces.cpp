#include "platform/db/embedded/parse/Pieces.h"

#include "platform/db/embedded/parse/Tokenizer.h"

#include <QSet>

#include <algorithm>

namespace estaciones::db::tsql {

Pieces toPieces(const Tokens& tokens) {
    Pieces pieces;
    pieces.reserve(tokens.size());
    QString space;
    for (const Token& token : tokens) {
        if (token.kind == TokenKind::Whitespace) {
            space += token.text;
        } else if (token.kind == TokenKind::Comment) {
            space += QLatin1Char(' ');
        } else {
            Piece piece;
            static_cast<Token&>(piece) = token;
            piece.space = space;
            space.clear();
            pieces.push_back(std::move(piece));
        }
    }
    return pieces;
}

Pieces piecesOf(const QString& text) {
    Pieces pieces = toPieces(tokenize(text));
    if (!pieces.empty() && pieces.front().space.isEmpty())
        pieces.front().space = QStringLiteral(" ");
    return pieces;
}

Pieces slice(const Pieces& pieces, size_t from, size_t to) {
    to = std::min(to, pieces.size());
    return from < to ? Pieces(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                              pieces.begin() + static_cast<std::ptrdiff_t>(to))
                     : Pieces();
}

namespace {

bool isWordLike(const Piece& p) {
    return p.kind == TokenKind::Word || p.kind == TokenKind::Number ||
           p.kind == TokenKind::Variable || p.kind == TokenKind::Parameter;
}

} // namespace

QString render(const Pieces& pieces, size_t from, size_t to) {
    to = std::min(to, pieces.size());
    QString out;
    for (size_t i = from; i < to; ++i) {
        const Piece& p = pieces[i];
        QString space = i == from ? QString() : p.space;
        if (space.isEmpty() && i > from && isWordLike(p) && isWordLike(pieces[i - 1]))
            space = QStringLiteral(" ");
        // '-' '-' would start a comment; '/' '*' likewise.
        if (space.isEmpty() && i > from && p.kind == TokenKind::Punctuation &&
            pieces[i - 1].kind == TokenKind::Punctuation &&
            ((p.text.startsWith(QLatin1Char('-')) &&
              pieces[i - 1].text.endsWith(QLatin1Char('-'))) ||
             (p.text.startsWith(QLatin1Char('*')) &&
              pieces[i - 1].text.endsWith(QLatin1Char('/')))))
            space = QStringLiteral(" ");
        out += space;
        out += p.text;
    }
    return out;
}

size_t closeOf(const Pieces& pieces, size_t open) {
    int depth = 0;
    for (size_t i = open; i < pieces.size(); ++i) {
        if (pieces[i].isPunctuation(u"("))
            ++depth;
        else if (pieces[i].isPunctuation(u")") && --depth == 0)
            return i;
    }
    return pieces.size();
}

size_t openOf(const Pieces& pieces, size_t close) {
    int depth = 0;
    for (size_t i = close + 1; i-- > 0;) {
        if (pieces[i].isPunctuation(u")"))
            ++depth;
        else if (pieces[i].isPunctuation(u"(") && --depth == 0)
            return i;
    }
    return size_t(-1);
}

size_t endOfCase(const Pieces& pieces, size_t caseIndex) {
    int depth = 0;
    for (size_t i = caseIndex; i < pieces.size(); ++i) {
        if (pieces[i].isWord(u"CASE"))
            ++depth;
        else if (pieces[i].isWord(u"END") && --depth == 0)
            return i;
    }
    return pieces.size();
}

size_t caseOfEnd(const Pieces& pieces, size_t endIndex) {
    int depth = 0;
    for (size_t i = endIndex + 1; i-- > 0;) {
        if (pieces[i].isWord(u"END"))
            ++depth;
        else if (pieces[i].isWord(u"CASE") && --depth == 0)
            return i;
    }
    return size_t(-1);
}

std::vector<std::pair<size_t, size_t>> splitTopLevel(const Pieces& pieces, size_t from, size_t to,
                                                     QStringView separator) {
    std::vector<std::pair<size_t, size_t>> parts;
    int depth = 0;
    size_t start = from;
    for (size_t i = from; i < to; ++i) {
        if (pieces[i].isPunctuation(u"("))
            ++depth;
        else if (pieces[i].isPunctuation(u")"))
            --depth;
        else if (depth == 0 && pieces[i].isPunctuation(separator)) {
            parts.emplace_back(start, i);
            start = i + 1;
        }
    }
    if (start < to || !parts.empty())
        parts.emplace_back(start, to);
    return parts;
}

bool isSetOperator(const Piece& p) {
    return p.isWord(u"UNION") || p.isWord(u"EXCEPT") || p.isWord(u"INTERSECT");
}

std::vector<std::pair<size_t, size_t>> compoundBranches(const Pieces& pieces, size_t from,
                                                        size_t to) {
    std::vector<std::pair<size_t, size_t>> branches;
    size_t start = from;
    for (size_t i = from; i < to; ++i) {
        const Piece& p = pieces[i];
        if (p.isPunctuation(u"(")) {
            i = closeOf(pieces, i);
        } else if (isSetOperator(p)) {
            branches.emplace_back(start, i);
            start = i + 1 < to && pieces[i + 1].isWord(u"ALL") ? i + 2 : i + 1;
        }
    }
    branches.emplace_back(start, to);
    return branches;
}

size_t findTopLevelWord(const Pieces& pieces, size_t from, size_t to, QStringView word) {
    return findTopLevelWord(pieces, from, to, {word});
}

size_t findTopLevelWord(const Pieces& pieces, size_t from, size_t to,
                        std::initializer_list<QStringView> words) {
    int depth = 0;
    for (size_t i = from; i < to; ++i) {
        if (pieces[i].isPunctuation(u"("))
            ++depth;
        else if (pieces[i].isPunctuation(u")"))
            --depth;
        else if (depth == 0 && std::any_of(words.begin(), words.end(),
                                           [&](QStringView word) { return pieces[i].isWord(word); }))
            return i;
    }
    return to;
}

size_t nearestAtOwnLevel(const Pieces& pieces, size_t at,
                         const std::function<bool(const Piece&)>& matches) {
    int depth = 0;
    for (size_t i = at; i-- > 0;) {
        if (pieces[i].isPunctuation(u")"))
            ++depth;
        else if (pieces[i].isPunctuation(u"(") && --depth < 0)
            return none;
        else if (depth == 0 && matches(pieces[i]))
            return i;
    }
    return none;
}

size_t enclosingSelect(const Pieces& pieces, size_t at) {
    return nearestAtOwnLevel(pieces, at, [](const Piece& p) { return p.isWord(u"SELECT"); });
}

size_t queryEnd(const Pieces& pieces, size_t select) {
    int depth = 0;
    for (size_t i = select + 1; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.isPunctuation(u"("))
            ++depth;
        else if (p.isPunctuation(u")") && --depth < 0)
            return i;
        else if (depth == 0 && (p.isPunctuation(u";") || p.isWord(u"UNION") ||
                                p.isWord(u"EXCEPT") || p.isWord(u"INTERSECT")))
            return i;
    }
    return pieces.size();
}

bool isReservedWord(const Piece& piece) {
    static const QSet<QString> reserved = {
        "select", "from",      "where",  "and",    "or",       "not",    "on",        "join",
        "inner",  "left",      "right",  "outer",  "cross",    "full",   "group",     "order",
        "by",     "having",    "union",  "all",    "distinct", "as",     "in",        "is",
        "like",   "between",   "exists", "case",   "when",     "then",   "else",      "end",
        "set",    "values",    "into",   "insert", "update",   "delete", "top",       "with",
        "asc",    "desc",      "limit",  "escape", "collate",  "except", "intersect", "option",
        "return", "if",        "while",  "begin",  "declare",  "exec",   "execute",   "print",
        "create", "alter",     "drop",   "table",  "view",     "index",  "procedure", "percent",
        "over",   "partition", "using",  "output", "offset",   "fetch",  "null"};
    return piece.kind == TokenKind::Word && reserved.contains(piece.text.toLower());
}

void replaceRange(Pieces& pieces, size_t from, size_t to, Pieces replacement) {
    if (!replacement.empty() && from < pieces.size())
        replacement.front().space = pieces[from].space;
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                 pieces.begin() + static_cast<std::ptrdiff_t>(std::min(to, pieces.size())));
    pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(from), replacement.begin(),
                  replacement.end());
}

void insertPieces(Pieces& pieces, size_t at, const Pieces& inserted) {
    pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(std::min(at, pieces.size())),
                  inserted.begin(), inserted.end());
}

QString quoteName(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

bool isMultiplicative(const Piece& p) {
    return p.isPunctuation(u"*") || p.isPunctuation(u"/") || p.isPunctuation(u"%");
}

bool isAdditive(const Piece& p) {
    return p.isPunctuation(u"+") || p.isPunctuation(u"-") || p.isPunctuation(u"&") ||
           p.isPunctuation(u"|") || p.isPunctuation(u"^");
}

bool isBoundary(const Pieces& pieces, size_t i) {
    if (i == size_t(-1))
        return true;
    const Piece& p = pieces[i];
    if (p.kind == TokenKind::Punctuation)
        return !isMultiplicative(p) && !isAdditive(p) && !p.isPunctuation(u".") &&
               !p.isPunctuation(u"~");
    return isReservedWord(p) && !p.isWord(u"NULL") && !p.isWord(u"END");
}

bool isComparison(const Piece& p) {
    static const QSet<QString> operators = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};
    return p.kind == TokenKind::Punctuation && operators.contains(p.text);
}

} // namespace estaciones::db::tsql
