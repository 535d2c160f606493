#pragma once

#include "calendar/extras/CodeWrites.h"
#include "calendar/extras/DayRange.h"

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::calendar::extras {

// What marking a range did.
struct RangeMark {
    QList<DayChange> changes; // the days stored (their codes before and after)
    QList<QDate> withoutRow;  // days of the range whose year was never created
    WriteOutcome outcome;     // the transaction's outcome
};

// Marks with `code` every day from `from` to `to` that the filter accepts, in
// one transaction. Days without a row are reported, not stored (there is no
// insert, as with a click). Days that already hold the code are stored again
// but left out of the changes, so undoing touches only what changed.
RangeMark markRange(data::DB_Dll& db, const QDate& from, const QDate& to, WeekdayFilter filter,
                    const QString& code, const HistoryStamp* history = nullptr);

// The same for the non-working flag: every day the filter accepts becomes
// non-working (or working, when `nonWorking` is false); seasons stay.
RangeMark markNonWorkingRange(data::DB_Dll& db, const QDate& from, const QDate& to,
                              WeekdayFilter filter, bool nonWorking,
                              const HistoryStamp* history = nullptr);

} // namespace estaciones::calendar::extras
