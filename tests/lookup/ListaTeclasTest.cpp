// The list window's keyboard and its new-record button: quantities, typing
// into the search boxes from the list, the shortage record of F12.
#include "VentanaListaPrueba.h"

#include "lookup/NuevoRegistro.h"
#include "support/ScriptedOperator.h"

namespace estaciones::lookup::widgets {
namespace {

class ListaTeclas : public ::testing::Test, protected test::VentanaListaPrueba {
protected:
    void SetUp() override {
        db.ejecutar(QStringLiteral(
            "INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, PuntoPedido) VALUES "
            "('                       10', 'Caño 1/2''''', 0), "
            "('                        7', 'Codo', 0), ('                        9', 'Tee', 0)"));
    }

    void abrirConCantidades() {
        abrir(QStringLiteral("SELECT IdArticulo, Descripcion, '1.0' AS [**Cantidad**] FROM "
                             "VT_MA_ARTICULOS ORDER BY Descripcion"),
              [](MiembrosLista& m) {
                  m.CheckBoxes = true;
                  m.UsaCantidades = true;
                  m.CampoDevuelto = QStringLiteral("IdArticulo");
              });
    }

    QString cantidad(int fila) const { return test::textoDe(lista(), fila, 2); }
    Qt::CheckState marca(int fila) const { return test::marcaDe(lista(), fila); }

    test::ConsultasDb db;
    test::ScriptedOperator operador;
};

TEST_F(ListaTeclas, shouldChangeQuantitiesWithInsertAndDelete) {
    abrirConCantidades();
    seleccionar(1);
    QTest::keyClick(&lista(), Qt::Key_Insert);
    EXPECT_EQ(cantidad(1), QStringLiteral("2.0"));
    EXPECT_EQ(marca(1), Qt::Checked);

    seleccionar(0);
    QTest::keyClick(&lista(), Qt::Key_Insert);
    QTest::keyClick(&lista(), Qt::Key_Delete);
    EXPECT_EQ(cantidad(0), QStringLiteral("1.0"));
    EXPECT_EQ(marca(0), Qt::Checked);
    QTest::keyClick(&lista(), Qt::Key_Delete);
    EXPECT_EQ(cantidad(0), QStringLiteral("0.00"));
    EXPECT_EQ(marca(0), Qt::Unchecked);
}

TEST_F(ListaTeclas, shouldAskTheQuantityWithShiftInsertAndReturnItWithTheValue) {
    abrirConCantidades();
    seleccionar(2);
    operador.answerInput(QStringLiteral("3,5"));
    QTest::keyClick(&lista(), Qt::Key_Insert, Qt::ShiftModifier);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, QStringLiteral("Ingrese la Cantidad del Articulo..."));
    EXPECT_EQ(operador.dialogs()[0].title, QStringLiteral("Carga de Datos"));
    EXPECT_EQ(operador.dialogs()[0].detail, QStringLiteral("1.0"));
    EXPECT_EQ(cantidad(2), QStringLiteral("3.50"));
    EXPECT_EQ(marca(2), Qt::Checked);

    seleccionar(1);
    operador.answerInput(QStringLiteral("0"));
    QTest::keyClick(&lista(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(cantidad(1), QStringLiteral("0.00"));

    // A cancelled question changes nothing.
    seleccionar(0);
    operador.answerInput(std::nullopt);
    QTest::keyClick(&lista(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(cantidad(0), QStringLiteral("1.0"));
    EXPECT_EQ(marca(0), Qt::Unchecked);

    QTest::mouseClick(&boton("CmdAceptar"), Qt::LeftButton);
    // Checked rows in list order (Caño, Codo, Tee): the quantities follow the values.
    EXPECT_EQ(ventana->miembros().Valores, (QStringList{"7", "9"}));
    EXPECT_EQ(ventana->miembros().Cantidades, (QList<double>{0.0, 3.5}));
}

TEST_F(ListaTeclas, shouldTypeIntoTheCurrentSearchBoxFromTheList) {
    abrir(QStringLiteral("SELECT Descripcion, IdArticulo FROM VT_MA_ARTICULOS ORDER BY "
                         "Descripcion"));
    seleccionar(0);
    QTest::keyClick(&lista(), Qt::Key_T);
    EXPECT_EQ(caja(0).currentText(), QStringLiteral("T"));
    EXPECT_EQ(actual(), QStringLiteral("Tee"));
    QTest::keyClick(&lista(), Qt::Key_Backspace);
    EXPECT_TRUE(caja(0).currentText().isEmpty());
    // Down in a search box moves on in the list.
    seleccionar(0);
    QTest::keyClick(&caja(0), Qt::Key_Down);
    EXPECT_EQ(actual(), QStringLiteral("Codo"));
}

TEST_F(ListaTeclas, shouldRecordAShortageWithF12KeepingApostrophes) {
    abrir(QStringLiteral("SELECT IdArticulo, Descripcion FROM VT_MA_ARTICULOS ORDER BY "
                         "Descripcion"));
    seleccionar(0);
    operador.answerMessage(ui::reply::No);
    QTest::keyClick(&lista(), Qt::Key_F12);
    EXPECT_EQ(db.filas(QStringLiteral("SELECT * FROM V_MV_FALTANTES")), 0);

    operador.answerMessage(ui::reply::Yes);
    QTest::keyClick(&caja(1), Qt::Key_F12);
    ASSERT_EQ(operador.dialogs().size(), 2u);
    EXPECT_EQ(
        operador.dialogs()[1].text,
        QStringLiteral("Desea informar el articulo 10 Caño 1/2''\ncomo un faltante de stock?"));
    EXPECT_EQ(operador.dialogs()[1].title, QStringLiteral("Atención!"));
    EXPECT_EQ(operador.dialogs()[1].flags, ui::style::YesNo | ui::style::Question);
    EXPECT_EQ(db.valor(QStringLiteral("SELECT Descripcion FROM V_MV_FALTANTES")),
              Variant(QStringLiteral("Caño 1/2''")));
    EXPECT_EQ(db.valor(QStringLiteral("SELECT IdArticulo FROM V_MV_FALTANTES")),
              Variant(QStringLiteral("                       10")));
    EXPECT_EQ(db.valor(QStringLiteral("SELECT Usuario FROM V_MV_FALTANTES")),
              Variant(QStringLiteral("ADMIN")));
    const Variant fecha = *db.valor(QStringLiteral("SELECT FechaHora FROM V_MV_FALTANTES"));
    EXPECT_EQ(fecha.toDate().date, QDate::currentDate());
}

TEST_F(ListaTeclas, shouldStartTheMaintenanceProgramOrTheQuickRegistration) {
    QStringList lanzados;
    const LanzadorPrograma anterior = lanzadorProgramas();
    lanzadorProgramas() = [&](const QString& programa, const QString& parametro) {
        lanzados << programa + u'|' + parametro;
    };
    abrir(QStringLiteral("SELECT Codigo, Razon_Social FROM VT_CLIENTES"));
    QTest::mouseClick(&boton("CmdNuevo"), Qt::LeftButton);
    EXPECT_EQ(lanzados,
              QStringList{QStringLiteral("SHELL:") + programasMantenimiento().clientesProveedores +
                          QStringLiteral("|1")});
    EXPECT_TRUE(ventana->isVisible());

    // Articles with the automatic registration: the new code is returned.
    db.configurar(QStringLiteral("ArticulosPermitealtaAutomatica"), QStringLiteral("SI"));
    QString propuesto;
    altaRapidaArticulo() = [&](QWidget* padre, const QString& codigo) -> std::optional<QString> {
        EXPECT_EQ(padre, ventana.get());
        propuesto = codigo;
        return QStringLiteral("                       11");
    };
    abrir(QStringLiteral("SELECT IdArticulo, Descripcion FROM VT_MA_ARTICULOS"));
    QTest::mouseClick(&boton("CmdNuevo"), Qt::LeftButton);
    EXPECT_EQ(propuesto, QStringLiteral("11"));
    EXPECT_EQ(ventana->miembros().ValorDevuelto,
              Variant(QStringLiteral("                       11")));
    EXPECT_FALSE(ventana->isVisible());

    // Without the hook the article maintenance program starts.
    altaRapidaArticulo() = nullptr;
    abrir(QStringLiteral("SELECT IdArticulo, Descripcion FROM VT_MA_ARTICULOS"));
    QTest::mouseClick(&boton("CmdNuevo"), Qt::LeftButton);
    EXPECT_EQ(lanzados.last(),
              QStringLiteral("SHELL:") + programasMantenimiento().articulos + u'|');
    lanzadorProgramas() = anterior;
}

} // namespace
} // namespace estaciones::lookup::widgets
