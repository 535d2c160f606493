#pragma once

#include "data/DB_Dll.h"

namespace estaciones::data {

// The program's shared data access object: created on first use, living
// until releaseSharedDb() (the session's shutdown, and tests).
DB_Dll& sharedDb();
// Closes its connection (errors ignored) and drops it; the next use creates
// a fresh one.
void releaseSharedDb();

} // namespace estaciones::data
