#include "platform/db/embedded/functions/SoundexFunctions.h"

namespace estaciones::db::tsql {

namespace {

// The digit of a letter; '0' for the vowels and Y, which part letters of
// one code; none for H, W and what is no letter.
char letterCode(QChar c) {
    switch (c.toUpper().unicode()) {
    case 'B': case 'F': case 'P': case 'V':
        return '1';
    case 'C': case 'G': case 'J': case 'K': case 'Q': case 'S': case 'X': case 'Z':
        return '2';
    case 'D': case 'T':
        return '3';
    case 'L':
        return '4';
    case 'M': case 'N':
        return '5';
    case 'R':
        return '6';
    case 'A': case 'E': case 'I': case 'O': case 'U': case 'Y':
        return '0';
    default:
        return 0;
    }
}

bool isAsciiLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

QString soundex(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && !isAsciiLetter(text[i]))
        ++i;
    if (i == text.size())
        return QStringLiteral("0000");
    QString code(text[i].toUpper());
    char previous = letterCode(text[i]);
    for (++i; i < text.size() && code.size() < 4; ++i) {
        if (!isAsciiLetter(text[i]))
            break;
        const char digit = letterCode(text[i]);
        if (digit == 0)
            continue; // H and W keep the previous code
        if (digit != '0' && digit != previous)
            code += QLatin1Char(digit);
        previous = digit;
    }
    return code.leftJustified(4, QLatin1Char('0'));
}

SqlValue soundexFunction(const Call& c) {
    return c.arg(0).isNull() ? SqlValue{} : SqlValue::of(soundex(c.arg(0).toText()));
}

SqlValue differenceFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const QString a = soundex(c.arg(0).toText());
    const QString b = soundex(c.arg(1).toText());
    qint64 same = 0;
    for (qsizetype k = 0; k < 4; ++k)
        same += a[k] == b[k] ? 1 : 0;
    return SqlValue::of(same);
}

const FunctionSpec soundexSpecs[] = {
    {"soundex", 1, soundexFunction, true},
    {"difference", 2, differenceFunction, true},
};

} // namespace

std::span<const FunctionSpec> soundexFunctions() {
    return soundexSpecs;
}

} // namespace estaciones::db::tsql
