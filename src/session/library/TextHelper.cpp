#include "session/library/TextHelper.h"

#include "session/library/ErrorDialog.h"
#include "session/library/NumericText.h"
#include "session/library/ReversibleEncoding.h"
#include "session/library/StatementRewrite.h"

namespace estaciones::library {

QString TextHelper::cut(const QString& text, qsizetype maxLength) const {
    return text.left(std::max<qsizetype>(maxLength, 0));
}

Currency TextHelper::toDecimal(const QString& text) const {
    return parseCurrency(text).value_or(Currency{});
}

std::int32_t TextHelper::toInteger(const QString& text) const {
    return parseInteger(text).value_or(0);
}

Variant TextHelper::nullToEmpty(const Variant& value) const {
    return value.isNull() ? Variant(QString()) : value;
}

int TextHelper::wordCount(const QString& text) const {
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool blank = c.isSpace();
        if (!blank && !inWord) {
            ++words;
        }
        inWord = !blank;
    }
    return words;
}

QString TextHelper::removeCharacter(const QString& text, QChar character) const {
    return QString(text).remove(character);
}

QString TextHelper::replace(const QString& text, const QString& oldText,
                            const QString& newText) const {
    if (oldText.isEmpty()) {
        return text;
    }
    return QString(text).replace(oldText, newText, Qt::CaseSensitive);
}

QString TextHelper::replaceInStatement(const QString& statement, const QString& name,
                                       const QString& newName) const {
    return replaceNameInStatement(statement, name, newName);
}

QString TextHelper::pad(const QString& text, std::optional<int> width) const {
    const QString trimmed = text.trimmed();
    if (!width) {
        return trimmed;
    }
    return trimmed.rightJustified(*width, u' ', false);
}

int TextHelper::errorDialog(const Error& error, const QString& routine) const {
    return showErrorDialog(error, routine);
}

QString TextHelper::encode(const QString& text) const {
    return encodeText(text);
}

QString TextHelper::decode(const QString& encoded) const {
    return decodeText(encoded);
}

QString TextHelper::folder(const QString& path) const {
    if (path.isEmpty()) {
        return path;
    }
    QString result = path;
    while (result.endsWith(u'/') || result.endsWith(u'\\')) {
        result.chop(1);
    }
    return result + u'/';
}

} // namespace estaciones::library
