#pragma once

#include "calendar/MonthGrid.h"
#include "calendar/Season.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace estaciones::calendar {

// What ArmarAlmanaque does to one cell.
struct CellPaint {
    QString caption;                     // the day number, or "." for no day
    bool enabled = false;                // only cells with a day take clicks
    std::optional<BgrColour> background; // nothing: the cell keeps its colour

    friend bool operator==(const CellPaint&, const CellPaint&) = default;
};

// The stored season code of a day of the month being painted ("" when none).
using SeasonOfDay = std::function<QString(int day)>;

// The paint of `month` of `year`: cells without a day show "." disabled on the
// button face; days show their number, enabled, in their season's colour.
// Throws Error 13 when month and year make no date.
std::array<CellPaint, CellsPerMonth> paintMonth(int month, int year, const SeasonColours& colours,
                                                const SeasonOfDay& seasonOfDay);

} // namespace estaciones::calendar
