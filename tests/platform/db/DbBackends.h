#pragma once

// The backends every data-layer test runs on: the ODBC engine through the
// SQLite ODBC driver, and the embedded engine when this build has it.

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace estaciones::test {

enum class DbBackend { OdbcSqlite, Embedded };

inline std::vector<DbBackend> dbBackends() {
    std::vector<DbBackend> all{DbBackend::OdbcSqlite};
#ifdef ESTACIONES_HAVE_EMBEDDED_ENGINE
    all.push_back(DbBackend::Embedded);
#endif
    return all;
}

inline std::string dbBackendName(const ::testing::TestParamInfo<DbBackend>& info) {
    return info.param == DbBackend::Embedded ? "Embedded" : "OdbcSqlite";
}

// A fresh database for one test: a temporary SQLite file for ODBC, a
// temporary data folder (ESTACIONES_DATOS) with a new database PRUEBA for
// the embedded engine.
class DbScratch {
public:
    explicit DbScratch(DbBackend backend) : m_backend(backend) {
        if (backend == DbBackend::Embedded) {
            if (qEnvironmentVariableIsSet("ESTACIONES_DATOS")) {
                m_previous = qgetenv("ESTACIONES_DATOS");
            }
            qputenv("ESTACIONES_DATOS", m_dir.path().toLocal8Bit());
            // A database of its own, made as on SQL Server (the demo
            // database's contents are another issue's subject).
            db::Connection master;
            master.open(
                QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =master;UId=sa;Pwd=;"));
            master.execute(QStringLiteral("CREATE DATABASE PRUEBA"));
            master.close();
        }
    }
    ~DbScratch() {
        if (m_backend == DbBackend::Embedded) {
            if (m_previous) {
                qputenv("ESTACIONES_DATOS", *m_previous);
            } else {
                qunsetenv("ESTACIONES_DATOS");
            }
        }
    }
    DbScratch(const DbScratch&) = delete;
    DbScratch& operator=(const DbScratch&) = delete;

    DbBackend backend() const { return m_backend; }
    QString folder() const { return m_dir.path(); }
    QString sqliteFile() const { return m_dir.filePath(QStringLiteral("prueba.db")); }

    QString connectionString(const QString& password = {}) const {
        if (m_backend == DbBackend::Embedded) {
            return QStringLiteral(
                       "PROVIDER=SQLOLEDB;Server=(local);Database =PRUEBA;UId=sa;Pwd=%1;")
                .arg(password);
        }
        QString text = QStringLiteral("Driver=SQLite3;Database=%1").arg(sqliteFile());
        if (!password.isEmpty()) {
            text += QStringLiteral(";PWD=") + password;
        }
        return text;
    }

    db::Connection open(int cursorLocation = db::adUseClient) const {
        db::Connection connection;
        connection.setCursorLocation(cursorLocation);
        connection.open(connectionString());
        return connection;
    }

    // A table with an identity key, in the dialect the engine accepts: the
    // suite's T-SQL first, SQLite's own form otherwise. (SQLite takes
    // "int IDENTITY(1,1)" as a mere type name, so the key is probed.)
    void createIdentityTable(db::Connection& connection, const QString& table,
                             const QString& otherColumns) const {
        const QString sqliteForm =
            QStringLiteral("CREATE TABLE %1 (id INTEGER PRIMARY KEY AUTOINCREMENT, %2)")
                .arg(table, otherColumns);
        if (m_backend == DbBackend::OdbcSqlite) {
            connection.execute(sqliteForm);
            return;
        }
        try {
            connection.execute(
                QStringLiteral("CREATE TABLE %1 (id int IDENTITY(1,1) NOT NULL PRIMARY KEY, %2)")
                    .arg(table, otherColumns));
            connection.beginTrans();
            try {
                connection.execute(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table));
                connection.rollbackTrans();
                return;
            } catch (const Error&) {
                connection.rollbackTrans();
            }
            connection.execute(QStringLiteral("DROP TABLE %1").arg(table));
        } catch (const Error&) {
        }
        connection.errors().clear();
        connection.execute(sqliteForm);
    }

private:
    DbBackend m_backend;
    QTemporaryDir m_dir;
    std::optional<QByteArray> m_previous;
};

} // namespace estaciones::test
