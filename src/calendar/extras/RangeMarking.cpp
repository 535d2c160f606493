#include "calendar/extras/RangeMarking.h"

#include "data/DB_Dll.h"

namespace estaciones::calendar::extras {

RangeMark markRange(data::DB_Dll& db, const QDate& from, const QDate& to, WeekdayFilter filter,
                    const QString& code) {
    RangeMark mark;
    const QList<QDate> dates = datesInRange(from, to, filter);
    const CalendarRows rows = readRows(db, dates);
    QList<DayChange> writes;
    for (const QDate& date : dates) {
        const auto row = rows.constFind(date);
        if (row == rows.constEnd()) {
            mark.withoutRow.append(date);
            continue;
        }
        writes.append({date, row->code, code});
    }
    mark.outcome = writeAfterCodes(db.gCnn, writes);
    if (mark.outcome.stored) {
        for (const DayChange& change : writes) {
            if (change.before != change.after) {
                mark.changes.append(change);
            }
        }
    }
    return mark;
}

} // namespace estaciones::calendar::extras
