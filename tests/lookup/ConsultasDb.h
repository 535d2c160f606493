#pragma once

// A company database on the embedded engine with the program's shared data
// access object connected to it, for the lookup tests.

#include "data/SharedDb.h"
#include "lookup/ConsultasCompartidas.h"
#include "platform/db/Recordset.h"
#include "support/EmpresaDb.h"

#include <QDir>
#include <QString>

#include <gtest/gtest.h>

namespace estaciones::test {

class ConsultasDb {
public:
    ConsultasDb() {
        data::releaseSharedDb();
        lookup::liberarConsultas();
        data::DB_Dll& db = data::sharedDb();
        // The data layer's error log goes to the company database's folder.
        db.gLogErr = QDir(m_empresa.carpeta()).filePath(QStringLiteral("TSERR.LOG"));
        db.gCnn.setCursorLocation(db::adUseClient);
        db.gCnn.open(m_empresa.cadena());
        db.gOpenFlag = true;
        db.gUsuario = QStringLiteral("ADMIN");
        db.gConnString = m_empresa.cadena();
    }
    ~ConsultasDb() {
        lookup::liberarConsultas();
        data::releaseSharedDb();
    }
    ConsultasDb(const ConsultasDb&) = delete;
    ConsultasDb& operator=(const ConsultasDb&) = delete;

    void ejecutar(const QString& sentencia) { data::sharedDb().gCnn.execute(sentencia); }

    void configurar(const QString& clave, const QString& valor) {
        ejecutar(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE Clave = '%1'").arg(clave));
        ejecutar(QStringLiteral("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('%1', '%2')")
                     .arg(clave, valor));
    }

    // The first column of the first row of `sentencia`; nothing without rows.
    std::optional<Variant> valor(const QString& sentencia) {
        db::Recordset rs = data::sharedDb().gCnn.execute(sentencia);
        if (rs.state() != db::adStateOpen || rs.eof()) {
            return std::nullopt;
        }
        return rs.fields(0).value();
    }

    // How many rows `sentencia` returns (it must run).
    int filas(const QString& sentencia) {
        db::Recordset rs = data::sharedDb().gCnn.execute(sentencia);
        int cuenta = 0;
        for (; !rs.eof(); rs.moveNext()) {
            ++cuenta;
        }
        return cuenta;
    }

    const QString& cadena() const { return m_cadena; }

private:
    EmpresaDb m_empresa;
    QString m_cadena = m_empresa.cadena();
};

} // namespace estaciones::test
