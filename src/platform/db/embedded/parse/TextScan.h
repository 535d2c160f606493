#pragma once

#include <QString>
#include <QStringView>

#include <string_view>

namespace estaciones::db::tsql {

// Cheap looks at a statement's raw text, for the passes that first ask
// whether they can apply at all: most statements give them nothing to do,
// and a lower-case copy and a search per name cost more than the answer.

// A letter, digit, '_' or '$': a character of a name.
inline bool isNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Whether `lowerWord` (ASCII, lower case) stands at `at`, in any case.
inline bool matchesAt(QStringView text, qsizetype at, std::string_view lowerWord) {
    if (at < 0 || text.size() - at < static_cast<qsizetype>(lowerWord.size()))
        return false;
    for (size_t k = 0; k < lowerWord.size(); ++k) {
        char16_t c = text[at + static_cast<qsizetype>(k)].unicode();
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + (u'a' - u'A'));
        if (c != static_cast<unsigned char>(lowerWord[k]))
            return false;
    }
    return true;
}

// ... and stands there as a whole word (no name character either side).
inline bool wordAt(QStringView text, qsizetype at, std::string_view lowerWord) {
    const qsizetype end = at + static_cast<qsizetype>(lowerWord.size());
    return matchesAt(text, at, lowerWord) && (at == 0 || !isNameCharacter(text[at - 1])) &&
           (end >= text.size() || !isNameCharacter(text[end]));
}

// Whether the text's first word, after blanks, is `lowerWord`, in any case.
inline bool startsWithWord(QStringView text, std::string_view lowerWord) {
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace())
        ++at;
    return wordAt(text, at, lowerWord);
}

// Whether any of `lowerWords` is in `text` as a whole word, in any case.
inline bool mentionsWord(QStringView text, std::initializer_list<std::string_view> lowerWords) {
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (at > 0 && isNameCharacter(text[at - 1]))
            continue; // inside a name: only its start can begin a word
        for (const std::string_view word : lowerWords)
            if (wordAt(text, at, word))
                return true;
    }
    return false;
}

// `text` in upper case, as QString::toUpper gives it; an ASCII word (every
// keyword) without Qt's general case tables, which cost more than the rest of
// a statement's first look.
inline QString upperCased(const QString& text) {
    bool lower = false;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.toUpper();
        lower = lower || (c >= u'a' && c <= u'z');
    }
    if (!lower)
        return text; // shared, not copied
    QString upper(text.size(), Qt::Uninitialized);
    QChar* out = upper.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        out[i] = QChar(c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - (u'a' - u'A')) : c);
    }
    return upper;
}

} // namespace estaciones::db::tsql
