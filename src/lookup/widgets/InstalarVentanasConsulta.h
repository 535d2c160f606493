#pragma once

namespace estaciones::lookup::widgets {

// Makes the lookup controllers show the Qt list and tree windows.
void instalarVentanasConsulta();

} // namespace estaciones::lookup::widgets
