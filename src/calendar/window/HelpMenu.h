#pragma once

class QMainWindow;

namespace estaciones::calendar::window {

// The window's "Ayuda" menu: the operator's page (also on F1) and the
// administration guide, opened in the system's browser. Names: MNU_Ayuda,
// MNU_AyudaOperador, MNU_AyudaAdministracion.
void addHelpMenu(QMainWindow& window);

} // namespace estaciones::calendar::window
