#include "calendar/YearList.h"

#include "calendar/CalendarTexts.h"

#include <algorithm>

namespace estaciones::calendar {

namespace {
bool onlyDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}
} // namespace

YearValidation validateYear(const QString& text) {
    const QString trimmed = text.trimmed();
    // Four digits at most: anything longer is out of the list anyway, and a
    // long text must not overflow the conversion.
    if (!onlyDigits(trimmed)) {
        return {std::nullopt, texts::notAYear(trimmed)};
    }
    const int year = trimmed.size() <= 4 ? trimmed.toInt() : -1;
    if (year < FirstListYear || year > LastListYear) {
        return {std::nullopt, texts::yearOutOfList(trimmed)};
    }
    return {year, {}};
}

int nearestListYear(int year) {
    return std::clamp(year, FirstListYear, LastListYear);
}

} // namespace estaciones::calendar
