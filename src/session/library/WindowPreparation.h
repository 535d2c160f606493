#pragma once

class QSize;
class QWidget;

namespace estaciones::library {

// The text helper's window call, made once when a window loads: the window is
// shrunk to fit the screen's available area and, when `centre` is true (the
// default; the lookup windows pass false and keep their own place), centred
// on that area.
void prepareWindow(QWidget& window, bool centre = true);

// Gives the window `size`, shrunk so that it fits the screen's available area
// with its frame, and centres it there when `centre` is true. A window not
// shown yet has Qt's default size, not its content's: its caller passes the
// size it wants (its sizeHint, say).
void fitOnScreen(QWidget& window, const QSize& size, bool centre = true);

} // namespace estaciones::library
