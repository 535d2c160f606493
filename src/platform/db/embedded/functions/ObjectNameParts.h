#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// PARSENAME('server.database.schema.object', part): the part (1 the
// object, 4 the server) without its brackets or quotes; NULL for a part the
// name lacks, an empty one, or a name that is none (more than four parts,
// an unclosed bracket).
std::span<const FunctionSpec> objectNameFunctions();

// The file's name of the object a catalogue function is given ('t',
// 'dbo.t', '[db].[dbo].[t]', 'tempdb..#t' give t, 'ventas.t' gives
// "ventas.t", as the file keeps the objects of other schemas), without
// brackets or quotes; empty when the name is none.
QString catalogObjectName(const QString& name);

} // namespace estaciones::db::tsql
