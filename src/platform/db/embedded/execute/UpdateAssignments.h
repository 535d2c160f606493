#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// UPDATE ... SET @v = column = expression, @w = expression, column = ...:
// the variables take their values from the rows the UPDATE changes, the
// first form the column's new value, the second the expression on the row
// before the change. Split in two statements that do the same: a SELECT
// @v = expression, @w = expression over the rows the UPDATE reaches (run
// first, on the rows as they are; the last row's values stay), and the
// UPDATE with the column assignments only (empty when none is left).
// nullopt for an UPDATE that assigns no variable, or any other statement.
struct UpdateAssignments {
    tsql::Tokens select;
    tsql::Tokens update;
};
std::optional<UpdateAssignments> splitUpdateAssignments(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
