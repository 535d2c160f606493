#include "articles/ArticulosDb.h"
#include "articles/ArticulosTexts.h"
#include "articles/BaseMaestra.h"
#include "support/ServidorHttp.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::articulos;
using Respuesta = test::ServidorHttp::Respuesta;

TEST(RespuestaMaestra, shouldTakeTheDescriptionOfAnObjectOrOfTheFirstInAnArray) {
    EXPECT_EQ(descripcionDeRespuesta("{\"Descripcion\":\"Arroz\"}"), "Arroz");
    EXPECT_EQ(descripcionDeRespuesta("\r\n[{'Descripcion':'Arroz [1kg]'},{'Descripcion':'x'}]"),
              "Arroz [1kg]");
    EXPECT_EQ(descripcionDeRespuesta(
                  "[{\"Codigo\":77912345678901234567,\"Descripcion\":\"CAJA [12u]\",\"Activo\":tru}]"),
              "CAJA [12u]")
        << "a long code and a bad value before or after the description do not lose it";
    EXPECT_EQ(descripcionDeRespuesta("{\"descripcion\":\"Arroz\"}"), "") << "keys keep their case";
    EXPECT_EQ(descripcionDeRespuesta("{\"Descripcion\":null}"), "");
    EXPECT_EQ(descripcionDeRespuesta("{\"Descripcion\":{\"a\":1}}"), "");
    EXPECT_EQ(descripcionDeRespuesta("[1,2]"), "");
    EXPECT_EQ(descripcionDeRespuesta("[]"), "");
    EXPECT_EQ(descripcionDeRespuesta("<html>404</html>"), "");
    EXPECT_EQ(descripcionDeRespuesta("{\"Descripcion\":\"Corta"), "Corta")
        << "what a truncated answer holds is still read";
}

class DireccionMaestra : public test::ConArticulos {
protected:
    void escribirIni(const QByteArray& contenido) {
        QFile ini(configuracion.filePath("CN000pr.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(contenido);
    }
    test::ScopedEnvFolder configuracion{"XDG_CONFIG_HOME"};
    test::ServidorHttp servidor;
};

TEST_F(DireccionMaestra, shouldExplainThatNoAddressIsConfigured) {
    const ConsultaMaestra c = consultarCodigoMaestra("779");
    EXPECT_TRUE(c.error);
    EXPECT_TRUE(c.servicioFallo);
    EXPECT_EQ(c.mensaje, textos::MaestraSinDireccion);
    EXPECT_EQ(informarCodigoMaestra("779", "x"), textos::MaestraSinDireccion);
}

TEST_F(DireccionMaestra, shouldTakeTheConfigurationValueBeforeTheIniFile) {
    servidor.responder(Respuesta{200, "{\"Descripcion\":\"Por INI\"}"});
    escribirIni("[BaseMaestra]\r\nURL=" + servidor.base().toUtf8() + "sub\r\nTimeOut=7\r\n");
    EXPECT_EQ(direccionBaseMaestra().base, servidor.base() + "sub");
    EXPECT_EQ(direccionBaseMaestra().espera, std::chrono::seconds(7));
    const ConsultaMaestra c = consultarCodigoMaestra(" 779 ");
    EXPECT_FALSE(c.error);
    EXPECT_EQ(c.descripcion, "Por INI");
    EXPECT_EQ(servidor.pedidos().value(0), "/sub/ws/inicio.php?opcion=GetCodigo&codigo=779");

    session::GrabaCfg("BaseMaestraURL", servidor.base(), QString(), false, "ARTICULOS", true);
    session::GrabaCfg("BaseMaestraTimeOut", "3", QString(), false, "ARTICULOS", true);
    EXPECT_EQ(direccionBaseMaestra().base, servidor.base());
    EXPECT_EQ(direccionBaseMaestra().espera, std::chrono::seconds(3));
    EXPECT_EQ(informarCodigoMaestra("7 9", "a+b"), std::nullopt);
    EXPECT_EQ(servidor.pedidos().value(1),
              "/ws/inicio.php?opcion=InsCodigo&codigo=7%209&desc=a%2Bb");
}

TEST_F(DireccionMaestra, shouldReportAnErrorStatusAsAServiceFailure) {
    session::GrabaCfg("BaseMaestraURL", servidor.base(), QString(), false, "ARTICULOS", true);
    servidor.responder(Respuesta{404, "{\"Descripcion\":\"pagina\"}"});
    const ConsultaMaestra c = consultarCodigoMaestra("779");
    EXPECT_TRUE(c.error);
    EXPECT_TRUE(c.servicioFallo);
    EXPECT_EQ(c.mensaje, textos::MaestraError + " (HTTP 404)");
}
