#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace estaciones::calendar {

// The locale of the window caption's long date: the system's when its
// language is Spanish (so an Argentine desktop keeps its own format), Spain's
// Spanish otherwise, since every other text of the window is Spanish.
QLocale captionLocale(const QLocale& system = QLocale::system());

// The caption of the calendar window: `date` in the long date format.
QString captionDate(const QDate& date, const QLocale& system = QLocale::system());

} // namespace estaciones::calendar
