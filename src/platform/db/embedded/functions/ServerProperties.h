#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// SERVERPROPERTY(name) and DATABASEPROPERTYEX(database, name) as the scripts
// ask them: the server is a 2017 (version 14) express edition on this
// machine, each database online, read-write, multi-user, simple recovery.
// A property the engine does not know, or a database that is not there, is NULL.
// tsql_databasepropertyex(databases, current, database, name) takes the
// session's list of databases and the current one's name.
std::span<const FunctionSpec> serverPropertyFunctions();

// The collation the session's database compares text with.
QString databaseCollation(const DialectSettings& settings);

} // namespace estaciones::db::tsql
