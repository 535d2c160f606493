#pragma once

#include "data/DB_Dll.h"

namespace estaciones::session {

// gDBEstadisticas: the second data access object, on the statistics
// database. Created on first use, released at shutdown (and by tests).
data::DB_Dll& gDBEstadisticas();
void liberarConexionEstadisticas();

} // namespace estaciones::session
