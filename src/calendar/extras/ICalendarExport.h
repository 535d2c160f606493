#pragma once

#include "calendar/Season.h"
#include "calendar/extras/CalendarRows.h"

#include <QByteArray>
#include <QDateTime>

namespace estaciones::calendar::extras {

// One all-day event of the export: [first, last] both included.
struct CalendarRun {
    QDate first;
    QDate last;
    QString summary;
    QString key; // season code, or nonWorkingKey: part of the UID
};

// The runs of consecutive days of `year` holding the same season (days with an
// empty or unknown code make none) followed by the runs of non-working days.
QList<CalendarRun> calendarRuns(const CalendarRows& rows, int year);

// What the export says of its own files, so that importing one tells its
// seasons from its non-working days; any other calendar's events are holidays.
inline const QString ownProductId = QStringLiteral("-//Estaciones//Control de Calendario//ES");
inline const QString nonWorkingCategory = QStringLiteral("NO-LABORABLE");
inline const QString nonWorkingKey = QStringLiteral("NL");
// "TEMPORADA-ALTA", ...
QString seasonCategory(const Season& season);
// The CATEGORIES value of a run's key (a season code or nonWorkingKey).
QString categoryOfKey(const QString& key);

// Folds one content line at 75 octets (CRLF + one blank before each
// continuation), never inside a UTF-8 sequence, and ends it with CRLF.
QByteArray foldedLine(const QString& line);

// Escapes a TEXT value: backslash, semicolon, comma and line breaks.
QString escapedText(const QString& text);

// The iCalendar file (one VCALENDAR, one VEVENT per run, dates as all-day
// values with an exclusive end, the run's kind as its CATEGORIES). `stamp` is the DTSTAMP of every
// event.
QByteArray iCalendarOf(const CalendarRows& rows, int year, const QDateTime& stamp);

} // namespace estaciones::calendar::extras
