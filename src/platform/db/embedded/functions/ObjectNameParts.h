#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// PARSENAME('server.database.schema.object', part): the part (1 the
// object, 4 the server) without its brackets or quotes; NULL for a part the
// name lacks, an empty one, or a name that is none (more than four parts,
// an unclosed bracket).
std::span<const FunctionSpec> objectNameFunctions();

// The object's own name in a name a catalogue function is given ('t',
// 'dbo.t', '[db].[dbo].[t]', 'tempdb..#t'), without brackets or quotes;
// empty when the name is none or names a schema the database keeps no
// objects in ('ventas.t'), which then no object answers to.
QString catalogObjectName(const QString& name);

} // namespace estaciones::db::tsql
