#include "calendar/MonthPaint.h"

#include "calendar/BgrColour.h"
#include "calendar/CalendarTexts.h"

namespace estaciones::calendar {

std::array<CellPaint, CellsPerMonth> paintMonth(int month, int year, const SeasonColours& colours,
                                                const SeasonOfDay& seasonOfDay) {
    const MonthLayout layout = monthLayout(month, year);
    std::array<CellPaint, CellsPerMonth> cells{};
    for (int k = 0; k < CellsPerMonth; ++k) {
        CellPaint& cell = cells[static_cast<std::size_t>(k)];
        if (!layout.hasDay(k)) {
            cell = CellPaint{texts::noDay, false, ButtonFace};
            continue;
        }
        const int day = layout.dayAt(k);
        cell.caption = QString::number(day);
        cell.enabled = true;
        cell.background = colours.colourOfCode(seasonOfDay(day));
    }
    return cells;
}

} // namespace estaciones::calendar
