#pragma once

#include <QString>

#include <optional>

namespace estaciones::calendar {

// The years of the year combo, both included.
constexpr int FirstListYear = 1930;
constexpr int LastListYear = 2049;

// A year text read from the operator (the year combo, the source year of a
// copy): the number when it is one of the list's years, otherwise the
// Spanish message that says why not.
struct YearValidation {
    std::optional<int> year;
    QString message;
};

// The one check every year text passes before the window uses it; only the
// number it gives goes into a statement.
YearValidation validateYear(const QString& text);

// The list year nearest to `year` (the current year when it is in the list).
int nearestListYear(int year);

} // namespace estaciones::calendar
