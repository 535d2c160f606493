#pragma once

class QWidget;

namespace estaciones::app {

// SIGTERM (a shutdown) and SIGHUP (the operator's desktop session logging
// out) close the window as the operator closing it would: the session ends
// in order and the access log gets its exit time.
//
// recibirSenalesDeCierre() first thing in main: from then on the signals are
// kept instead of ending the program at once. cerrarConSenales(ventana) once
// the window is shown: a signal kept meanwhile closes it as soon as the event
// loop runs.
void recibirSenalesDeCierre();
void cerrarConSenales(QWidget& ventana);

} // namespace estaciones::app
