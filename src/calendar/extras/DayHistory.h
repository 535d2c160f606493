#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace estaciones::db {
class Connection;
}

namespace estaciones::calendar::extras {

struct DayChange;

// Who makes a change, from where and how ("clic", "rango", "copia",
// "deshacer", ...): what a history row records besides the values.
struct HistoryStamp {
    QString user;
    QString station;
    QString origin;
};

// One row of MA_CALENDARIO_HISTORIA, a table of the program's own beside the
// suite's MA_CALENDARIO, which stays as it is.
struct HistoryEntry {
    QDate date;
    QString field; // "Temporada" or "nolaborable"
    std::optional<QString> before;
    std::optional<QString> after;
    QString user;
    QString station;
    QString origin;
    QString when; // "yyyy-MM-dd HH:mm:ss.zzz", local time
};

// Creates the history table when the database has none yet (a first run,
// or a database the suite's own scripts made).
void ensureHistoryTable(db::Connection& connection);

// Adds the row of one change; called inside the change's transaction.
void insertHistoryRow(db::Connection& connection, const DayChange& change,
                      const HistoryStamp& stamp, const QDateTime& when);

// The changes of `date`, newest first; at most `limit`.
QList<HistoryEntry> readDayHistory(db::Connection& connection, const QDate& date, int limit = 20);

// "14/01/2026: ALTA → MEDIA, ANA, puesto 2, 09:41" (the day of the change
// too when it is not today's).
QString historyLine(const HistoryEntry& entry, const QDate& today);

} // namespace estaciones::calendar::extras
