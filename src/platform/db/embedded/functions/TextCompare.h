#pragma once

#include <QString>
#include <QStringView>

namespace estaciones::db::tsql {

// SQL Server's Latin1_General_CI_AS / _CI_AI comparison: letter case and
// trailing blanks never count; accents count unless `accentInsensitive`.
// Letters order by their base letter first, so 'ñ' sorts between 'n' and 'o'.
class TextCompare {
public:
    explicit TextCompare(bool accentInsensitive) : m_accentInsensitive(accentInsensitive) {}

    int compare(QStringView a, QStringView b) const;
    bool equal(QStringView a, QStringView b) const { return compare(a, b) == 0; }

    // LIKE with SQL Server's wildcards: % _ [abc] [a-z] [^abc]; `escape`
    // (if not null) makes the next pattern character literal. Trailing blanks
    // of `text` are ignored, the pattern's count.
    bool like(QStringView text, QStringView pattern, QChar escape = QChar()) const;

    // Position (0-based) of `needle` in `haystack` from `from`, or -1.
    qsizetype indexOf(QStringView haystack, QStringView needle, qsizetype from = 0) const;

    // The character as compared: case folded, without its accent when accents do not count.
    char32_t fold(char32_t c) const;

private:
    bool m_accentInsensitive;
};

// The character without its accent (á → a, ñ → n, ç → c); others unchanged.
char32_t baseLetter(char32_t c);

} // namespace estaciones::db::tsql
