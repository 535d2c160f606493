#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace estaciones::conformance {

// One case of a case file: a batch (or several, split at GO lines) and what
// the server answers to it.
struct Case {
    enum class Kind { Statement, Query };

    int line = 0; // line of the directive, which names the case in reports
    Kind kind = Kind::Statement;
    // Error numbers the batch must report, first ones first; empty: no error.
    std::vector<int> errorNumbers;
    QString errorText; // the first error's text, when given
    bool sortRows = false;   // "rowsort": rows compared in sorted order
    bool withHeader = false; // "header": each result set starts with its column names
    QString sql;
    // Query only: the expected result sets, each a list of rendered rows
    // (cells joined by " | "), and the informational messages in order.
    std::vector<QStringList> resultSets;
    QStringList messages;
};

struct CaseFile {
    QString path;
    std::vector<Case> cases;
};

// Reads a case file; a malformed directive is reported with its line.
// Throws std::runtime_error for a file that cannot be read or parsed.
CaseFile readCaseFile(const QString& path);

} // namespace estaciones::conformance
