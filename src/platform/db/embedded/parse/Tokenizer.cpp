#include "platform/db/embedded/parse/Tokenizer.h"

#include "platform/db/embedded/parse/TypeSynonyms.h"

#include <array>

namespace estaciones::db::tsql {

namespace {

bool isIdentifierStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#');
}

bool isIdentifierPart(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') ||
           c == QLatin1Char('$') || c == QLatin1Char('@');
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A token's text. One-character tokens (a space, a comma, a parenthesis:
// about half of a long INSERT's tokens) share one string each instead of an
// allocation per token, which dominated the memory of tokenizing large texts.
QString tokenText(QStringView text) {
    static const std::array<QString, 128> ascii = [] {
        std::array<QString, 128> texts;
        for (std::size_t c = 0; c < texts.size(); ++c) {
            texts[c] = QString(QChar(static_cast<char16_t>(c)));
        }
        return texts;
    }();
    if (text.size() == 1 && text.front().unicode() < ascii.size()) {
        return ascii[text.front().unicode()];
    }
    return text.toString();
}

bool mayHoldLineBreak(TokenKind kind) {
    return kind == TokenKind::Whitespace || kind == TokenKind::Comment ||
           kind == TokenKind::String || kind == TokenKind::QuotedName;
}

class Scanner {
public:
    explicit Scanner(QStringView text) : m_text(text) {}

    Tokens run() {
        Tokens tokens;
        // About one token in four characters in the suite's scripts; growing
        // a large batch's vector copy by copy cost more than the scan.
        tokens.reserve(static_cast<std::size_t>(m_text.size() / 4 + 8));
        while (m_pos < m_text.size()) {
            const qsizetype start = m_pos;
            Token token;
            token.kind = scanOne(token);
            token.offset = start;
            token.line = m_line;
            token.text = tokenText(m_text.sliced(start, m_pos - start));
            if (mayHoldLineBreak(token.kind))
                m_line += static_cast<int>(token.text.count(QLatin1Char('\n')));
            if (token.kind != TokenKind::Whitespace && token.kind != TokenKind::Comment) {
                m_previous = token.kind;
                m_previousClosesParenthesis = token.kind == TokenKind::Punctuation &&
                                              token.text == QLatin1String(")");
            }
            tokens.push_back(std::move(token));
        }
        return tokens;
    }

private:
    QChar at(qsizetype i) const { return i < m_text.size() ? m_text[i] : QChar(); }
    QChar cur() const { return at(m_pos); }
    QChar next() const { return at(m_pos + 1); }

    TokenKind scanOne(Token& token) {
        const QChar c = cur();
        if (c.isSpace()) {
            while (m_pos < m_text.size() && cur().isSpace())
                ++m_pos;
            return TokenKind::Whitespace;
        }
        if (c == QLatin1Char('-') && next() == QLatin1Char('-')) {
            while (m_pos < m_text.size() && cur() != QLatin1Char('\n') &&
                   cur() != QLatin1Char('\r'))
                ++m_pos;
            return TokenKind::Comment;
        }
        if (c == QLatin1Char('/') && next() == QLatin1Char('*')) {
            token.unterminated = !scanBlockComment();
            return TokenKind::Comment;
        }
        if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && next() == QLatin1Char('\'')) {
            token.national = true;
            ++m_pos;
            token.unterminated = !scanQuoted(QLatin1Char('\''));
            return TokenKind::String;
        }
        if (c == QLatin1Char('\'')) {
            token.unterminated = !scanQuoted(QLatin1Char('\''));
            return TokenKind::String;
        }
        if (c == QLatin1Char('[')) {
            token.unterminated = !scanQuoted(QLatin1Char(']'));
            return TokenKind::QuotedName;
        }
        if (c == QLatin1Char('"')) {
            token.unterminated = !scanQuoted(QLatin1Char('"'));
            return TokenKind::QuotedName;
        }
        if (isDigit(c) || (c == QLatin1Char('.') && isDigit(next()) && !followsOperand())) {
            scanNumber();
            return TokenKind::Number;
        }
        if (c == QLatin1Char('@')) {
            ++m_pos;
            if (cur() == QLatin1Char('@'))
                ++m_pos;
            while (m_pos < m_text.size() && isIdentifierPart(cur()))
                ++m_pos;
            return TokenKind::Variable;
        }
        if (isIdentifierStart(c)) {
            while (m_pos < m_text.size() && isIdentifierPart(cur()))
                ++m_pos;
            return TokenKind::Word;
        }
        if (c == QLatin1Char('?')) {
            ++m_pos;
            return TokenKind::Parameter;
        }
        scanPunctuation();
        return TokenKind::Punctuation;
    }

    // A '.' right after a name or ')' qualifies it (t.5 is not a number);
    // after a blank it starts a number (DEFAULT .5, SELECT .5).
    bool followsOperand() const {
        if (m_pos > 0 && m_text[m_pos - 1].isSpace()) {
            return false;
        }
        return m_previous == TokenKind::Word || m_previous == TokenKind::QuotedName ||
               m_previousClosesParenthesis;
    }

    // Opening mark at m_pos; a doubled closer stands for itself.
    bool scanQuoted(QChar closer) {
        ++m_pos;
        while (m_pos < m_text.size()) {
            if (cur() == closer) {
                if (next() == closer) {
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return true;
            }
            ++m_pos;
        }
        return false;
    }

    // SQL Server nests block comments: /* a /* b */ c */ is one comment.
    bool scanBlockComment() {
        int depth = 0;
        while (m_pos < m_text.size()) {
            if (cur() == QLatin1Char('/') && next() == QLatin1Char('*')) {
                ++depth;
                m_pos += 2;
            } else if (cur() == QLatin1Char('*') && next() == QLatin1Char('/')) {
                m_pos += 2;
                if (--depth == 0)
                    return true;
            } else {
                ++m_pos;
            }
        }
        return false;
    }

    void scanNumber() {
        if (cur() == QLatin1Char('0') &&
            (next() == QLatin1Char('x') || next() == QLatin1Char('X'))) {
            m_pos += 2;
            while (m_pos < m_text.size() && isxdigit(cur().toLatin1()) && cur().unicode() < 128)
                ++m_pos;
            return;
        }
        while (isDigit(cur()))
            ++m_pos;
        if (cur() == QLatin1Char('.')) {
            ++m_pos;
            while (isDigit(cur()))
                ++m_pos;
        }
        if ((cur() == QLatin1Char('e') || cur() == QLatin1Char('E')) &&
            (isDigit(next()) || ((next() == QLatin1Char('+') || next() == QLatin1Char('-')) &&
                                 isDigit(at(m_pos + 2))))) {
            m_pos += 2;
            while (isDigit(cur()))
                ++m_pos;
        }
    }

    void scanPunctuation() {
        static const QLatin1String twoChar[] = {
            QLatin1String("<="), QLatin1String(">="), QLatin1String("<>"), QLatin1String("!="),
            QLatin1String("!<"), QLatin1String("!>"), QLatin1String("+="), QLatin1String("-="),
            QLatin1String("*="), QLatin1String("/="), QLatin1String("%="), QLatin1String("&="),
            QLatin1String("|="), QLatin1String("^="), QLatin1String("::")};
        const QStringView pair =
            m_text.sliced(m_pos, std::min<qsizetype>(2, m_text.size() - m_pos));
        for (const auto& op : twoChar) {
            if (pair == op) {
                m_pos += 2;
                return;
            }
        }
        // A lone surrogate pair stays whole so that the text is never split inside a character.
        m_pos += cur().isHighSurrogate() && next().isLowSurrogate() ? 2 : 1;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    TokenKind m_previous = TokenKind::Whitespace;
    bool m_previousClosesParenthesis = false;
};

} // namespace

Tokens tokenize(QStringView text) {
    return withTypeSynonyms(Scanner(text).run());
}

QString detokenize(const Tokens& tokens) {
    QString out;
    for (const Token& token : tokens)
        out += token.text;
    return out;
}

} // namespace estaciones::db::tsql
