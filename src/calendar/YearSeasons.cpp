#include "calendar/YearSeasons.h"

#include "session/library/SharedObjects.h"

namespace estaciones::calendar {

void YearSeasons::addRow(const Variant& Fecha, const Variant& Temporada) {
    QDate date;
    try {
        date = Fecha.toDate().date;
    } catch (const std::exception&) {
        return;
    }
    if (date.year() != m_year || m_codes.contains(date)) {
        return;
    }
    m_codes.insert(date, library::textHelper().nullToEmpty(Temporada).toString());
}

QString YearSeasons::codeOf(int day, int month) const {
    return m_codes.value(QDate(m_year, month, day));
}

} // namespace estaciones::calendar
