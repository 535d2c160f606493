// #tables belong to the connection that made them, as SQL Server's session
// temporary tables do: every statement that names them finds them, no other
// connection sees them, and they are gone after disconnecting.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class TemporaryTablesTest : public EmbeddedFixture {
protected:
    std::unique_ptr<Engine> secondConnection() {
        auto other = createEmbeddedEngine();
        other->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
        other->useDatabase(QStringLiteral("PRUEBA"));
        return other;
    }

    bool exists(Engine& connection, const QString& table) {
        const ExecutionResult result =
            connection.execute(QStringLiteral("SELECT OBJECT_ID('tempdb..%1')").arg(table), {}, 0);
        return !result.resultSets.at(0).rows.at(0).at(0).isNull();
    }
};

} // namespace

TEST_F(TemporaryTablesTest, DropInTheSameBatchAndInALaterOne) {
    EXPECT_EQ(nativeErrorOf("CREATE TABLE #TTEmp (Codigo varchar(10), Total money)\n"
                            "INSERT INTO #TTEmp VALUES ('a', 1)\n"
                            "SELECT * FROM #TTEmp\n"
                            "DROP TABLE #TTEmp"),
              0);
    EXPECT_FALSE(exists(*engine, "#TTEmp"));

    run("CREATE TABLE #TTEmp (Codigo varchar(10))");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM #TTEmp"), Variant(0));
    EXPECT_EQ(nativeErrorOf("DROP TABLE #ttemp"), 0);
    EXPECT_EQ(nativeErrorOf("SELECT * FROM #TTEmp"), 208);
    // Dropping it twice fails as SQL Server does.
    EXPECT_EQ(nativeErrorOf("DROP TABLE #TTEmp"), 3701);
}

TEST_F(TemporaryTablesTest, TheGuardsScriptsPutBeforeCreatingThem) {
    const QString script = "IF OBJECT_ID('tempdb..#TTEmp') IS NOT NULL DROP TABLE #TTEmp\n"
                           "CREATE TABLE #TTEmp (Codigo varchar(10))\n"
                           "INSERT INTO #TTEmp VALUES ('a')";
    EXPECT_EQ(nativeErrorOf(script), 0);
    EXPECT_EQ(nativeErrorOf(script), 0) << "the guard drops the table of the first run";
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM #TTEmp"), Variant(1));

    const QString viaCatalogue =
        "if exists (select * from tempdb..sysobjects where name like '#TTEmp%') "
        "drop table #TTEmp";
    EXPECT_EQ(nativeErrorOf(viaCatalogue), 0);
    EXPECT_FALSE(exists(*engine, "#TTEmp"));
    EXPECT_EQ(nativeErrorOf(viaCatalogue), 0) << "nothing to drop: the guard is false";
    EXPECT_EQ(nativeErrorOf("DROP TABLE IF EXISTS #TTEmp"), 0);

    // The database's own catalogue lists no temporary table, tempdb's no real one.
    run("CREATE TABLE Real1 (a int) CREATE TABLE #Temporal (a int)");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sysobjects WHERE name LIKE '#%'"), Variant(0));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM tempdb.dbo.sysobjects WHERE name = 'Real1'"),
              Variant(0));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM tempdb..sysobjects s WHERE s.name LIKE '#Temporal%' "
                     "AND s.xtype = 'U'"),
              Variant(1));
}

TEST_F(TemporaryTablesTest, SelectIntoTruncateAndQualifiedNames) {
    run("CREATE TABLE Articulos (Codigo varchar(10), Precio money)\n"
        "INSERT INTO Articulos VALUES ('a', 10) INSERT INTO Articulos VALUES ('b', 20)");
    run("SELECT Codigo, Precio INTO #Copia FROM Articulos");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM tempdb..#Copia"), Variant(2));
    EXPECT_EQ(nativeErrorOf("TRUNCATE TABLE #Copia"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM #Copia"), Variant(0));
    EXPECT_EQ(nativeErrorOf("TRUNCATE TABLE #Otra"), 4701);
    EXPECT_EQ(nativeErrorOf("DROP TABLE tempdb..#Copia"), 0);
    EXPECT_FALSE(exists(*engine, "#Copia"));
    // The real table is untouched by all of it.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Articulos"), Variant(2));
}

TEST_F(TemporaryTablesTest, SelectIntoKeepsTheColumnsTypes) {
    run("CREATE TABLE Ventas (Codigo varchar(10) NOT NULL, Precio money, Fecha datetime, "
        "Cantidad int)\n"
        "INSERT INTO Ventas VALUES ('a', 10.5, '20240105', 3)");
    run("SELECT Codigo, Precio, Fecha, Precio * Cantidad AS Importe, 2 AS Dos, "
        "Codigo + 'x' AS Texto INTO #Copia FROM Ventas WHERE Cantidad > ?",
        {Variant(1)});
    const ExecutionResult result = run("SELECT * FROM #Copia");
    ASSERT_EQ(result.resultSets.size(), 1u);
    const ResultSet& copy = result.resultSets[0];
    ASSERT_EQ(copy.columns.size(), 6u);
    EXPECT_EQ(copy.columns[0].type, adtype::VarChar);
    EXPECT_EQ(copy.columns[0].definedSize, 10);
    EXPECT_EQ(copy.columns[1].type, adtype::Currency);
    EXPECT_EQ(copy.columns[2].type, adtype::DBTimeStamp);
    EXPECT_EQ(copy.columns[3].type, adtype::Currency);
    EXPECT_EQ(copy.columns[4].type, adtype::Integer);
    ASSERT_EQ(copy.rows.size(), 1u);
    EXPECT_EQ(copy.rows[0][1], Variant(Currency::fromDouble(10.5)));
    EXPECT_EQ(copy.rows[0][2], Variant(DateTimeValue{QDate(2024, 1, 5), QTime(0, 0)}));
    EXPECT_EQ(copy.rows[0][3], Variant(Currency::fromDouble(31.5)));
    EXPECT_EQ(copy.rows[0][5], Variant("ax"));
    // The same into a table of the database.
    run("SELECT Codigo, Precio INTO Copia FROM Ventas");
    EXPECT_EQ(run("SELECT Precio FROM Copia").resultSets.at(0).columns.at(0).type,
              adtype::Currency);
}

TEST_F(TemporaryTablesTest, OnlyTheirConnectionSeesThemUntilItCloses) {
    run("CREATE TABLE #Sesion (a int) INSERT INTO #Sesion VALUES (1)");
    auto other = secondConnection();
    EXPECT_FALSE(exists(*other, "#Sesion"));
    // The other connection may have one of the same name, with rows of its own.
    other->execute("CREATE TABLE #Sesion (a int) INSERT INTO #Sesion VALUES (2)", {}, 0);
    EXPECT_EQ(scalar("SELECT a FROM #Sesion"), Variant(1));
    other->execute("DROP TABLE #Sesion", {}, 0);
    EXPECT_TRUE(exists(*engine, "#Sesion"));

    engine->close();
    engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
    engine->useDatabase(QStringLiteral("PRUEBA"));
    EXPECT_FALSE(exists(*engine, "#Sesion"));
    EXPECT_EQ(nativeErrorOf("DROP TABLE #Sesion"), 3701);
}

} // namespace estaciones::db::sqlite::test
