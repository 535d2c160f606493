// The tree lookup window on the embedded engine: nesting of family codes and
// of general codes, check marks carried down, searches and the values
// returned for each kind of code.
#include "ConsultasDb.h"
#include "VentanaListaPrueba.h"

#include "lookup/Lib_ClsCons3.h"
#include "lookup/widgets/InstalarVentanasConsulta.h"
#include "lookup/widgets/Lib_FrmCons3Tree.h"
#include "support/ScriptedOperator.h"

#include <QTreeWidget>

namespace estaciones::lookup::widgets {
namespace {

class ArbolVentana : public ::testing::Test {
protected:
    void SetUp() override {
        db.ejecutar(QStringLiteral(
            "INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('01', 'Herramientas'), "
            "('0101', 'Manuales'), ('0102', 'Eléctricas'), ('02', 'Tornillería'), "
            "('0201', 'Tornillos')"));
        db.ejecutar(
            QStringLiteral("INSERT INTO TA_CCOSTO (Codigo, Descripcion) VALUES "
                           "('1', 'Casa central'), ('10', 'Caja chica'), ('2', 'Sucursal')"));
        db.ejecutar(
            QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('3', 'Bancos')"));
        db.ejecutar(QStringLiteral(
            "INSERT INTO MA_POSICIONES (IdPosicion, Descripcion) VALUES ('10', 'Estante')"));
    }

    Lib_FrmCons3Tree& abrir(const QString& sql, const QString& campoDevuelto = {},
                            bool checkBoxes = false) {
        ventana = std::make_unique<Lib_FrmCons3Tree>();
        ventana->miembros().SQL = sql;
        ventana->miembros().CampoDevuelto = campoDevuelto;
        ventana->miembros().CheckBoxes = checkBoxes;
        ventana->Form_Load();
        ventana->show();
        return *ventana;
    }

    QTreeWidget& arbol() const {
        return *ventana->findChild<QTreeWidget*>(QStringLiteral("TreeV"));
    }
    QComboBox& caja() const {
        return *ui::arrayElement<QComboBox>(*ventana, QStringLiteral("CmbSearch"), 0);
    }
    QString padreDe(const QString& codigo) const {
        QTreeWidgetItem* padre = ventana->nodo(QStringLiteral("A") + codigo)->parent();
        return padre->text(0);
    }
    void elegir(const QString& codigo) const {
        arbol().setCurrentItem(ventana->nodo(QStringLiteral("A") + codigo));
    }
    void aceptar() const {
        QTest::mouseClick(ventana->findChild<QPushButton*>(QStringLiteral("CmdAceptar")),
                          Qt::LeftButton);
    }

    test::ConsultasDb db;
    test::ScriptedOperator operador;
    std::unique_ptr<Lib_FrmCons3Tree> ventana;
    const QString familias = QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS");
    const QString centros =
        QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO ORDER BY Codigo");
};

TEST_F(ArbolVentana, shouldNestFamiliesUnderTheirNearestShorterCode) {
    abrir(familias);
    EXPECT_EQ(ventana->windowTitle(), QStringLiteral("Consulta..."));
    QTreeWidgetItem* raiz = ventana->nodo(QStringLiteral("A"));
    ASSERT_NE(raiz, nullptr);
    EXPECT_EQ(raiz->text(0), QStringLiteral("Consulta..."));
    EXPECT_TRUE(raiz->isExpanded());
    ASSERT_EQ(raiz->childCount(), 2);
    EXPECT_EQ(raiz->child(0)->text(0), QStringLiteral("01 - Herramientas"));
    EXPECT_EQ(raiz->child(1)->text(0), QStringLiteral("02 - Tornillería"));
    EXPECT_EQ(padreDe(QStringLiteral("0101")), QStringLiteral("01 - Herramientas"));
    EXPECT_EQ(padreDe(QStringLiteral("0102")), QStringLiteral("01 - Herramientas"));
    EXPECT_EQ(padreDe(QStringLiteral("0201")), QStringLiteral("02 - Tornillería"));
    // The family tree always reads its own statement.
    EXPECT_TRUE(ventana->miembros().SQL.contains(QStringLiteral("[relative]")));
}

TEST_F(ArbolVentana, shouldNestGeneralCodesByTheLongestPrefix) {
    abrir(centros);
    EXPECT_EQ(padreDe(QStringLiteral("1")), QStringLiteral("Consulta..."));
    EXPECT_EQ(padreDe(QStringLiteral("10")), QStringLiteral("1 - Casa central"));
    EXPECT_EQ(padreDe(QStringLiteral("2")), QStringLiteral("Consulta..."));
}

TEST_F(ArbolVentana, shouldReportARepeatedCodeAndFollowTheAnswer) {
    test::ScopedEnvFolder temporal("TEMP"); // the error log goes there
    const QString repetidos = QStringLiteral(
        "SELECT Codigo, Descripcion FROM TA_CCOSTO UNION ALL SELECT '10', 'Otra vez'");
    operador.answerMessage(ui::reply::Ignore);
    abrir(repetidos);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_TRUE(operador.dialogs()[0].title.contains(QStringLiteral("ArmarTreeVAutomatico")));
    EXPECT_EQ(ventana->nodo(QStringLiteral("A10"))->text(0), QStringLiteral("10 - Caja chica"));
    EXPECT_NE(ventana->nodo(QStringLiteral("A2")), nullptr);
}

TEST_F(ArbolVentana, shouldCarryACheckMarkSixLevelsDown) {
    db.ejecutar(QStringLiteral("DELETE FROM TA_CCOSTO"));
    QString codigo;
    for (int nivel = 1; nivel <= 8; ++nivel) {
        codigo += u'7';
        db.ejecutar(QStringLiteral("INSERT INTO TA_CCOSTO (Codigo, Descripcion) VALUES ('%1', "
                                   "'Nivel %2')")
                        .arg(codigo)
                        .arg(nivel));
    }
    abrir(centros, QStringLiteral("CODIGO"), true);
    elegir(QStringLiteral("7"));
    QTest::keyClick(&arbol(), Qt::Key_Space);
    const auto marcado = [&](const QString& c) {
        return ventana->nodo(QStringLiteral("A") + c)->checkState(0) == Qt::Checked;
    };
    EXPECT_TRUE(marcado(QStringLiteral("7")));
    EXPECT_TRUE(marcado(QStringLiteral("77")));
    EXPECT_TRUE(marcado(QStringLiteral("7777777")));   // six levels below
    EXPECT_FALSE(marcado(QStringLiteral("77777777"))); // seven levels below keeps its state

    // Unchecking a node in the middle carries down from there.
    elegir(QStringLiteral("777"));
    QTest::keyClick(&arbol(), Qt::Key_Space);
    EXPECT_TRUE(marcado(QStringLiteral("77")));
    EXPECT_FALSE(marcado(QStringLiteral("7777")));

    aceptar();
    EXPECT_EQ(ventana->miembros().Valores, (QStringList{"7", "77"}));
}

TEST_F(ArbolVentana, shouldFindNodesByCodeOrDescriptionWhileTyping) {
    abrir(familias);
    QTest::keyClicks(&caja(), QStringLiteral("tor"));
    EXPECT_EQ(arbol().currentItem()->text(0), QStringLiteral("02 - Tornillería"));
    caja().clearEditText();
    QTest::keyClicks(&caja(), QStringLiteral("0102"));
    EXPECT_EQ(arbol().currentItem()->text(0), QStringLiteral("0102 - Eléctricas"));
}

TEST_F(ArbolVentana, shouldSearchDescriptionsOnTheServerWithF5) {
    abrir(QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO"));
    QTest::keyClicks(&caja(), QStringLiteral("CA"));
    QTest::keyClick(&caja(), Qt::Key_F5);
    EXPECT_EQ(ventana->miembros().SQL,
              QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO where Descripcion like "
                             "'%CA%' "));
    EXPECT_NE(ventana->nodo(QStringLiteral("A1")), nullptr);
    EXPECT_NE(ventana->nodo(QStringLiteral("A10")), nullptr);
    EXPECT_EQ(ventana->nodo(QStringLiteral("A2")), nullptr);
    EXPECT_TRUE(caja().currentText().isEmpty());

    QTest::keyClicks(&caja(), QStringLiteral("chi"));
    QTest::keyClick(&caja(), Qt::Key_F5);
    EXPECT_EQ(ventana->nodo(QStringLiteral("A1")), nullptr);
    EXPECT_NE(ventana->nodo(QStringLiteral("A10")), nullptr);
}

TEST_F(ArbolVentana, shouldReturnTheValueOfTheChosenCode) {
    abrir(familias, QStringLiteral("IDFAMILIA"));
    elegir(QStringLiteral("0101"));
    aceptar();
    EXPECT_FALSE(ventana->isVisible());
    EXPECT_EQ(ventana->miembros().ValorDevuelto.toString(), QStringLiteral("0101"));

    // Codes are looked up among cost centres first, then among accounts.
    db.ejecutar(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('1', 'x')"));
    abrir(QStringLiteral("SELECT Codigo, Descripcion FROM MA_CUENTAS"), QStringLiteral("CODIGO"));
    elegir(QStringLiteral("3"));
    aceptar();
    EXPECT_EQ(ventana->miembros().ValorDevuelto.toString(), QStringLiteral("3"));

    // A position code that is not there returns nothing.
    abrir(centros, QStringLiteral("IDPOSICION"));
    elegir(QStringLiteral("2"));
    aceptar();
    EXPECT_TRUE(ventana->miembros().ValorDevuelto.isEmpty() ||
                ventana->miembros().ValorDevuelto.toString().isEmpty());
    abrir(centros, QStringLiteral("IDPOSICION"), true);
    elegir(QStringLiteral("10"));
    QTest::keyClick(&arbol(), Qt::Key_Space);
    elegir(QStringLiteral("2"));
    QTest::keyClick(&arbol(), Qt::Key_Space);
    aceptar();
    EXPECT_EQ(ventana->miembros().Valores, QStringList{QStringLiteral("10")});
}

TEST_F(ArbolVentana, shouldReturnCheckedFamiliesThroughTheController) {
    instalarVentanasConsulta();
    Lib_ClsCons3 controlador;
    controlador.Checks = true;
    controlador.CampoDevuelto = QStringLiteral("IDFAMILIA");
    std::optional<QStringList> cmps = QStringList{};
    QString clave, campo, where, opcional, defecto;
    test::mientrasSeMuestra<Lib_FrmCons3Tree>([](Lib_FrmCons3Tree& v) {
        auto* arbol = v.findChild<QTreeWidget*>(QStringLiteral("TreeV"));
        arbol->setCurrentItem(v.nodo(QStringLiteral("A01")));
        QTest::keyClick(arbol, Qt::Key_Space);
        QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("CmdAceptar")), Qt::LeftButton);
    });
    controlador.ConsultaSearch(familias, cmps, clave, campo, where, opcional, true, defecto);
    EXPECT_EQ(controlador.Valores, (QStringList{"01", "0101", "0102"}));

    test::mientrasSeMuestra<Lib_FrmCons3Tree>([](Lib_FrmCons3Tree& v) {
        QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("CmdCancelar")), Qt::LeftButton);
    });
    controlador.ConsultaSearch(familias, cmps, clave, campo, where, opcional, true, defecto);
    EXPECT_TRUE(controlador.ValorDevuelto.isEmpty());
    EXPECT_FALSE(controlador.Valores.has_value());
    fabricaVentanaLista() = nullptr;
    fabricaVentanaArbol() = nullptr;
}

} // namespace
} // namespace estaciones::lookup::widgets
