#include "calendar/extras/CalendarRows.h"

#include "calendar/SeasonStatements.h"
#include "calendar/YearList.h"
#include "data/DB_Dll.h"
#include "platform/db/Recordset.h"

namespace estaciones::calendar::extras {

namespace {
// Keeps each statement a reasonable size for any engine.
constexpr qsizetype DatesPerStatement = 400;

QString rowsStatement(const QList<QDate>& dates) {
    QString statement =
        QStringLiteral("select Fecha, Temporada, nolaborable from ma_calendario where fecha in (");
    for (qsizetype i = 0; i < dates.size(); ++i) {
        if (i > 0) {
            statement += QLatin1Char(',');
        }
        const QDate& d = dates[i];
        statement += QLatin1Char('\'') + calendarDateLiteral(d.day(), d.month(), d.year()) +
                     QLatin1Char('\'');
    }
    statement += QLatin1Char(')');
    return statement;
}
} // namespace

QList<QDate> datesOfYear(int year) {
    QList<QDate> dates;
    for (QDate d(year, 1, 1); d.isValid() && d.year() == year; d = d.addDays(1)) {
        dates.append(d);
    }
    return dates;
}

CalendarRows readRows(data::DB_Dll& db, const QList<QDate>& dates, bool* complete) {
    CalendarRows rows;
    if (complete) {
        *complete = true;
    }
    db::Recordset recordset;
    for (qsizetype start = 0; start < dates.size(); start += DatesPerStatement) {
        QString statement = rowsStatement(dates.mid(start, DatesPerStatement));
        db.AbrirRecordset(statement, recordset);
        if (recordset.state() == db::adStateClosed) {
            // The read failed and was reported by the data access class.
            if (complete) {
                *complete = false;
            }
            continue;
        }
        for (; !recordset.eof(); recordset.moveNext()) {
            const Variant fecha = recordset["Fecha"].value();
            if (fecha.isNull()) {
                continue;
            }
            const QDate date = fecha.toDate().date;
            if (rows.contains(date)) {
                continue; // the first row of a date wins, as in the one-date read
            }
            const Variant temporada = recordset["Temporada"].value();
            const Variant nolaborable = recordset["nolaborable"].value();
            DayRow row;
            if (!temporada.isNull()) {
                row.code = temporada.toString();
            }
            row.nolaborable = !nolaborable.isNull() && nolaborable.toInt32() != 0;
            rows.insert(date, row);
        }
        db.CierraRecordset(recordset);
    }
    return rows;
}

QSet<int> yearsWithCalendar(data::DB_Dll& db) {
    QList<QDate> probes;
    for (int year = FirstListYear; year <= LastListYear; ++year) {
        probes << QDate(year, 1, 1) << QDate(year, 7, 1) << QDate(year, 12, 31);
    }
    QSet<int> years;
    for (const QDate& date : readRows(db, probes).keys()) {
        years.insert(date.year());
    }
    return years;
}

} // namespace estaciones::calendar::extras
