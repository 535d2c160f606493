#pragma once

#include "calendar/Season.h"

#include <QString>

#include <array>

namespace estaciones::calendar {

// The season colours in the configuration table (keys "TempoCol_BA", ...,
// group "DATOS").

// The value of each season's key as stored, by season index.
using StoredSeasonColours = std::array<QString, SeasonCount>;
StoredSeasonColours readSeasonColours();

// Writes the default of every season whose value in `stored` is blank and
// reads that key again, so that `stored` holds what the table holds. A key
// without a row reads as a single blank, which counts as blank here: left
// alone it would read as colour 0 and paint every day black.
void writeMissingSeasonColours(StoredSeasonColours& stored);

// The four colours of stored values (text-to-number of each value: decimal
// text or an "&H...&" literal).
SeasonColours seasonColoursOf(const StoredSeasonColours& stored);

// The four colours from the configuration, read now.
SeasonColours loadSeasonColours();

// Stores the colour of season `index` as decimal text.
void storeSeasonColour(int index, BgrColour colour);

} // namespace estaciones::calendar
