#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::calendar::extras {

// A stored code: nothing for a null Temporada, so that undoing a mark on a
// day never marked gives the column back its null.
using StoredCode = std::optional<QString>;

// One MA_CALENDARIO row as the additions read it.
struct DayRow {
    StoredCode code;
    bool nolaborable = false;

    // The code as the window paints it: a null reads as "".
    QString codeText() const { return code.value_or(QString()); }
};

// The rows found for a set of dates; a date without a row is absent.
using CalendarRows = QMap<QDate, DayRow>;

// Every date of `year`, 1 January first.
QList<QDate> datesOfYear(int year);

// Reads the rows of `dates` with one statement per 400 dates. The dates are
// named with the literal the one-date statements compare with, so the rows
// found are exactly those a click would update. `complete`, when given, is
// set to false when a statement failed (the data access class reported it)
// and its dates are missing from the answer for that reason.
CalendarRows readRows(data::DB_Dll& db, const QList<QDate>& dates, bool* complete = nullptr);

// The years of the year list that have a calendar, found by probing three
// days of each (Crear Calendario makes every day of a year at once).
QSet<int> yearsWithCalendar(data::DB_Dll& db);

// The rows of every day of `year`, as readRows(datesOfYear(year)) gives them.
CalendarRows readYearRows(data::DB_Dll& db, int year, bool* complete = nullptr);

} // namespace estaciones::calendar::extras
