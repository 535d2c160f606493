#pragma once

#include <QHash>
#include <QString>

namespace estaciones::conformance {

// known-failures.txt: one line per case the engine cannot pass yet,
// "file.test:line  reason"; '#' starts a comment line.
class KnownFailures {
public:
    // Throws std::runtime_error for a file that cannot be read or a malformed line.
    static KnownFailures read(const QString& path);

    // The reason listed for the case of `file` (a name, no folder) at `line`;
    // empty when it is not listed.
    QString reasonFor(const QString& file, int line) const;
    // Lines listed for `file`, to report entries that name no case.
    QList<int> linesOf(const QString& file) const;
    // A reason starting "cae:" marks a case that ends the process (a crash
    // or a hang of the engine): it is not run, so the rest of its file is.
    static bool crashes(const QString& reason) { return reason.startsWith(QLatin1String("cae:")); }

private:
    QHash<QString, QHash<int, QString>> m_reasons;
};

} // namespace estaciones::conformance
