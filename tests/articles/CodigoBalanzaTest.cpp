#include "articles/CodigoBalanza.h"
#include "articles/CodigoArticulo.h"

#include <gtest/gtest.h>

using namespace estaciones::articulos;

namespace {
// "2", eleven label positions 1..9,0,1 and a check digit.
const QString etiqueta = QStringLiteral("2123456789012");
} // namespace

TEST(CodigoBalanza, shouldReadQuantityFromAPriceLabelWithThreeDecimals) {
    const auto lectura = leerCodigoBalanza(QStringLiteral("2012345012347"), "0CCCCCPPPPP", 3);
    ASSERT_TRUE(lectura);
    EXPECT_EQ(lectura->codigo, "12345");
    EXPECT_DOUBLE_EQ(lectura->cantidad, 1.234);
    EXPECT_FALSE(lectura->importe);
}

TEST(CodigoBalanza, shouldMakeTheQuantityNegativeForAReturnLabel) {
    const auto lectura = leerCodigoBalanza(QStringLiteral("-2012345012347"), "0ccccCPPPPP", 3);
    ASSERT_TRUE(lectura) << "pattern letters ignore case";
    EXPECT_EQ(lectura->codigo, "12345");
    EXPECT_DOUBLE_EQ(lectura->cantidad, -1.234);
}

// Where each layout takes the article part and what it does with the five
// value digits (78901 with two decimals), including the short layouts that
// sit right-aligned in the eleven positions.
TEST(CodigoBalanza, shouldPlaceArticlePartAndValueForEveryLayout) {
    struct Caso {
        const char* patron;
        const char* codigo;
        double cantidad;
        std::optional<double> importe;
    };
    const Caso casos[] = {
        {"CCCC0TTTTTT", "1234", 1, {}},        {"CCCCCTTTTTT", "12345", 1, {}},
        {"CCCCC0PPPPP", "1234", 1, {}},        {"CCCCC0QQQQQ", "12345", 1, {}},
        {"CCCCCCPPPPP", "123456", 789.01, {}}, {"CCCCCTTTTT", "23456", 1, 789.01},
        {"CCCCTTTTT", "3456", 1, 789.01},      {"CCCCCCQQQQQ", "123456", 789.01, {}},
        {"00CCCCPPPPP", "3456", 789.01, {}},   {"00CCCCQQQQQ", "3456", 789.01, {}},
        {"0CCCCCPPPPP", "23456", 789.01, {}},  {"0CCCCCQQQQQ", "23456", 789.01, {}},
    };
    ASSERT_EQ(patronesBalanza().size(), 12);
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.patron);
        const auto lectura = leerCodigoBalanza(etiqueta, caso.patron, 2);
        ASSERT_TRUE(lectura);
        EXPECT_EQ(lectura->codigo, caso.codigo);
        EXPECT_DOUBLE_EQ(lectura->cantidad, caso.cantidad);
        EXPECT_EQ(lectura->importe, caso.importe);
        const auto devolucion = leerCodigoBalanza(u'-' + etiqueta, caso.patron, 2);
        ASSERT_TRUE(devolucion);
        EXPECT_EQ(devolucion->codigo, caso.codigo);
        EXPECT_DOUBLE_EQ(devolucion->cantidad, -caso.cantidad);
    }
}

TEST(CodigoBalanza, shouldUseTheDivisorOnlyForZeroToFourDecimals) {
    EXPECT_DOUBLE_EQ(leerCodigoBalanza(etiqueta, "CCCCCCQQQQQ", 0)->cantidad, 78901);
    EXPECT_DOUBLE_EQ(leerCodigoBalanza(etiqueta, "CCCCCCQQQQQ", 4)->cantidad, 7.8901);
    EXPECT_DOUBLE_EQ(leerCodigoBalanza(etiqueta, "CCCCCCQQQQQ", 5)->cantidad, 78901);
    EXPECT_DOUBLE_EQ(leerCodigoBalanza(etiqueta, "CCCCCCQQQQQ", -1)->cantidad, 78901);
}

TEST(CodigoBalanza, shouldLeaveCodesThatAreNotScaleLabelsAlone) {
    for (const char* codigo : {"212345678901", "21234567890123", "3123456789012", "2123456789O12",
                               "-3123456789012", "--123456789012", "+2123456789012", ""}) {
        EXPECT_FALSE(leerCodigoBalanza(QString::fromLatin1(codigo), "0CCCCCPPPPP", 3)) << codigo;
    }
    EXPECT_FALSE(leerCodigoBalanza(etiqueta, QString(), 3)) << "empty pattern: off";
    EXPECT_FALSE(leerCodigoBalanza(etiqueta, "CCCCCCCCCCC", 3)) << "unknown pattern";
}

TEST(CodigoArticulo, shouldRightAlignNumericCodesOnly) {
    EXPECT_EQ(codigoArticulo(" 12 "), QString(23, u' ') + "12");
    EXPECT_EQ(codigoArticulo(QString(24, u' ') + "1"), QString(24, u' ') + "1");
    EXPECT_EQ(codigoArticulo(" AB-1 "), "AB-1");
    EXPECT_EQ(codigoArticulo("12345678901234567890123456"), "12345678901234567890123456")
        << "never cut into another code";
    EXPECT_TRUE(esNumerico(" -12,5 "));
    EXPECT_TRUE(esNumerico(".5"));
    EXPECT_FALSE(esNumerico("1.2.3"));
    EXPECT_FALSE(esNumerico("12A"));
    EXPECT_FALSE(esNumerico(""));
    EXPECT_FALSE(esNumerico("-"));
}
