// The list window on 20,000 rows, driven with real keys and clicks: every row
// in the statement's order, the incremental search, the header sort in both
// directions (ties keep their previous order) and the check boxes.
#include "VentanaListaPrueba.h"

#include "support/ScriptedOperator.h"

#include <QHeaderView>

#include <algorithm>

namespace estaciones::lookup::widgets {
namespace {

constexpr int Filas = 20000;

struct Cuenta {
    QString codigo;
    QString descripcion;
};

// Codes in scrambled order, descriptions repeating in both letter cases.
std::vector<Cuenta> cuentas() {
    std::vector<Cuenta> todas;
    for (int i = 0; i < Filas; ++i) {
        todas.push_back({QString::number((i * 7919) % Filas),
                         (i % 2 ? QStringLiteral("articulo %1") : QStringLiteral("ARTICULO %1"))
                             .arg(i % 500)});
    }
    return todas;
}

class ListaGrande : public ::testing::Test, protected test::VentanaListaPrueba {
protected:
    void SetUp() override {
        data::sharedDb().gCnn.beginTrans();
        for (int desde = 0; desde < Filas; desde += 1000) {
            QStringList valores;
            for (int i = desde; i < desde + 1000; ++i) {
                valores << QStringLiteral("('%1', '%2')").arg(datos[i].codigo, datos[i].descripcion);
            }
            db.ejecutar(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ") +
                        valores.join(u','));
        }
        data::sharedDb().gCnn.commitTrans();
        // The statement's order: codes are digits, so plain text order.
        porCodigo = datos;
        std::sort(porCodigo.begin(), porCodigo.end(),
                  [](const Cuenta& a, const Cuenta& b) { return a.codigo < b.codigo; });
    }

    void pulsarEncabezado(int columna) {
        QHeaderView* encabezado = lista().header();
        QTest::mouseClick(encabezado->viewport(), Qt::LeftButton, {},
                          QPoint(encabezado->sectionViewportPosition(columna) + 5,
                                 encabezado->height() / 2));
    }

    static QStringList codigos(const std::vector<Cuenta>& filas) {
        QStringList textos;
        for (const Cuenta& c : filas) {
            textos << c.codigo;
        }
        return textos;
    }

    test::ConsultasDb db;
    test::ScriptedOperator operador;
    const std::vector<Cuenta> datos = cuentas();
    std::vector<Cuenta> porCodigo;
    const QString sentencia = QStringLiteral(
        "SELECT TOP 30000 Codigo, Descripcion FROM MA_CUENTAS ORDER BY Codigo");
};

TEST_F(ListaGrande, shouldShowEveryRowInTheStatementsOrderAndFindAsTheOperatorTypes) {
    abrir(sentencia);
    ASSERT_EQ(test::filasDe(lista()), Filas);
    EXPECT_EQ(columna(0), codigos(porCodigo));
    EXPECT_EQ(test::textoDe(lista(), 1, 1), porCodigo[1].descripcion);

    QTest::keyClicks(&caja(0), QStringLiteral("1999"));
    EXPECT_EQ(actual(), QStringLiteral("1999"));
    QTest::keyClicks(&caja(0), QStringLiteral("9"));
    EXPECT_EQ(actual(), QStringLiteral("19999")); // the last of the codes

    // The first row, in the shown order, whose description starts so.
    QTest::keyClicks(&caja(1), QStringLiteral("Articulo 49"));
    const auto primera = std::find_if(porCodigo.begin(), porCodigo.end(), [](const Cuenta& c) {
        return c.descripcion.startsWith(QStringLiteral("articulo 49"), Qt::CaseInsensitive);
    });
    ASSERT_NE(primera, porCodigo.end());
    EXPECT_EQ(actual(), primera->codigo);
    EXPECT_EQ(actual(1), primera->descripcion);
}

TEST_F(ListaGrande, shouldSortByTheClickedColumnIgnoringCaseAndKeepTiesInTheirOrder) {
    abrir(sentencia);
    test::pulsarFila(lista(), 3);
    const QString elegida = actual();

    std::vector<Cuenta> esperadas = porCodigo;
    const auto menor = [](const Cuenta& a, const Cuenta& b) {
        return a.descripcion.compare(b.descripcion, Qt::CaseInsensitive) < 0;
    };
    std::stable_sort(esperadas.begin(), esperadas.end(), menor);
    pulsarEncabezado(1);
    EXPECT_EQ(columna(0), codigos(esperadas));
    EXPECT_EQ(actual(), elegida); // the cursor stays on its row

    std::stable_sort(esperadas.begin(), esperadas.end(),
                     [&](const Cuenta& a, const Cuenta& b) { return menor(b, a); });
    pulsarEncabezado(1);
    EXPECT_EQ(columna(0), codigos(esperadas));
    EXPECT_EQ(columna(1).first(), QStringLiteral("articulo 99"));
}

TEST_F(ListaGrande, shouldCheckEveryRowAndReturnTheCheckedValues) {
    abrir(sentencia, [](MiembrosLista& m) {
        m.CheckBoxes = true;
        m.CampoDevuelto = QStringLiteral("Codigo");
        m.ValoresDefault = QStringLiteral("'19999'");
    });
    // A default list checks every value that occurs in its text.
    const QStringList dentro{"1", "19", "199", "1999", "19999", "9", "99", "999", "9999"};
    EXPECT_EQ(marcadas(), dentro);
    QTest::mouseClick(&boton("CmdTodos"), Qt::LeftButton); // every mark flips
    EXPECT_EQ(marcadas().size(), Filas - dentro.size());
    test::pulsarFila(lista(), 0);
    QTest::keyClick(&lista(), Qt::Key_Space);
    QTest::mouseClick(&boton("CmdAceptar"), Qt::LeftButton);
    ASSERT_TRUE(ventana->miembros().Valores.has_value());
    QStringList esperados = codigos(porCodigo);
    esperados.removeFirst(); // unchecked with the space bar
    for (const QString& codigo : dentro) {
        esperados.removeAll(codigo);
    }
    EXPECT_EQ(*ventana->miembros().Valores, esperados);
}

} // namespace
} // namespace estaciones::lookup::widgets
