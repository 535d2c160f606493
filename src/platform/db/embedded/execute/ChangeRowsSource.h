#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QStringList>

#include <optional>

namespace estaciones::db::sqlite {

// INSERT ... SELECT ... FROM (MERGE | INSERT | UPDATE | DELETE ... OUTPUT
// list) AS name [(columns)] ...: the rows a change's OUTPUT gives read as a
// derived table. `change` is the inner statement, [open, close] its
// parentheses and [open, end) what the outer statement replaces by a table
// of those rows; `columns` the derived table's column names.
struct ChangeRowsSource {
    tsql::Tokens change;
    std::size_t open = 0;
    std::size_t end = 0;
    QString alias;
    QStringList columns;
    std::size_t outputListEnd = 0; // in `change`: where OUTPUT ... INTO goes
};

// The change a statement reads its rows from, or nullopt for any other
// statement. A change in parentheses without a plain OUTPUT list (none, or
// one that goes INTO a table) or without names for its columns is 156 / 8155.
std::optional<ChangeRowsSource> readChangeRowsSource(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
