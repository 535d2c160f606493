#include "ScriptBatchReader.h"

#include <QRegularExpression>

namespace estaciones::sqlcmd {

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
        const QRegularExpressionMatch m = goLine.match(*line);
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
