#include "session/routines/LimitarFilas.h"
#include "data/SharedDb.h"

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::session;

namespace {

const QString consultaAcceso = QStringLiteral("Select TOP 1 * from Control_Acceso  with(nolock) ");

class Limite : public ::testing::Test {
protected:
    void SetUp() override {
        data::sharedDb().gConnString = QStringLiteral(
            "Provider=OraOLEDB.Oracle.1;Data Source=EMPRESA;User Id=ADMIN;Password=x;");
    }
    void TearDown() override { data::releaseSharedDb(); }
};

TEST_F(Limite, onSqlServerEveryTextIsUnchanged) {
    data::sharedDb().gConnString =
        QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =EMPRESA;UId=ADMIN;Pwd=;");
    EXPECT_EQ(LimitarFilas(consultaAcceso), consultaAcceso);
    EXPECT_EQ(LimitarFilas("LEN"), "LEN");
}

TEST_F(Limite, theAccessLogQueryLosesTopAndGetsRownumWithTheCountsBlanks) {
    EXPECT_EQ(LimitarFilas(consultaAcceso),
              "Select  *  from Control_Acceso  with(nolock)  WHERE ROWNUM <=  1 ");
    EXPECT_EQ(LimitarFilas("select top 25 * from MA_ARTICULOS"),
              "select  *  from MA_ARTICULOS WHERE ROWNUM <=  25 ");
}

TEST_F(Limite, aSingleWordOnlyRenamesLen) {
    EXPECT_EQ(LimitarFilas("len"), "LENGTH");
    EXPECT_EQ(LimitarFilas(" Len "), "LENGTH");
    EXPECT_EQ(LimitarFilas("SUBSTRING"), "SUBSTRING");
}

TEST_F(Limite, textsWithoutATopWordOrItsAsteriskAreUnchanged) {
    for (const char* texto : {"select * from T", "select * from LAPTOP where x = 1",
                              "select top 5 Codigo from T", "SELECT DESKTOP FROM T"}) {
        EXPECT_EQ(LimitarFilas(texto), texto);
    }
}

TEST_F(Limite, anExistingConditionIsJoinedWithAndAndOrderingStaysLast) {
    // The whole condition in parentheses: an OR in it must not escape the limit.
    EXPECT_EQ(LimitarFilas("SELECT TOP 10 * FROM T WHERE A = 1 OR B = 2"),
              "SELECT  *  FROM T WHERE (A = 1 OR B = 2) AND ROWNUM <=  10 ");
    EXPECT_EQ(LimitarFilas("SELECT TOP 10 * FROM T where A = 1 ORDER BY B"),
              "SELECT  *  FROM T where (A = 1) AND ROWNUM <=  10  ORDER BY B");
    EXPECT_EQ(LimitarFilas("SELECT TOP 3 * FROM T ORDER BY B"),
              "SELECT  *  FROM T  WHERE ROWNUM <=  3  ORDER BY B");
}

} // namespace
