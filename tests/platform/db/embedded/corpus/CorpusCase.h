#pragma once

// The statement corpus: every statement text the program builds, as it builds
// it, with the outcome SQL Server gives for it on the demo company database.
// A case is a short sequence of steps run on one fresh copy of DEMO.

#include "platform/core/Variant.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace estaciones::test::corpus {

// The expected value of a NULL column.
inline const Variant kNull = Variant::null();

struct Expect {
    enum class Kind { Succeeds, Returns, Fails };
    Kind kind = Kind::Succeeds;

    // Succeeds: the rows-affected count, when the case cares about it.
    std::optional<std::int64_t> rowsAffected;

    // Returns: the columns checked, by name (the first column of that name, as
    // ADO's Fields does) or by position ("#0", "#-1" for the last), and every
    // row of the first result set with the values of those columns.
    std::vector<QString> columns;
    std::vector<std::vector<Variant>> rows;
    bool anyOrder = false;     // the statement has no ORDER BY
    bool exactColumns = false; // the result's column names are exactly `columns`

    // Fails: SQL Server's native error number.
    int nativeError = 0;
};

inline Expect succeeds() {
    return {};
}
inline Expect affects(std::int64_t rows) {
    Expect e;
    e.rowsAffected = rows;
    return e;
}
inline Expect returns(std::vector<QString> columns, std::vector<std::vector<Variant>> rows) {
    Expect e;
    e.kind = Expect::Kind::Returns;
    e.columns = std::move(columns);
    e.rows = std::move(rows);
    return e;
}
inline Expect returnsInAnyOrder(std::vector<QString> columns,
                                std::vector<std::vector<Variant>> rows) {
    Expect e = returns(std::move(columns), std::move(rows));
    e.anyOrder = true;
    return e;
}
inline Expect returnsNoRows() {
    return returns({}, {});
}
// The result's columns, exactly and in order; its rows are not checked.
inline Expect hasColumns(std::vector<QString> columns) {
    Expect e;
    e.kind = Expect::Kind::Returns;
    e.columns = std::move(columns);
    e.exactColumns = true;
    return e;
}
inline Expect failsWith(int nativeError) {
    Expect e;
    e.kind = Expect::Kind::Fails;
    e.nativeError = nativeError;
    return e;
}

struct Step {
    QString sql;
    Expect expect;
};

struct CorpusCase {
    const char* name; // test name: letters, digits and "_"
    std::vector<Step> steps;
    QString user = QStringLiteral("ADMIN"); // the login (SYSTEM_USER)
    // Set while the embedded engine lacks a dialect feature the case needs:
    // the case is skipped with this reason.
    const char* pending = nullptr;
};

// Marks a case the embedded engine cannot run yet; `reason` names the
// missing dialect feature.
inline CorpusCase pending(const char* reason, CorpusCase corpusCase) {
    corpusCase.pending = reason;
    return corpusCase;
}

inline void PrintTo(const CorpusCase& c, std::ostream* os) {
    *os << c.name;
}

// An article code as the suite stores it: the number right-aligned in 25.
inline QString articleCode(int number) {
    return QString::number(number).rightJustified(25, QLatin1Char(' '));
}
// Four-character codes (business unit, till, deposit, list, unit).
inline QString code4(int number) {
    return QString::number(number).rightJustified(4, QLatin1Char(' '));
}

} // namespace estaciones::test::corpus
