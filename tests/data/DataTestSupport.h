#pragma once

#include "data/AccesoDialogo.h"
#include "data/ScriptedAccesoDialogo.h"
#include "platform/db/Connection.h"
#include "platform/db/EngineFactory.h"
#include "platform/db/Recordset.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace estaciones::test {

// The embedded engine on a fresh data folder, with databases made on demand.
class ServidorEmbebido {
public:
    ServidorEmbebido() : m_datos("ESTACIONES_DATOS") {}

    static bool disponible() { return db::embeddedEngineAvailable(); }

    // What OpenServerADODB builds for this server.
    static QString cadena(const QString& baseDeDatos,
                          const QString& usuario = QStringLiteral("sa")) {
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =%1;UId=%2;Pwd=;")
            .arg(baseDeDatos, usuario);
    }

    // Creates `nombre` and runs `sql` (if any) in it.
    void crear(const QString& nombre, const QString& sql = {}) {
        db::Connection master;
        master.open(cadena(QStringLiteral("master")));
        master.execute(QStringLiteral("CREATE DATABASE ") + nombre);
        if (!sql.isEmpty()) {
            master.setDefaultDatabase(nombre);
            master.execute(sql);
        }
        master.close();
    }

    QString carpeta() const { return m_datos.path(); }

private:
    ScopedEnvFolder m_datos;
};

#define REQUIERE_MOTOR_EMBEBIDO()                                                                  \
    if (!::estaciones::test::ServidorEmbebido::disponible())                                       \
    GTEST_SKIP() << "The embedded engine is not part of this build"

// A scripted access dialog installed for the life of a test: an unexpected
// request fails the test, and so does an answer left unused.
class AccesoGuionado : public data::ScriptedAccesoDialogo {
public:
    AccesoGuionado() : m_anterior(data::setAccesoDialogo(this)) {
        setFailureHandler([](const QString& what) { ADD_FAILURE() << what.toStdString(); });
    }
    ~AccesoGuionado() override {
        data::setAccesoDialogo(m_anterior);
        EXPECT_TRUE(respuestasAgotadas()) << "Some queued access dialog answers were never used";
    }
    AccesoGuionado(const AccesoGuionado&) = delete;
    AccesoGuionado& operator=(const AccesoGuionado&) = delete;

private:
    data::AccesoDialogo* m_anterior;
};

} // namespace estaciones::test
