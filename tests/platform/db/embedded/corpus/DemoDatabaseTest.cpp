// DEMO as a newcomer gets it: created on first connection to a fresh data
// folder from the shipped company schema and demo rows.

#include "DemoDatabase.h"

#include "platform/db/embedded/EmbeddedEngine.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace estaciones::test::corpus {
namespace {

// Every table and view the program reads or writes.
const QStringList kObjects = {"MA_CALENDARIO",
                              "TA_CONFIGURACION",
                              "TA_USUARIOS",
                              "V_TA_Cajas",
                              "Control_Acceso",
                              "TA_TAREAS",
                              "TA_MENU",
                              "AUX_ERR",
                              "V_MA_ARTICULOS",
                              "VT_MA_ARTICULOS",
                              "STK_MA_ARTICULOS",
                              "V_MA_PRECIOS",
                              "V_MV_FALTANTES",
                              "VT_CLIENTES",
                              "VT_PROVEEDORES",
                              "MA_CONTACTOS",
                              "V_TA_VENDEDORES",
                              "V_TA_TECNICOS",
                              "V_MA_MANTENIMIENTOS",
                              "MA_CUENTAS",
                              "V_TA_Tareas",
                              "V_TA_UnidadNegocio",
                              "V_TA_DEPOSITO",
                              "MA_CUENTAS_USUARIOS",
                              "V_TA_FAMILIAS",
                              "MA_POSICIONES",
                              "TA_CCOSTO",
                              "MV_ASIENTOS",
                              "AC_CUENTASDIARIO",
                              "AC_CUENTASDIARIO_CCOSTO",
                              "SS_MA_CUENTAS",
                              "SS_V_TA_DEPOSITO",
                              "SS_MV_ASIENTOS",
                              "SS_V_TA_FAMILIAS",
                              "SS_V_TA_CAJAS",
                              "SS_AC_CUENTASDIARIO",
                              "SS_AC_CUENTAS_DIARIO_CCOSTO"};

Variant scalar(db::Engine& engine, const QString& sql) {
    const auto result = engine.execute(sql, {}, 30);
    if (result.resultSets.empty() || result.resultSets.front().rows.empty()) {
        return {};
    }
    return result.resultSets.front().rows.front().front();
}

TEST(DemoDatabase, SeCreaEnLaPrimeraConexionConTodasLasTablas) {
    ScopedEnvFolder data("ESTACIONES_DATOS");
    auto engine = db::sqlite::createEmbeddedEngine();
    engine->open(DemoDatabase::connectionString(), QStringLiteral("ADMIN"), QString());
    for (const QString& object : kObjects) {
        EXPECT_NO_THROW(engine->execute("SELECT TOP 1 * FROM " + object, {}, 30))
            << object.toStdString();
    }
}

TEST(DemoDatabase, TraeAlAdministradorLaCajaYLosColores) {
    ScopedEnvFolder data("ESTACIONES_DATOS");
    auto engine = db::sqlite::createEmbeddedEngine();
    engine->open(DemoDatabase::connectionString(), QStringLiteral("ADMIN"), QString());

    EXPECT_EQ(
        scalar(*engine, "SELECT Administrador FROM TA_USUARIOS WHERE Nombre = 'ADMIN'").toInt32(),
        1);
    EXPECT_EQ(
        scalar(*engine, "SELECT Descripcion FROM V_TA_Cajas WHERE IdCajas = '   1'").toString(),
        "CAJA 1");
    EXPECT_EQ(scalar(*engine,
                     "SELECT COUNT(*) FROM TA_CONFIGURACION WHERE Clave IN ('TempoCol_BA', "
                     "'TempoCol_ME', 'TempoCol_AL', 'TempoCol_ES') AND Valor LIKE '&H%&'")
                  .toInt32(),
              4);
}

TEST(DemoDatabase, SoloSeSiembraUnaVez) {
    ScopedEnvFolder data("ESTACIONES_DATOS");
    {
        auto engine = db::sqlite::createEmbeddedEngine();
        engine->open(DemoDatabase::connectionString(), QStringLiteral("ADMIN"), QString());
        engine->execute("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('   2', 'CAJA 2')",
                        {}, 30);
        engine->close();
    }
    auto engine = db::sqlite::createEmbeddedEngine();
    engine->open(DemoDatabase::connectionString(), QStringLiteral("ADMIN"), QString());
    EXPECT_EQ(scalar(*engine, "SELECT COUNT(*) FROM V_TA_Cajas").toInt32(), 2);
    EXPECT_EQ(scalar(*engine, "SELECT COUNT(*) FROM TA_USUARIOS").toInt32(), 2);
}

} // namespace
} // namespace estaciones::test::corpus
