#pragma once

namespace estaciones::session::estadisticas {

// The start-up's statistics step: makes sure the statistics login and
// database exist (creating them when missing), opens gDBEstadisticas on
// "TS_ESTADISTICAS" and sets gTimeOut from its "TimeOut" key (360 when the
// key is 0 or missing, or the connection does not open; a missing key is
// stored as 0). Every step runs with errors ignored; a failure stays silent.
void PrepararEstadisticas();

} // namespace estaciones::session::estadisticas
