#include "platform/db/embedded/execute/XmlTexts.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/IsoDates.h"
#include "platform/db/embedded/execute/NumberTexts.h"

namespace estaciones::db::sqlite {

QString encodedXmlName(const QString& name) {
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const bool allowed = c.isLetter() || c == u'_' ||
                             (i > 0 && (c.isDigit() || c == u'.' || c == u'-'));
        if (allowed)
            out += c;
        else
            out += QStringLiteral("_x%1_").arg(
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    return out;
}

QString escapedXml(const QString& text, bool attribute) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += attribute ? QStringLiteral("&quot;") : QStringLiteral("\""); break;
        case '\r': out += QStringLiteral("&#x0D;"); break;
        case '\n': out += attribute ? QStringLiteral("&#x0A;") : QStringLiteral("\n"); break;
        case '\t': out += attribute ? QStringLiteral("&#x09;") : QStringLiteral("\t"); break;
        default: out += c;
        }
    }
    return out;
}

bool isNullValue(const Variant& value) {
    return value.isNull() || value.isEmpty();
}

QString xmlValueText(const Variant& v, const ColumnInfo& column, bool binaryBase64) {
    if (column.type == adtype::Single || column.type == adtype::Double)
        failWith(native::NotSupported, {QStringLiteral("FOR XML of a float or real value")});
    switch (v.type()) {
    case Variant::Type::Boolean:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case Variant::Type::Integer:
    case Variant::Type::Double:
        if (column.type == adtype::Boolean)
            return v.toDouble() != 0 ? QStringLiteral("1") : QStringLiteral("0");
        return numberText(v, column);
    case Variant::Type::Currency:
    case Variant::Type::Decimal:
        return numberText(v, column);
    case Variant::Type::Date:
        return isoDateText(v, column);
    case Variant::Type::Bytes:
        if (!binaryBase64)
            failWith(native::NotSupported,
                     {QStringLiteral("FOR XML of binary data without BINARY BASE64")});
        return QString::fromLatin1(v.toBytes().toBase64());
    default:
        return v.toString();
    }
}

QString xmlStringValue(const QString& xml) {
    static const QList<std::pair<QString, QString>> entities = {
        {QStringLiteral("&lt;"), QStringLiteral("<")},     {QStringLiteral("&gt;"), QStringLiteral(">")},
        {QStringLiteral("&quot;"), QStringLiteral("\"")}, {QStringLiteral("&#x0D;"), QStringLiteral("\r")},
        {QStringLiteral("&#x0A;"), QStringLiteral("\n")}, {QStringLiteral("&#x09;"), QStringLiteral("\t")},
        {QStringLiteral("&amp;"), QStringLiteral("&")}};
    QString text;
    for (qsizetype i = 0; i < xml.size();) {
        if (xml[i] == u'<') {
            const QString end = xml.mid(i, 4) == QLatin1String("<!--") ? QStringLiteral("-->")
                                : xml.mid(i, 2) == QLatin1String("<?") ? QStringLiteral("?>")
                                                                       : QStringLiteral(">");
            const qsizetype close = xml.indexOf(end, i);
            i = close < 0 ? xml.size() : close + end.size();
            continue;
        }
        bool replaced = false;
        if (xml[i] == u'&') {
            for (const auto& [entity, character] : entities) {
                if (xml.mid(i, entity.size()) == entity) {
                    text += character;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            text += xml[i++];
    }
    return text;
}

} // namespace estaciones::db::sqlite
