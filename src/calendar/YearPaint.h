#pragma once

#include "calendar/MonthPaint.h"

#include <array>
#include <functional>

namespace estaciones::calendar {

class SeasonStore;

// The paint of the twelve months of a year, January first.
using YearPaint = std::array<std::array<CellPaint, CellsPerMonth>, 12>;

// Reads the year's seasons with one statement and paints from them: what the
// window does.
YearPaint paintYear(SeasonStore& store, int year, const SeasonColours& colours);

// Paints from codes already read: `seasonOf` gives the stored code of a day
// ("" when none).
YearPaint paintYear(int year, const SeasonColours& colours,
                    const std::function<QString(int day, int month)>& seasonOf);

// Reads each day with its own statement (Temporada), one round trip per day:
// the reference the one-statement paint must agree with.
YearPaint paintYearDayByDay(SeasonStore& store, int year, const SeasonColours& colours);

} // namespace estaciones::calendar
