#include "calendar/extras/DayRange.h"
#include "calendar/extras/ExtrasTexts.h"

#include <utility>

namespace estaciones::calendar::extras {

WeekdayFilter WeekdayFilter::of(std::initializer_list<Qt::DayOfWeek> days) {
    std::uint8_t mask = 0;
    for (Qt::DayOfWeek day : days) {
        mask |= static_cast<std::uint8_t>(1u << (static_cast<int>(day) - 1));
    }
    return WeekdayFilter(mask);
}

bool WeekdayFilter::accepts(const QDate& date) const {
    return date.isValid() && (m_mask & (1u << (date.dayOfWeek() - 1))) != 0;
}

const std::array<NamedFilter, 4>& namedFilters() {
    static const std::array<NamedFilter, 4> filters = {
        NamedFilter{texts::allDays, WeekdayFilter()},
        NamedFilter{texts::weekendOnly, WeekdayFilter::of({Qt::Saturday, Qt::Sunday})},
        NamedFilter{
            texts::mondayToFriday,
            WeekdayFilter::of({Qt::Monday, Qt::Tuesday, Qt::Wednesday, Qt::Thursday, Qt::Friday})},
        NamedFilter{texts::sundaysOnly, WeekdayFilter::of({Qt::Sunday})},
    };
    return filters;
}

QList<QDate> datesInRange(const QDate& from, const QDate& to, WeekdayFilter filter) {
    QList<QDate> dates;
    if (!from.isValid() || !to.isValid()) {
        return dates;
    }
    QDate first = from;
    QDate last = to;
    if (last < first) {
        std::swap(first, last);
    }
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        if (filter.accepts(d)) {
            dates.append(d);
        }
    }
    return dates;
}

} // namespace estaciones::calendar::extras
