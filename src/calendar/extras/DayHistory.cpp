#include "calendar/extras/DayHistory.h"

#include "calendar/Season.h"
#include "calendar/SeasonStatements.h"
#include "calendar/extras/CodeWrites.h"
#include "platform/core/ErrorHandling.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

namespace estaciones::calendar::extras {

namespace {
// Milliseconds too, so that two changes of a day keep their order.
const QString timeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");

// Portable types only: the same statement runs on the embedded engine, on
// SQL Server and on SQLite through ODBC.
const QString createStatement = QStringLiteral(
    "CREATE TABLE MA_CALENDARIO_HISTORIA (Fecha datetime NOT NULL, Campo varchar(12) NOT NULL, "
    "Antes varchar(10) NULL, Despues varchar(10) NULL, Usuario varchar(50) NULL, "
    "Puesto varchar(50) NULL, Origen varchar(12) NULL, Momento varchar(23) NOT NULL)");

QString literal(const std::optional<QString>& text, qsizetype width) {
    if (!text) {
        return QStringLiteral("NULL");
    }
    QString quoted = text->left(width);
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString dateLiteral(const QDate& d) {
    return QLatin1Char('\'') + calendarDateLiteral(d.day(), d.month(), d.year()) +
           QLatin1Char('\'');
}

std::optional<QString> textOf(const Variant& value) {
    return value.isNull() ? std::nullopt : std::optional<QString>(value.toString());
}

// A value as the operator reads it.
QString shownValue(const HistoryEntry& entry, const std::optional<QString>& value) {
    if (entry.field != QLatin1String("Temporada")) {
        return isNonWorkingValue(value) ? QStringLiteral("no laborable")
                                        : QStringLiteral("laborable");
    }
    const QString code = value.value_or(QString()).trimmed();
    if (code.isEmpty()) {
        return QStringLiteral("sin temporada");
    }
    const std::optional<int> season = seasonIndexOfCode(code);
    return season ? seasons()[static_cast<std::size_t>(*season)].caption : code;
}
} // namespace

void ensureHistoryTable(db::Connection& connection) {
    const bool exists = !ignoringErrors([&] {
        connection.execute(
            QStringLiteral("select count(*) from MA_CALENDARIO_HISTORIA where 1 = 0"));
    });
    if (!exists) {
        connection.errors().clear();
        connection.execute(createStatement, nullptr, db::adOptionUnspecified);
    }
}

void insertHistoryRow(db::Connection& connection, const DayChange& change,
                      const HistoryStamp& stamp, const QDateTime& when) {
    const QString field = change.field == DayField::Season ? QStringLiteral("Temporada")
                                                           : QStringLiteral("nolaborable");
    connection.execute(
        QStringLiteral("insert into MA_CALENDARIO_HISTORIA (Fecha, Campo, Antes, Despues, "
                       "Usuario, Puesto, Origen, Momento) values (%1, '%2', %3, %4, %5, %6, %7, "
                       "'%8')")
            .arg(dateLiteral(change.date), field, literal(change.before, 10),
                 literal(change.after, 10), literal(stamp.user, 50), literal(stamp.station, 50),
                 literal(stamp.origin, 12), when.toString(timeFormat)),
        nullptr, db::adOptionUnspecified);
}

QList<HistoryEntry> readDayHistory(db::Connection& connection, const QDate& date, int limit) {
    QList<HistoryEntry> entries;
    db::Recordset rs = connection.execute(
        QStringLiteral("select Campo, Antes, Despues, Usuario, Puesto, Origen, Momento from "
                       "MA_CALENDARIO_HISTORIA where Fecha = %1 order by Momento desc")
            .arg(dateLiteral(date)));
    for (; rs.state() != db::adStateClosed && !rs.eof() && entries.size() < limit; rs.moveNext()) {
        entries.append({date, rs["Campo"].value().toString(), textOf(rs["Antes"].value()),
                        textOf(rs["Despues"].value()), rs["Usuario"].value().toString(),
                        rs["Puesto"].value().toString(), rs["Origen"].value().toString(),
                        rs["Momento"].value().toString()});
    }
    return entries;
}

QString historyLine(const HistoryEntry& entry, const QDate& today) {
    const QDateTime when = QDateTime::fromString(entry.when, timeFormat);
    const QString time = when.date() == today ? when.toString(QStringLiteral("HH:mm"))
                                              : when.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    return QStringLiteral("%1: %2 → %3, %4, %5, %6")
        .arg(entry.date.toString(QStringLiteral("dd/MM/yyyy")), shownValue(entry, entry.before),
             shownValue(entry, entry.after), entry.user, entry.station, time);
}

} // namespace estaciones::calendar::extras
