#include "calendar/MonthGrid.h"

#include "calendar/CalendarTexts.h"
#include "platform/core/Error.h"

#include <QDate>

namespace estaciones::calendar {

namespace {
QDate firstOfMonth(int month, int year) {
    const QDate first(year, month, 1);
    if (!first.isValid() || year < 1) {
        throw standardError(errnum::TypeMismatch);
    }
    return first;
}
} // namespace

MonthLayout monthLayout(int month, int year) {
    const QDate first = firstOfMonth(month, year);
    return MonthLayout{first.dayOfWeek() % DaysPerWeek, first.daysInMonth()};
}

std::int16_t CantidadDeDiasDelmes(const Variant& Mes, const Variant& año) {
    try {
        const int month = Mes.toInt32();
        const int year = año.isText() ? yearOfText(año.toString()) : año.toInt32();
        return static_cast<std::int16_t>(firstOfMonth(month, year).daysInMonth());
    } catch (const std::exception&) {
        return 0;
    }
}

QString NombreMes(std::int16_t Nromes) {
    if (Nromes < 1 || Nromes > 12) {
        return {};
    }
    return texts::monthNames[static_cast<std::size_t>(Nromes - 1)];
}

std::int16_t Nromes(const QString& NombreMes) {
    for (std::size_t i = 0; i < texts::monthNames.size(); ++i) {
        if (texts::monthNames[i].compare(NombreMes, Qt::CaseInsensitive) == 0) {
            return static_cast<std::int16_t>(i + 1);
        }
    }
    return 0;
}

int yearOfText(const QString& text) {
    bool ok = false;
    const int year = text.trimmed().toInt(&ok);
    if (!ok || year < 1 || year > 9999) {
        throw Error(errnum::TypeMismatch, texts::invalidYear(text));
    }
    return year;
}

} // namespace estaciones::calendar
