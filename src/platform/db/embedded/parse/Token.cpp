#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql {

namespace {

// The text between the opening and closing marks with doubled closers undone.
QString unescape(QStringView body, QChar closer) {
    QString out;
    out.reserve(body.size());
    for (qsizetype i = 0; i < body.size(); ++i) {
        out += body[i];
        if (body[i] == closer && i + 1 < body.size() && body[i + 1] == closer)
            ++i;
    }
    return out;
}

} // namespace

QString Token::value() const {
    if (kind == TokenKind::String) {
        QStringView body(text);
        body = body.sliced(national ? 2 : 1);
        if (!unterminated && !body.isEmpty())
            body.chop(1);
        return unescape(body, QLatin1Char('\''));
    }
    if (kind == TokenKind::QuotedName) {
        const QChar closer =
            text.startsWith(QLatin1Char('[')) ? QLatin1Char(']') : QLatin1Char('"');
        QStringView body = QStringView(text).sliced(1);
        if (!unterminated && !body.isEmpty())
            body.chop(1);
        return unescape(body, closer);
    }
    return text;
}

bool Token::isWord(QStringView word) const {
    // Case is folded one UTF-16 unit at a time, so texts of other lengths
    // never match; the length test spares most calls the fold.
    if (kind != TokenKind::Word || text.size() != word.size())
        return false;
    // Keywords are ASCII: compared here without Qt's general folding, which
    // a translation asks for thousands of times. Past ASCII, Qt's folding.
    const QChar* mine = text.constData();
    const QChar* other = word.data();
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t a = mine[i].unicode();
        const char16_t b = other[i].unicode();
        if (a == b)
            continue;
        if ((a | b) >= 0x80)
            return text.compare(word, Qt::CaseInsensitive) == 0;
        const char16_t lower = a | 0x20;
        if (lower != (b | 0x20) || lower < u'a' || lower > u'z')
            return false;
    }
    return true;
}

bool Token::isPunctuation(QStringView punctuation) const {
    return kind == TokenKind::Punctuation && text == punctuation;
}

bool Token::isName(QStringView name) const {
    return isNameLike() && value().compare(name, Qt::CaseInsensitive) == 0;
}

Token Token::word(const QString& text) {
    return Token{TokenKind::Word, text};
}

Token Token::punctuation(const QString& text) {
    return Token{TokenKind::Punctuation, text};
}

Token Token::whitespace(const QString& text) {
    return Token{TokenKind::Whitespace, text};
}

Token Token::string(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return Token{TokenKind::String, QLatin1Char('\'') + escaped + QLatin1Char('\'')};
}

Token Token::number(const QString& text) {
    return Token{TokenKind::Number, text};
}

} // namespace estaciones::db::tsql
