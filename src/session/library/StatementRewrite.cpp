#include "session/library/StatementRewrite.h"

namespace estaciones::library {

namespace {

bool isNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

} // namespace

QString replaceNameInStatement(const QString& statement, const QString& name,
                               const QString& newName) {
    if (name.isEmpty()) {
        return statement;
    }
    QString result;
    result.reserve(statement.size());
    bool inLiteral = false;
    qsizetype i = 0;
    while (i < statement.size()) {
        const QChar c = statement[i];
        if (c == u'\'') {
            // A doubled quote inside a literal closes and reopens it: same effect.
            inLiteral = !inLiteral;
            result.append(c);
            ++i;
            continue;
        }
        const bool startsName = i == 0 || !isNameCharacter(statement[i - 1]);
        const qsizetype end = i + name.size();
        if (!inLiteral && startsName &&
            QStringView(statement).sliced(i).startsWith(name, Qt::CaseInsensitive) &&
            (end == statement.size() || !isNameCharacter(statement[end]))) {
            result.append(newName);
            i = end;
            continue;
        }
        result.append(c);
        ++i;
    }
    return result;
}

} // namespace estaciones::library
