#include "CaseFile.h"

#include <QFile>

#include <stdexcept>

namespace estaciones::conformance {
namespace {

const QString separator = QStringLiteral("----");
const QString messagePrefix = QStringLiteral("message: ");
const QString emptyResultSet = QStringLiteral("(0 rows)");

QString rightTrimmed(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace()) {
        --end;
    }
    return text.left(end);
}

[[noreturn]] void malformed(const QString& path, int line, const QString& why) {
    throw std::runtime_error(QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(why).toStdString());
}

// "error 5074 4922" or "error 8134 Divide by zero error encountered." from
// the words after the directive.
void readError(QStringList words, Case& c, const QString& path) {
    while (!words.isEmpty()) {
        bool isNumber = false;
        const int number = words.front().toInt(&isNumber);
        if (!isNumber) {
            break;
        }
        c.errorNumbers.push_back(number);
        words.removeFirst();
    }
    if (c.errorNumbers.empty()) {
        malformed(path, c.line, QStringLiteral("'error' needs the error number"));
    }
    c.errorText = words.join(' ');
}

Case readDirective(const QString& text, int line, const QString& path) {
    Case c;
    c.line = line;
    QStringList words = text.split(' ', Qt::SkipEmptyParts);
    const QString kind = words.takeFirst();
    if (kind == QLatin1String("statement")) {
        c.kind = Case::Kind::Statement;
        const QString outcome = words.isEmpty() ? QString() : words.takeFirst();
        if (outcome == QLatin1String("error")) {
            readError(words, c, path);
        } else if (outcome != QLatin1String("ok") || !words.isEmpty()) {
            malformed(path, line, QStringLiteral("expected 'statement ok' or 'statement error N'"));
        }
        return c;
    }
    if (kind != QLatin1String("query")) {
        malformed(path, line, QStringLiteral("unknown directive '%1'").arg(kind));
    }
    c.kind = Case::Kind::Query;
    while (!words.isEmpty()) {
        const QString option = words.takeFirst();
        if (option == QLatin1String("rowsort")) {
            c.sortRows = true;
        } else if (option == QLatin1String("header")) {
            c.withHeader = true;
        } else if (option == QLatin1String("error")) {
            readError(words, c, path);
            break;
        } else {
            malformed(path, line, QStringLiteral("unknown query option '%1'").arg(option));
        }
    }
    return c;
}

// The lines after a query's first "----": sections separated by "----",
// each a result set unless it holds only messages.
void readExpected(const QStringList& lines, Case& c) {
    QStringList section;
    bool sectionHasRows = false;
    auto endSection = [&] {
        if (sectionHasRows) {
            c.resultSets.push_back(section);
        }
        section.clear();
        sectionHasRows = false;
    };
    for (const QString& text : lines) {
        // A cell with blanks at its end is written quoted, so blanks after the
        // last cell are an editor's, not the server's.
        const QString line = text.startsWith(messagePrefix) ? text : rightTrimmed(text);
        if (line == separator) {
            endSection();
        } else if (line.startsWith(messagePrefix)) {
            c.messages.append(line.mid(messagePrefix.size()));
        } else if (line == emptyResultSet) {
            sectionHasRows = true;
        } else {
            section.append(line);
            sectionHasRows = true;
        }
    }
    endSection();
}

} // namespace

CaseFile readCaseFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw std::runtime_error(QStringLiteral("cannot read %1").arg(path).toStdString());
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    CaseFile result{path, {}};
    std::size_t i = 0;
    while (i < static_cast<std::size_t>(lines.size())) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            ++i;
            continue;
        }
        Case c = readDirective(line, static_cast<int>(i) + 1, path);
        ++i;
        QStringList sql;
        while (i < static_cast<std::size_t>(lines.size()) && !lines[i].trimmed().isEmpty() &&
               !(c.kind == Case::Kind::Query && lines[i] == separator)) {
            sql.append(lines[i]);
            ++i;
        }
        if (sql.isEmpty()) {
            malformed(path, c.line, QStringLiteral("the case has no SQL"));
        }
        c.sql = sql.join('\n');
        if (c.kind == Case::Kind::Query) {
            if (i >= static_cast<std::size_t>(lines.size()) || lines[i] != separator) {
                malformed(path, c.line, QStringLiteral("a query needs '----' before its rows"));
            }
            ++i;
            QStringList expected;
            while (i < static_cast<std::size_t>(lines.size()) && !lines[i].isEmpty()) {
                expected.append(lines[i]);
                ++i;
            }
            readExpected(expected, c);
        }
        result.cases.push_back(std::move(c));
    }
    return result;
}

} // namespace estaciones::conformance
