#pragma once

class QWidget;

namespace estaciones::library {

// The text helper's window call, made once when a window loads: the window is
// shrunk to fit the screen's available area and, when `centre` is true (the
// default; the lookup windows pass false and keep their own place), centred
// on that area.
void prepareWindow(QWidget& window, bool centre = true);

} // namespace estaciones::library
