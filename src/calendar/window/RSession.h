#pragma once

#include <QString>

#include <functional>

class QStatusBar;

namespace estaciones::calendar::window {

class R;

// What the window asks of the session around it. The program sets these
// (app/); tests set their own. An unset function is skipped.
struct RSession {
    // Starts the session (connection, configuration, access log); false when
    // the program must end (the main connection could not be opened).
    std::function<bool()> IniciarSesion;
    // Fills the seven panels of sbStatusBar (StatusPanels.h) with `text` as
    // the message.
    std::function<void(QStatusBar& sbStatusBar, const QString& text)> ArmarBarraEstado;
    // Closes the session (access log exit time, shared objects) at unload.
    std::function<void()> FinalizarSesion;
    // CmdCrearCalendario click: creates the calendar rows of `anio`, the
    // year box's year once validated; the window repaints it afterwards.
    std::function<void(R& window, int anio)> CrearCalendario;
    // Ends the program after unload (the event loop's end in the program).
    std::function<void()> endProgram;
};

} // namespace estaciones::calendar::window
