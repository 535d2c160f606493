#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// STDEV, STDEVP, VAR and VARP, also as window functions: floats over the
// values that are not NULL; the sample forms (STDEV, VAR) are NULL for
// fewer than two values, the population forms for none.
void registerStatisticalAggregates(sqlite3* db);

} // namespace estaciones::db::tsql
