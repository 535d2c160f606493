#pragma once

#include "calendar/extras/CalendarRows.h"

#include <QString>

#include <optional>

namespace estaciones::db {
class Connection;
}

namespace estaciones::calendar::extras {

// A cheap question to the database: did anything that may touch the year's
// rows change since the last answer? It never reads the year. On an SQLite
// file (the embedded engine, or SQLite through ODBC) the file's change
// counter (PRAGMA data_version), which moves only for other connections'
// writes; on SQL Server a checksum over the year's rows, which costs one
// index range scan and needs nothing added to the shared schema.
class ChangeProbe {
public:
    explicit ChangeProbe(db::Connection& connection) : m_connection(connection) {}

    // A value that differs from the previous one when another station may
    // have changed the rows of `year`; nothing when the database offers
    // neither check (the window then shows no live changes).
    std::optional<QString> token(int year);

private:
    enum class Method { Unknown, DataVersion, Checksum, None };
    std::optional<QString> ask(const QString& statement);

    db::Connection& m_connection;
    Method m_method = Method::Unknown;
};

// The days of `year` whose season or non-working flag differ between two
// reads (a row that appeared or went away counts too).
QList<QDate> changedDays(const CalendarRows& before, const CalendarRows& now, int year);

} // namespace estaciones::calendar::extras
