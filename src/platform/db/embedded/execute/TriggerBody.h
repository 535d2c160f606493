#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QStringList>

namespace estaciones::db::sqlite {

// What a trigger's body reads of the statement that fired it.
struct FiringStatement {
    QString insertedTable;  // the temporary tables holding its rows
    QString deletedTable;
    QStringList columns;    // the table's columns in their order
    QStringList updated;    // the columns it gave values (all of them for an INSERT)
};

// The body as it runs for that statement: `inserted` and `deleted` name its
// tables, UPDATE(column) is true for the columns it gave values and
// COLUMNS_UPDATED() is their bit pattern.
tsql::Tokens triggerBodyFor(const tsql::Tokens& body, const FiringStatement& statement);

} // namespace estaciones::db::sqlite
