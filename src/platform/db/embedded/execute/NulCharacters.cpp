#include "platform/db/embedded/execute/NulCharacters.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

namespace estaciones::db::sqlite {

QString withNulCharactersSpelled(const QString& sqliteText) {
    if (!sqliteText.contains(QChar(0))) {
        return sqliteText;
    }
    QString out;
    out.reserve(sqliteText.size() + 32);
    bool inString = false;
    qsizetype literalStart = 0; // where the current literal's opening quote is in `out`
    bool parenthesized = false; // the current literal was opened as "('" and closes as "')"
    for (qsizetype i = 0; i < sqliteText.size(); ++i) {
        const QChar c = sqliteText[i];
        if (c == QLatin1Char('\'') && inString && i + 1 < sqliteText.size() &&
            sqliteText[i + 1] == QLatin1Char('\'')) {
            out += QStringLiteral("''"); // an escaped quote inside the literal
            ++i;
        } else if (c == QLatin1Char('\'')) {
            inString = !inString;
            literalStart = inString ? out.size() : literalStart;
            out += c;
            if (!inString && parenthesized) {
                out += QLatin1Char(')');
                parenthesized = false;
            }
        } else if (c != QChar(0)) {
            out += c;
        } else if (!inString) {
            failWith(native::SyntaxError, {QString(c)});
        } else {
            if (!parenthesized) {
                out.insert(literalStart, QLatin1Char('(')); // one operand still
                parenthesized = true;
            }
            out += QStringLiteral("' || char(0) || '");
        }
    }
    return out;
}

} // namespace estaciones::db::sqlite
