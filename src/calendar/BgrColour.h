#pragma once

#include "calendar/Season.h"

#include <QColor>

namespace estaciones::calendar {

// The one place where the suite's colour values meet Qt's colours.
//
// A value is 0x00BBGGRR (red in the lowest byte); a value with the high bit
// set names a system colour by its index in the low byte (0x8000000F is the
// face of a button), which is taken from the application's palette.
QColor toQColor(BgrColour value);

// The suite's value of a Qt colour (alpha dropped).
BgrColour toBgr(const QColor& colour);

// The system colour of button faces, as the suite writes it.
constexpr BgrColour ButtonFace = 0x8000000Fu;

} // namespace estaciones::calendar
