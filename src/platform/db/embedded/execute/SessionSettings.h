#pragma once

#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::sqlite {

// SET <option> <value> (NOCOUNT, DATEFORMAT, LANGUAGE, ...) on the session.
void applySetOption(Session& session, const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
