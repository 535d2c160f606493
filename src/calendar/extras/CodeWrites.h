#pragma once

#include "calendar/extras/CalendarRows.h"

#include <QList>

#include <functional>

namespace estaciones::db {
class Connection;
}

namespace estaciones::calendar::extras {

// One day's code before and after a change.
struct DayChange {
    QDate date;
    StoredCode before;
    StoredCode after;
};

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

// Stores the `after` code of every change in one transaction: either all are
// stored or, on any error, the transaction is rolled back and none is.
WriteOutcome writeAfterCodes(db::Connection& connection, const QList<DayChange>& changes,
                             const BeforeWrite& beforeWrite = {});

// Stores the `after` code of every change whose day still holds its
// `before` code (one conditional UPDATE per day), in one transaction. A day
// that holds something else was changed by another station since: it is
// left as it is and named in `changedElsewhere`.
WriteOutcome writeIfUnchanged(db::Connection& connection, const QList<DayChange>& changes,
                              const BeforeWrite& beforeWrite = {});

// Whether two stored codes are the same as the database compares them (a
// null only equals a null).
bool sameCode(const StoredCode& a, const StoredCode& b);

// The same changes the other way round (their `before` codes stored).
QList<DayChange> reversed(const QList<DayChange>& changes);

} // namespace estaciones::calendar::extras
