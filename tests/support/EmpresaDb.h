#pragma once

#include "platform/db/Connection.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace estaciones::test {

// The batches of a script shipped next to the executables (empresa.sql, ...):
// lines holding only GO separate them.
inline QStringList lotesDeScript(const QString& nombre) {
    QFile archivo(QCoreApplication::applicationDirPath() + QLatin1Char('/') + nombre);
    if (!archivo.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "Falta el script " << nombre.toStdString();
        return {};
    }
    static const QRegularExpression separador(QStringLiteral(R"(^\s*GO\s*$)"),
                                              QRegularExpression::CaseInsensitiveOption |
                                                  QRegularExpression::MultilineOption);
    QStringList lotes;
    for (const QString& lote : QString::fromUtf8(archivo.readAll()).split(separador)) {
        if (!lote.trimmed().isEmpty()) {
            lotes << lote;
        }
    }
    return lotes;
}

// A company database with the shipped schema (no demo rows) in a fresh data
// folder of the embedded engine, for tests of the routines that read and
// write the company tables.
class EmpresaDb {
public:
    explicit EmpresaDb(const QString& nombre = QStringLiteral("EMPRESA")) : m_nombre(nombre) {
        db::Connection master;
        master.open(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =master;UId=sa;Pwd=;"));
        master.execute(QStringLiteral("CREATE DATABASE ") + nombre);
        master.execute(QStringLiteral("USE ") + nombre);
        for (const QString& lote : lotesDeScript(QStringLiteral("empresa.sql"))) {
            master.execute(lote);
        }
        master.close();
    }

    // The connection string of the suite's SQL Server form, as DB_Dll builds it.
    QString cadena(const QString& usuario = QStringLiteral("ADMIN")) const {
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =%1;UId=%2;Pwd=;")
            .arg(m_nombre, usuario);
    }
    const QString& nombre() const { return m_nombre; }
    QString carpeta() const { return m_datos.path(); }

private:
    ScopedEnvFolder m_datos{"ESTACIONES_DATOS"};
    QString m_nombre;
};

} // namespace estaciones::test
