#include "data/SharedDb.h"
#include "platform/os/System.h"
#include "session/Configuracion.h"
#include "session/ConfiguracionLeida.h"
#include "session/MostrarError.h"
#include "session/OpcionesSesion.h"
#include "session/SessionParameters.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <QFile>

#include <vector>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::session;

namespace {

// The shared data access object opened on a fresh company database.
class ConEmpresa : public ::testing::Test {
protected:
    void SetUp() override {
        gTablaConfiguracion() = QStringLiteral("ta_configuracion");
        data::DB_Dll& db = data::sharedDb();
        db.gLogErr = temporal.filePath(QStringLiteral("TSERR.LOG"));
        db.OpenServerADODB(false, db::adUseClient, empresa.cadena(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
    }
    void TearDown() override {
        data::releaseSharedDb();
        gTablaConfiguracion().clear();
    }

    void ejecutar(const QString& texto) { data::sharedDb().gCnn.execute(texto); }

    QVariantList fila(const QString& consulta) {
        db::Recordset rs = data::sharedDb().gCnn.execute(consulta);
        QVariantList valores;
        if (rs.state() == db::adStateOpen && !rs.eof()) {
            for (int i = 0; i < rs.fields().count(); ++i) {
                valores << rs.fields(i).value().debugString();
            }
        }
        return valores;
    }

    test::EmpresaDb empresa;
    test::ScopedEnvFolder temporal{"TEMP"};
    test::ScriptedOperator operador;
};

TEST_F(ConEmpresa, cfgReadsBlankForAMissingKeyEmptyForNullAndOneForTheme) {
    QString aux = QStringLiteral("previo");
    EXPECT_EQ(Cfg(QStringLiteral("NO_EXISTE"), aux), " ");
    EXPECT_EQ(aux, "");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor, ValorAux) VALUES ('NULA', NULL, 'a')");
    EXPECT_EQ(Cfg(QStringLiteral("nula"), aux), "");
    EXPECT_EQ(aux, "a");
    EXPECT_EQ(Cfg(QStringLiteral("theme")), "1");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('TEMPOCOL_BA', ' 65280 ')");
    EXPECT_EQ(Cfg(QStringLiteral("TempoCol_BA")), " 65280 ") << "returned as stored";
}

TEST_F(ConEmpresa, cfgBeforeTheConnectionIsOpenIsEmpty) {
    data::sharedDb().gOpenFlag = false;
    QString aux = QStringLiteral("intacto");
    EXPECT_EQ(Cfg(QStringLiteral("THEME"), aux), "");
    EXPECT_EQ(aux, "intacto");
}

TEST_F(ConEmpresa, grabaCfgInsertsThenOverwritesKeepingTheAuxiliaryValue) {
    GrabaCfg(QStringLiteral("TempoCol_BA"), 65280, QString(), false, QStringLiteral("DATOS"), true);
    QString aux;
    EXPECT_EQ(Cfg(QStringLiteral("TempoCol_BA"), aux), "65280");
    EXPECT_EQ(fila("SELECT Clave, Grupo, PoliticaNegocio FROM TA_CONFIGURACION"),
              (QVariantList{"\"TEMPOCOL_BA\"", "\"DATOS\"", "False"}));

    GrabaCfg(QStringLiteral("TempoCol_BA"), QStringLiteral("x"), QStringLiteral(" aux "), false,
             QStringLiteral("DATOS"), true);
    GrabaCfg(QStringLiteral("TempoCol_BA"), QStringLiteral(" &H0000FF00& "), QString(), false,
             QStringLiteral("DATOS"), true);
    EXPECT_EQ(Cfg(QStringLiteral("TempoCol_BA"), aux), "&H0000FF00&");
    EXPECT_EQ(aux, "aux");
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(ConEmpresa, aFailingReadAsksMostrarErrorAndRetryLeavesWithEmptyText) {
    gTablaConfiguracion() = QStringLiteral("NO_EXISTE");
    // The open fails inside AbrirRecordset (its own dialog), then reading the
    // closed recordset fails in Cfg itself.
    operador.answerMessage(ui::reply::Abort).answerMessage(ui::reply::Retry);
    EXPECT_EQ(Cfg(QStringLiteral("THEME")), "");
    ASSERT_EQ(operador.dialogs().size(), 2u);
    EXPECT_TRUE(operador.dialogs()[1].title.endsWith(" - Cfg Aviso al operador!!! - 2 "));
}

// What Cfg answers for each key, read one statement per key.
struct Respuesta {
    QString valor;
    QString aux;
    bool operator==(const Respuesta&) const = default;
};

std::vector<Respuesta> respuestasDe(const QStringList& claves) {
    std::vector<Respuesta> respuestas;
    for (const QString& clave : claves) {
        Respuesta r;
        r.aux = QStringLiteral("previo");
        r.valor = Cfg(clave, r.aux);
        respuestas.push_back(r);
    }
    return respuestas;
}

TEST_F(ConEmpresa, aReadOfManyKeysAnswersEachAsItsOwnStatementDoes) {
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor, ValorAux) VALUES ('NULA', NULL, 'a')");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor, ValorAux) VALUES ('SINAUX', 'v', NULL)");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('TEMPOCOL_BA', ' 65280 ')");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('CON''COMILLA', 'c')");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('FINAL  ', 'f')");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('THEME', '')");
    const QStringList claves{"NO_EXISTE",     "nula",       "sinaux", "TempoCol_BA",
                             " con'comilla ", "final",      "theme",  "Final "};
    const std::vector<Respuesta> porClave = respuestasDe(claves);
    EXPECT_EQ(porClave[0], (Respuesta{" ", ""}));
    EXPECT_EQ(porClave[3], (Respuesta{" 65280 ", ""}));
    EXPECT_EQ(porClave[6], (Respuesta{"1", ""}));

    const ConfiguracionLeida leida(data::sharedDb(), claves);
    ConfiguracionLeida::Vigente vigente(leida);
    for (qsizetype i = 0; i < claves.size() - 1; ++i) {
        EXPECT_TRUE(leida.lectura(data::sharedDb(), claves[i]).has_value())
            << claves[i].toStdString() << " answered from the one read";
    }
    EXPECT_EQ(respuestasDe(claves), porClave);
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(ConEmpresa, aReadOfManyKeysLeavesToTheirOwnStatementWhatItCannotTellApart) {
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('CFONDO', '255')");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('AÑO', '2025')");
    const QStringList claves{"CFondo", "CFONDO", "AÑO", "[FECHA HASTA]", "Otra"};
    const ConfiguracionLeida leida(data::sharedDb(), claves);
    EXPECT_TRUE(leida.lectura(data::sharedDb(), "CFondo").has_value());
    EXPECT_TRUE(leida.lectura(data::sharedDb(), " CFondo ").has_value()) << "the same key";
    EXPECT_FALSE(leida.lectura(data::sharedDb(), "cfondo").has_value())
        << "which row it names depends on the column's collation";
    EXPECT_FALSE(leida.lectura(data::sharedDb(), "AÑO").has_value());
    EXPECT_FALSE(leida.lectura(data::sharedDb(), "[FECHA HASTA]").has_value());
    EXPECT_FALSE(leida.lectura(data::sharedDb(), "NoPedida").has_value());
    ConfiguracionLeida::Vigente vigente(leida);
    EXPECT_EQ(Cfg("CFONDO"), "255");
    EXPECT_EQ(Cfg("AÑO"), "2025");
}

TEST_F(ConEmpresa, aFailedReadOfManyKeysKeepsNothingAndShowsNothing) {
    gTablaConfiguracion() = QStringLiteral("NO_EXISTE");
    const ConfiguracionLeida leida(data::sharedDb(), {"THEME", "CFondo"});
    EXPECT_FALSE(leida.lectura(data::sharedDb(), "THEME").has_value());
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(ConEmpresa, aWriteOfConfigurationEndsTheReadOfManyKeys) {
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('CLETRA', '1')");
    const ConfiguracionLeida leida(data::sharedDb(), {"CLetra"});
    ConfiguracionLeida::Vigente vigente(leida);
    EXPECT_EQ(Cfg("CLetra"), "1");
    GrabaCfg(QStringLiteral("CLetra"), 2, QString(), false, QStringLiteral("DATOS"), true);
    EXPECT_EQ(ConfiguracionLeida::actual(), nullptr);
    EXPECT_EQ(Cfg("CLetra"), "2");
}

TEST_F(ConEmpresa, aReadOfManyKeysInsideAnotherGivesItBackWhenItEnds) {
    const ConfiguracionLeida exterior(data::sharedDb(), {"CLetra"});
    ConfiguracionLeida::Vigente vigente(exterior);
    {
        const ConfiguracionLeida interior(data::sharedDb(), {"CFondo"});
        ConfiguracionLeida::Vigente otra(interior);
        EXPECT_EQ(ConfiguracionLeida::actual(), &interior);
    }
    EXPECT_EQ(ConfiguracionLeida::actual(), &exterior);
    {
        const ConfiguracionLeida interior(data::sharedDb(), {"CFondo"});
        ConfiguracionLeida::Vigente otra(interior);
        GrabaCfg(QStringLiteral("CLetra"), 2, QString(), false, QStringLiteral("DATOS"), true);
    }
    EXPECT_EQ(ConfiguracionLeida::actual(), nullptr) << "the write ended both";
}

TEST_F(ConEmpresa, registrarErrorAuxCutsTheDescriptionTo250) {
    RegistrarErrorAux(QStringLiteral("insert into x values (1)"), QString(), 547,
                      QString(300, QLatin1Char('d')));
    const QVariantList valores =
        fila("SELECT Proceso, [Error], len(Descripcion), [SQL] FROM AUX_ERR");
    ASSERT_EQ(valores.size(), 4);
    EXPECT_EQ(valores[0], "\"" + os::executableName() + "\"");
    EXPECT_EQ(valores[1], "547");
    EXPECT_EQ(valores[2], "250");
}

TEST_F(ConEmpresa, cargarConfiguracionAppliesTheDefaultsOfItsRules) {
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('CONDIVA', '3')");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('CFONDO', '0')");
    CargarConfiguracion(QStringLiteral("/opt/estaciones/"));
    EXPECT_EQ(opciones().gTopDefault, "1000");
    EXPECT_EQ(gColorFondo, 0xFFFF00);
    EXPECT_EQ(opciones().gCondIvaEmpresa, 3);
    EXPECT_EQ(opciones().gRutaDocTareas, "/opt/estaciones/TSDOCTareas.tsf");
    EXPECT_TRUE(opciones().gModuloOrdenDeTrabajo);
    EXPECT_EQ(opciones().gUNegocio, "   1");

    ejecutar("DELETE FROM TA_CONFIGURACION WHERE Clave = 'CONDIVA'");
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('Top_Default', '250')");
    CargarConfiguracion(QStringLiteral("/opt/estaciones/"));
    EXPECT_EQ(opciones().gCondIvaEmpresa, 1);
    EXPECT_EQ(opciones().gTopDefault, "250");
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST(MostrarErrorTest, errorZeroShowsAndLogsNothing) {
    test::ScopedEnvFolder temporal("TEMP");
    test::ScriptedOperator operador;
    EXPECT_EQ(MostrarError(Error(0, QStringLiteral("nada"))), 0);
    EXPECT_FALSE(QFile::exists(temporal.filePath("TSERR.LOG")));
}

TEST(MostrarErrorTest, showsTheRoutineInTheTitleAndLogsTheAnswerInWindows1252) {
    test::ScopedEnvFolder temporal("TEMP");
    test::ScriptedOperator operador;
    operador.answerMessage(ui::reply::Ignore);
    const int respuesta =
        MostrarError(Error(5, QStringLiteral(" Argumento no válido "), "Estaciones"), std::nullopt,
                     QStringLiteral("GActualizarDatoScript"));
    EXPECT_EQ(respuesta, 5);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, "Ha ocurrido el Siguiente Error (5) Argumento no válido");
    EXPECT_EQ(operador.dialogs()[0].title,
              "Estaciones - GActualizarDatoScript Aviso al operador!!! - 2 ");
    EXPECT_EQ(operador.dialogs()[0].flags, 18);

    QFile log(temporal.filePath("TSERR.LOG"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray linea = log.readAll();
    EXPECT_TRUE(linea.endsWith(" Respondi\xf3 : Ignorar\r\n")) << linea.toStdString();
    EXPECT_TRUE(linea.contains(" Rutina: - GActualizarDatoScript Mensaje Ha ocurrido"));
    EXPECT_TRUE(linea.contains("v\xe1lido"));
}

TEST(FormatosFecha, theSuitesPatternsBecomeQtFormatsWithMinutesWhereVbReadsThem) {
    EXPECT_EQ(formatoQt(FormatoFechaHora()), "dd/MM/yy HH:mm");
    EXPECT_EQ(formatoQt(FormatoFecha()), "dd/MM/yy");
    EXPECT_EQ(formatoQt(FormatoHora()), "HH:mm");
    EXPECT_EQ(formatoQt(QStringLiteral("mm:ss")), "mm:ss");
    const QDateTime momento(QDate(2026, 3, 7), QTime(9, 41));
    EXPECT_EQ(momento.toString(formatoQt(FormatoFechaHora())), "07/03/26 09:41");
}

} // namespace
