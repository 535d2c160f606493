#include "platform/db/embedded/execute/ForXmlPath.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/XmlTexts.h"

#include <QRegularExpression>

namespace estaciones::db::sqlite {

namespace {

const QString xsiNamespace =
    QStringLiteral(" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"");

// What a column's name makes of its value, in the elements its path names
// (a last step naming an element is one of them: 'a' writes as 'a/text()').
struct PathColumn {
    enum class Kind { Attribute, Text, Data, Inline, Comment, Instruction };
    QStringList elements; // outermost first
    Kind kind = Kind::Inline;
    QString name;         // the attribute's name, the instruction's target
    bool element = false; // the last step names an element (XSINIL writes it for a NULL)
};

QString hexCode(QChar c) {
    return QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

bool startsName(QChar c) {
    return c.isLetter() || c == u'_';
}

bool continuesName(QChar c) {
    return startsName(c) || c.isDigit() || c == u'.' || c == u'-';
}

// A step's name must be an XML name; a prefix other than xml's needs a
// namespace, which only WITH XMLNAMESPACES declares.
void checkName(const QString& step, const QString& column) {
    if (step.isEmpty())
        failWith(native::NotSupported, {QStringLiteral("FOR XML PATH column '%1'").arg(column)});
    const qsizetype colon = step.indexOf(QLatin1Char(':'));
    if (colon > 0 && step.left(colon) != QLatin1String("xml") && colon + 1 < step.size())
        failWith(native::XmlPrefixUndeclared, {step.left(colon), QStringLiteral("column"), column});
    for (qsizetype i = 0; i < step.size(); ++i) {
        const QChar c = step[i];
        const bool allowed = i == 0 ? startsName(c) : continuesName(c) || (i == colon && colon > 0);
        if (!allowed)
            failWith(native::InvalidXmlIdentifier, {QStringLiteral("Column"), column, QString(c),
                                                    hexCode(c)});
    }
}

PathColumn readPath(const QString& column) {
    PathColumn path;
    if (column.isEmpty() || column == QLatin1String("*"))
        return path;
    if (column.startsWith(QLatin1Char('/')) || column.endsWith(QLatin1Char('/')) ||
        column.contains(QLatin1String("//")))
        failWith(native::XmlPathBadSlashes, {column});
    QStringList steps = column.split(QLatin1Char('/'));
    const QString last = steps.takeLast();
    for (const QString& step : steps)
        checkName(step, column);
    path.elements = steps;
    static const QRegularExpression instruction(
        QStringLiteral("^processing-instruction\\(([^()]*)\\)$"));
    if (last.startsWith(QLatin1Char('@'))) {
        path.kind = PathColumn::Kind::Attribute;
        path.name = last.mid(1);
        checkName(path.name, column);
    } else if (last == QLatin1String("text()")) {
        path.kind = PathColumn::Kind::Text;
    } else if (last == QLatin1String("data()")) {
        path.kind = PathColumn::Kind::Data;
    } else if (last == QLatin1String("node()") || last == QLatin1String("*")) {
        path.kind = PathColumn::Kind::Inline;
    } else if (last == QLatin1String("comment()")) {
        path.kind = PathColumn::Kind::Comment;
    } else if (last.startsWith(QLatin1String("processing-instruction"))) {
        const QRegularExpressionMatch match = instruction.match(last);
        if (!match.hasMatch() || match.captured(1).isEmpty())
            failWith(native::XmlBadInstructionAlias, {column});
        path.kind = PathColumn::Kind::Instruction;
        path.name = match.captured(1);
        checkName(path.name, column);
    } else {
        checkName(last, column);
        path.kind = PathColumn::Kind::Text;
        path.elements << last;
        path.element = true;
    }
    return path;
}

std::vector<PathColumn> readPaths(const std::vector<ColumnInfo>& columns) {
    std::vector<PathColumn> paths;
    paths.reserve(columns.size());
    for (const ColumnInfo& column : columns)
        paths.push_back(readPath(column.name));
    return paths;
}

qsizetype sharedDepth(const QStringList& open, const QStringList& elements) {
    qsizetype depth = 0;
    while (depth < open.size() && depth < elements.size() && open[depth] == elements[depth])
        ++depth;
    return depth;
}

bool isXmlColumn(const ForXml& xml, std::size_t c) {
    return c < xml.xmlItems.size() && xml.xmlItems[c];
}

// The XML being written: the last start tag stays open for attributes until
// content follows it.
struct PathWriter {
    const ForXml& xml;
    QString out;
    QStringList open;        // the elements open beneath the row's
    bool tagPending = false; // the last start tag still lacks its '>'
    bool afterData = false;  // the last thing written was a data() value

    void openTag(const QString& name, bool topLevel) {
        finishTag();
        out += QLatin1Char('<') + name;
        if (topLevel && xml.xsinil && xml.root.isEmpty())
            out += xsiNamespace;
        tagPending = true;
        afterData = false;
    }
    void finishTag() {
        if (tagPending)
            out += QLatin1Char('>');
        tagPending = false;
    }
    void closeTag(const QString& name) {
        if (tagPending)
            out += QStringLiteral(" />");
        else
            out += QStringLiteral("</") + name + QLatin1Char('>');
        tagPending = false;
        afterData = false;
    }
    void content(const QString& text) {
        finishTag();
        out += text;
        afterData = false;
    }
    // Closes the open elements `elements` does not share and opens the rest.
    void moveTo(const QStringList& elements) {
        const qsizetype shared = sharedDepth(open, elements);
        while (open.size() > shared)
            closeTag(open.takeLast());
        for (qsizetype i = shared; i < elements.size(); ++i) {
            openTag(elements[i], xml.rowName.isEmpty() && open.isEmpty());
            open << elements[i];
        }
    }
};

void writeColumn(PathWriter& writer, const PathColumn& path, const Variant& value,
                 const ColumnInfo& column, bool xmlValue) {
    const bool null = isNullValue(value);
    // A NULL of an element already open (the one before it had its name) adds nothing.
    const bool nilElement = null && writer.xml.xsinil && path.element &&
                            sharedDepth(writer.open, path.elements) < path.elements.size();
    if (null && !nilElement)
        return;
    writer.moveTo(path.elements);
    if (nilElement) {
        writer.out += QStringLiteral(" xsi:nil=\"true\"");
        return;
    }
    const QString text = xmlValue ? value.toString()
                                  : xmlValueText(value, column, writer.xml.binaryBase64);
    switch (path.kind) {
    case PathColumn::Kind::Attribute:
        writer.out += QLatin1Char(' ') + path.name + QStringLiteral("=\"") +
                      escapedXml(text, true) + QLatin1Char('"');
        break;
    case PathColumn::Kind::Text:
    case PathColumn::Kind::Inline:
        writer.content(xmlValue ? text : escapedXml(text, false));
        break;
    case PathColumn::Kind::Data: {
        const bool spaced = writer.afterData;
        writer.content((spaced ? QStringLiteral(" ") : QString()) + escapedXml(text, false));
        writer.afterData = true;
        break;
    }
    case PathColumn::Kind::Comment:
        writer.content(QStringLiteral("<!--") + text + QStringLiteral("-->"));
        break;
    case PathColumn::Kind::Instruction:
        writer.content(QStringLiteral("<?") + path.name + QLatin1Char(' ') + text +
                       QStringLiteral("?>"));
        break;
    }
}

} // namespace

void checkPathColumns(const std::vector<ColumnInfo>& columns, const ForXml& xml) {
    for (qsizetype i = 0; i < xml.rowName.size(); ++i) {
        const QChar c = xml.rowName[i];
        if (i == 0 ? !startsName(c) : !continuesName(c))
            failWith(native::InvalidXmlRowName, {QString(c), hexCode(c)});
    }
    const std::vector<PathColumn> paths = readPaths(columns);
    QStringList open;
    std::vector<bool> hasContent{false}; // of the row's element, then of each open one
    for (std::size_t c = 0; c < paths.size(); ++c) {
        const PathColumn& path = paths[c];
        const bool attribute = path.kind == PathColumn::Kind::Attribute;
        const bool xmlValue = isXmlColumn(xml, c);
        if (attribute && xmlValue)
            failWith(native::XmlAttributeBadType, {columns[c].name});
        const bool writesXml = path.kind == PathColumn::Kind::Inline ||
                               (path.kind == PathColumn::Kind::Text && path.element);
        if (xmlValue && !writesXml)
            failWith(native::XmlPathStepOnXml, {columns[c].name});
        if (attribute && path.elements.isEmpty() && xml.rowName.isEmpty())
            failWith(native::XmlRowOmittedWithAttributes);
        const qsizetype shared = sharedDepth(open, path.elements);
        const bool keepsElement = shared == path.elements.size(); // its element stays open
        if (attribute && keepsElement && hasContent[static_cast<std::size_t>(shared)])
            failWith(native::XmlAttributeAfterContent, {columns[c].name});
        while (open.size() > shared) {
            open.removeLast();
            hasContent.pop_back();
        }
        for (qsizetype i = shared; i < path.elements.size(); ++i) {
            hasContent.back() = true;
            open << path.elements[i];
            hasContent.push_back(false);
        }
        if (!attribute)
            hasContent.back() = true;
    }
}

QString pathText(const ResultSet& rows, const ForXml& xml) {
    const std::vector<PathColumn> paths = readPaths(rows.columns);
    PathWriter writer{xml, {}, {}};
    for (const std::vector<Variant>& row : rows.rows) {
        if (!xml.rowName.isEmpty())
            writer.openTag(xml.rowName, true);
        for (std::size_t c = 0; c < paths.size(); ++c)
            writeColumn(writer, paths[c], row[c], rows.columns[c], isXmlColumn(xml, c));
        writer.moveTo({});
        if (!xml.rowName.isEmpty())
            writer.closeTag(xml.rowName);
    }
    return writer.out;
}

} // namespace estaciones::db::sqlite
