#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <QTimeZone>

#include <optional>
#include <span>

namespace estaciones::db::tsql {

// The zone the server knows by a Windows name ('Central European Standard
// Time', 'Pacific Standard Time', 'UTC'; case aside), from the system's time
// zone data; nullopt for a name it does not know.
std::optional<QTimeZone> windowsTimeZone(const QString& name);

// `value AT TIME ZONE zone` (tsql_at_time_zone): a value with an offset is
// the same instant at the zone's offset then; one without is taken as the
// zone's local time. A local time the clock skipped moves on by the skip
// and takes the offset after it; one the clock went through twice takes
// the offset before the change. 9820 for a zone the server does not know.
std::span<const FunctionSpec> timeZoneFunctions();

} // namespace estaciones::db::tsql
