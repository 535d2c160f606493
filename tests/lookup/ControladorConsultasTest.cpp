// The controller's hand-over to its windows and what it takes back, with
// recording windows in place of the Qt ones.
#include "ConsultasDb.h"
#include "VentanasGrabadoras.h"

#include "lookup/ConsultasCompartidas.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/LookupTexts.h"
#include "support/ScriptedOperator.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace estaciones::lookup {
namespace {

using test::RegistroLista;
using test::VentanaArbolGrabadora;
using test::VentanaListaGrabadora;

class ControladorConsultas : public ::testing::Test {
protected:
    // The controller is created after the configuration rows a test writes.
    Lib_ClsCons3& controlador() {
        if (!m_controlador) {
            m_controlador = std::make_unique<Lib_ClsCons3>();
            m_controlador->crearVentanaLista = [this] {
                ++ventanasCreadas;
                return std::make_unique<VentanaListaGrabadora>(registro, operadorLista);
            };
            m_controlador->crearVentanaArbol = [this] {
                return std::make_unique<VentanaArbolGrabadora>(arbolAlMostrar, operadorArbol);
            };
        }
        return *m_controlador;
    }

    void buscar(const QString& sql, bool arbol = false) {
        controlador().ConsultaSearch(sql, cmps, clave, campo, where, opcional, arbol,
                                     valoresDefault);
    }

    test::ConsultasDb db;
    test::ScriptedOperator operador;
    RegistroLista registro;
    MiembrosArbol arbolAlMostrar;
    std::function<void(MiembrosLista&)> operadorLista;
    std::function<void(MiembrosArbol&)> operadorArbol;
    int ventanasCreadas = 0;

    std::optional<QStringList> cmps = QStringList{QStringLiteral("Codigo")};
    QString clave, campo, where, opcional, valoresDefault;

private:
    std::unique_ptr<Lib_ClsCons3> m_controlador;
};

TEST_F(ControladorConsultas, shouldReadItsSettingsFromTheConfiguration) {
    db.configurar(QStringLiteral("Stk_Nivel1"), QStringLiteral("&H000000FF&"));
    db.configurar(QStringLiteral("Stk_Nivel3"), QStringLiteral("255"));
    db.configurar(QStringLiteral("MostrarStockenConsultas"), QStringLiteral("SI"));
    db.configurar(QStringLiteral("UsaConsultaLike"), QStringLiteral("si"));
    Lib_ClsCons3& c = controlador();
    EXPECT_EQ(c.StkNivel1.toInt64(), 255);
    EXPECT_EQ(c.StkNivel2.toInt64(), 0);
    EXPECT_EQ(c.StkNivel3.toInt64(), 255);
    EXPECT_EQ(c.MuestraStock, QStringLiteral("SI"));
    EXPECT_TRUE(c.CmpsDevueltos.has_value());
    EXPECT_TRUE(c.Valores.has_value());
    EXPECT_FALSE(c.Cantidades.has_value());
    EXPECT_TRUE(c.ValorDevuelto.isEmpty());

    buscar(QStringLiteral("SELECT Codigo FROM TA_CCOSTO"));
    EXPECT_TRUE(registro.alMostrar.CfgUsaConsultaLIKE);
    EXPECT_EQ(registro.alMostrar.StkNivel1.toInt64(), 255);
    EXPECT_EQ(registro.alMostrar.MuestraStock, QStringLiteral("SI"));
}

TEST_F(ControladorConsultas, shouldHandTheListWindowItsStatementAndTakeTheResultsBack) {
    clave = QStringLiteral("ab");
    valoresDefault = QStringLiteral("01,02");
    controlador().CampoDevuelto = QStringLiteral("Codigo");
    controlador().UsaCantidades = true;
    operadorLista = [](MiembrosLista& lista) {
        lista.Valores = QStringList{QStringLiteral("07")};
        lista.Cantidades = QList<double>{2.5};
        lista.ValorDevuelto = QStringLiteral("07");
    };
    buscar(QStringLiteral("V_TA_DEPOSITO"));

    const MiembrosLista& dado = registro.alMostrar;
    EXPECT_EQ(dado.SQL, QStringLiteral("SELECT TOP 1000 Descripcion,IdDeposito,UnidadNegocio "
                                       "FROM V_TA_DEPOSITO  ORDER BY IDDEPOSITO"));
    EXPECT_FALSE(dado.OrdenarPorLwv); // the server orders
    EXPECT_EQ(dado.FiltroInicial, QStringLiteral("ab"));
    EXPECT_EQ(dado.CampoBusqueda, QStringLiteral("IDDEPOSITO"));
    EXPECT_EQ(dado.gConnString, db.cadena());
    EXPECT_EQ(dado.CampoDevuelto, QStringLiteral("Codigo"));
    EXPECT_FALSE(dado.CheckBoxes);
    EXPECT_TRUE(dado.UsaCantidades);
    EXPECT_EQ(dado.ValoresDefault, QStringLiteral("01,02"));
    EXPECT_EQ(dado.CmpsDevueltos, QStringList{QStringLiteral("Codigo")});
    EXPECT_FALSE(registro.desmarcoAntes);
    EXPECT_TRUE(registro.descargada);

    Lib_ClsCons3& c = controlador();
    EXPECT_EQ(c.ValorDevuelto, Variant(QStringLiteral("07")));
    EXPECT_EQ(c.Valores, QStringList{QStringLiteral("07")});
    EXPECT_EQ(c.Cantidades, QList<double>{2.5});
    EXPECT_TRUE(c.CampoDevuelto.isEmpty());
    EXPECT_FALSE(cmps.has_value()); // the caller's list is released
    EXPECT_EQ(campo, QStringLiteral("IDDEPOSITO"));
    EXPECT_EQ(c.gConnString, db.cadena());
}

TEST_F(ControladorConsultas, shouldReleaseTheCallersListAndClearChecksAfterACancel) {
    controlador().Checks = true;
    operadorLista = [](MiembrosLista& lista) {
        lista.ValorDevuelto = Variant();
        lista.Valores.reset();
        lista.CmpsDevueltos.reset();
    };
    buscar(QStringLiteral("SELECT Codigo FROM TA_CCOSTO"));
    EXPECT_TRUE(registro.alMostrar.CheckBoxes);
    EXPECT_TRUE(registro.alMostrar.OrdenarPorLwv); // no ORDER BY: the list sorts
    EXPECT_TRUE(registro.desmarcoAntes);
    EXPECT_FALSE(controlador().Checks);
    EXPECT_TRUE(controlador().ValorDevuelto.isEmpty());
    EXPECT_FALSE(controlador().Valores.has_value());
    EXPECT_FALSE(cmps.has_value());
}

// A lookup that ends before its window (a mask record to configure) leaves
// the results as they were, but must not hand its check boxes and returned
// column to the next lookup.
TEST_F(ControladorConsultas, shouldShowNoWindowForAMaskThatNeedsConfiguringAndStartTheNextClean) {
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("consultas.tsf"));
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    QByteArray registroUnico(1202, ' ');
    registroUnico.replace(100, 5, "T_UNA");
    registroUnico.replace(200, 8, "|CODIGO|");
    registroUnico.replace(1200, 2, "\r\n");
    archivo.write(registroUnico);
    archivo.close();
    controlador().gUsarMascarasConsultas = true;
    controlador().gRutaMascaraConsultas = ruta;
    controlador().ValorDevuelto = QStringLiteral("anterior");
    controlador().Checks = true;
    controlador().CampoDevuelto = QStringLiteral("CODIGO");
    operador.answerMessage(ui::reply::OK);
    buscar(QStringLiteral("T_UNA"));
    EXPECT_EQ(ventanasCreadas, 0);
    EXPECT_EQ(controlador().ValorDevuelto, Variant(QStringLiteral("anterior")));
    EXPECT_FALSE(controlador().Checks);
    EXPECT_TRUE(controlador().CampoDevuelto.isEmpty());
    EXPECT_FALSE(cmps.has_value()) << "the caller's list is released on this path too";

    // The next lookup, of another kind: one value of another column.
    cmps = QStringList{QStringLiteral("Descripcion")};
    operadorLista = [](MiembrosLista& lista) { lista.ValorDevuelto = QStringLiteral("Ventas"); };
    buscar(QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO"));
    EXPECT_FALSE(registro.alMostrar.CheckBoxes);
    EXPECT_TRUE(registro.alMostrar.CampoDevuelto.isEmpty());
    EXPECT_EQ(controlador().ValorDevuelto, Variant(QStringLiteral("Ventas")));
}

TEST_F(ControladorConsultas, shouldHandTheTreeWindowItsStatementAndTakeItsValues) {
    controlador().Checks = true;
    controlador().CampoDevuelto = QStringLiteral("IDFAMILIA");
    operadorArbol = [](MiembrosArbol& arbol) {
        arbol.Valores = QStringList{QStringLiteral("01"), QStringLiteral("0101")};
    };
    buscar(QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"), true);
    EXPECT_EQ(arbolAlMostrar.SQL,
              QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"));
    EXPECT_EQ(arbolAlMostrar.CampoDevuelto, QStringLiteral("IDFAMILIA"));
    EXPECT_TRUE(arbolAlMostrar.CheckBoxes);
    EXPECT_EQ(controlador().Valores, (QStringList{QStringLiteral("01"), QStringLiteral("0101")}));
    EXPECT_FALSE(controlador().Checks);
    EXPECT_TRUE(controlador().CampoDevuelto.isEmpty());
    EXPECT_FALSE(cmps.has_value());
}

TEST_F(ControladorConsultas, shouldPrepareOptionListsWithMarksAndWidth) {
    operadorLista = [](MiembrosLista& lista) {
        lista.Valores = QStringList{QStringLiteral("Rojo")};
    };
    controlador().CheckOpciones(QStringLiteral("Colores"), std::nullopt,
                                {QStringLiteral("1Rojo"), QStringLiteral("0Verde azulado")});
    ASSERT_TRUE(registro.opciones.has_value());
    const ListaOpciones& lista = *registro.opciones;
    EXPECT_EQ(lista.titulo, QStringLiteral("Colores"));
    EXPECT_TRUE(lista.checkBoxes);
    ASSERT_EQ(lista.opciones.size(), 2);
    EXPECT_EQ(lista.opciones[0].texto, QStringLiteral("Rojo"));
    EXPECT_TRUE(lista.opciones[0].marcada);
    EXPECT_EQ(lista.opciones[1].texto, QStringLiteral("Verde azulado"));
    EXPECT_FALSE(lista.opciones[1].marcada);
    // The longest text as given (mark included): 14 characters of 120 twips.
    EXPECT_EQ(lista.anchoTwips, 14 * 120);
    EXPECT_EQ(controlador().Valores, QStringList{QStringLiteral("Rojo")});
    EXPECT_TRUE(registro.descargada);
}

TEST_F(ControladorConsultas, shouldShowASingleOption) {
    operadorLista = [](MiembrosLista& lista) { lista.ValorDevuelto = QStringLiteral("Única"); };
    EXPECT_EQ(controlador().MenuOpciones(QStringLiteral("Elija"), {QStringLiteral("Única")}),
              QStringLiteral("Única"));
    ASSERT_EQ(registro.opciones->opciones.size(), 1);
    EXPECT_FALSE(registro.opciones->checkBoxes);
    EXPECT_EQ(registro.opciones->opciones[0].texto, QStringLiteral("Única"));
}

TEST_F(ControladorConsultas, shouldOfferTheLinesOfAFileAndTellWhenItIsMissing) {
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("opciones.txt"));
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("primera\r\nsegunda l\xednea\r\n"); // Windows-1252, as the suite writes
    archivo.close();
    operadorLista = [](MiembrosLista& lista) { lista.ValorDevuelto = QStringLiteral("primera"); };
    EXPECT_EQ(
        controlador().ConsultaDesdeArchivo(QStringLiteral("Archivo"), ruta, QStringLiteral(";")),
        QStringLiteral("primera"));
    ASSERT_EQ(registro.opciones->opciones.size(), 2);
    EXPECT_EQ(registro.opciones->opciones[1].texto, QStringLiteral("segunda línea"));

    const QString falta = carpeta.filePath(QStringLiteral("falta.txt"));
    operador.answerMessage(ui::reply::OK);
    EXPECT_TRUE(controlador().ConsultaDesdeArchivo(QStringLiteral("Archivo"), falta, {}).isEmpty());
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, QStringLiteral("No existe el archivo ") + falta +
                                              QStringLiteral(" que desea consultar consulta "));
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::OKOnly);
}

TEST(ConsultasDeInicio, shouldGiveTheSharedControllerTheConnectionAndTheMaskFile) {
    test::ConsultasDb db;
    QTemporaryDir carpeta;
    configurarConsultas(carpeta.path());
    Lib_ClsCons3& compartido = consultas();
    EXPECT_EQ(compartido.gConnString, db.cadena());
    EXPECT_TRUE(compartido.gUsarMascarasConsultas);
    EXPECT_EQ(compartido.gRutaMascaraConsultas, carpeta.path() + QStringLiteral("/consultas.tsf"));
    // Written with the eleven default records when it was missing.
    EXPECT_EQ(QFileInfo(compartido.gRutaMascaraConsultas).size(), 11 * 1202);
    configurarConsultas(carpeta.path());
    EXPECT_EQ(QFileInfo(compartido.gRutaMascaraConsultas).size(), 11 * 1202);
    EXPECT_EQ(&consultas(), &compartido);
}

} // namespace
} // namespace estaciones::lookup
