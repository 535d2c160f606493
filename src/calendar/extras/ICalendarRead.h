#pragma once

#include <QByteArray>
#include <QDate>
#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

namespace estaciones::calendar::extras {

// What a file says of one day: the season it gets (only the program's own
// export gives seasons) and whether it becomes non-working. A file never
// makes a day working.
struct ImportedDay {
    std::optional<int> season; // index into seasons()
    bool nonWorking = false;
    QString name; // the summary of the events that name the day

    friend bool operator==(const ImportedDay&, const ImportedDay&) = default;
};

using ImportedDays = QMap<QDate, ImportedDay>;

// An iCalendar file read for the import: every day its events cover, as the
// date of the event in its own time zone.
struct ICalendarFile {
    bool ownExport = false; // written by this program's export
    ImportedDays days;
    QString error; // in Spanish; when set, `days` is empty and nothing is to be written

    bool ok() const { return error.isEmpty(); }
};

// Reads the file's bytes (UTF-8, or Windows-1252 when they are not valid
// UTF-8). All-day events, multi-day events (an exclusive DTEND or a
// DURATION), timed events (their local date; a UTC time in the calendar's
// X-WR-TIMEZONE, or the station's zone), repeats (RRULE, RDATE, EXDATE) and
// cancelled events (left out) are understood. Only the years of the year
// list are kept; a repeat without end is expanded over the years the file
// names otherwise and over `calendarYears`, the years that have a calendar.
ICalendarFile readICalendar(const QByteArray& bytes, const QSet<int>& calendarYears);

} // namespace estaciones::calendar::extras
