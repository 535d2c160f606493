#include "calendar/CrearCalendario.h"
#include "data/SharedDb.h"
#include "session/Configuracion.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::calendar;

namespace {

class CreacionDelAnio : public ::testing::Test {
protected:
    void SetUp() override {
        data::DB_Dll& db = data::sharedDb();
        db.OpenServerADODB(false, db::adUseClient, empresa.cadena(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
        session::gTablaConfiguracion() = QStringLiteral("ta_configuracion");
    }
    void TearDown() override { data::releaseSharedDb(); }

    QString valor(const QString& consulta) {
        db::Recordset rs = data::sharedDb().gCnn.execute(consulta);
        return rs.eof() ? QString() : rs.fields(0).value().toString();
    }
    void fechaUpdate(const QString& fecha) {
        data::sharedDb().gCnn.execute("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES "
                                      "('FECHAUPDATE', '" +
                                      fecha + "')");
    }
    ResultadoCreacion crear(int año) {
        operador.answerMessage(ui::reply::OK);
        return CrearCalendario(año);
    }

    test::EmpresaDb empresa;
    test::ScopedEnvFolder temporal{"TEMP"};
    test::ScriptedOperator operador;
};

TEST_F(CreacionDelAnio, aYearGetsOneRowPerDateAndItsSundaysMarked) {
    const ResultadoCreacion r = crear(2024);
    EXPECT_TRUE(r.scriptEjecutado) << "FECHAUPDATE without a row installs the procedure";
    EXPECT_TRUE(r.creado);
    EXPECT_EQ(operador.dialogs().back().text, "Se ha creado el calendario para el año 2024");
    EXPECT_EQ(valor("select count(*) from MA_CALENDARIO where year(Fecha) = 2024"), "366");
    EXPECT_EQ(valor("select count(*) from MA_CALENDARIO where nolaborable = 1"), "52");
    EXPECT_EQ(valor("select min(day(Fecha)) from MA_CALENDARIO where nolaborable = 1 and "
                    "month(Fecha) = 1"),
              "7");
}

TEST_F(CreacionDelAnio, aSecondRunKeepsTheSeasonsAlreadyMarked) {
    crear(2025);
    data::sharedDb().gCnn.execute(
        "update ma_calendario set Temporada = 'AL' where fecha = '14/3/2025'");
    crear(2025);
    EXPECT_EQ(valor("select count(*) from MA_CALENDARIO"), "365");
    EXPECT_EQ(valor("select Temporada from MA_CALENDARIO where Fecha = '14/3/2025'"), "AL");
}

TEST_F(CreacionDelAnio, theInstallationScriptRunsByTextOrderOfFechaUpdate) {
    fechaUpdate(QStringLiteral("22/05/2019"));
    // Skipped script: the procedure was never installed, so the call fails
    // and its error is what the operator reads; the collection is not
    // cleared before the Sunday update, which shows it once more.
    operador.answerMessage(ui::reply::OK);
    crear(2024);
    ASSERT_EQ(operador.dialogs().size(), 2u);
    EXPECT_EQ(operador.dialogs()[0].text, "Could not find stored procedure 'ts_CreaCalendario'.");
    EXPECT_EQ(operador.dialogs()[1].text, operador.dialogs()[0].text);
    EXPECT_EQ(valor("select count(*) from MA_CALENDARIO"), "0");

    data::sharedDb().gCnn.execute("UPDATE TA_CONFIGURACION SET Valor = '01/01/2020' WHERE "
                                  "Clave = 'FECHAUPDATE'");
    EXPECT_TRUE(crear(2024).scriptEjecutado);
    EXPECT_EQ(valor("select count(*) from MA_CALENDARIO"), "366");
}

TEST(ReglaDeCorte, comparesTheDatesAsText) {
    EXPECT_TRUE(requiereScriptCalendario(QString()));
    EXPECT_TRUE(requiereScriptCalendario(QStringLiteral("21/03/2006")));
    EXPECT_TRUE(requiereScriptCalendario(QStringLiteral("01/01/2020")));
    EXPECT_FALSE(requiereScriptCalendario(QStringLiteral("22/05/2019")));
}

} // namespace
