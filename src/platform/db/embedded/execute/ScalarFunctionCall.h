#pragma once

#include "platform/db/embedded/execute/Session.h"

struct sqlite3;

namespace estaciones::db::sqlite {

// Registers on `db` the SQLite function that calls of scalar user-defined
// functions are rewritten to (UserFunctionCalls.h): tsql_udf('name', args...)
// runs the function's body through the session's runScalarFunction. An
// error of the body fails the SQLite statement; its records wait in the
// session's functionFailure for the runner to end the statement with them.
void registerScalarFunctionCall(sqlite3* db, Session& session);

} // namespace estaciones::db::sqlite
