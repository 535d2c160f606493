#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"

#include <QStringList>

#include <memory>

namespace estaciones::db::tsql {

// One T-SQL statement in SQLite's terms.
struct Translation {
    // SQLite statements to run in order (a CREATE TABLE may need triggers
    // after it); empty for a statement SQLite has nothing to do for
    // (ALTER TABLE ... NOCHECK CONSTRAINT, SET options the executor left).
    QStringList statements;
    // SELECT @a = x, @b = y FROM ...: the last statement selects x, y and
    // its first row goes into these variables (lower case, without '@').
    QStringList assignedVariables;
};

// Translates single T-SQL statements (the executor splits batches and runs
// control flow, DECLARE, SET @v, EXEC, PRINT, USE, transactions itself).
//
// Variables stay as SQLite named parameters in lower case: @Fecha → @fecha.
// System values become parameters the executor binds: @@IDENTITY and
// SCOPE_IDENTITY() → @__identity, @@ROWCOUNT → @__rowcount, @@ERROR →
// @__error, DB_NAME() → @__db_name (any @@x → @__x). A parameter left
// unbound is NULL. "?" markers stay as they are.
//
// The text SQLite runs needs the functions and collations of
// registerFunctions() on its connection.
class Translator {
public:
    explicit Translator(std::shared_ptr<const DialectSettings> settings = {});

    Translation translate(QStringView statement) const;
    // An expression (IF, WHILE, SET @v = ...) as a SQLite expression.
    QString translateExpression(QStringView expression) const;

private:
    std::shared_ptr<const DialectSettings> m_settings;
};

} // namespace estaciones::db::tsql
