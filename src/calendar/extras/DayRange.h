#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

namespace estaciones::calendar::extras {

// Which weekdays of a range are marked. Bit (dayOfWeek - 1) per day, Monday
// bit 0 ... Sunday bit 6, as QDate::dayOfWeek counts them.
class WeekdayFilter {
public:
    static constexpr std::uint8_t AllDays = 0x7F;

    constexpr WeekdayFilter() = default;
    constexpr explicit WeekdayFilter(std::uint8_t mask) : m_mask(mask & AllDays) {}
    static WeekdayFilter of(std::initializer_list<Qt::DayOfWeek> days);

    bool accepts(const QDate& date) const;
    std::uint8_t mask() const { return m_mask; }

private:
    std::uint8_t m_mask = AllDays;
};

// The filters the window offers, with their Spanish captions.
struct NamedFilter {
    QString caption;
    WeekdayFilter filter;
};
const std::array<NamedFilter, 4>& namedFilters();

// Every date from `from` to `to` (either order, both included) that the
// filter accepts, earliest first. Crosses months and years.
QList<QDate> datesInRange(const QDate& from, const QDate& to, WeekdayFilter filter = {});

} // namespace estaciones::calendar::extras
