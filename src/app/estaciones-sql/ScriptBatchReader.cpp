#include "ScriptBatchReader.h"

#include <QRegularExpression>

namespace estaciones::sqlcmd {

namespace {

bool mayBeGo(QStringView line) {
    qsizetype at = 0;
    while (at < line.size() && line[at].isSpace())
        ++at;
    return at + 1 < line.size() && (line[at] == u'g' || line[at] == u'G') &&
           (line[at + 1] == u'o' || line[at + 1] == u'O');
}

} // namespace

bool ScriptBatchReader::open(const QString& path) {
    return m_lines.open(path);
}

std::optional<ScriptBatch> ScriptBatchReader::next() {
    static const QRegularExpression goLine(QStringLiteral("^\\s*go(?:\\s+(\\d+))?\\s*(?:--.*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    ScriptBatch current;
    current.firstLine = m_lines.lineNumber() + 1;
    while (const std::optional<QString> line = m_lines.next()) {
        const int lineNumber = m_lines.lineNumber();
        // Most lines are not GO: a look at their first letters spares the expression.
        const QRegularExpressionMatch m =
            mayBeGo(*line) ? goLine.match(*line) : QRegularExpressionMatch();
        if (m.hasMatch()) {
            bool fits = true;
            const int count = m.captured(1).isEmpty() ? 1 : m.captured(1).toInt(&fits);
            current.repeat = std::max(1, count);
            current.badCountLine = fits ? 0 : lineNumber;
            if (!current.text.trimmed().isEmpty()) {
                return current;
            }
            current = ScriptBatch{};
            current.firstLine = lineNumber + 1;
            continue;
        }
        if (current.text.isEmpty() && line->trimmed().isEmpty()) {
            current.firstLine = lineNumber + 1;
            continue;
        }
        current.text += *line;
        current.text += QLatin1Char('\n');
    }
    if (!current.text.trimmed().isEmpty()) {
        return current;
    }
    return std::nullopt;
}

} // namespace estaciones::sqlcmd
