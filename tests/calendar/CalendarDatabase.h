#pragma once

// A fresh database for calendar tests: a temporary data folder, the
// program's shared data access object connected to a new database holding the
// calendar and configuration tables (columns as the company schema has them).
// On the embedded engine by default; on the ODBC engine through the SQLite
// ODBC driver when asked, where dates are kept as the text the program
// writes them in ("14/3/2025"), since SQLite has no date type to read them.

#include "calendar/SeasonStatements.h"
#include "data/SharedDb.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "support/TempFolder.h"

#include <QDate>

#include <gtest/gtest.h>

namespace estaciones::test {

enum class CalendarEngine { Embedded, OdbcSqlite };

inline auto calendarEngines() {
    return ::testing::Values(CalendarEngine::Embedded, CalendarEngine::OdbcSqlite);
}

inline std::string calendarEngineName(const ::testing::TestParamInfo<CalendarEngine>& info) {
    return info.param == CalendarEngine::Embedded ? "Embedded" : "OdbcSqlite";
}

class CalendarDatabase {
public:
    explicit CalendarDatabase(CalendarEngine engine = CalendarEngine::Embedded) : m_engine(engine) {
        data::releaseSharedDb();
        data::DB_Dll& db = data::sharedDb();
        // The data layer's error log goes to this database's folder.
        db.gLogErr = m_data.filePath(QStringLiteral("TSERR.LOG"));
        db.gCnn.setCursorLocation(db::adUseClient);
        if (engine == CalendarEngine::Embedded) {
            db.gCnn.open(
                QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =master;UId=sa;Pwd=;"));
            db.gCnn.execute(QStringLiteral("CREATE DATABASE CALENDARIO"));
            db.gCnn.execute(QStringLiteral("USE CALENDARIO"));
        } else {
            db.gCnn.open(connectionString());
        }
        const QString owner =
            engine == CalendarEngine::Embedded ? QStringLiteral("dbo.") : QString();
        const QString dateType = engine == CalendarEngine::Embedded ? QStringLiteral("datetime")
                                                                    : QStringLiteral("varchar(10)");
        db.gCnn.execute(
            QStringLiteral("CREATE TABLE %1MA_CALENDARIO (Fecha %2 NOT NULL PRIMARY KEY, "
                           "Temporada varchar(2) NULL, nolaborable int NOT NULL DEFAULT (0))")
                .arg(owner, dateType));
        db.gCnn.execute(
            QStringLiteral(
                "CREATE TABLE %1TA_CONFIGURACION (Clave varchar(50) NOT NULL PRIMARY KEY, "
                "Valor varchar(255) NULL, ValorAux varchar(255) NULL DEFAULT (''), "
                "Grupo varchar(50) NULL, PoliticaNegocio bit NOT NULL DEFAULT (0))")
                .arg(owner));
        db.gOpenFlag = true;
    }
    ~CalendarDatabase() { data::releaseSharedDb(); }
    CalendarDatabase(const CalendarDatabase&) = delete;
    CalendarDatabase& operator=(const CalendarDatabase&) = delete;

    data::DB_Dll& db() { return data::sharedDb(); }
    db::Connection& connection() { return db().gCnn; }

    // Where a second station connects to.
    QString connectionString() const {
        if (m_engine == CalendarEngine::Embedded) {
            return QStringLiteral(
                "PROVIDER=SQLOLEDB;Server=(local);Database =CALENDARIO;UId=sa;Pwd=;");
        }
        return QStringLiteral("Driver=SQLite3;Database=%1")
            .arg(m_data.filePath(QStringLiteral("calendario.db")));
    }

    // The rows "Crear Calendario" makes: every date of the year, no season.
    void createYear(int year) {
        QString batch;
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
            batch += QStringLiteral("INSERT INTO MA_CALENDARIO (Fecha, nolaborable) VALUES (%1, 0)")
                         .arg(dateLiteral(d));
            batch +=
                m_engine == CalendarEngine::Embedded ? QStringLiteral("\n") : QStringLiteral(";");
        }
        // One transaction: a file database would otherwise sync every row.
        connection().beginTrans();
        connection().execute(batch);
        connection().commitTrans();
    }

    void setCode(const QDate& date, const QString& code) {
        connection().execute(
            QStringLiteral("UPDATE MA_CALENDARIO SET Temporada = %1 WHERE Fecha = %2")
                .arg(code.isNull() ? QStringLiteral("NULL")
                                   : QLatin1Char('\'') + code + QLatin1Char('\''),
                     dateLiteral(date)));
    }

    // What the table holds for `date`: nothing when there is no row, "" for null.
    std::optional<QString> storedCode(const QDate& date) {
        db::Recordset rs = connection().execute(
            QStringLiteral("SELECT Temporada FROM MA_CALENDARIO WHERE Fecha = %1")
                .arg(dateLiteral(date)));
        if (rs.state() == db::adStateClosed || rs.eof()) {
            return std::nullopt;
        }
        const Variant value = rs["Temporada"].value();
        return value.isNull() ? QString() : value.toString();
    }

    void setNonWorking(const QDate& date, bool nonWorking) {
        connection().execute(
            QStringLiteral("UPDATE MA_CALENDARIO SET nolaborable = %1 WHERE Fecha = %2")
                .arg(nonWorking ? 1 : 0)
                .arg(dateLiteral(date)));
    }

    // The day's non-working flag; nothing when there is no row.
    std::optional<bool> storedNonWorking(const QDate& date) {
        db::Recordset rs = connection().execute(
            QStringLiteral("SELECT nolaborable FROM MA_CALENDARIO WHERE Fecha = %1")
                .arg(dateLiteral(date)));
        if (rs.state() == db::adStateClosed || rs.eof()) {
            return std::nullopt;
        }
        return rs["nolaborable"].value().toInt32() != 0;
    }

    std::optional<QString> configValue(const QString& key) {
        db::Recordset rs = connection().execute(
            QStringLiteral("SELECT Valor FROM TA_CONFIGURACION WHERE Clave = '%1'").arg(key));
        if (rs.state() == db::adStateClosed || rs.eof()) {
            return std::nullopt;
        }
        return rs["Valor"].value().toString();
    }

    // `date` as a quoted literal this engine's table compares with.
    QString dateLiteral(const QDate& date) const {
        return QLatin1Char('\'') +
               (m_engine == CalendarEngine::Embedded
                    ? date.toString(QStringLiteral("yyyyMMdd"))
                    : calendar::calendarDateLiteral(date.day(), date.month(), date.year())) +
               QLatin1Char('\'');
    }

private:
    CalendarEngine m_engine;
    ScopedEnvFolder m_data{"ESTACIONES_DATOS"};
};

} // namespace estaciones::test
