#include "platform/db/embedded/execute/ForJson.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/IsoDates.h"
#include "platform/db/embedded/execute/NumberTexts.h"
#include "platform/db/embedded/execute/QueryShape.h"
#include "platform/db/embedded/execute/StatementTokens.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// The text as a JSON string, escaped as FOR JSON escapes it (the solidus too).
QString jsonString(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '/': out += QStringLiteral("\\/"); break;
        case '\b': out += QStringLiteral("\\b"); break;
        case '\f': out += QStringLiteral("\\f"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString jsonValue(const Variant& v, const ColumnInfo& column) {
    switch (v.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null:
        return QStringLiteral("null");
    case Variant::Type::Boolean:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case Variant::Type::Integer:
    case Variant::Type::Double:
        if (column.type == adtype::Boolean)
            return v.toDouble() != 0 ? QStringLiteral("true") : QStringLiteral("false");
        return numberText(v, column);
    case Variant::Type::Currency:
    case Variant::Type::Decimal:
        return numberText(v, column);
    case Variant::Type::Date:
        return jsonString(isoDateText(v, column));
    case Variant::Type::Bytes:
        return jsonString(QString::fromLatin1(v.toBytes().toBase64()));
    default:
        return jsonString(v.toString());
    }
}

// One object being written: its properties in order, a nested one by the
// part of a dotted name it stands for.
struct JsonObject {
    std::vector<std::pair<QString, QString>> properties; // name, JSON text
    QStringList nestedNames;         // the nested objects' names
    std::vector<JsonObject> nested;  // and the objects (a vector may hold its own type)
    std::vector<int> order; // >= 0 a property, < 0 -(index + 1) a nested object

    void put(const QStringList& path, qsizetype at, const QString& value) {
        if (at == path.size() - 1) {
            order.push_back(static_cast<int>(properties.size()));
            properties.emplace_back(path[at], value);
            return;
        }
        // The same object goes on while its columns stand together.
        if (order.empty() || order.back() >= 0 || nestedNames.back() != path[at]) {
            order.push_back(-static_cast<int>(nested.size()) - 1);
            nestedNames << path[at];
            nested.emplace_back();
        }
        nested.back().put(path, at + 1, value);
    }

    QString text() const {
        QStringList parts;
        for (int o : order) {
            if (o >= 0) {
                parts << jsonString(properties[o].first) + QLatin1Char(':') + properties[o].second;
            } else {
                parts << jsonString(nestedNames[-o - 1]) + QLatin1Char(':') +
                             nested[static_cast<std::size_t>(-o - 1)].text();
            }
        }
        return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
    }
};

} // namespace

std::optional<ForJson> readForJson(const Tokens& tokens) {
    int depth = 0;
    for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth != 0 || !tokens[i].isWord(u"FOR") || !tokens[i + 1].isWord(u"JSON"))
            continue;
        const QString mode = upperWord(tokens, i + 2);
        if (mode != QLatin1String("PATH") && mode != QLatin1String("AUTO"))
            syntaxErrorNear(tokens, i + 2);
        ForJson json;
        json.query = slice(tokens, 0, i);
        for (const Range& option : splitByCommas(tokens, i + 3, tokens.size())) {
            if (option.from >= option.to)
                continue;
            const QString word = upperWord(tokens, option.from);
            if (word == QLatin1String("ROOT")) {
                json.root = QStringLiteral("root");
                if (option.to - option.from >= 4 && tokens[option.from + 2].kind == TokenKind::String)
                    json.root = tokens[option.from + 2].value();
            } else if (word == QLatin1String("INCLUDE_NULL_VALUES")) {
                json.includeNulls = true;
            } else if (word == QLatin1String("WITHOUT_ARRAY_WRAPPER")) {
                json.withoutArray = true;
            } else {
                syntaxErrorNear(tokens, option.from);
            }
        }
        return json;
    }
    return std::nullopt;
}

void noteJsonItems(ForJson& json, const Tokens& written) {
    if (const std::optional<ForJson> shape = readForJson(written))
        json.jsonItems = subqueryItems(shape->query, [](const Tokens& subquery) {
            return readForJson(subquery).has_value();
        });
}

ResultSet forJsonResult(const ResultSet& rows, const ForJson& json) {
    std::vector<QStringList> paths;
    for (const ColumnInfo& column : rows.columns) {
        if (column.name.isEmpty())
            failWithText(13605, QStringLiteral("Column expressions and data sources without names "
                                               "or aliases cannot be formatted as JSON text using "
                                               "FOR JSON clause. Add alias to the unnamed column "
                                               "or table."));
        paths.push_back(column.name.split(QLatin1Char('.')));
    }
    QStringList objects;
    for (const std::vector<Variant>& row : rows.rows) {
        JsonObject object;
        for (std::size_t c = 0; c < row.size() && c < rows.columns.size(); ++c) {
            const Variant& value = row[c];
            if ((value.isNull() || value.isEmpty()) && !json.includeNulls)
                continue;
            const bool nested = c < json.jsonItems.size() && json.jsonItems[c] &&
                                !value.isNull() && !value.isEmpty();
            object.put(paths[c], 0, nested ? value.toString() : jsonValue(value, rows.columns[c]));
        }
        objects << object.text();
    }
    ResultSet result;
    ColumnInfo column;
    column.name = QStringLiteral("JSON_F52E2B61-18A1-11d1-B105-00805F49916B");
    column.type = adtype::VarWChar;
    result.columns.push_back(column);
    if (rows.rows.empty())
        return result;
    QString text = objects.join(QLatin1Char(','));
    if (!json.withoutArray)
        text = QLatin1Char('[') + text + QLatin1Char(']');
    if (!json.root.isEmpty())
        text = QLatin1Char('{') + jsonString(json.root) + QLatin1Char(':') + text + QLatin1Char('}');
    // The text comes in rows of 2,033 characters, as the server sends it.
    constexpr qsizetype rowLength = 2033;
    for (qsizetype at = 0; at < text.size(); at += rowLength)
        result.rows.push_back({Variant(text.mid(at, rowLength))});
    return result;
}

} // namespace estaciones::db::sqlite
