// The list lookup window on the embedded engine, driven with real keys and
// clicks: loading, incremental and server searches, check boxes, stock
// colours, sorting, accepting and cancelling.
#include "VentanaListaPrueba.h"
#include "VentanasGrabadoras.h"

#include "lookup/AnchosColumnas.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/widgets/InstalarVentanasConsulta.h"
#include "support/ScriptedOperator.h"

#include <QBrush>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace estaciones::lookup::widgets {
namespace {

class ListaVentana : public ::testing::Test, protected test::VentanaListaPrueba {
protected:
    void SetUp() override {
        db.ejecutar(QStringLiteral(
            "INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('1', 'Caja'), "
            "('2', 'abono'), ('3', 'ABC'), ('4', 'Banco'), ('12XA', 'Doce'), ('12A', 'Doce A'), "
            "('1A2', 'Otro'), ('5', 'O''Higgins'), ('6', NULL)"));
    }

    test::ConsultasDb db;
    test::ScriptedOperator operador;
    const QString cuentas =
        QStringLiteral("SELECT TOP 1000 Codigo, Descripcion FROM MA_CUENTAS ORDER BY Codigo");
};

TEST_F(ListaVentana, shouldShowTheRowsUnderTheirColumnsWithOneSearchBoxEach) {
    abrir(cuentas);
    EXPECT_EQ(ventana->windowTitle(), QStringLiteral("Consulta..."));
    EXPECT_EQ(ventana->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("CONSULTA"));
    EXPECT_EQ(boton("CmdTodos").text(), QStringLiteral("&Marcar"));
    EXPECT_EQ(boton("CmdNuevo").text(), QStringLiteral("N&uevo"));
    EXPECT_EQ(boton("CmdNueva").text(), QStringLiteral("&Nueva Busqueda"));
    EXPECT_EQ(boton("CmdCancelar").text(), QStringLiteral("&Cancelar"));
    EXPECT_EQ(boton("CmdAceptar").text(), QStringLiteral("&Aceptar"));
    EXPECT_EQ(test::encabezadoDe(lista(), 0), QStringLiteral("Codigo"));
    EXPECT_EQ(test::encabezadoDe(lista(), 1), QStringLiteral("Descripcion"));
    EXPECT_TRUE(lista().font().bold());
    EXPECT_EQ(lista().font().pointSize(), 10);
    // The server's order is kept: the statement has its own ORDER BY.
    EXPECT_EQ(columna(0), (QStringList{"1", "12A", "12XA", "1A2", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(ventana->tabla(), QStringLiteral("MA_CUENTAS"));
    EXPECT_EQ(caja(0).toolTip(), QStringLiteral("F5 realiza nueva busqueda"));
    // Each box sits over its column, also after the column is resized.
    EXPECT_EQ(caja(1).x(), lista().header()->sectionPosition(1));
    lista().setColumnWidth(0, lista().columnWidth(0) + 40);
    EXPECT_EQ(caja(1).x(), lista().header()->sectionPosition(1));
    // The scroll bar moves boxes and list together.
    auto* barra = ventana->findChild<QScrollBar*>(QStringLiteral("HScroll1"));
    QTest::mouseClick(barra, Qt::LeftButton, {}, QPoint(barra->width() - 40, barra->height() / 2));
    ASSERT_GT(barra->value(), 0);
    EXPECT_EQ(ventana->findChild<QWidget*>(QStringLiteral("picFields"))->x(),
              -(barra->value() / 15));
    EXPECT_EQ(caja(1).mapTo(ventana.get(), QPoint()).x(),
              lista().mapTo(ventana.get(), QPoint(lista().header()->sectionPosition(1), 0)).x());
    EXPECT_EQ(ventana->IndiceColumna(QStringLiteral(" descripcion ")), 2);
    EXPECT_EQ(ventana->IndiceColumna(QStringLiteral("Precio")), 0);
}

TEST_F(ListaVentana, shouldNamePriceColumnsAfterThePriceClasses) {
    db.configurar(QStringLiteral("NOM_PCLASE1"), QStringLiteral("Mayorista"));
    abrir(QStringLiteral("SELECT IdArticulo, Precio1, Stock FROM STK_MA_ARTICULOS"));
    EXPECT_EQ(test::encabezadoDe(lista(), 1), QStringLiteral("Mayorista"));
    EXPECT_EQ(test::encabezadoDe(lista(), 2), QStringLiteral("Stock"));

    // Other lookups with "@10" get wider columns instead.
    abrir(cuentas);
    const int angosta = lista().columnWidth(0);
    abrir(cuentas, [](MiembrosLista& m) { m.ValoresDefault = QStringLiteral("@10"); });
    EXPECT_NEAR(lista().columnWidth(0) - angosta,
                QFontMetrics(lista().font()).horizontalAdvance(QString(10, u'X')), 2);
}

TEST_F(ListaVentana, shouldSelectTheFirstRowStartingWithTheTypedText) {
    abrir(cuentas);
    seleccionar(0);
    QTest::keyClicks(&caja(1), QStringLiteral("AB"));
    EXPECT_EQ(actual(1), QStringLiteral("abono"));
    // No match: the selection stays where it was.
    QTest::keyClicks(&caja(1), QStringLiteral("X"));
    EXPECT_EQ(actual(1), QStringLiteral("abono"));
    // The caller's initial text searches the first column at load.
    abrir(QStringLiteral("SELECT Descripcion, Codigo FROM MA_CUENTAS ORDER BY Codigo"),
          [](MiembrosLista& m) { m.FiltroInicial = QStringLiteral(" ban "); });
    EXPECT_EQ(caja(0).currentText(), QStringLiteral(" ban "));
    EXPECT_EQ(actual(), QStringLiteral("Banco"));
    // The box that has the focus turns cyan.
    caja(1).setFocus();
    QApplication::processEvents();
    if (caja(1).hasFocus()) {
        EXPECT_EQ(caja(1).lineEdit()->palette().color(QPalette::Base), QColor(0, 255, 255));
    }
}

TEST_F(ListaVentana, shouldAccumulateServerSearchesAndStartAgainWithNuevaBusqueda) {
    abrir(cuentas);
    QTest::keyClicks(&caja(0), QStringLiteral("1"));
    QTest::keyClick(&caja(0), Qt::Key_F5);
    QTest::keyClicks(&caja(1), QStringLiteral("D"));
    QTest::keyClick(&caja(1), Qt::Key_F5);
    EXPECT_EQ(ventana->miembros().SQL,
              QStringLiteral("SELECT TOP 1000 Codigo, Descripcion FROM MA_CUENTAS  where Codigo "
                             "like '1%'  and Descripcion like 'D%' ORDER BY Codigo   "));
    EXPECT_EQ(columna(0), (QStringList{"12A", "12XA"}));
    EXPECT_TRUE(caja(1).currentText().isEmpty());

    QTest::mouseClick(&boton("CmdNueva"), Qt::LeftButton);
    EXPECT_EQ(ventana->miembros().SQL.trimmed(), cuentas);
    EXPECT_EQ(test::filasDe(lista()), 9);
}

TEST_F(ListaVentana, shouldReadAsteriskAsAnythingWithoutTheLikeSetting) {
    abrir(cuentas);
    QTest::keyClicks(&caja(0), QStringLiteral("12*A"));
    QTest::keyClick(&caja(0), Qt::Key_F5);
    EXPECT_EQ(columna(0), (QStringList{"12A", "12XA"}));

    // With it, the text may stand anywhere and blanks match anything.
    abrir(cuentas, [](MiembrosLista& m) { m.CfgUsaConsultaLIKE = true; });
    QTest::keyClicks(&caja(1), QStringLiteral("o A"));
    QTest::keyClick(&caja(1), Qt::Key_F5);
    EXPECT_EQ(columna(1), (QStringList{"Doce A"}));
}

TEST_F(ListaVentana, shouldSearchTextsWithApostrophesOnTheServer) {
    abrir(cuentas);
    QTest::keyClicks(&caja(1), QStringLiteral("O'H"));
    QTest::keyClick(&caja(1), Qt::Key_F5); // a broken statement would raise the error dialog
    EXPECT_EQ(columna(1), QStringList{QStringLiteral("O'Higgins")});
}

TEST_F(ListaVentana, shouldStartWithTheDefaultValuesChecked) {
    abrir(QStringLiteral("SELECT Codigo, Descripcion FROM MA_CUENTAS ORDER BY Codigo"),
          [](MiembrosLista& m) {
              m.CheckBoxes = true;
              m.CampoDevuelto = QStringLiteral("Descripcion");
              m.ValoresDefault = QStringLiteral("'CAJA','Banco'");
          });
    // Row 6 has no description: an empty value occurs in any text.
    EXPECT_EQ(marcadas(), (QStringList{"1", "4", "6"}));
}

TEST_F(ListaVentana, shouldColourArticleRowsByTheirStockLevel) {
    db.ejecutar(QStringLiteral(
        "INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, PuntoPedido) VALUES "
        "('A', 'sin punto', 0), ('B', 'sobra', 5), ('C', 'falta', 5), ('D', 'justo', 5)"));
    db.ejecutar(QStringLiteral("INSERT INTO STK_SALDOS (IdArticulo, IdDeposito, Stock) VALUES "
                               "('A', '1', 3), ('B', '1', 9), ('C', '1', 2), ('D', '1', 5)"));
    abrir(QStringLiteral("SELECT IdArticulo, Descripcion, PuntoPedido, Stock FROM "
                         "VT_MA_ARTICULOS ORDER BY IdArticulo"),
          [](MiembrosLista& m) {
              m.MuestraStock = QStringLiteral("SI");
              m.StkNivel1 = 0x0000FF; // red, in blue-green-red
              m.StkNivel2 = 0x00FF00;
              m.StkNivel3 = 0xFF0000;
              m.StkNivel4 = 0x008080;
          });
    const QList<QColor> esperados{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                                  QColor(128, 128, 0)};
    for (int fila = 0; fila < 4; ++fila) {
        const auto celda = [&](int columna) { return lista().model()->index(fila, columna); };
        EXPECT_EQ(celda(0).data(Qt::ForegroundRole).value<QBrush>().color(), esperados[fila])
            << fila;
        EXPECT_EQ(celda(1).data(Qt::ForegroundRole).value<QBrush>().color(), esperados[fila])
            << fila;
        EXPECT_TRUE(celda(1).data(Qt::FontRole).value<QFont>().bold());
    }

    // Without MuestraStock the rows keep the list's colour.
    abrir(QStringLiteral("SELECT IdArticulo, PuntoPedido, Stock FROM VT_MA_ARTICULOS"));
    EXPECT_EQ(lista().model()->index(0, 0).data(Qt::ForegroundRole).value<QBrush>().style(),
              Qt::NoBrush);
}

TEST_F(ListaVentana, shouldSortByTheClickedHeaderFlippingTheOrderEachClick) {
    abrir(QStringLiteral("SELECT Codigo, Descripcion FROM MA_CUENTAS WHERE Codigo < '5'"),
          [](MiembrosLista& m) { m.OrdenarPorLwv = true; });
    EXPECT_EQ(columna(0), (QStringList{"1", "12A", "12XA", "1A2", "2", "3", "4"}));
    QHeaderView* encabezado = lista().header();
    const QPoint segunda(encabezado->sectionViewportPosition(1) + 5, encabezado->height() / 2);
    QTest::mouseClick(encabezado->viewport(), Qt::LeftButton, {}, segunda);
    // Letter case does not count: "ABC" before "abono" before "Banco".
    EXPECT_EQ(columna(1), (QStringList{"ABC", "abono", "Banco", "Caja", "Doce", "Doce A", "Otro"}));
    QTest::mouseClick(encabezado->viewport(), Qt::LeftButton, {}, segunda);
    EXPECT_EQ(columna(1).first(), QStringLiteral("Otro"));
    // The order flips on every click, whichever column.
    QTest::mouseClick(encabezado->viewport(), Qt::LeftButton, {},
                      QPoint(encabezado->sectionViewportPosition(0) + 5, encabezado->height() / 2));
    EXPECT_EQ(columna(0).first(), QStringLiteral("1"));
}

TEST_F(ListaVentana, shouldReportAStatementThatCannotRunAndStayUsable) {
    test::ScopedEnvFolder temporal("TEMP");
    data::sharedDb().gLogErr = temporal.filePath(QStringLiteral("datos.log"));
    operador.answerMessage(ui::reply::Abort); // the data layer's dialog
    operador.answerMessage(ui::reply::Abort); // the window's own
    abrir(QStringLiteral("SELECT Codigo FROM NO_EXISTE"));
    ASSERT_EQ(operador.dialogs().size(), 2u);
    EXPECT_TRUE(operador.dialogs()[1].title.contains(QStringLiteral("FORM_LOAD")));
    EXPECT_EQ(test::filasDe(lista()), 0);
    QTest::mouseClick(&boton("CmdCancelar"), Qt::LeftButton);
    EXPECT_FALSE(ventana->isVisible());
}

TEST_F(ListaVentana, shouldReadThroughASecondConnectionWhenAsked) {
    abrir(cuentas, [](MiembrosLista& m) { m.UsarUDBC = true; });
    EXPECT_EQ(test::filasDe(lista()), 9);
    ventana->descargar();
    EXPECT_FALSE(ventana->miembros().UsarUDBC);
    EXPECT_EQ(test::filasDe(lista()), 0);
}

TEST_F(ListaVentana, shouldReturnTheChosenRowsColumnsOnEnter) {
    abrir(cuentas, [](MiembrosLista& m) {
        m.CmpsDevueltos = QStringList{QStringLiteral("Descripcion"), QStringLiteral("codigo")};
    });
    seleccionar(4);
    QTest::keyClick(&lista(), Qt::Key_Return);
    EXPECT_FALSE(ventana->isVisible());
    EXPECT_EQ(ventana->miembros().Valores, (QStringList{"abono", "2"}));
    EXPECT_EQ(ventana->miembros().ValorDevuelto, Variant(QStringLiteral("2")));

    abrir(cuentas, [](MiembrosLista& m) { m.CampoDevuelto = QStringLiteral("Descripcion"); });
    seleccionar(0);
    QTest::mouseClick(&boton("CmdAceptar"), Qt::LeftButton);
    EXPECT_EQ(ventana->miembros().ValorDevuelto, Variant(QStringLiteral("Caja")));
}

TEST_F(ListaVentana, shouldKeepTheWidthsOfEachTable) {
    abrir(cuentas, [](MiembrosLista& m) { m.GrabarCfg = true; });
    lista().setColumnWidth(0, 150);
    lista().setColumnWidth(1, 220);
    ventana->descargar();
    EXPECT_EQ(lookup::leerAnchosColumnas(carpeta.path(), QStringLiteral("MA_CUENTAS")),
              (QList<int>{150 * 15, 220 * 15}));

    abrir(cuentas);
    EXPECT_EQ(lista().columnWidth(0), 150);
    EXPECT_EQ(lista().columnWidth(1), 220);
    EXPECT_EQ(caja(1).x(), 150);
}

class ListaConControlador : public ListaVentana {
protected:
    void SetUp() override {
        ListaVentana::SetUp();
        instalarVentanasConsulta();
    }
    void TearDown() override {
        fabricaVentanaLista() = nullptr;
        fabricaVentanaArbol() = nullptr;
    }
    Lib_ClsCons3 controlador;
};

TEST_F(ListaConControlador, shouldReturnNothingWhenCancelledAfterCheckingRows) {
    controlador.Checks = true;
    controlador.CampoDevuelto = QStringLiteral("Codigo");
    std::optional<QStringList> cmps = QStringList{QStringLiteral("Codigo")};
    QString clave, campo, where, opcional;
    QString defecto = QStringLiteral("1,2,3");
    test::mientrasSeMuestra<Lib_FrmCons3>([](Lib_FrmCons3& v) {
        QTreeView& lista = test::listaDe(v);
        // The controller cleared the default checks before showing.
        EXPECT_EQ(test::marcaDe(lista, 0), Qt::Unchecked);
        test::pulsarFila(lista, 1);
        QTest::keyClick(&lista, Qt::Key_Space);
        EXPECT_EQ(test::marcaDe(lista, 1), Qt::Checked);
        QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("CmdCancelar")), Qt::LeftButton);
    });
    controlador.ConsultaSearch(QStringLiteral("MA_CUENTAS"), cmps, clave, campo, where, opcional,
                               false, defecto);
    EXPECT_TRUE(controlador.ValorDevuelto.isEmpty());
    EXPECT_FALSE(controlador.Valores.has_value());
    EXPECT_FALSE(cmps.has_value());
    EXPECT_FALSE(controlador.Checks);
}

TEST_F(ListaConControlador, shouldOfferOptionsWithMarksAndReturnTheCheckedOnes) {
    test::mientrasSeMuestra<Lib_FrmCons3>([](Lib_FrmCons3& v) {
        EXPECT_EQ(v.windowTitle(), QStringLiteral("Colores"));
        EXPECT_TRUE(v.findChild<QPushButton*>(QStringLiteral("CmdNueva"))->isHidden());
        QTreeView& lista = test::listaDe(v);
        EXPECT_EQ(test::encabezadoDe(lista, 0), QStringLiteral("Colores"));
        EXPECT_EQ(test::marcaDe(lista, 0), Qt::Checked);
        EXPECT_EQ(test::marcaDe(lista, 1), Qt::Unchecked);
        QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("CmdTodos")), Qt::LeftButton);
        QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("CmdAceptar")), Qt::LeftButton);
    });
    controlador.CheckOpciones(
        QStringLiteral("Colores"), std::nullopt,
        {QStringLiteral("1Rojo"), QStringLiteral("0Verde"), QStringLiteral("xAzul")});
    EXPECT_EQ(controlador.Valores, (QStringList{"Verde", "Azul"}));

    test::mientrasSeMuestra<Lib_FrmCons3>([](Lib_FrmCons3& v) {
        QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("CmdCancelar")), Qt::LeftButton);
    });
    EXPECT_TRUE(
        controlador.MenuOpciones(QStringLiteral("Elija"), {QStringLiteral("Una")}).isEmpty());

    test::mientrasSeMuestra<Lib_FrmCons3>([](Lib_FrmCons3& v) {
        QTreeView& lista = test::listaDe(v);
        ASSERT_EQ(test::filasDe(lista), 1); // a single option is shown
        test::pulsarFila(lista, 0);
        QTest::keyClick(&lista, Qt::Key_Return);
    });
    EXPECT_EQ(controlador.MenuOpciones(QStringLiteral("Elija"), {QStringLiteral("Una")}),
              QStringLiteral("Una"));
}

} // namespace
} // namespace estaciones::lookup::widgets
