#include "articles/widgets/FrmArtAlta.h"
#include "articles/ArticulosDb.h"
#include "articles/ArticulosTexts.h"
#include "articles/widgets/AltaRapida.h"
#include "session/EjecutorScripts.h"
#include "support/ServidorHttp.h"
#include "support/TextoPegado.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::articulos;
using namespace std::chrono_literals;
using Respuesta = test::ServidorHttp::Respuesta;

namespace {

QList<std::pair<QString, QString>> consultaDe(const QString& destino) {
    return QUrlQuery(destino.mid(destino.indexOf(u'?') + 1)).queryItems(QUrl::FullyDecoded);
}

class VentanaAlta : public test::ConArticulos {
protected:
    void SetUp() override {
        ConArticulos::SetUp();
        configurar("ArticulosPermitealtaAutomatica", "SI");
        configurar("ClasePrecioVenta", "1");
        configurar("BaseMaestraURL", servidor.base());
        servidor.responder(Respuesta{200, "{\"resultado\":\"ok\"}"});
    }

    void configurar(const char* clave, const QString& valor) {
        session::GrabaCfg(QString::fromLatin1(clave), valor, QString(), false,
                          QStringLiteral("ARTICULOS"), true);
    }

    // A window shown and active, as the operator meets it.
    std::unique_ptr<FrmArtAlta> abrir() {
        auto ventana = std::make_unique<FrmArtAlta>();
        ventana->show();
        ventana->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(ventana.get()));
        return ventana;
    }

    static QLineEdit* caja(FrmArtAlta& v, const char* campo) {
        return v.campo(QString::fromLatin1(campo));
    }
    static QString proceso(FrmArtAlta& v) {
        return v.findChild<QLabel*>(QStringLiteral("LblProceso"))->text();
    }
    static void escribir(FrmArtAlta& v, const char* campo, const QString& texto) {
        QLineEdit* destino = caja(v, campo);
        destino->setFocus();
        // QTest types ASCII only; other characters arrive as a scanner's
        // or an input method's text would.
        for (const QChar c : texto) {
            if (c.unicode() < 128) {
                QTest::keyClick(destino, c.toLatin1());
            } else {
                destino->insert(QString(c));
            }
        }
    }

    test::ServidorHttp servidor;
};

TEST_F(VentanaAlta, shouldShowItsCaptionLabelsAndButtons) {
    auto v = abrir();
    EXPECT_EQ(v->windowTitle(), "Articulos");
    auto texto = [&](const char* nombre) {
        if (auto* l = v->findChild<QLabel*>(QLatin1String(nombre))) {
            return l->text();
        }
        return v->findChild<QPushButton*>(QLatin1String(nombre))->text();
    };
    EXPECT_EQ(texto("Label9"), "Codigo de Barras");
    EXPECT_EQ(texto("Label10"), "Descripción");
    EXPECT_EQ(texto("Label11"), "Precio");
    EXPECT_EQ(texto("Label3"), "Pulse ESC para cerrar esta pantalla. ");
    EXPECT_TRUE(texto("Label2").startsWith("Puede obtener los datos desde la base"));
    EXPECT_EQ(texto("CmdMaestro"), "[F7] Obtener de Base Maestra");
    EXPECT_EQ(texto("CmdAlta"), "[F2] &Alta");
    EXPECT_EQ(texto("CmdCancelar"), "[ESC] &Cancelar");
    EXPECT_TRUE(v->findChild<QFrame*>("FramAlta")->isVisible());
    EXPECT_EQ(v->findChildren<QLineEdit*>("Txtfields").size(), 3);
}

TEST_F(VentanaAlta, shouldHideTheFieldsWhenQuickRegistrationIsOff) {
    configurar("ArticulosPermitealtaAutomatica", "NO");
    auto v = abrir();
    EXPECT_FALSE(v->findChild<QFrame*>("FramAlta")->isVisible());
    EXPECT_EQ(v->findChild<QPushButton*>("CmdAlta")->text(), "Aceptar");
    QTest::keyClick(v.get(), Qt::Key_F2);
    EXPECT_TRUE(v->pAceptar);
    EXPECT_FALSE(v->isVisible());
}

TEST_F(VentanaAlta, shouldAdvanceFieldsWithEnterAndPutTheCodeWithPonerCodigo) {
    auto v = abrir();
    v->Codigo = QStringLiteral("  779123  ");
    v->PonerCodigo();
    EXPECT_EQ(caja(*v, "Codigo")->text(), "779123");
    EXPECT_TRUE(v->Codigo.isEmpty());
    caja(*v, "Codigo")->setFocus();
    QTest::keyClick(caja(*v, "Codigo"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), caja(*v, "Descripcion"));
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), caja(*v, "Precio"));
    EXPECT_TRUE(v->isVisible()) << "Enter never presses a button";
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 0);
}

TEST_F(VentanaAlta, shouldFillTheDescriptionFromTheMasterServiceWithF7) {
    servidor.responder(Respuesta{200, "{\"Codigo\":\"7791 2\",\"Descripcion\":\"Yerba\"}"});
    auto v = abrir();
    escribir(*v, "Codigo", " 7791 2&x ");
    QTest::keyClick(caja(*v, "Codigo"), Qt::Key_F7);
    EXPECT_EQ(caja(*v, "Descripcion")->text(), "Yerba");
    EXPECT_EQ(proceso(*v), "Correcto.");
    EXPECT_EQ(QApplication::focusWidget(), caja(*v, "Precio"));
    ASSERT_EQ(servidor.pedidos().size(), 1);
    const QString pedido = servidor.pedidos()[0];
    EXPECT_TRUE(pedido.startsWith("/ws/inicio.php?opcion=GetCodigo&codigo="));
    EXPECT_EQ(consultaDe(pedido), (QList<std::pair<QString, QString>>{{"opcion", "GetCodigo"},
                                                                      {"codigo", "7791 2&x"}}));
}

TEST_F(VentanaAlta, shouldReadAnAnswerWrappedInSquareBrackets) {
    servidor.responder(Respuesta{200, " [ {\"Descripcion\":\"Cafe [torrado]\"} ] "});
    auto v = abrir();
    escribir(*v, "Codigo", "123");
    v->findChild<QPushButton*>("CmdMaestro")->click();
    EXPECT_EQ(caja(*v, "Descripcion")->text(), "Cafe [torrado]");
}

TEST_F(VentanaAlta, shouldSayWhenTheMasterDoesNotKnowTheCode) {
    for (const QByteArray& cuerpo : {QByteArray(""), QByteArray("{\"Descripcion\":\"  \"}"),
                                     QByteArray("[]"), QByteArray("no es json")}) {
        SCOPED_TRACE(cuerpo.toStdString());
        servidor.responder(Respuesta{200, cuerpo});
        auto v = abrir();
        escribir(*v, "Codigo", "123");
        caja(*v, "Descripcion")->setText("anterior");
        QTest::keyClick(caja(*v, "Codigo"), Qt::Key_F7);
        EXPECT_EQ(proceso(*v), "Actualmente el codigo informado no existe en la base maestra");
        EXPECT_EQ(caja(*v, "Descripcion")->text(), "");
        EXPECT_EQ(QApplication::focusWidget(), caja(*v, "Descripcion"));
    }
}

TEST_F(VentanaAlta, shouldAskForTheBarcodeBeforeCallingTheMaster) {
    auto v = abrir();
    operador.answerMessage(ui::reply::OK).answerMessage(ui::reply::OK);
    QTest::keyClick(caja(*v, "Codigo"), Qt::Key_F7);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, "Debe informar el numero de Codigo de Barras");
    EXPECT_EQ(operador.dialogs()[0].title, "Aviso al Operador");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::Critical);
    bool error = false;
    QString mensaje;
    EXPECT_EQ(v->ObtenerDescMaestra("  ", error, mensaje), "");
    EXPECT_TRUE(error);
    EXPECT_EQ(mensaje, "Debe informar el codigo.");
    EXPECT_TRUE(servidor.pedidos().isEmpty());
}

// A master service that is down or silent costs a message, not the window.
TEST_F(VentanaAlta, shouldStayUsableWhenTheMasterIsDownOrSlow) {
    configurar("BaseMaestraURL", test::ServidorHttp::baseSinServicio());
    auto v = abrir();
    escribir(*v, "Codigo", "779");
    operador.answerMessage(ui::reply::OK);
    QTest::keyClick(caja(*v, "Codigo"), Qt::Key_F7);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, textos::MaestraSinConexion);
    EXPECT_EQ(proceso(*v), textos::MaestraSinConexion);
    EXPECT_TRUE(v->isVisible());

    configurar("BaseMaestraURL", servidor.base());
    configurar("BaseMaestraTimeOut", "1");
    servidor.responder(Respuesta{200, "{\"Descripcion\":\"tarde\"}", "application/json", 4000ms});
    operador.answerMessage(ui::reply::OK);
    QTest::keyClick(caja(*v, "Codigo"), Qt::Key_F7);
    ASSERT_EQ(operador.dialogs().size(), 2u);
    EXPECT_EQ(operador.dialogs()[1].text, textos::MaestraSinRespuesta);
    EXPECT_EQ(caja(*v, "Descripcion")->text(), "");

    escribir(*v, "Descripcion", "Manual");
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_F2);
    EXPECT_EQ(v->CodArtNuevo, "1");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 1);
}

TEST_F(VentanaAlta, shouldGiveTheFirstArticle24BlanksAndOne) {
    ejecutar("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('ZZ9', 'Alfanumerico')");
    auto v = abrir();
    escribir(*v, "Codigo", "7790001");
    escribir(*v, "Descripcion", "Primero");
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_F2);
    EXPECT_TRUE(v->pAceptar);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(v->CodArtNuevo, "1");
    EXPECT_EQ(
        fila("SELECT IdArticulo, CodigoBarra, Descripcion, IdUnidad, UsaSerie, Suspendido "
             "FROM V_MA_ARTICULOS WHERE Descripcion = 'Primero'"),
        (QStringList{QString(24, u' ') + "1", "7790001", "Primero", "   1", "False", "False"}));
    EXPECT_EQ(contar("V_MA_PRECIOS"), 0) << "no price list: no price row";
    EXPECT_TRUE(servidor.pedidos().isEmpty()) << "nor a master report";

    auto segunda = abrir();
    escribir(*segunda, "Descripcion", "Segundo");
    QTest::keyClick(caja(*segunda, "Descripcion"), Qt::Key_F2);
    EXPECT_EQ(segunda->CodArtNuevo, "2");
}

// The script runner, ts_CreaCalendario and install scripts leave SET NOCOUNT
// ON for the session: every INSERT then reports -1 rows, which is no failure.
TEST_F(VentanaAlta, shouldRegisterAfterAScriptLeftNocountOn) {
    QTemporaryDir carpeta;
    const QString script = carpeta.filePath(QStringLiteral("instalar.sql"));
    QFile archivo(script);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("SET NOCOUNT ON\r\nGO\r\nSELECT 1\r\nGO\r\n");
    archivo.close();
    bool permiteDrop = false;
    session::ReglasScript reglas;
    reglas.sinAvisoFinal = true;
    ASSERT_FALSE(session::ejecutarScript(script, QString(), permiteDrop, reglas).huboErrores);

    auto v = abrir();
    v->pIdLista = QStringLiteral("   1");
    escribir(*v, "Codigo", "7790005");
    escribir(*v, "Descripcion", "Tras el script");
    escribir(*v, "Precio", "3");
    QTest::keyClick(caja(*v, "Precio"), Qt::Key_F2);
    EXPECT_EQ(v->CodArtNuevo, "1");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 1);
    EXPECT_EQ(fila("SELECT Precio1 FROM V_MA_PRECIOS"), QStringList{"3"});
    EXPECT_TRUE(operador.dialogs().empty()) << "registered, and not reported as failed";
}

// The new code is checked with the article lookup by code, which also reads
// barcodes: an article whose barcode is the new number is named, and the
// operator decides.
TEST_F(VentanaAlta, shouldNameTheArticleWhoseBarcodeIsTheNewCode) {
    ejecutar("INSERT INTO V_MA_ARTICULOS (IdArticulo, CodigoBarra, Descripcion) "
             "VALUES ('CAJA-A', '1', ' Caja de te ')");
    auto v = abrir();
    escribir(*v, "Codigo", "7790001");
    escribir(*v, "Descripcion", "Nuevo");
    operador.answerMessage(ui::reply::No);
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_F2);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text,
              "El codigo 1 que corresponde al articulo nuevo es el codigo de barras del articulo "
              "CAJA-A - Caja de te.\r\n¿Registrar el articulo nuevo con el codigo 1 igualmente?");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::YesNo | ui::style::Question);
    EXPECT_EQ(operador.dialogs()[0].title, "Aviso al Operador");
    EXPECT_EQ(v->CodArtNuevo, "");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 1);

    auto otra = abrir();
    escribir(*otra, "Codigo", "7790001");
    escribir(*otra, "Descripcion", "Nuevo");
    operador.answerMessage(ui::reply::Yes);
    QTest::keyClick(caja(*otra, "Descripcion"), Qt::Key_F2);
    EXPECT_EQ(otra->CodArtNuevo, "1");
    EXPECT_EQ(fila("SELECT CodigoBarra FROM V_MA_ARTICULOS WHERE IdArticulo = '" + id("1") + "'"),
              QStringList{"7790001"});
}

TEST_F(VentanaAlta, shouldWriteNothingForF2WithAnEmptyDescription) {
    auto v = abrir();
    escribir(*v, "Codigo", "7790001");
    escribir(*v, "Descripcion", "   ");
    QTest::keyClick(caja(*v, "Codigo"), Qt::Key_F2);
    EXPECT_TRUE(v->pAceptar);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(v->CodArtNuevo, "");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 0);
}

TEST_F(VentanaAlta, shouldCloseWithEscapeWithoutAccepting) {
    auto v = abrir();
    escribir(*v, "Descripcion", "Nada");
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_Escape);
    EXPECT_FALSE(v->pAceptar);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 0);
}

TEST_F(VentanaAlta, shouldAskBeforeRegisteringARepeatedBarcode) {
    ejecutar("INSERT INTO V_MA_ARTICULOS (IdArticulo, CodigoBarra, Descripcion) VALUES ('" +
             id("40") + "', '7790001', ' Leche ')");
    auto v = abrir();
    escribir(*v, "Codigo", "7790001");
    escribir(*v, "Descripcion", "Leche 2");
    operador.answerMessage(ui::reply::No);
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_F2);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, "Ya existe un articulo con ese codigo de barras.\r\n"
                                          "Articulo 40 - Leche\r\n¿Ingresarlo igual?");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::YesNo | ui::style::Information);
    EXPECT_EQ(operador.dialogs()[0].title, "Aviso al Operador");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 1);
    EXPECT_EQ(v->CodArtNuevo, "");

    auto otra = abrir();
    escribir(*otra, "Codigo", "7790001");
    escribir(*otra, "Descripcion", "Leche 2");
    operador.answerMessage(ui::reply::Yes);
    QTest::keyClick(caja(*otra, "Descripcion"), Qt::Key_F2);
    EXPECT_EQ(otra->CodArtNuevo, "41");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 2);
}

TEST_F(VentanaAlta, shouldStoreADescriptionWithApostrophesIntact) {
    auto v = abrir();
    v->pIdLista = QStringLiteral("   1");
    const QString descripcion = QStringLiteral("D'Angelo's 1/2 kg'); DROP TABLE V_MA_PRECIOS --");
    escribir(*v, "Codigo", "O'12");
    escribir(*v, "Descripcion", descripcion);
    escribir(*v, "Precio", "12,5");
    QTest::keyClick(caja(*v, "Precio"), Qt::Key_F2);
    ASSERT_EQ(v->CodArtNuevo, "1");
    EXPECT_EQ(fila("SELECT CodigoBarra, Descripcion FROM V_MA_ARTICULOS"),
              (QStringList{"O'12", descripcion.left(100)}));
    EXPECT_EQ(fila("SELECT IdLista, Nombre, IdArticulo, ConIVA, Precio1, TipoLista FROM "
                   "V_MA_PRECIOS"),
              (QStringList{"   1", descripcion, QString(24, u' ') + "1", "True", "12.5", "V"}));
}

TEST_F(VentanaAlta, shouldReportTheNewBarcodeToTheMasterWithEncodedValues) {
    configurar("ClasePrecioVenta", " 3 ");
    auto v = abrir();
    v->pIdLista = QStringLiteral("   1");
    escribir(*v, "Codigo", "77 & 9=1");
    escribir(*v, "Descripcion", "Té & café #1");
    escribir(*v, "Precio", "1.234,5");
    QTest::keyClick(caja(*v, "Precio"), Qt::Key_F2);
    ASSERT_EQ(v->CodArtNuevo, "1");
    EXPECT_EQ(fila("SELECT Precio1, Precio3 FROM V_MA_PRECIOS"), (QStringList{"0", "1234.5"}));
    ASSERT_EQ(servidor.pedidos().size(), 1);
    EXPECT_EQ(consultaDe(servidor.pedidos()[0]),
              (QList<std::pair<QString, QString>>{
                  {"opcion", "InsCodigo"}, {"codigo", "77 & 9=1"}, {"desc", "Té & café #1"}}));
}

TEST_F(VentanaAlta, shouldKeepTheArticleWhenTheMasterReportFails) {
    servidor.responder(Respuesta{500, "caido"});
    auto v = abrir();
    v->pIdLista = QStringLiteral("   1");
    escribir(*v, "Codigo", "7790009");
    escribir(*v, "Descripcion", "Sin maestra");
    operador.answerMessage(ui::reply::OK);
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_F2);
    EXPECT_EQ(v->CodArtNuevo, "1");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 1);
    EXPECT_EQ(contar("V_MA_PRECIOS"), 1);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_TRUE(operador.dialogs()[0].text.startsWith(textos::MaestraNoInformada));
}

// The article and its price row stand or fall together.
TEST_F(VentanaAlta, shouldUndoTheArticleWhenItsPriceRowFails) {
    ejecutar("INSERT INTO V_MA_PRECIOS (IdLista, IdArticulo) VALUES ('   1', '" + id("1") + "')");
    auto v = abrir();
    v->pIdLista = QStringLiteral("   1");
    escribir(*v, "Codigo", "7790009");
    escribir(*v, "Descripcion", "Huerfano");
    operador.answerMessage(ui::reply::OK);
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_F2);
    EXPECT_EQ(v->CodArtNuevo, "");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 0);
    EXPECT_EQ(contar("V_MA_PRECIOS"), 1);
    EXPECT_EQ(operador.dialogs().size(), 1u) << "the database's message";
    EXPECT_TRUE(servidor.pedidos().isEmpty());
}

TEST_F(VentanaAlta, shouldRefuseToRegisterWithoutAPriceClass) {
    ejecutar("DELETE FROM TA_CONFIGURACION WHERE Clave = 'ClasePrecioVenta'");
    auto v = abrir();
    escribir(*v, "Descripcion", "Sin clase");
    operador.answerMessage(ui::reply::OK);
    QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_F2);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, "Debe informar la clase de precio por default desde la "
                                          "Configuración General del Sistema");
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 0);
    EXPECT_TRUE(v->pAceptar);

    configurar("ClasePrecioVenta", "1=0, Nombre='x'");
    auto otra = abrir();
    otra->pIdLista = QStringLiteral("   1");
    escribir(*otra, "Descripcion", "Clase rara");
    operador.answerMessage(ui::reply::OK);
    QTest::keyClick(caja(*otra, "Descripcion"), Qt::Key_F2);
    EXPECT_EQ(operador.dialogs().size(), 2u);
    EXPECT_EQ(contar("V_MA_ARTICULOS"), 0);
}

// What a lookup window's "Nuevo" gets: the proposed number in the first box,
// the new code back when registered, nothing when cancelled.
TEST_F(VentanaAlta, shouldRegisterFromALookupAndReturnTheNewCode) {
    ejecutar("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('" + id("41") +
             "', 'Existente')");
    EXPECT_TRUE(altaRapidaPermitida());
    QString propuesto;
    bool desdeConsulta = false;
    QTimer::singleShot(0, [&] {
        auto* v = qobject_cast<FrmArtAlta*>(QApplication::activeModalWidget());
        ASSERT_NE(v, nullptr);
        desdeConsulta = v->DesdeConsulta;
        propuesto = caja(*v, "Codigo")->text();
        escribir(*v, "Descripcion", "Desde consulta");
        QTest::keyClick(caja(*v, "Descripcion"), Qt::Key_F2);
    });
    EXPECT_EQ(altaRapidaDesdeConsulta(nullptr), std::optional<QString>("42"));
    EXPECT_TRUE(desdeConsulta);
    EXPECT_EQ(propuesto, "42");
    EXPECT_EQ(fila("SELECT CodigoBarra FROM V_MA_ARTICULOS WHERE IdArticulo = '" + id("42") + "'"),
              QStringList{"42"});

    QTimer::singleShot(0, [&] {
        auto* v = qobject_cast<FrmArtAlta*>(QApplication::activeModalWidget());
        ASSERT_NE(v, nullptr);
        propuesto = caja(*v, "Codigo")->text();
        QTest::keyClick(v, Qt::Key_Escape);
    });
    EXPECT_EQ(altaRapidaDesdeConsulta(nullptr), std::nullopt);
    EXPECT_EQ(propuesto, "43");

    configurar("ArticulosPermitealtaAutomatica", "no");
    EXPECT_FALSE(altaRapidaPermitida());
}

// Hostile clipboard texts pasted into every box with the paste keys, then
// registered with F2: each box keeps what its column holds (V_MA_ARTICULOS
// CodigoBarra varchar(25), Descripcion varchar(100); the price's text), and
// the rows get exactly the boxes' texts, as data.
TEST_F(VentanaAlta, shouldRegisterPastedTextsAsDataWithinTheColumns) {
    struct Campo {
        const char* nombre;
        int largo;
    };
    const Campo campos[] = {{"Codigo", 25}, {"Descripcion", 100}, {"Precio", 20}};
    int registrados = 0;
    for (const test::TextoHostil& hostil : test::textosHostiles()) {
        SCOPED_TRACE(hostil.nombre);
        auto v = abrir();
        v->pIdLista = QStringLiteral("   1");
        const QString pegado = test::textoDecodificado(hostil.bytes);
        for (const Campo& c : campos) {
            test::pegar(*caja(*v, c.nombre), hostil.bytes);
            EXPECT_EQ(caja(*v, c.nombre)->text().toStdString(),
                      pegado.left(c.largo).toStdString())
                << c.nombre;
        }
        const QString codigoBarra = caja(*v, "Codigo")->text().trimmed();
        const QString descripcion = caja(*v, "Descripcion")->text();
        QTest::keyClick(caja(*v, "Precio"), Qt::Key_F2);
        ASSERT_EQ(v->CodArtNuevo, QString::number(++registrados));
        const QString clave = "'" + id(v->CodArtNuevo) + "'";
        const QStringList articulo =
            fila("SELECT CodigoBarra, Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + clave);
        ASSERT_EQ(articulo.size(), 2);
        EXPECT_EQ(articulo[0].toStdString(), codigoBarra.toStdString());
        EXPECT_EQ(articulo[1].toStdString(), descripcion.toStdString());
        EXPECT_EQ(fila("SELECT Nombre FROM V_MA_PRECIOS WHERE IdArticulo = " + clave)
                      .value(0)
                      .toStdString(),
                  descripcion.toStdString());
        EXPECT_EQ(contar("V_MA_ARTICULOS"), registrados);
        EXPECT_EQ(contar("V_MA_PRECIOS"), registrados);
    }
}

} // namespace
