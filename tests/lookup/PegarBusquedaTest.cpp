// Hostile texts pasted into the lookup windows' search boxes with the paste
// keys, then searched on the server with F5: the box keeps no more than its
// column holds, the text reaches the database as data (also when an earlier
// search left clause words inside a literal), and the rows stay as they were.
#include "VentanaListaPrueba.h"

#include "lookup/widgets/Lib_FrmCons3Tree.h"
#include "support/ScriptedOperator.h"
#include "support/TextoPegado.h"

#include <QLineEdit>
#include <QTreeWidget>

namespace estaciones::lookup::widgets {
namespace {

class PegarBusqueda : public ::testing::Test, protected test::VentanaListaPrueba {
protected:
    void SetUp() override {
        db.ejecutar(QStringLiteral(
            "INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('1', 'Caja'), ('2', 'Banco'), "
            "('5', 'O''Higgins'), ('8', 'Por order by fecha'), ('9', 'Con where y group by')"));
        db.ejecutar(QStringLiteral("INSERT INTO TA_CCOSTO (Codigo, Descripcion) VALUES "
                                   "('1', 'Casa central'), ('10', 'Ventas order by zona')"));
    }

    int cuentas() { return db.filas(QStringLiteral("SELECT * FROM MA_CUENTAS")); }

    // A server search of what the box holds; an error dialog would fail the test.
    void buscarEnServidor(QComboBox& campo) { QTest::keyClick(&campo, Qt::Key_F5); }

    test::ConsultasDb db;
    test::ScriptedOperator operador;
    const QString cuentasPorCodigo =
        QStringLiteral("SELECT TOP 1000 Codigo, Descripcion FROM MA_CUENTAS ORDER BY Codigo");
};

TEST_F(PegarBusqueda, shouldKeepWhatTheColumnHoldsAndSearchItAsData) {
    struct Caja {
        int indice;
        int largo; // MA_CUENTAS: Codigo varchar(20), Descripcion varchar(100)
    };
    for (const Caja c : {Caja{0, 20}, Caja{1, 100}}) {
        for (const test::TextoHostil& hostil : test::textosHostiles()) {
            SCOPED_TRACE(std::string(hostil.nombre) + " en la caja " + std::to_string(c.indice));
            abrir(cuentasPorCodigo);
            QComboBox& campo = caja(c.indice);
            test::pegar(campo, hostil.bytes);
            const QString esperado = test::textoDecodificado(hostil.bytes).left(c.largo);
            EXPECT_EQ(campo.currentText().toStdString(), esperado.toStdString());
            buscarEnServidor(campo);
            EXPECT_EQ(cuentas(), 5);
            EXPECT_EQ(test::filasDe(lista()), 0);
        }
    }
    // A pasted apostrophe finds its row.
    abrir(cuentasPorCodigo);
    test::pegar(caja(1), "O'Hig");
    buscarEnServidor(caja(1));
    EXPECT_EQ(columna(0), QStringList{QStringLiteral("5")});
}

TEST_F(PegarBusqueda, shouldKeepAnEarlierSearchTextInsideItsQuotes) {
    // The first search leaves "order by" and "group by" in a literal; the
    // second must not cut the statement there.
    for (const char* anterior : {"Por order by", "Con where y group by"}) {
        SCOPED_TRACE(anterior);
        abrir(cuentasPorCodigo);
        test::pegar(caja(1), anterior);
        buscarEnServidor(caja(1));
        ASSERT_EQ(test::filasDe(lista()), 1);
        const QString codigo = columna(0).first();
        test::pegar(caja(0), "'; DROP TABLE MA_CUENTAS; --");
        buscarEnServidor(caja(0));
        EXPECT_EQ(cuentas(), 5);
        EXPECT_EQ(test::filasDe(lista()), 0);
        QTest::mouseClick(&boton("CmdNueva"), Qt::LeftButton);
        test::pegar(caja(1), anterior);
        buscarEnServidor(caja(1));
        test::pegar(caja(0), codigo.toUtf8());
        buscarEnServidor(caja(0));
        EXPECT_EQ(columna(0), QStringList{codigo});
    }
}

TEST_F(PegarBusqueda, shouldDoTheSameInTheTreeWindow) {
    std::unique_ptr<Lib_FrmCons3Tree> arbol;
    const auto abrirArbol = [&] {
        arbol = std::make_unique<Lib_FrmCons3Tree>();
        arbol->miembros().SQL = QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO");
        arbol->Form_Load();
        arbol->show();
        return ui::arrayElement<QComboBox>(*arbol, QStringLiteral("CmbSearch"), 0);
    };
    const auto centros = [&] { return db.filas(QStringLiteral("SELECT * FROM TA_CCOSTO")); };
    for (const test::TextoHostil& hostil : test::textosHostiles()) {
        SCOPED_TRACE(hostil.nombre);
        QComboBox* campo = abrirArbol();
        test::pegar(*campo, hostil.bytes);
        // TA_CCOSTO: Descripcion varchar(100), the column searched.
        EXPECT_EQ(campo->currentText().toStdString(),
                  test::textoDecodificado(hostil.bytes).left(100).toStdString());
        QTest::keyClick(campo, Qt::Key_F5);
        EXPECT_EQ(centros(), 2);
        EXPECT_EQ(arbol->findChild<QTreeWidget*>(QStringLiteral("TreeV"))->topLevelItem(0)
                      ->childCount(),
                  0)
            << "only the root is left";
    }
    // A search after one that left "order by" inside its literal.
    QComboBox* campo = abrirArbol();
    test::pegar(*campo, "order by");
    QTest::keyClick(campo, Qt::Key_F5);
    ASSERT_NE(arbol->nodo(QStringLiteral("A10")), nullptr);
    test::pegar(*campo, "zona'; DROP TABLE TA_CCOSTO; --");
    QTest::keyClick(campo, Qt::Key_F5);
    EXPECT_EQ(centros(), 2);
    EXPECT_EQ(arbol->nodo(QStringLiteral("A10")), nullptr);
}

} // namespace
} // namespace estaciones::lookup::widgets
