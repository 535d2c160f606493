#include "platform/db/embedded/execute/ForXml.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/ForXmlPath.h"
#include "platform/db/embedded/execute/QueryShape.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/XmlTexts.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

[[noreturn]] void notSupported(const QString& what) {
    failWith(native::NotSupported, {what});
}

void readAutoShape(const Tokens& query, ForXml& xml) {
    const SelectList list = selectList(query);
    for (const Range& item : splitByCommas(query, list.from, list.to)) {
        const QString qualifier = itemQualifier(query, item);
        xml.hasStar = xml.hasStar || qualifier == QLatin1String("*");
        xml.itemQualifiers.push_back(qualifier);
    }
    if (list.to < query.size() && query[list.to].isWord(u"FROM"))
        xml.sources = readSources(query, list.to + 1, query.size());
}

// The elements being written: an element's attributes or column elements,
// then its children; one closed straight after it opened is written empty.
struct XmlWriter {
    const ResultSet& rows;
    const ForXml& xml;
    QString out;
    qsizetype openEnd = -1; // where the last opened element's start tag ends

    void open(const QString& name, const std::vector<std::size_t>& columns,
              const std::vector<Variant>& row, bool topLevel) {
        out += QLatin1Char('<') + encodedXmlName(name);
        if (xml.elements && xml.xsinil && topLevel && xml.root.isEmpty())
            out += QStringLiteral(" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"");
        QString content;
        for (std::size_t c : columns) {
            const ColumnInfo& column = rows.columns[c];
            if (!xml.elements) {
                if (isNullValue(row[c]))
                    continue;
                if (column.name.isEmpty())
                    notSupported(QStringLiteral("FOR XML of a column without a name"));
                out += QLatin1Char(' ') + encodedXmlName(column.name) + QStringLiteral("=\"") +
                       escapedXml(xmlValueText(row[c], column, xml.binaryBase64), true) + QLatin1Char('"');
            } else if (isNullValue(row[c])) {
                if (xml.xsinil && !column.name.isEmpty())
                    content += QLatin1Char('<') + encodedXmlName(column.name) +
                               QStringLiteral(" xsi:nil=\"true\" />");
            } else if (column.name.isEmpty()) {
                content += escapedXml(xmlValueText(row[c], column, xml.binaryBase64), false);
            } else {
                const QString tag = encodedXmlName(column.name);
                content += QLatin1Char('<') + tag + QLatin1Char('>') +
                           escapedXml(xmlValueText(row[c], column, xml.binaryBase64), false) + QStringLiteral("</") +
                           tag + QLatin1Char('>');
            }
        }
        out += QLatin1Char('>');
        openEnd = out.size();
        out += content;
    }
    void close(const QString& name) {
        if (out.size() == openEnd) {
            out.chop(1);
            out += QStringLiteral(" />");
        } else {
            out += QStringLiteral("</") + encodedXmlName(name) + QLatin1Char('>');
        }
        openEnd = -1;
    }
};

// AUTO's elements in nesting order and the columns each one holds.
struct AutoLevels {
    std::vector<QString> names;
    std::vector<std::vector<std::size_t>> columns;
    std::vector<std::vector<std::size_t>> keyColumns; // its table's own, compared row to row
};

const ForXml::Source* sourceNamed(const ForXml& xml, const QString& name) {
    for (const ForXml::Source& source : xml.sources)
        if (!source.element.compare(name, Qt::CaseInsensitive))
            return &source;
    for (const ForXml::Source& source : xml.sources)
        if (!source.table.compare(name, Qt::CaseInsensitive))
            return &source;
    return nullptr;
}

// The element a column comes from; empty for an expression.
QString autoElementOf(const ForXml& xml, const ColumnInfo& column, const QString& qualifier) {
    if (!qualifier.isEmpty() && qualifier != QLatin1String("*")) {
        const ForXml::Source* source = sourceNamed(xml, qualifier);
        return source ? source->element : qualifier;
    }
    if (column.baseTable.isEmpty() && qualifier.isEmpty())
        return {};
    if (xml.sources.size() == 1)
        return xml.sources.front().element;
    // By its table alone a column is placed only when one source reads that
    // table: of two aliases of one table, which one gave it is not known here.
    const ForXml::Source* found = nullptr;
    for (const ForXml::Source& source : xml.sources) {
        if (source.table.compare(column.baseTable, Qt::CaseInsensitive))
            continue;
        if (found)
            notSupported(QStringLiteral("FOR XML AUTO over column %1 of a table read twice")
                             .arg(column.name));
        found = &source;
    }
    if (!found)
        notSupported(QStringLiteral("FOR XML AUTO over column %1").arg(column.name));
    return found->element;
}

AutoLevels autoLevels(const ResultSet& rows, const ForXml& xml) {
    AutoLevels levels;
    std::vector<std::size_t> pending; // expressions before the first table's column
    std::size_t current = 0;
    for (std::size_t c = 0; c < rows.columns.size(); ++c) {
        const QString qualifier = xml.hasStar || c >= xml.itemQualifiers.size()
                                      ? QString()
                                      : xml.itemQualifiers[c];
        const QString element = autoElementOf(xml, rows.columns[c], qualifier);
        if (element.isEmpty()) {
            if (levels.names.empty())
                pending.push_back(c);
            else
                levels.columns[current].push_back(c);
            continue;
        }
        std::size_t level = 0;
        while (level < levels.names.size() && levels.names[level] != element)
            ++level;
        if (level == levels.names.size()) {
            levels.names.push_back(element);
            levels.columns.emplace_back();
            levels.keyColumns.emplace_back();
        }
        current = level;
        levels.columns[level].push_back(c);
        levels.keyColumns[level].push_back(c);
    }
    if (levels.names.empty())
        notSupported(QStringLiteral("FOR XML AUTO without a table's column"));
    levels.columns.front().insert(levels.columns.front().begin(), pending.begin(), pending.end());
    return levels;
}

bool sameKey(const std::vector<Variant>& a, const std::vector<Variant>& b,
             const std::vector<std::size_t>& columns) {
    for (std::size_t c : columns) {
        if (isNullValue(a[c]) != isNullValue(b[c]) || (!isNullValue(a[c]) && a[c].toString() != b[c].toString()))
            return false;
    }
    return true;
}

bool allNull(const std::vector<Variant>& row, const std::vector<std::size_t>& columns) {
    for (std::size_t c : columns)
        if (!isNullValue(row[c]))
            return false;
    return true;
}

QString rawText(const ResultSet& rows, const ForXml& xml) {
    XmlWriter writer{rows, xml, {}};
    std::vector<std::size_t> all(rows.columns.size());
    for (std::size_t c = 0; c < all.size(); ++c)
        all[c] = c;
    for (const std::vector<Variant>& row : rows.rows) {
        writer.open(xml.rowName, all, row, true);
        writer.close(xml.rowName);
    }
    return writer.out;
}

QString autoText(const ResultSet& rows, const ForXml& xml) {
    const AutoLevels levels = autoLevels(rows, xml);
    XmlWriter writer{rows, xml, {}};
    std::vector<const std::vector<Variant>*> open; // the row each open element was opened by
    auto closeTo = [&](std::size_t depth) {
        while (open.size() > depth) {
            writer.close(levels.names[open.size() - 1]);
            open.pop_back();
        }
    };
    for (std::size_t r = 0; r < rows.rows.size(); ++r) {
        const std::vector<Variant>& row = rows.rows[r];
        std::size_t keep = 0;
        while (keep < open.size() && sameKey(*open[keep], row, levels.keyColumns[keep]))
            ++keep;
        closeTo(keep);
        for (std::size_t level = keep; level < levels.names.size(); ++level) {
            if (level > 0 && allNull(row, levels.keyColumns[level]))
                break;
            writer.open(levels.names[level], levels.columns[level], row, level == 0);
            open.push_back(&row);
        }
    }
    closeTo(0);
    return writer.out;
}

} // namespace

std::optional<ForXml> readForXml(const Tokens& tokens) {
    int depth = 0;
    for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth != 0 || !tokens[i].isWord(u"FOR") || !tokens[i + 1].isWord(u"XML"))
            continue;
        const QString mode = upperWord(tokens, i + 2);
        ForXml xml;
        xml.query = slice(tokens, 0, i);
        std::size_t options = i + 3;
        if (mode == QLatin1String("RAW")) {
            xml.mode = ForXml::Mode::Raw;
            if (options + 2 < tokens.size() && tokens[options].isPunctuation(u"(") &&
                tokens[options + 1].kind == TokenKind::String) {
                xml.rowName = tokens[options + 1].value();
                options = closingParenthesis(tokens, options) + 1;
            }
        } else if (mode == QLatin1String("AUTO")) {
            xml.mode = ForXml::Mode::Auto;
            readAutoShape(xml.query, xml);
        } else if (mode == QLatin1String("PATH")) {
            xml.mode = ForXml::Mode::Path;
            if (options + 2 < tokens.size() && tokens[options].isPunctuation(u"(") &&
                tokens[options + 1].kind == TokenKind::String) {
                xml.rowName = tokens[options + 1].value();
                options = closingParenthesis(tokens, options) + 1;
            }
        } else if (mode == QLatin1String("EXPLICIT")) {
            notSupported(QStringLiteral("FOR XML EXPLICIT"));
        } else {
            syntaxErrorNear(tokens, i + 2);
        }
        if (options < tokens.size() && !tokens[options].isPunctuation(u","))
            syntaxErrorNear(tokens, options);
        for (const Range& option : splitByCommas(tokens, options + 1, tokens.size())) {
            if (option.from >= option.to)
                syntaxErrorNear(tokens, option.from);
            const QString word = upperWord(tokens, option.from);
            const QString next = upperWord(tokens, option.from + 1);
            if (word == QLatin1String("ROOT")) {
                xml.root = QStringLiteral("root");
                if (option.to - option.from >= 4 && tokens[option.from + 2].kind == TokenKind::String)
                    xml.root = tokens[option.from + 2].value();
                if (xml.root.isEmpty())
                    failWith(native::EmptyXmlRootName);
            } else if (word == QLatin1String("ELEMENTS")) {
                xml.elements = true;
                xml.xsinil = next == QLatin1String("XSINIL");
            } else if (word == QLatin1String("TYPE")) {
                xml.typed = true;
            } else if (word == QLatin1String("BINARY") && next == QLatin1String("BASE64")) {
                xml.binaryBase64 = true;
            } else if (word == QLatin1String("XMLDATA") || word == QLatin1String("XMLSCHEMA")) {
                notSupported(QStringLiteral("FOR XML %1").arg(word));
            } else {
                syntaxErrorNear(tokens, option.from);
            }
        }
        return xml;
    }
    return std::nullopt;
}

void noteXmlItems(ForXml& xml, const Tokens& written) {
    const std::optional<ForXml> shape = readForXml(written);
    if (!shape)
        return;
    xml.xmlItems = subqueryItems(shape->query, [](const Tokens& subquery) {
        const std::optional<ForXml> inner = readForXml(subquery);
        return inner && inner->typed;
    });
    // AUTO places the items as written, each subquery one of them.
    xml.itemQualifiers = shape->itemQualifiers;
    xml.sources = shape->sources;
    xml.hasStar = shape->hasStar;
}

bool joinsTexts(const ForXml& xml) {
    if (xml.mode != ForXml::Mode::Path || !xml.rowName.isEmpty() || !xml.root.isEmpty() ||
        xml.elements || xml.binaryBase64)
        return false;
    const SelectList list = selectList(xml.query);
    const std::vector<Range> items = splitByCommas(xml.query, list.from, list.to);
    if (items.size() != 1)
        return false;
    if (const std::optional<QString> alias = itemAlias(xml.query, items.front()))
        return *alias == QLatin1String("text()") || *alias == QLatin1String("data()");
    return !isColumnReference(xml.query, items.front()) &&
           !(items.front().to - items.front().from == 1 &&
             xml.query[items.front().from].isPunctuation(u"*"));
}

ResultSet forXmlResult(const ResultSet& rows, const ForXml& xml) {
    ResultSet result;
    ColumnInfo column;
    column.name = QStringLiteral("XML_F52E2B61-18A1-11d1-B105-00805F49916B");
    column.type = xml.typed ? adtype::LongVarWChar : adtype::VarWChar;
    result.columns.push_back(column);
    if (xml.mode == ForXml::Mode::Path)
        checkPathColumns(rows.columns, xml);
    if (rows.rows.empty())
        return result;
    QString text = xml.mode == ForXml::Mode::Raw    ? rawText(rows, xml)
                   : xml.mode == ForXml::Mode::Auto ? autoText(rows, xml)
                                                    : pathText(rows, xml);
    if (!xml.root.isEmpty()) {
        const QString tag = encodedXmlName(xml.root);
        const QString nilSpace = xml.xsinil
                                     ? QStringLiteral(" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"")
                                     : QString();
        text = QLatin1Char('<') + tag + nilSpace + QLatin1Char('>') + text + QStringLiteral("</") +
               tag + QLatin1Char('>');
    }
    if (xml.typed) {
        result.rows.push_back({Variant(text)});
        return result;
    }
    // The text comes in rows of 2,033 characters, as the server sends it.
    constexpr qsizetype rowLength = 2033;
    for (qsizetype at = 0; at < text.size(); at += rowLength)
        result.rows.push_back({Variant(text.mid(at, rowLength))});
    return result;
}

} // namespace estaciones::db::sqlite
