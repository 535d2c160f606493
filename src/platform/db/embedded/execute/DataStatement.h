#pragma once

#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// An INSERT, UPDATE or DELETE as its triggers and its OUTPUT clause need it.
struct DataStatement {
    DataEvent event = DataEvent::Insert;
    QString table;          // the table, view or table variable it changes (an alias is resolved)
    QStringList setColumns; // UPDATE: the columns of its SET list
    tsql::Tokens statement; // the statement without its OUTPUT clause
    tsql::Tokens output;    // OUTPUT's select list; empty without one
    tsql::Tokens outputInto; // OUTPUT ... INTO's target and column list; empty without one
    tsql::Tokens outputToCaller; // a second OUTPUT's list after OUTPUT ... INTO; empty without one
    // UPDATE ... FROM and DELETE ... FROM: the name the target goes by (its
    // alias or its name), the FROM's tables and the WHERE's condition, which
    // OUTPUT reads other tables' columns through; empty without a FROM.
    QString targetName;
    tsql::Tokens fromTables;
    tsql::Tokens whereCondition;
};

// Reads a statement that starts with INSERT, UPDATE or DELETE; nullopt for
// any other (and for a change through a common table expression).
std::optional<DataStatement> readDataStatement(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
