#include "calendar/SeasonStatements.h"

namespace estaciones::calendar {

QString calendarDateLiteral(int day, int month, int year) {
    return QStringLiteral("%1/%2/%3").arg(day).arg(month).arg(year);
}

QString seasonOfDateStatement(int day, int month, int year) {
    return QStringLiteral("select * from ma_calendario where fecha = '") +
           calendarDateLiteral(day, month, year) + QLatin1Char('\'');
}

QString assignSeasonStatement(const QString& Tempo, int day, int month, int year) {
    return QStringLiteral("update ma_calendario set Temporada = '") + Tempo +
           QStringLiteral("' where fecha = '") + calendarDateLiteral(day, month, year) +
           QLatin1Char('\'');
}

QString yearSeasonsStatement(int year) {
    QString statement =
        QStringLiteral("select Fecha, Temporada from ma_calendario where fecha in (");
    const QDate last(year, 12, 31);
    for (QDate date(year, 1, 1); date <= last; date = date.addDays(1)) {
        if (date.dayOfYear() > 1) {
            statement += QLatin1Char(',');
        }
        statement += QLatin1Char('\'') + calendarDateLiteral(date.day(), date.month(), year) +
                     QLatin1Char('\'');
    }
    statement += QLatin1Char(')');
    return statement;
}

} // namespace estaciones::calendar
