#include "session/routines/ArmarSentencia.h"

#include <gtest/gtest.h>

using namespace estaciones::session;

namespace {

class Sentencias : public ::testing::Test {
protected:
    void SetUp() override {
        gCampos.clear();
        gSentencias.clear();
    }
    // The two-field example: columns A and B with the quoted values x and y.
    void dosCampos() {
        QString x = QStringLiteral("x");
        QString y = QStringLiteral("y");
        AgregarCampo(QStringLiteral("A"), x, QStringLiteral("'"), true);
        AgregarCampo(QStringLiteral("B"), y, QStringLiteral("'"), false);
    }
};

TEST_F(Sentencias, insertOfTwoFieldsIsQueuedWithAnEmptyEntryAndTheListStartsOver) {
    gCampos.push_back({QStringLiteral("VIEJO"), QStringLiteral("1")}); // a previous batch
    dosCampos();
    QString condicion;
    ArmarSentencia(gCampos, gSentencias, QStringLiteral("T"), false, condicion, false);
    EXPECT_EQ(gSentencias, (QStringList{"INSERT INTO T (A,B) VALUES ('x','y')", ""}));
    ASSERT_EQ(gCampos.size(), 1u);
    EXPECT_TRUE(gCampos[0].Campo.isEmpty());
    EXPECT_TRUE(condicion.isEmpty()) << "an INSERT leaves the condition alone";
}

TEST_F(Sentencias, updateGetsWhereInFrontOfTheConditionAndTwoBlanksBeforeIt) {
    dosCampos();
    QString condicion = QStringLiteral("ID = 5");
    ArmarSentencia(gCampos, gSentencias, QStringLiteral("T"), true, condicion, true);
    EXPECT_EQ(gSentencias.value(0), "UPDATE T SET A = 'x',B = 'y'  WHERE ID = 5");
    EXPECT_EQ(condicion, " WHERE ID = 5") << "the caller's condition changes too";
    EXPECT_EQ(gCampos.size(), 2u) << "kept for the next statement";

    // A condition that has the word already (any case) is used as it is; a
    // column whose name merely contains it is not the word.
    QString conWhere = QStringLiteral("where ID = 6");
    ArmarSentencia(gCampos, gSentencias, QStringLiteral("T"), true, conWhere, true);
    EXPECT_EQ(gSentencias.value(2), "UPDATE T SET A = 'x',B = 'y' where ID = 6");
    QString columna = QStringLiteral("NOWHERE = 1");
    ArmarSentencia(gCampos, gSentencias, QStringLiteral("T"), true, columna, false);
    EXPECT_EQ(gSentencias.value(4), "UPDATE T SET A = 'x',B = 'y'  WHERE NOWHERE = 1");
    EXPECT_EQ(gSentencias.size(), 6);
}

TEST_F(Sentencias, nullInAnyCaseIsWrittenAsNullAndApostrophesAreRemoved) {
    QString nulo = QStringLiteral("nUlL");
    QString nombre = QStringLiteral("O'Higgins 'Sur'");
    QString numero = QStringLiteral("12,5");
    QString crudo = QStringLiteral("GETDATE()");
    AgregarCampo(QStringLiteral("Baja"), nulo, QStringLiteral("'"), true);
    AgregarCampo(QStringLiteral("Calle"), nombre, QStringLiteral("'"), false);
    AgregarCampo(QStringLiteral("Importe"), numero, QStringLiteral("@"), false);
    AgregarCampo(QStringLiteral("Fecha"), crudo, QString(), false);
    EXPECT_EQ(nombre, "OHiggins Sur") << "the caller's variable loses them too";
    QString condicion;
    ArmarSentencia(gCampos, gSentencias, QStringLiteral("MA_CLIENTES"), false, condicion, false);
    EXPECT_EQ(gSentencias.value(0), "INSERT INTO MA_CLIENTES (Baja,Calle,Importe,Fecha) VALUES "
                                    "(Null,'OHiggins Sur',12.5,GETDATE())");
}

} // namespace
