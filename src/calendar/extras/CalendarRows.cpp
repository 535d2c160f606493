#include "calendar/extras/CalendarRows.h"

#include "calendar/SeasonStatements.h"
#include "calendar/YearList.h"
#include "data/DB_Dll.h"
#include "platform/db/Engine.h"
#include "platform/db/Recordset.h"

#include <functional>

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

namespace {

// Adds the rows of one open statement; the first row of a date wins, as in
// the one-date read. `named` tells whether a stored date is one the
// statement's dates name.
void addRows(db::Recordset& recordset, CalendarRows& rows,
             const std::function<bool(const DateTimeValue&)>& named) {
    for (; !recordset.eof(); recordset.moveNext()) {
        const Variant fecha = recordset["Fecha"].value();
        if (fecha.isNull()) {
            continue;
        }
        const DateTimeValue stored = fecha.toDate();
        if (!named(stored) || rows.contains(stored.date)) {
            continue;
        }
        const Variant temporada = recordset["Temporada"].value();
        const Variant nolaborable = recordset["nolaborable"].value();
        DayRow row;
        if (!temporada.isNull()) {
            row.code = temporada.toString();
        }
        row.nolaborable = !nolaborable.isNull() && nolaborable.toInt32() != 0;
        rows.insert(stored.date, row);
    }
}

bool storesDates(db::Recordset& recordset) {
    const int type = recordset["Fecha"].type();
    return type == db::adtype::Date || type == db::adtype::DBDate ||
           type == db::adtype::DBTimeStamp;
}

} // namespace

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
        addRows(recordset, rows, [](const DateTimeValue&) { return true; });
        db.CierraRecordset(recordset);
    }
    return rows;
}

CalendarRows readYearRows(data::DB_Dll& db, int year, bool* complete) {
    // One range instead of a literal per day, which the server had to parse
    // and sort: a day's literal compares equal only to its midnight, so the
    // year's rows at midnight are exactly the rows its days name. That holds
    // for a column of dates; one of texts compares texts, and is read by day.
    QString statement =
        QStringLiteral("select Fecha, Temporada, nolaborable from ma_calendario where fecha "
                       "between '") +
        calendarDateLiteral(1, 1, year) + QStringLiteral("' and '") +
        calendarDateLiteral(31, 12, year) + QLatin1Char('\'');
    db::Recordset recordset;
    db.AbrirRecordset(statement, recordset);
    if (recordset.state() == db::adStateClosed) {
        // The read failed and was reported by the data access class.
        if (complete) {
            *complete = false;
        }
        return {};
    }
    if (!storesDates(recordset)) {
        db.CierraRecordset(recordset);
        return readRows(db, datesOfYear(year), complete);
    }
    CalendarRows rows;
    addRows(recordset, rows, [year](const DateTimeValue& stored) {
        return stored.date.year() == year && stored.time == QTime(0, 0) && stored.ticks == 0;
    });
    db.CierraRecordset(recordset);
    if (complete) {
        *complete = true;
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
