#pragma once

#include "calendar/Season.h"
#include "calendar/extras/CalendarRows.h"

#include <QStringList>

#include <array>

namespace estaciones::calendar::extras {

// The year's days by season, as the legend shows them.
struct SeasonTotals {
    int year = 0;
    std::array<int, SeasonCount> perSeason{}; // BA, ME, AL, ES
    int unmarked = 0;                         // rows with an empty or null code (painted as BAJA)
    int otherCodes = 0;                       // rows with a code outside the four
    int withoutRow = 0;                       // days of the year that have no row
    int nonWorking = 0;                       // rows flagged nolaborable

    friend bool operator==(const SeasonTotals&, const SeasonTotals&) = default;
};

// Counts the rows of `year` (rows of other years are ignored).
SeasonTotals totalsOf(const CalendarRows& rows, int year);

// The days the grid paints in season `season`'s colour: BAJA's are its
// own, the days without season and the days without a row, as the grid
// paints them all alike.
int paintedDays(const SeasonTotals& totals, int season);

// The legend's lines, in Spanish: one per season with the days painted in
// its colour (BAJA's line says how many of them have no season or no row),
// then the other codes (when any) and the non-working days.
QStringList legendLines(const SeasonTotals& totals);

} // namespace estaciones::calendar::extras
