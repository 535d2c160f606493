#include "calendar/CaptionDate.h"

namespace estaciones::calendar {

QLocale captionLocale(const QLocale& system) {
    if (system.language() == QLocale::Spanish) {
        return system;
    }
    return QLocale(QLocale::Spanish, QLocale::Spain);
}

QString captionDate(const QDate& date, const QLocale& system) {
    return captionLocale(system).toString(date, QLocale::LongFormat);
}

} // namespace estaciones::calendar
