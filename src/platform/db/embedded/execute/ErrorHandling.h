#pragma once

#include "platform/db/Engine.h"

namespace estaciones::db::sqlite {

// An error raised by the batch's own code: RAISERROR (ends only its
// statement and ignores SET XACT_ABORT) or THROW (ends the batch and
// honours it).
class RaisedError : public ProviderFailure {
public:
    RaisedError(ProviderError error, bool thrown)
        : ProviderFailure({std::move(error)}), m_thrown(thrown) {}
    bool thrown() const { return m_thrown; }

private:
    bool m_thrown;
};

// An error found while compiling, on the line of the text where it is
// (a procedure's body is compiled by the statement that creates it).
class CompileFailure : public ProviderFailure {
public:
    using ProviderFailure::ProviderFailure;
};

// A failure that left its statement and goes up the batch, to the nearest
// CATCH block or to the caller: where it was raised (procedure nesting
// level, procedure name) and the records with their line set.
class StatementFailure : public ProviderFailure {
public:
    StatementFailure(std::vector<ProviderError> records, int nesting, QString procedure)
        : ProviderFailure(std::move(records)), m_nesting(nesting),
          m_procedure(std::move(procedure)) {}
    int nesting() const { return m_nesting; }
    const QString& procedure() const { return m_procedure; }

private:
    int m_nesting;
    QString m_procedure;
};

// Errors the server raises while compiling: syntax, names, limits of the
// text. SET XACT_ABORT does not apply to them.
bool isCompileError(int number);
// Errors of names resolved when their statement runs (deferred resolution):
// a TRY block at the level where they happen does not catch them.
bool isNameResolutionError(int number);
// The client's query time-out: the batch stops, nothing catches it.
bool isAttention(const ProviderFailure& failure);

} // namespace estaciones::db::sqlite
