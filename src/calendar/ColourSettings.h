#pragma once

#include "calendar/Season.h"

namespace estaciones::calendar {

// The season colours in the configuration table (keys "TempoCol_BA", ...,
// group "DATOS").

// Writes the default of every season whose value is blank. A key without a
// row reads as a single blank, which counts as blank here: left alone it
// would read as colour 0 and paint every day black.
void writeMissingSeasonColours();

// The four colours from the configuration (text-to-number of each value:
// decimal text or an "&H...&" literal).
SeasonColours loadSeasonColours();

// Stores the colour of season `index` as decimal text.
void storeSeasonColour(int index, BgrColour colour);

} // namespace estaciones::calendar
