#pragma once

#include "platform/db/embedded/execute/SystemProcedures.h"

namespace estaciones::db::sqlite {

// sp_addextendedproperty, sp_updateextendedproperty and
// sp_dropextendedproperty over the database's table of properties: of the
// database, of a schema (dbo), of an object (a table, view, procedure or
// function) and of its column, index, constraint, trigger or parameter. The
// object must exist (15135), a property be new to add (15233) and there to
// change or drop (15217). Returns false for another procedure.
bool callExtendedPropertyProcedure(Session& session, const QString& procedure,
                                   const std::vector<CallArgument>& arguments);

} // namespace estaciones::db::sqlite
