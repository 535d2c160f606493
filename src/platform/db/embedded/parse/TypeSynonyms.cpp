#include "platform/db/embedded/parse/TypeSynonyms.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <vector>

namespace estaciones::db::tsql {

namespace {

struct Synonym {
    std::array<const char16_t*, 3> words; // nullptr past the last
    const char* type;
};

// Longest first, so that "national character varying" is not read as
// "national character".
constexpr Synonym synonyms[] = {
    {{u"national", u"character", u"varying"}, "nvarchar"},
    {{u"national", u"char", u"varying"}, "nvarchar"},
    {{u"double", u"precision", nullptr}, "float"},
    {{u"char", u"varying", nullptr}, "varchar"},
    {{u"character", u"varying", nullptr}, "varchar"},
    {{u"nchar", u"varying", nullptr}, "nvarchar"},
    {{u"binary", u"varying", nullptr}, "varbinary"},
    {{u"national", u"character", nullptr}, "nchar"},
    {{u"national", u"char", nullptr}, "nchar"},
    {{u"national", u"text", nullptr}, "ntext"},
};

bool isBlank(const Token& t) {
    return t.kind == TokenKind::Whitespace || t.kind == TokenKind::Comment;
}

// The index of the next token that is not a blank, from `i` on.
std::size_t nextWord(const Tokens& tokens, std::size_t i) {
    while (i < tokens.size() && isBlank(tokens[i]))
        ++i;
    return i;
}

// float(n): real for 1 to 24 bits of mantissa, float for 25 to 53. The
// index of the last token the name takes (its closing parenthesis), or
// `name` when it stays as it is.
std::size_t floatOfBits(Tokens& tokens, std::size_t name, std::size_t open) {
    const std::size_t bits = nextWord(tokens, open + 1);
    const std::size_t close = nextWord(tokens, bits + 1);
    if (close >= tokens.size() || tokens[bits].kind != TokenKind::Number ||
        !tokens[close].isPunctuation(u")"))
        return name;
    bool ok = false;
    const int n = tokens[bits].text.toInt(&ok);
    if (!ok || n < 1 || n > 53)
        return name; // the server's own error for the size, where it checks it
    tokens[name].text = n <= 24 ? QStringLiteral("real") : QStringLiteral("float");
    return close;
}

// Whether a word can start a synonym or a sized one-word name: every batch
// passes here, and most of its words are none of these.
bool mayStartSynonym(const Token& word) {
    switch (word.text.size()) {
    case 3:
        return word.isWord(u"dec");
    case 4:
        return word.isWord(u"char");
    case 5:
        return word.isWord(u"nchar") || word.isWord(u"float");
    case 6:
        return word.isWord(u"double") || word.isWord(u"binary");
    case 8:
        return word.isWord(u"national");
    case 9:
        return word.isWord(u"character");
    default:
        return false;
    }
}

} // namespace

Tokens withTypeSynonyms(Tokens tokens) {
    // The words a synonym replaces are dropped in one pass at the end: erasing
    // them one by one moved the rest of a large batch each time.
    std::vector<bool> dropped;
    const auto drop = [&](std::size_t from, std::size_t to) {
        if (dropped.empty())
            dropped.resize(tokens.size(), false);
        std::fill(dropped.begin() + static_cast<std::ptrdiff_t>(from),
                  dropped.begin() + static_cast<std::ptrdiff_t>(to) + 1, true);
    };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        Token& first = tokens[i];
        if (first.kind != TokenKind::Word || !mayStartSynonym(first))
            continue;
        std::size_t end = i; // the last token of the name
        for (const Synonym& synonym : synonyms) {
            std::size_t at = i;
            std::size_t last = i;
            bool matches = true;
            for (const char16_t* word : synonym.words) {
                if (!word)
                    break;
                if (at >= tokens.size() || !tokens[at].isWord(word)) {
                    matches = false;
                    break;
                }
                last = at;
                at = nextWord(tokens, at + 1);
            }
            if (!matches)
                continue;
            first.text = QString::fromLatin1(synonym.type);
            end = last;
            break;
        }
        // character(n) and dec(p, s): the one-word names, before their sizes.
        const std::size_t open = nextWord(tokens, end + 1);
        if (open < tokens.size() && tokens[open].isPunctuation(u"(")) {
            if (first.isWord(u"character"))
                first.text = QStringLiteral("char");
            else if (first.isWord(u"dec"))
                first.text = QStringLiteral("decimal");
            else if (first.isWord(u"float"))
                end = floatOfBits(tokens, i, open);
        }
        if (end > i) {
            drop(i + 1, end);
            i = end;
        }
    }
    if (dropped.empty())
        return tokens;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!dropped[i])
            tokens[kept++] = std::move(tokens[i]);
    }
    tokens.resize(kept);
    return tokens;
}

} // namespace estaciones::db::tsql
