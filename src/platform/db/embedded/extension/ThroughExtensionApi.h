#pragma once

// Put before every source of the loadable extension (-include): each call
// to SQLite then goes through the routine table of the program that loads
// it, so that the functions act on that program's copy of SQLite and the
// extension needs no SQLite of its own.
#include <sqlite3ext.h>

SQLITE_EXTENSION_INIT3
