#pragma once

#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/SystemProcedures.h"

#include <optional>
#include <variant>

namespace estaciones::db::sqlite {

// One thing a help procedure gives, in order: a result set or an
// informational message ("No constraints are defined on object ...").
using HelpOutput = std::variant<ResultSet, QString>;

// sp_help, sp_helptext, sp_helpconstraint, sp_helpindex, sp_columns and sp_helptrigger: the result sets their
// pages document, read from the catalogue of the current database. nullopt when `procedure` is none
// of them; 15009 for an object the database does not have.
std::optional<std::vector<HelpOutput>> callHelpProcedure(Session& session,
                                                         const QString& procedure,
                                                         const std::vector<CallArgument>& arguments);

} // namespace estaciones::db::sqlite
