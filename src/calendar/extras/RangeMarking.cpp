#include "calendar/extras/RangeMarking.h"

#include "data/DB_Dll.h"

namespace estaciones::calendar::extras {

namespace {
// The change a range makes to one day's row.
using ChangeOfRow = std::function<DayChange(const QDate&, const DayRow&)>;

RangeMark markEachDay(data::DB_Dll& db, const QDate& from, const QDate& to, WeekdayFilter filter,
                      const HistoryStamp* history, const ChangeOfRow& changeOf) {
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
        writes.append(changeOf(date, *row));
    }
    mark.outcome = writeAfterCodes(db.gCnn, writes, {}, history);
    if (mark.outcome.stored) {
        for (const DayChange& change : writes) {
            if (change.before != change.after) {
                mark.changes.append(change);
            }
        }
    }
    return mark;
}
} // namespace

RangeMark markRange(data::DB_Dll& db, const QDate& from, const QDate& to, WeekdayFilter filter,
                    const QString& code, const HistoryStamp* history) {
    return markEachDay(db, from, to, filter, history, [&](const QDate& date, const DayRow& row) {
        return DayChange{date, row.code, code};
    });
}

RangeMark markNonWorkingRange(data::DB_Dll& db, const QDate& from, const QDate& to,
                              WeekdayFilter filter, bool nonWorking, const HistoryStamp* history) {
    return markEachDay(db, from, to, filter, history, [&](const QDate& date, const DayRow& row) {
        return DayChange{date, nonWorkingValue(row.nolaborable), nonWorkingValue(nonWorking),
                         DayField::NonWorking};
    });
}

} // namespace estaciones::calendar::extras
