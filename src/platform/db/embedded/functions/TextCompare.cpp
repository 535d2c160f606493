#include "platform/db/embedded/functions/TextCompare.h"

#include <QChar>

#include <vector>

namespace estaciones::db::tsql {

namespace {

std::vector<char32_t> codePoints(QStringView text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.push_back(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            out.push_back(c.unicode());
        }
    }
    return out;
}

QStringView withoutTrailingBlanks(QStringView text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    return text.first(n);
}

char32_t caseFold(char32_t c) {
    if (c < 128)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

} // namespace

char32_t baseLetter(char32_t c) {
    if (c < 0xC0)
        return c;
    const QString decomposition = QChar::decomposition(c);
    if (decomposition.isEmpty() || QChar::decompositionTag(c) != QChar::Canonical)
        return c;
    // The first code point of a canonical decomposition is the base letter
    // (recursively for letters with several marks).
    return baseLetter(decomposition.at(0).unicode());
}

char32_t TextCompare::fold(char32_t c) const {
    const char32_t folded = caseFold(c);
    return m_accentInsensitive ? baseLetter(folded) : folded;
}

int TextCompare::compare(QStringView a, QStringView b) const {
    a = withoutTrailingBlanks(a);
    b = withoutTrailingBlanks(b);
    // Primary strength: base letters without case; then accents, unless they do not count.
    int accentOrder = 0;
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y)
            continue;
        const char32_t fx = caseFold(x);
        const char32_t fy = caseFold(y);
        if (fx == fy)
            continue;
        const char32_t bx = baseLetter(fx);
        const char32_t by = baseLetter(fy);
        if (bx != by)
            return bx < by ? -1 : 1;
        if (accentOrder == 0)
            accentOrder = bx == fx ? -1 : (by == fy ? 1 : (fx < fy ? -1 : 1));
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return m_accentInsensitive ? 0 : accentOrder;
}

bool TextCompare::like(QStringView textView, QStringView patternView, QChar escape) const {
    const std::vector<char32_t> text = codePoints(withoutTrailingBlanks(textView));
    const std::vector<char32_t> pattern = codePoints(patternView);
    const char32_t esc = escape.isNull() ? 0 : escape.unicode();

    // One pattern element at `p`: does it match `c`? Sets `next` past the element.
    const auto matchOne = [&](size_t p, char32_t c, size_t& next) -> bool {
        const char32_t pc = pattern[p];
        if (esc && pc == esc && p + 1 < pattern.size()) {
            next = p + 2;
            return fold(pattern[p + 1]) == fold(c);
        }
        if (pc == U'_') {
            next = p + 1;
            return true;
        }
        if (pc == U'[') {
            size_t q = p + 1;
            bool negate = false;
            if (q < pattern.size() && pattern[q] == U'^') {
                negate = true;
                ++q;
            }
            bool found = false;
            const char32_t fc = fold(c);
            const size_t start = q;
            while (q < pattern.size() && (pattern[q] != U']' || q == start)) {
                if (q + 2 < pattern.size() && pattern[q + 1] == U'-' && pattern[q + 2] != U']') {
                    const char32_t lo = fold(pattern[q]);
                    const char32_t hi = fold(pattern[q + 2]);
                    found = found || (fc >= lo && fc <= hi);
                    q += 3;
                } else {
                    found = found || fold(pattern[q]) == fc;
                    ++q;
                }
            }
            if (q >= pattern.size()) {
                // No closing ']': the '[' is an ordinary character.
                next = p + 1;
                return c == U'[';
            }
            next = q + 1;
            return found != negate;
        }
        next = p + 1;
        return fold(pc) == fold(c);
    };

    // Iterative matching with backtracking to the last '%'.
    size_t t = 0, p = 0;
    size_t starP = std::string::npos, starT = 0;
    while (t < text.size()) {
        size_t next = 0;
        if (p < pattern.size() && pattern[p] == U'%') {
            starP = ++p;
            starT = t;
        } else if (p < pattern.size() && matchOne(p, text[t], next)) {
            p = next;
            ++t;
        } else if (starP != std::string::npos) {
            p = starP;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'%')
        ++p;
    return p == pattern.size();
}

qsizetype TextCompare::indexOf(QStringView haystack, QStringView needle, qsizetype from) const {
    if (needle.isEmpty())
        return -1;
    from = std::max<qsizetype>(from, 0);
    for (qsizetype i = from; i + needle.size() <= haystack.size(); ++i) {
        qsizetype j = 0;
        while (j < needle.size() && fold(haystack[i + j].unicode()) == fold(needle[j].unicode()))
            ++j;
        if (j == needle.size())
            return i;
    }
    return -1;
}

} // namespace estaciones::db::tsql
