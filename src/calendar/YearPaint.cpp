#include "calendar/YearPaint.h"

#include "calendar/SeasonStore.h"

namespace estaciones::calendar {

YearPaint paintYear(int year, const SeasonColours& colours,
                    const std::function<QString(int day, int month)>& seasonOf) {
    YearPaint paint{};
    for (int month = 1; month <= 12; ++month) {
        paint[static_cast<std::size_t>(month - 1)] =
            paintMonth(month, year, colours, [&](int day) { return seasonOf(day, month); });
    }
    return paint;
}

YearPaint paintYear(SeasonStore& store, int year, const SeasonColours& colours) {
    const YearSeasons seasons = store.readYear(year);
    return paintYear(year, colours,
                       [&](int day, int month) { return seasons.codeOf(day, month); });
}

YearPaint paintYearDayByDay(SeasonStore& store, int year, const SeasonColours& colours) {
    return paintYear(year, colours,
                       [&](int day, int month) { return store.Temporada(day, month, year); });
}

} // namespace estaciones::calendar
