#pragma once

#include "calendar/Season.h"
#include "calendar/extras/CodeWrites.h"

#include <array>
#include <optional>

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::calendar::extras {

// The day of `sourceYear` that lines up with `target`: the same ISO weekday
// in the same ISO week, counted in the week-year as many years back (or
// forward) as the calendar years are apart. A Saturday maps to a Saturday.
// Nothing when the source week-year has no such week (week 53).
std::optional<QDate> sourceDayFor(const QDate& target, int sourceYear);

// What copying one year's seasons into another will change.
struct CopyPlan {
    int sourceYear = 0;
    int targetYear = 0;
    QList<DayChange> changes;                 // only days whose code changes
    std::array<int, SeasonCount> changesTo{}; // changed days per new season
    int changesToOther = 0;                   // changed days whose new code is empty or unknown
    int withoutSource = 0;                    // target days with no source day or no source row
    int targetRows = 0;                       // rows the target year has

    bool targetExists() const { return targetRows > 0; }
};

// Plans the copy from the rows of both years (pure: for tests and previews).
CopyPlan planCopy(const CalendarRows& sourceRows, const CalendarRows& targetRows, int sourceYear,
                  int targetYear);
// Reads the rows it needs and plans.
CopyPlan planCopy(data::DB_Dll& db, int sourceYear, int targetYear);

// The preview the operator confirms, in Spanish.
QString copyPreview(const CopyPlan& plan);

// Writes the plan in one transaction (nothing is stored when a write fails).
WriteOutcome executeCopy(data::DB_Dll& db, const CopyPlan& plan,
                         const BeforeWrite& beforeWrite = {},
                         const HistoryStamp* history = nullptr);

} // namespace estaciones::calendar::extras
