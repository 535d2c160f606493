#include "CaseRunner.h"

#include "ValueText.h"

#include "platform/db/embedded/EmbeddedEngine.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

namespace estaciones::conformance {
namespace {

// A batch that does not finish in this time is a failure, not a hung corpus.
constexpr int batchTimeoutSeconds = 20;

struct Batch {
    QString text;
    int repeat = 1;
};

// sqlcmd's batches: a line that is only GO (optionally with a count) ends one.
std::vector<Batch> splitAtGo(const QString& sql) {
    static const QRegularExpression go(QStringLiteral("^\\s*GO(?:\\s+(\\d+))?\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    std::vector<Batch> batches;
    QStringList current;
    for (const QString& line : sql.split('\n')) {
        const QRegularExpressionMatch match = go.match(line);
        if (!match.hasMatch()) {
            current.append(line);
            continue;
        }
        if (!current.isEmpty()) {
            batches.push_back({current.join('\n'), match.hasCaptured(1) ? match.captured(1).toInt() : 1});
        }
        current.clear();
    }
    if (!current.isEmpty()) {
        batches.push_back({current.join('\n'), 1});
    }
    return batches;
}

// Severity 10 or less is a message (PRINT, RAISERROR … 10); above, an error.
void sortRecords(const std::vector<db::ProviderError>& records, Outcome& outcome) {
    for (const db::ProviderError& record : records) {
        if (record.severity <= 10) {
            outcome.messages.append(record.description);
        } else {
            outcome.errors.push_back(record);
        }
    }
}

QString errorList(const std::vector<db::ProviderError>& errors) {
    if (errors.empty()) {
        return QStringLiteral("    (ningún error)\n");
    }
    QString text;
    for (const db::ProviderError& error : errors) {
        text += QStringLiteral("    Msg %1, Level %2: %3\n")
                    .arg(error.nativeError)
                    .arg(error.severity)
                    .arg(error.description);
    }
    return text;
}

QString indented(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += QStringLiteral("    ") + line + QLatin1Char('\n');
    }
    return lines.isEmpty() ? QStringLiteral("    (nada)\n") : text;
}

QStringList flattened(const std::vector<QStringList>& resultSets) {
    QStringList lines;
    for (std::size_t i = 0; i < resultSets.size(); ++i) {
        if (i > 0) {
            lines.append(QStringLiteral("----"));
        }
        lines.append(resultSets[i].isEmpty() ? QStringList{QStringLiteral("(0 rows)")} : resultSets[i]);
    }
    return lines;
}

QString errorDifference(const Case& c, const Outcome& outcome) {
    bool matches = outcome.errors.size() >= c.errorNumbers.size();
    for (std::size_t i = 0; matches && i < c.errorNumbers.size(); ++i) {
        matches = outcome.errors[i].nativeError == c.errorNumbers[i];
    }
    if (c.errorNumbers.empty()) {
        matches = outcome.errors.empty();
    } else if (matches && !c.errorText.isEmpty()) {
        matches = outcome.errors.front().description.trimmed() == c.errorText;
    }
    if (matches) {
        return {};
    }
    QString expected;
    for (int number : c.errorNumbers) {
        expected += QStringLiteral("    Msg %1\n").arg(number);
    }
    if (!c.errorText.isEmpty()) {
        expected += QStringLiteral("    ") + c.errorText + QLatin1Char('\n');
    }
    return QStringLiteral("  error esperado:\n%1  error obtenido:\n%2")
        .arg(c.errorNumbers.empty() ? QStringLiteral("    (ningún error)\n") : expected,
             errorList(outcome.errors));
}

} // namespace

struct CaseRunner::Scratch {
    QTemporaryDir folder;
};

CaseRunner::CaseRunner() : m_scratch(std::make_unique<Scratch>()) {
    const QDir root(m_scratch->folder.path());
    root.mkpath(QStringLiteral("datos"));
    root.mkpath(QStringLiteral("semillas"));
    qputenv("ESTACIONES_DATOS", root.filePath(QStringLiteral("datos")).toLocal8Bit());
    qputenv("ESTACIONES_SEMILLAS", root.filePath(QStringLiteral("semillas")).toLocal8Bit());
    m_engine = db::sqlite::createEmbeddedEngine();
    m_engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=conformidad"), {}, {});
    m_engine->execute(QStringLiteral("CREATE DATABASE CONFORMIDAD"), {}, batchTimeoutSeconds);
    m_engine->useDatabase(QStringLiteral("CONFORMIDAD"));
}

CaseRunner::~CaseRunner() {
    m_engine->close();
    m_engine.reset();
}

Outcome CaseRunner::execute(const Case& c) {
    Outcome outcome;
    const auto addResultSet = [&](const db::ResultSet& set) {
        QStringList rows = rowTexts(set);
        if (c.withHeader) {
            rows.prepend(headerText(set));
        }
        outcome.resultSets.push_back(rows);
    };
    // Result sets and messages in the order the batch gave them.
    const auto addOutput = [&](const db::ExecutionResult& result) {
        for (const db::BatchOutput& printed : result.output) {
            if (printed.kind == db::BatchOutput::Kind::ResultSet) {
                addResultSet(result.resultSets.at(printed.resultSet));
            } else if (printed.kind == db::BatchOutput::Kind::Message) {
                sortRecords({printed.message}, outcome);
            }
        }
    };
    for (const Batch& batch : splitAtGo(c.sql)) {
        for (int n = 0; n < batch.repeat; ++n) {
            try {
                const db::ExecutionResult result = m_engine->execute(batch.text, {}, batchTimeoutSeconds);
                if (result.output.empty()) {
                    for (const db::ResultSet& set : result.resultSets) {
                        addResultSet(set);
                    }
                } else {
                    addOutput(result);
                }
                sortRecords(result.warnings, outcome);
            } catch (const db::ProviderFailure& failure) {
                if (const db::ExecutionResult* partial = failure.partialResult()) {
                    addOutput(*partial);
                } else {
                    sortRecords(failure.records(), outcome);
                }
            } catch (const std::exception& failure) {
                db::ProviderError error;
                error.nativeError = -1;
                error.description = QStringLiteral("excepción: %1").arg(QString::fromUtf8(failure.what()));
                outcome.errors.push_back(error);
            }
        }
    }
    return outcome;
}

CaseRunner::Verdict CaseRunner::run(const Case& c) {
    Outcome outcome = execute(c);
    QString difference = errorDifference(c, outcome);
    QStringList summary;
    if (!difference.isEmpty()) { // the errors differ
        summary.append(outcome.errors.empty()
                           ? QStringLiteral("sin error (se espera Msg %1)").arg(c.errorNumbers.front())
                           : QStringLiteral("Msg %1: %2")
                                 .arg(outcome.errors.front().nativeError)
                                 .arg(outcome.errors.front().description));
    }
    if (c.kind == Case::Kind::Query) {
        std::vector<QStringList> expected = c.resultSets;
        if (c.sortRows) {
            auto sortRows = [&](std::vector<QStringList>& sets) {
                for (QStringList& rows : sets) {
                    std::sort(rows.begin() + (c.withHeader && !rows.isEmpty() ? 1 : 0), rows.end());
                }
            };
            sortRows(expected);
            sortRows(outcome.resultSets);
        }
        if (expected != outcome.resultSets) {
            const QStringList got = flattened(outcome.resultSets);
            summary.append(got.isEmpty() ? QStringLiteral("ninguna fila")
                                         : QStringLiteral("da: %1").arg(got.mid(0, 3).join(QStringLiteral(" / "))));
            difference += QStringLiteral("  filas esperadas:\n%1  filas obtenidas:\n%2")
                              .arg(indented(flattened(expected)), indented(flattened(outcome.resultSets)));
        }
        if (!c.messages.isEmpty() && c.messages != outcome.messages) {
            summary.append(outcome.messages.isEmpty() ? QStringLiteral("ningún mensaje")
                                                      : QStringLiteral("mensajes: %1").arg(outcome.messages.join(QStringLiteral(" / "))));
            difference += QStringLiteral("  mensajes esperados:\n%1  mensajes obtenidos:\n%2")
                              .arg(indented(c.messages), indented(outcome.messages));
        }
    }
    QString line = summary.join(QStringLiteral("; ")).simplified();
    if (line.size() > 150) {
        line = line.left(149) + QStringLiteral("…");
    }
    return {difference, line};
}

} // namespace estaciones::conformance
