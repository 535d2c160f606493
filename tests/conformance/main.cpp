// Runs one conformance case file on the embedded engine and compares every
// answer with the server's:
//     estaciones_conformance [--lista] <file.test> <known-failures.txt>
// Fails (exit 1) on a case that gives another answer and is not listed as a
// known failure, or on a file it cannot read. With --lista it prints instead
// the known-failures lines the file needs today (listed reasons kept, new
// ones from what the engine answered), for updating the list.
#include "CaseFile.h"
#include "CaseRunner.h"
#include "KnownFailures.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

#include <cstdio>
#include <stdexcept>

using namespace estaciones::conformance;

namespace {

void say(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

QString firstLines(const QString& sql) {
    const QStringList lines = sql.split('\n');
    QString text = QStringLiteral("    ") + lines.mid(0, 6).join(QStringLiteral("\n    "));
    return lines.size() > 6 ? text + QStringLiteral("\n    …") : text;
}

struct Counts {
    int passing = 0;
    int knownFailing = 0;
    int newFailures = 0;
};

Counts runFile(const CaseFile& file, const KnownFailures& known, bool listOnly) {
    const QString name = QFileInfo(file.path).fileName();
    CaseRunner runner;
    Counts counts;
    QSet<int> caseLines;
    for (const Case& c : file.cases) {
        caseLines.insert(c.line);
        const QString reason = known.reasonFor(name, c.line);
        if (KnownFailures::crashes(reason)) {
            // Running it would end the process and hide every later case.
            ++counts.knownFailing;
            say(listOnly ? QStringLiteral("%1:%2  %3\n").arg(name).arg(c.line).arg(reason)
                         : QStringLiteral("%1:%2: fallo conocido, no se ejecuta (%3)\n").arg(name).arg(c.line).arg(reason));
            continue;
        }
        const CaseRunner::Verdict verdict = runner.run(c);
        if (verdict.difference.isEmpty()) {
            ++counts.passing;
            if (!reason.isEmpty() && !listOnly) {
                say(QStringLiteral("%1:%2: ya pasa: quitar de la lista\n").arg(name).arg(c.line));
            }
            continue;
        }
        if (listOnly) {
            say(QStringLiteral("%1:%2  %3\n").arg(name).arg(c.line).arg(reason.isEmpty() ? verdict.summary : reason));
        } else if (!reason.isEmpty()) {
            say(QStringLiteral("%1:%2: fallo conocido (%3)\n").arg(name).arg(c.line).arg(reason));
        } else {
            say(QStringLiteral("%1:%2: FALLA\n%3\n%4").arg(name).arg(c.line).arg(firstLines(c.sql), verdict.difference));
        }
        ++(reason.isEmpty() ? counts.newFailures : counts.knownFailing);
    }
    for (int line : known.linesOf(name)) {
        if (!caseLines.contains(line) && !listOnly) {
            say(QStringLiteral("%1:%2: la lista nombra una línea que no es un caso\n").arg(name).arg(line));
        }
    }
    if (!listOnly) {
        say(QStringLiteral("%1: %2 casos, %3 pasan, %4 fallos conocidos, %5 fallos nuevos\n")
                .arg(name)
                .arg(file.cases.size())
                .arg(counts.passing)
                .arg(counts.knownFailing)
                .arg(counts.newFailures));
    }
    return counts;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Estaciones"));
    QStringList arguments = app.arguments().mid(1);
    const bool listOnly = arguments.removeAll(QStringLiteral("--lista")) > 0;
    if (arguments.size() != 2) {
        std::fputs("uso: estaciones_conformance [--lista] <fichero.test> <known-failures.txt>\n", stderr);
        return 2;
    }
    try {
        const CaseFile file = readCaseFile(arguments[0]);
        const KnownFailures known = KnownFailures::read(arguments[1]);
        const Counts counts = runFile(file, known, listOnly);
        return listOnly || counts.newFailures == 0 ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
}
