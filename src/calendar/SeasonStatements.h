#pragma once

#include <QDate>
#include <QString>

namespace estaciones::calendar {

// The calendar's date literal: day/month/year without leading zeros
// (5 March 2024 is "5/3/2024"); the session reads it day-month-year.
QString calendarDateLiteral(int day, int month, int year);

// The season of one date (Temporada).
QString seasonOfDateStatement(int day, int month, int year);

// Stores a season for one date (AsignarTemporada).
QString assignSeasonStatement(const QString& Tempo, int day, int month, int year);

// The seasons of a whole year in one statement. It names every date of the
// year with the same literal the one-date statement compares with, so that
// it finds exactly the rows the one-date reads find, on every engine (a
// range would also catch rows stored with a time of day, and an engine that
// keeps dates as text would compare a range as text).
QString yearSeasonsStatement(int year);

} // namespace estaciones::calendar
