#pragma once

// A fresh embedded database for calendar tests: a temporary data folder, the
// program's shared data access object connected to a new database holding the
// calendar and configuration tables (columns as the company schema has them).

#include "data/SharedDb.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "support/TempFolder.h"

#include <QDate>

#include <gtest/gtest.h>

namespace estaciones::test {

class CalendarDatabase {
public:
    CalendarDatabase() {
        data::releaseSharedDb();
        data::DB_Dll& db = data::sharedDb();
        // The data layer's error log goes to this database's folder.
        db.gLogErr = m_data.filePath(QStringLiteral("TSERR.LOG"));
        db.gCnn.setCursorLocation(db::adUseClient);
        db.gCnn.open(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =master;UId=sa;Pwd=;"));
        db.gCnn.execute(QStringLiteral("CREATE DATABASE CALENDARIO"));
        db.gCnn.execute(QStringLiteral("USE CALENDARIO"));
        db.gCnn.execute(
            QStringLiteral("CREATE TABLE dbo.MA_CALENDARIO (Fecha datetime NOT NULL PRIMARY KEY, "
                           "Temporada varchar(2) NULL, nolaborable int NOT NULL DEFAULT (0))"));
        db.gCnn.execute(QStringLiteral(
            "CREATE TABLE dbo.TA_CONFIGURACION (Clave varchar(50) NOT NULL PRIMARY KEY, "
            "Valor varchar(255) NULL, ValorAux varchar(255) NULL DEFAULT (''), "
            "Grupo varchar(50) NULL, PoliticaNegocio bit NOT NULL DEFAULT (0))"));
        db.gOpenFlag = true;
    }
    ~CalendarDatabase() { data::releaseSharedDb(); }
    CalendarDatabase(const CalendarDatabase&) = delete;
    CalendarDatabase& operator=(const CalendarDatabase&) = delete;

    data::DB_Dll& db() { return data::sharedDb(); }
    db::Connection& connection() { return db().gCnn; }

    // The rows "Crear Calendario" makes: every date of the year, no season.
    void createYear(int year) {
        QString batch;
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
            batch +=
                QStringLiteral("INSERT INTO MA_CALENDARIO (Fecha, nolaborable) VALUES ('%1', 0)\n")
                    .arg(d.toString(QStringLiteral("yyyyMMdd")));
        }
        connection().execute(batch);
    }

    void setCode(const QDate& date, const QString& code) {
        connection().execute(
            QStringLiteral("UPDATE MA_CALENDARIO SET Temporada = %1 WHERE Fecha = '%2'")
                .arg(code.isNull() ? QStringLiteral("NULL")
                                   : QLatin1Char('\'') + code + QLatin1Char('\''),
                     date.toString(QStringLiteral("yyyyMMdd"))));
    }

    // What the table holds for `date`: nothing when there is no row, "" for null.
    std::optional<QString> storedCode(const QDate& date) {
        db::Recordset rs = connection().execute(
            QStringLiteral("SELECT Temporada FROM MA_CALENDARIO WHERE Fecha = '%1'")
                .arg(date.toString(QStringLiteral("yyyyMMdd"))));
        if (rs.state() == db::adStateClosed || rs.eof()) {
            return std::nullopt;
        }
        const Variant value = rs["Temporada"].value();
        return value.isNull() ? QString() : value.toString();
    }

    std::optional<QString> configValue(const QString& key) {
        db::Recordset rs = connection().execute(
            QStringLiteral("SELECT Valor FROM TA_CONFIGURACION WHERE Clave = '%1'").arg(key));
        if (rs.state() == db::adStateClosed || rs.eof()) {
            return std::nullopt;
        }
        return rs["Valor"].value().toString();
    }

private:
    ScopedEnvFolder m_data{"ESTACIONES_DATOS"};
};

} // namespace estaciones::test
