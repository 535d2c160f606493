#include "data/DB_Dll.h"

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::data;

namespace {

struct Traduccion {
    const char* caso;
    const char* entrada;
    const char* salida;
};

// Each output worked out by hand from the translation's steps. The blanks
// left by the row limit stay before WHERE; after WHERE the words come back
// with single blanks.
const Traduccion kTraducciones[] = {
    {"top con where y order by",
     "SELECT TOP 10 Codigo, Nombre FROM CLIENTES WHERE Activo = 1 ORDER BY Nombre",
     "SELECT   Codigo, Nombre FROM CLIENTES WHERE Activo = 1 AND ROWNUM <= 10 ORDER BY Nombre"},
    {"top con group by, sin where: el order by queda dentro de la cola agrupada",
     "SELECT TOP 3 Familia, COUNT(*) AS Cantidad FROM ARTICULOS GROUP BY Familia ORDER BY Familia",
     "SELECT   Familia, COUNT(*) AS Cantidad FROM ARTICULOS WHERE ROWNUM <= 3 GROUP BY Familia "
     "ORDER BY Familia"},
    {"top sin where ni colas", "select top 5 * from T", "select   * from T WHERE ROWNUM <= 5"},
    {"columna de fecha seguida de blanco y otra pegada al igual",
     "SELECT * FROM MV_ASIENTOS WHERE FECHA >= '01/03/2026' AND FECHAMOV='02/03/2026'",
     "SELECT * FROM MV_ASIENTOS WHERE TO_DATE(TO_CHAR(FECHA,'DD/MM/YYYY'),'DD/MM/YYYY') >= "
     "TO_DATE('01/03/2026','DD/MM/YYYY') AND FECHAMOV= TO_DATE('02/03/2026','DD/MM/YYYY')"},
    {"columna de fecha entre corchetes con blanco en el nombre",
     "SELECT * FROM T WHERE [FECHA DESDE] <= '1/1/2026'",
     "SELECT * FROM T WHERE TO_DATE(TO_CHAR(\"FECHA DESDE\",'DD/MM/YYYY'),'DD/MM/YYYY') <= "
     "TO_DATE('01/01/2026','DD/MM/YYYY')"},
    {"literal de fecha con año de dos cifras y literales que no son fechas",
     "UPDATE T SET Nota = 'hola', Cuenta = '1.1.01', Vence = '5/3/26', Mal = '31/02/2026' WHERE "
     "Id = 1",
     "UPDATE T SET Nota = 'hola', Cuenta = '1.1.01', Vence = TO_DATE('05/03/2026','DD/MM/YYYY'), "
     "Mal = '31/02/2026' WHERE Id = 1"},
    {"un TO_DATE ya escrito no se anida",
     "INSERT INTO T (F) VALUES (TO_DATE('01/02/2026','DD/MM/YYYY'))",
     "INSERT INTO T (F) VALUES (TO_DATE('01/02/2026','DD/MM/YYYY'))"},
    {"igual a vacío después de WHERE, con y sin blanco; antes de WHERE queda",
     "UPDATE T SET A = '' WHERE Cuit = '' AND Mail=''",
     "UPDATE T SET A = '' WHERE Cuit  IS NULL  AND Mail IS NULL "},
    {"CONVERT y el estilo 103 dentro de TO_CHAR",
     "SELECT CONVERT(NVARCHAR,Fecha,103) AS Dia, CONVERT(INT,Numero), TO_CHAR(x, 103) FROM T",
     "SELECT TO_CHAR(Fecha,'DD/MM/YYYY') AS Dia, TO_NUMBER(Numero), TO_CHAR(x, 'DD/MM/YYYY') "
     "FROM T"},
    {"un 103 fuera de TO_CHAR o dentro de otro número queda",
     "SELECT TO_CHAR(1103), ABS(103) FROM T", "SELECT TO_CHAR(1103), ABS(103) FROM T"},
    {"ISNULL y SUBSTRING anidados, LEN con blancos antes del paréntesis",
     "SELECT ISNULL(SUBSTRING(Nombre,1,3),'-') AS Ini, LEN  (Nombre) FROM T",
     "SELECT NVL(SUBSTR(Nombre,1,3),'-') AS Ini, LENGTH(Nombre) FROM T"},
    {"Charindex y corchetes", "SELECT Charindex('-', [Razon Social]) FROM T",
     "SELECT InStr('-', \"Razon Social\") FROM T"},
    {"top dentro de un nombre no es límite", "SELECT DESKTOP , Id FROM T",
     "SELECT DESKTOP , Id FROM T"},
    {"una palabra sola: LEN es LENGTH", "len", "LENGTH"},
    {"una palabra sola distinta queda", "SUBSTRING", "SUBSTRING"},
};

class DiccionarioOracle : public ::testing::TestWithParam<Traduccion> {};

TEST_P(DiccionarioOracle, translatesAsWorkedOutByHand) {
    DB_Dll db;
    db.gConnString =
        QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=u;Password=p;");
    const Traduccion& t = GetParam();
    EXPECT_EQ(db.ORACLE_Dicc(QString::fromUtf8(t.entrada)), QString::fromUtf8(t.salida)) << t.caso;
}

TEST_P(DiccionarioOracle, leavesTheTextAloneOnSqlServer) {
    DB_Dll db;
    db.gConnString = QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =DEMO;UId=sa;Pwd=;");
    const QString entrada = QString::fromUtf8(GetParam().entrada);
    EXPECT_EQ(db.ORACLE_Dicc(entrada), entrada);
}

INSTANTIATE_TEST_SUITE_P(Casos, DiccionarioOracle, ::testing::ValuesIn(kTraducciones));

} // namespace
