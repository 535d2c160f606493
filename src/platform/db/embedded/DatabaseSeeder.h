#pragma once

#include "platform/db/embedded/storage/DataFolder.h"

namespace estaciones::db::sqlite {

// A database that is missing but has a seed — "<seed folder>/<name>.semilla",
// a list of script files (one per line, relative to that folder) — is built
// by running those scripts, in order, into a temporary file that is renamed
// into place only when all of them succeeded. A lock file makes a second
// process wait for the first one's result instead of seeding again.
//
// Returns false when there is no seed for `database`; throws the scripts'
// failure (leaving no database behind) when seeding fails.
bool seedDatabase(const DataFolder& folder, const QString& database);

} // namespace estaciones::db::sqlite
