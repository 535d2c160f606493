#include "data/DB_Dll.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace estaciones;
using namespace estaciones::data;

namespace {

// Pieces that steer the rewriters into their corners: unbalanced quotes and
// brackets, nested dates, names glued to separators, keywords inside words.
constexpr std::array kPiezas = {
    "SELECT",
    "TOP ",
    "top",
    "10",
    " WHERE ",
    "WHERE ",
    " GROUP BY ",
    "ORDER BY ",
    "'",
    "''",
    "\"",
    "[",
    "]",
    "(",
    ")",
    "=",
    "= ''",
    "=''",
    "<",
    ">",
    " ",
    "  ",
    ",",
    ".",
    "{",
    "FECHA",
    "FECHA DESDE",
    "'01/02/2026'",
    "'31/02/2026'",
    "'5/3/26'",
    "TO_DATE(TO_DATE(",
    "'DD/MM/YYYY'),'DD/MM/YYYY')",
    "TO_CHAR(",
    "103",
    "1103",
    "CONVERT(NVARCHAR,",
    "CONVERT(INT,",
    "Charindex",
    " LEN (",
    "LEN",
    "ISNULL(",
    "SUBSTRING(",
    "MA_CUENTAS",
    "MV_ASIENTOS",
    "@Admin_",
    "@ADMIN_MA_CUENTAS",
    "V_TA_DEPOSITO",
    "AC_CUENTASDIARIO",
    "_CCOSTO",
    "\r\n",
    "\t",
    "ñ",
    "x",
    "1",
};

QString textoAleatorio(std::mt19937& azar) {
    std::uniform_int_distribution<int> largo(0, 40);
    std::uniform_int_distribution<std::size_t> pieza(0, kPiezas.size() - 1);
    QString texto;
    for (int i = largo(azar); i > 0; --i) {
        texto += QString::fromUtf8(kPiezas[pieza(azar)]);
    }
    return texto;
}

TEST(ReescriturasAleatorias, neverCrashOrLoopOnArbitraryText) {
    std::mt19937 azar(20261208);
    DB_Dll oracle;
    oracle.gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=XE;");
    DB_Dll usuario;
    usuario.gEsAdmin = false;
    usuario.setProgramaEnCurso(QStringLiteral("Estaciones"));
    usuario.setProgramasExentos({});
    usuario.setLectorConfiguracion([](const QString&) { return QStringLiteral("SI"); });

    QElapsedTimer reloj;
    reloj.start();
    for (int vuelta = 0; vuelta < 4000; ++vuelta) {
        const QString entrada = textoAleatorio(azar);
        const QString traducida = oracle.ORACLE_Dicc(entrada);
        // Each step adds a bounded amount per character: growth beyond that
        // would mean a step feeding on its own output.
        ASSERT_LE(traducida.size(), 20 * entrada.size() + 64) << entrada.toStdString();
        (void)oracle.ORACLE_Dicc(traducida);

        const QString restringida = usuario.SS_TSinonimos(entrada);
        ASSERT_LE(restringida.size(), 2 * entrada.size() + 8) << entrada.toStdString();
        if (!entrada.contains(QLatin1Char('@'))) {
            // Without the prefix, a rewritten text has nothing left to rewrite.
            ASSERT_EQ(usuario.SS_TSinonimos(restringida), restringida) << entrada.toStdString();
        }
    }
    // Generous: a loop would never finish; a quadratic step would show here.
    EXPECT_LT(reloj.elapsed(), 60000);
}

} // namespace
