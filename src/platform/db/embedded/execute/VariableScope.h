#pragma once

#include "platform/core/Variant.h"
#include "platform/db/embedded/execute/Cursors.h"
#include "platform/db/embedded/storage/DialectSettings.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace estaciones::db::sqlite {

// The local variables of one batch or procedure call (@name, compared
// ignoring case). Values keep SQL Server's typing on assignment: integers
// stay whole, varchar(n) is cut to n characters, dates are dates.
class VariableScope {
public:
    // Throws ProviderFailure 134 when the name is declared already, unless by
    // the same DECLARE (`site`, its statement) run again in a loop, which
    // keeps the variable and its value.
    void declare(const QString& name, const QString& type, const void* site = nullptr);
    bool isDeclared(const QString& name) const;
    // Whether `name` was declared by the DECLARE at `site` (met again in a loop).
    bool isDeclaredAt(const QString& name, const void* site) const;
    // Throws ProviderFailure 137 when the name is not declared. Text given to
    // a date variable is read in `dateOrder` (SET DATEFORMAT).
    void assign(const QString& name, const Variant& value,
                tsql::DateOrder dateOrder = tsql::DateOrder::DMY);
    const Variant& value(const QString& name) const;
    // The declared type, lower case ("varchar(10)").
    const QString& type(const QString& name) const;

    // Table variables (DECLARE @t TABLE (...)) are temporary tables under a
    // name no other scope uses: statements name that table where they say
    // @t (the executor's resolvedText), so every statement that reads or
    // writes a table reads or writes them too. The scope's tables go with
    // it (ScopeTables). Throws ProviderFailure 134 when the name is declared.
    void declareTable(const QString& name, const QString& table, const void* site);
    // The table behind `name`; empty when it is no table variable.
    QString tableOf(const QString& name) const;
    QStringList tables() const;

    // Cursor variables (DECLARE @c CURSOR) hold a cursor or none; the
    // cursor goes when no variable or name holds it any more.
    bool isCursorVariable(const QString& name) const;
    // Throws ProviderFailure 137 when `name` is no declared variable.
    std::shared_ptr<Cursor> cursorOf(const QString& name) const;
    // nullptr: DEALLOCATE @c, the variable holds none.
    void setCursor(const QString& name, std::shared_ptr<Cursor> cursor);
    // The scope's LOCAL cursors, deallocated when it ends.
    CursorNames& localCursors() { return m_localCursors; }
    const CursorNames& localCursors() const { return m_localCursors; }

private:
    struct Variable {
        QString type; // lower case, e.g. "varchar(10)"
        Variant value = Variant::null();
        const void* site = nullptr;
        QString table; // a table variable's temporary table
        std::shared_ptr<Cursor> cursor;
    };
    const Variable& find(const QString& name) const;
    QHash<QString, Variable> m_variables; // by lower-case name
    CursorNames m_localCursors;
};

// `value` converted to `type` as an assignment to a variable of that type
// converts it (text cut or filled, numbers written as CAST writes them,
// dates kept to their type's precision); the server's error when it cannot.
Variant convertedForAssignment(const Variant& value, const QString& type,
                               tsql::DateOrder dateOrder = tsql::DateOrder::DMY);

// A value written as a T-SQL literal: 12, 1.5, 'text', '2024-01-07', NULL.
QString literalOf(const Variant& value);

} // namespace estaciones::db::sqlite
