#pragma once

#include "calendar/Season.h"
#include "calendar/extras/CodeWrites.h"
#include "calendar/extras/ICalendarRead.h"

#include <array>

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::calendar::extras {

// What importing a file does to one year.
struct YearImport {
    QList<QDate> toNonWorking;               // days that become non-working
    int alreadyNonWorking = 0;               // days the file names that already are
    std::array<int, SeasonCount> toSeason{}; // days that change to each season
    int alreadySeason = 0;                   // days that already hold the file's season
    QList<QDate> withoutRow;                 // days not imported: no calendar row
    bool hasCalendar = true;                 // false when the year has no row at all
};

// What importing a file will change, year by year.
struct ImportPlan {
    bool ownExport = false;
    ImportedDays days;        // what the file says, names included
    QList<DayChange> changes; // only what changes: seasons and non-working flags
    QMap<int, YearImport> years;

    // The years the file names that were never created.
    QList<int> yearsWithoutCalendar() const;
    qsizetype notImported() const;
};

// Plans the import from the rows of the days the file names (pure).
ImportPlan planImport(const ICalendarFile& file, const CalendarRows& rows);
// Reads those rows and plans.
ImportPlan planImport(data::DB_Dll& db, const ICalendarFile& file);

// The question the operator answers before anything is written, or the
// report when there is nothing to write, in Spanish; `fileName` names the file.
QString importPreview(const ImportPlan& plan, const QString& fileName);

} // namespace estaciones::calendar::extras
