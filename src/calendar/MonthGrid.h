#pragma once

#include "platform/core/Variant.h"

#include <QString>

#include <cstdint>

namespace estaciones::calendar {

// A month grid: 42 cells in six rows of seven, column 0 Sunday.
constexpr int CellsPerMonth = 42;
constexpr int DaysPerWeek = 7;

// Where the days of one month sit: day d (1..days) in cell firstCell + d - 1.
struct MonthLayout {
    int firstCell = 0; // weekday of the 1st, Sunday 0 ... Saturday 6
    int days = 0;      // 0 leaves every cell without a day

    bool hasDay(int cell) const { return cell >= firstCell && cell <= firstCell + days - 1; }
    int dayAt(int cell) const { return cell - firstCell + 1; }
    int cellOf(int day) const { return firstCell + day - 1; }
};

// The layout of `month` (1..12) of `year`. Throws Error 13 when the two do not
// make a date, as converting "01/m/yyyy" would.
MonthLayout monthLayout(int month, int year);

// Days of the month from month and year as the window holds them (a number and
// the year combo's text); any error gives 0.
std::int16_t CantidadDeDiasDelmes(const Variant& Mes, const Variant& año);

// Spanish month name of 1..12; "" for any other number.
QString NombreMes(std::int16_t Nromes);
// The month number of a Spanish name, ignoring case; 0 when unknown.
std::int16_t Nromes(const QString& NombreMes);

// The year of the year combo's text: Error 13 when the text is not a whole
// number of a year a date can have (1..9999).
int yearOfText(const QString& text);

} // namespace estaciones::calendar
