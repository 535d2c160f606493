#pragma once

#include "calendar/extras/CalendarRows.h"

#include <QList>

#include <functional>

namespace estaciones::db {
class Connection;
}

namespace estaciones::calendar::extras {

struct HistoryStamp;

// The column of MA_CALENDARIO a change writes.
enum class DayField {
    Season,     // Temporada: a code, or null
    NonWorking, // nolaborable: "1" or "0" (nonWorkingValue)
};

// One day's value before and after a change: its season code, or its
// non-working flag as "1" or "0".
struct DayChange {
    QDate date;
    StoredCode before;
    StoredCode after;
    DayField field = DayField::Season;
};

// A non-working flag as a change holds it, and back.
StoredCode nonWorkingValue(bool nonWorking);
bool isNonWorkingValue(const StoredCode& value);

// Turns the flag of `date` over: `nonWorkingNow` is what the day holds.
DayChange nonWorkingToggle(const QDate& date, bool nonWorkingNow);

// What a group of writes did.
struct WriteOutcome {
    bool stored = false;
    QString errorDescription;      // when not stored: the first error of the connection
    QList<DayChange> applied;      // when stored: the changes the days now hold
    QList<QDate> changedElsewhere; // when stored: days left as another station put them

    static WriteOutcome failed(const QString& description) { return {false, description, {}, {}}; }
};

// Called before the write of change `index`; a test uses it to fail a write
// in the middle of a group.
using BeforeWrite = std::function<void(qsizetype index)>;

// Stores the `after` value of every change in one transaction: either all are
// stored or, on any error, the transaction is rolled back and none is.
// With a `history` stamp, every day changed gets its MA_CALENDARIO_HISTORIA
// row in the same transaction.
WriteOutcome writeAfterCodes(db::Connection& connection, const QList<DayChange>& changes,
                             const BeforeWrite& beforeWrite = {},
                             const HistoryStamp* history = nullptr);

// Stores the `after` code of every change whose day still holds its
// `before` code (one conditional UPDATE per day), in one transaction. A day
// that holds something else was changed by another station since: it is
// left as it is and named in `changedElsewhere`.
WriteOutcome writeIfUnchanged(db::Connection& connection, const QList<DayChange>& changes,
                              const BeforeWrite& beforeWrite = {},
                              const HistoryStamp* history = nullptr);

// Whether two stored codes are the same as the database compares them (a
// null only equals a null).
bool sameCode(const StoredCode& a, const StoredCode& b);

// The same changes the other way round (their `before` codes stored).
QList<DayChange> reversed(const QList<DayChange>& changes);

} // namespace estaciones::calendar::extras
