#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace estaciones::db::tsql {

enum class TokenKind {
    Whitespace,
    Comment,     // -- to end of line, or /* ... */ (nested)
    String,      // '...' with '' for a quote; N'...' is national
    QuotedName,  // [...] with ]] for ], or "..." with "" for "
    Number,      // 12, 1.5, .5, 1e3, 0x1F
    Word,        // identifiers and keywords, #temp names included
    Variable,    // @x, @@x
    Parameter,   // ?
    Punctuation, // operators and separators: ( ) , ; . = <> <= >= != !< !> += ...
};

// One token of a T-SQL text. `text` is the exact source text, so writing the
// texts back in order gives the input unchanged.
struct Token {
    TokenKind kind = TokenKind::Whitespace;
    QString text;
    qsizetype offset = 0;      // where the token starts in the tokenized text
    int line = 0;              // its line in that text, from 1 (0: made by the engine)
    bool national = false;     // N'...'
    bool unterminated = false; // string, name or comment without its closing mark

    // The content of a string or quoted name with the escapes undone; a
    // Word's or Variable's text otherwise.
    QString value() const;

    bool isTrivia() const { return kind == TokenKind::Whitespace || kind == TokenKind::Comment; }
    // A Word equal to `word` ignoring case (keywords are compared this way).
    bool isWord(QStringView word) const;
    bool isPunctuation(QStringView punctuation) const;
    // A Word or QuotedName whose value equals `name` ignoring case.
    bool isName(QStringView name) const;
    bool isNameLike() const { return kind == TokenKind::Word || kind == TokenKind::QuotedName; }

    static Token word(const QString& text);
    static Token punctuation(const QString& text);
    static Token whitespace(const QString& text = QStringLiteral(" "));
    static Token string(const QString& value); // quotes and escapes added
    // The text of string(value): 'value' with its quotes doubled.
    static QString literal(const QString& value) { return string(value).text; }
    static Token number(const QString& text);
};

using Tokens = std::vector<Token>;

} // namespace estaciones::db::tsql
