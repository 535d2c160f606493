#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// Who the session is: its login (SUSER_SNAME, SYSTEM_USER, ORIGINAL_LOGIN:
// the user it connected as, sa when it named none) and its user in the
// database (CURRENT_USER, USER_NAME(), USER_ID()). Every login of the
// embedded engine may do everything: a member of sysadmin, and so dbo in
// every database (IS_SRVROLEMEMBER, IS_MEMBER).
std::span<const FunctionSpec> principalFunctions();

} // namespace estaciones::db::tsql
