// The executing side of the dialect: batches without semicolons, counts and
// NOCOUNT, control flow, variables, procedures and transactions.
#include "platform/db/embedded/EmbeddedFixture.h"

#include "platform/db/embedded/parse/ScriptBatches.h"

namespace estaciones::db::sqlite::test {

using TsqlExecutorTest = EmbeddedFixture;

TEST_F(TsqlExecutorTest, BatchWithoutSemicolonsSumsItsCountsUntilNocount) {
    const ExecutionResult created = run("CREATE TABLE T (id int PRIMARY KEY, n varchar(10))");
    EXPECT_EQ(created.rowsAffected, -1);
    const ExecutionResult filled =
        run("INSERT INTO T VALUES (1, 'a') INSERT INTO T VALUES (2, 'b')\n"
            "INSERT INTO T SELECT id + 10, n FROM T\n"
            "UPDATE T SET n = 'x' WHERE id > 10 SELECT * FROM T SELECT COUNT(*) FROM T");
    EXPECT_EQ(filled.rowsAffected, 6);
    ASSERT_EQ(filled.resultSets.size(), 2u);
    EXPECT_EQ(filled.resultSets[0].rows.size(), 4u);
    EXPECT_EQ(filled.resultSets[1].rows[0][0].toInt32(), 4);

    EXPECT_EQ(run("SET NOCOUNT ON").rowsAffected, -1);
    EXPECT_EQ(run("DELETE FROM T WHERE id = 1").rowsAffected, -1);
    EXPECT_EQ(run("UPDATE T SET n = 'y'").rowsAffected, -1); // for the rest of the session
    EXPECT_EQ(run("SET NOCOUNT OFF UPDATE T SET n = 'z'").rowsAffected, 3);
}

TEST_F(TsqlExecutorTest, IfElseWhileAndVariables) {
    run("CREATE TABLE Numeros (n int)");
    run("DECLARE @i int, @texto varchar(3) = 'abcdef'\n"
        "SET @i = 1\n"
        "WHILE @i <= 10\n"
        "BEGIN\n"
        "  IF @i % 2 = 0 INSERT INTO Numeros VALUES (@i)\n"
        "  ELSE IF @i = 7 BREAK\n"
        "  ELSE BEGIN SET @i += 0 END\n"
        "  SET @i = @i + 1\n"
        "END\n"
        "INSERT INTO Numeros VALUES (LEN(@texto) * 100)");
    EXPECT_EQ(scalar("SELECT SUM(n) FROM Numeros").toInt32(), 2 + 4 + 6 + 300);

    run("IF NOT EXISTS (SELECT * FROM Numeros WHERE n = 8) INSERT INTO Numeros VALUES (8)");
    run("IF EXISTS (SELECT * FROM Numeros WHERE n = 8) DELETE FROM Numeros WHERE n = 300 "
        "ELSE INSERT INTO Numeros VALUES (9)");
    EXPECT_EQ(scalar("SELECT SUM(n) FROM Numeros").toInt32(), 2 + 4 + 6 + 8);

    const auto assigned = rows("DECLARE @max int, @min int\n"
                               "SELECT @max = MAX(n), @min = MIN(n) FROM Numeros\n"
                               "SELECT @max, @min, @@ROWCOUNT");
    ASSERT_EQ(assigned.size(), 1u);
    EXPECT_EQ(assigned[0][0].toInt32(), 8);
    EXPECT_EQ(assigned[0][1].toInt32(), 2);
    EXPECT_EQ(assigned[0][2].toInt32(), 1);
}

TEST_F(TsqlExecutorTest, UndeclaredAndRedeclaredVariables) {
    EXPECT_EQ(nativeErrorOf("SELECT @nada"), 137);
    EXPECT_EQ(nativeErrorOf("DECLARE @a int DECLARE @A int"), 134);
    EXPECT_EQ(nativeErrorOf("IF 1 = 1 BEGIN SELECT 1"), 102);
}

// SELECT TOP n @v = col assigns, as without TOP; a text variable takes its
// value as CAST writes it (a datetime in style 0).
TEST_F(TsqlExecutorTest, SelectTopAssignsVariablesAsTheirTypes) {
    run("CREATE TABLE Turnos (Codigo varchar(5), Alta datetime)");
    run("INSERT INTO Turnos VALUES ('A1', '20240105 10:20'), ('B2', '20240106 16:05')");
    const ExecutionResult result =
        run("SET LANGUAGE us_english\n"
            "DECLARE @c varchar(5) = 'x', @a varchar(30)\n"
            "SELECT TOP 1 @c = Codigo, @a = Alta FROM Turnos ORDER BY Codigo DESC\n"
            "SELECT @c, @a\n"
            "SELECT @c = 'C3', @a = CAST('20240107 09:00' AS datetime)\n"
            "SELECT @c, @a");
    ASSERT_EQ(result.resultSets.size(), 2u);
    ASSERT_EQ(result.resultSets[0].rows.size(), 1u);
    EXPECT_EQ(result.resultSets[0].rows[0][0].toString(), "B2");
    EXPECT_EQ(result.resultSets[0].rows[0][1].toString(), "Jan  6 2024  4:05PM");
    // Without FROM, the last item too.
    EXPECT_EQ(result.resultSets[1].rows.at(0)[1].toString(), "Jan  7 2024  9:00AM");
}

TEST_F(TsqlExecutorTest, IdentityValuesAfterInsert) {
    run("CREATE TABLE Cajas (Id int IDENTITY(1,1) PRIMARY KEY, Nombre varchar(20))");
    const auto identities = rows("INSERT INTO Cajas (Nombre) VALUES ('uno')\n"
                                 "INSERT INTO Cajas (Nombre) VALUES ('dos')\n"
                                 "SELECT @@IDENTITY, SCOPE_IDENTITY(), @@ROWCOUNT");
    EXPECT_EQ(identities[0][0].toInt32(), 2);
    EXPECT_EQ(identities[0][1].toInt32(), 2);
    EXPECT_EQ(identities[0][2].toInt32(), 1);
    EXPECT_EQ(engine->lastIdentity().toInt32(), 2);
    const ExecutionResult result = run("SELECT Id, Nombre FROM Cajas");
    EXPECT_TRUE(result.resultSets[0].columns[0].identity);
    EXPECT_FALSE(result.resultSets[0].columns[1].identity);
}

TEST_F(TsqlExecutorTest, ProcedureWithLoopFillsAYearAndTheBareCallOpensABatch) {
    run("CREATE TABLE MA_CALENDARIO (Fecha datetime NOT NULL PRIMARY KEY, Temporada varchar(2) "
        "NULL, nolaborable bit NULL)");
    run("CREATE PROCEDURE ts_CreaCalendario @Desde varchar(8), @Hasta varchar(8) AS\n"
        "SET NOCOUNT ON\n"
        "DECLARE @Fecha datetime\n"
        "SET @Fecha = CONVERT(datetime, @Desde, 112)\n"
        "WHILE @Fecha <= CONVERT(datetime, @Hasta, 112)\n"
        "BEGIN\n"
        "  IF NOT EXISTS (SELECT * FROM MA_CALENDARIO WHERE Fecha = @Fecha)\n"
        "    INSERT INTO MA_CALENDARIO (Fecha, Temporada, nolaborable) VALUES (@Fecha, '', 0)\n"
        "  ELSE\n"
        "    UPDATE MA_CALENDARIO SET nolaborable = 0 WHERE Fecha = @Fecha\n"
        "  SET @Fecha = DATEADD(day, 1, @Fecha)\n"
        "END");
    run("ts_CreaCalendario '20240101','20241231'");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO").toInt32(), 366);
    run("EXEC ts_CreaCalendario @Hasta = '20241231', @Desde = '20240101'"); // again: no duplicates
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO").toInt32(), 366);
    // NOCOUNT inside the procedure ended with it.
    EXPECT_EQ(
        run("UPDATE MA_CALENDARIO SET Temporada = 'BA' WHERE Fecha = '5/3/2024'").rowsAffected, 1);
    const ExecutionResult sundays =
        run("update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, Fecha) in "
            "('Domingo','Sunday') AND YEAR(FECHA) = 2024");
    EXPECT_EQ(sundays.rowsAffected, 52);
    const auto first = rows("SELECT MIN(Fecha) FROM MA_CALENDARIO WHERE nolaborable = 1");
    EXPECT_EQ(first[0][0].toDate().date, QDate(2024, 1, 7));
    EXPECT_EQ(scalar("select Temporada from ma_calendario where fecha = '5/3/2024'").toString(),
              "BA");
}

TEST_F(TsqlExecutorTest, ProcedureWithRecursiveCommonTableExpression) {
    run("CREATE TABLE Dias (Fecha datetime PRIMARY KEY)");
    run("CREATE PROCEDURE LlenarDias @Anio int AS\n"
        "WITH Dias_CTE (Fecha) AS (\n"
        "  SELECT CAST(CAST(@Anio AS varchar(4)) + '0101' AS datetime)\n"
        "  UNION ALL\n"
        "  SELECT DATEADD(day, 1, Fecha) FROM Dias_CTE WHERE YEAR(DATEADD(day, 1, Fecha)) = "
        "@Anio)\n"
        "INSERT INTO Dias (Fecha) SELECT Fecha FROM Dias_CTE OPTION (MAXRECURSION 400)");
    EXPECT_EQ(run("EXEC LlenarDias 2025").rowsAffected, 365);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Dias WHERE YEAR(Fecha) = 2025").toInt32(), 365);
}

TEST_F(TsqlExecutorTest, ProcedureArgumentsDefaultsAndMistakes) {
    run("CREATE TABLE Log (Texto varchar(50))");
    run("CREATE PROC dbo.Anotar (@a varchar(10), @b varchar(10) = 'def') AS\n"
        "INSERT INTO Log VALUES (@a + '-' + @b)\nRETURN\nINSERT INTO Log VALUES ('nunca')");
    run("EXECUTE Anotar 'x'");
    run("EXEC dbo.Anotar @b = 'y', @a = N'z'");
    run("DECLARE @v varchar(10) SET @v = 'var' EXEC Anotar @v, DEFAULT");
    const auto texts = rows("SELECT Texto FROM Log ORDER BY Texto");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0][0].toString(), "var-def");
    EXPECT_EQ(texts[1][0].toString(), "x-def");
    EXPECT_EQ(texts[2][0].toString(), "z-y");

    EXPECT_EQ(nativeErrorOf("EXEC Anotar"), 201);
    EXPECT_EQ(nativeErrorOf("EXEC Anotar 'a', 'b', 'c'"), 8144);
    EXPECT_EQ(nativeErrorOf("EXEC NoExiste 1"), 2812);
    run("DROP PROCEDURE Anotar");
    EXPECT_EQ(nativeErrorOf("EXEC Anotar 'x'"), 2812);
}

TEST_F(TsqlExecutorTest, DynamicSqlAndRaiserror) {
    run("CREATE TABLE T (n int)");
    run("DECLARE @sql varchar(100) SET @sql = 'INSERT INTO T VALUES (' + '5' + ')' EXEC (@sql)");
    EXPECT_EQ(scalar("SELECT n FROM T").toInt32(), 5);
    EXPECT_EQ(nativeErrorOf("RAISERROR('Falta el dato %s', 16, 1, 'X') INSERT INTO T VALUES (6)"),
              50000);
    EXPECT_EQ(lastFailure.front().description, "Falta el dato X");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T").toInt32(), 2); // the batch went on
    run("RAISERROR('solo informa', 10, 1)");
}

TEST_F(TsqlExecutorTest, TransactionsInTextAndThroughTheEngine) {
    run("CREATE TABLE T (n int)");
    run("BEGIN TRAN INSERT INTO T VALUES (1) BEGIN TRANSACTION INSERT INTO T VALUES (2)");
    EXPECT_EQ(engine->transactionDepth(), 2);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 2);
    run("COMMIT TRAN");
    EXPECT_EQ(engine->transactionDepth(), 1);
    run("ROLLBACK TRANSACTION");
    EXPECT_EQ(engine->transactionDepth(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T").toInt32(), 0);

    engine->beginTransaction();
    run("INSERT INTO T VALUES (3)");
    engine->commitTransaction();
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T").toInt32(), 1);
    EXPECT_EQ(nativeErrorOf("COMMIT"), 3902);
    EXPECT_EQ(nativeErrorOf("ROLLBACK"), 3903);
}

TEST_F(TsqlExecutorTest, ThreeBatchScriptSucceedsOnItsSecondPass) {
    const QStringList batches = splitBatches("create table A (id int)\nGO\n"
                                             "create view V as select id from B\nGO\n"
                                             "create table B (id int)\ngo\n");
    ASSERT_EQ(batches.size(), 3);
    std::vector<int> firstPass;
    std::vector<int> secondPass;
    for (const QString& batch : batches) {
        firstPass.push_back(nativeErrorOf(batch));
    }
    for (const QString& batch : batches) {
        secondPass.push_back(nativeErrorOf(batch));
    }
    EXPECT_EQ(firstPass, (std::vector<int>{0, 208, 0}));
    EXPECT_EQ(secondPass, (std::vector<int>{2714, 0, 2714}));
    run("INSERT INTO B VALUES (4)");
    EXPECT_EQ(scalar("SELECT id FROM V").toInt32(), 4);
}

TEST_F(TsqlExecutorTest, SchemaQueriesOfGeneratedScripts) {
    run("CREATE TABLE Clientes (Codigo varchar(10) PRIMARY KEY, Nombre varchar(40))");
    run("if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[Clientes]'))\n"
        "drop table [dbo].[Clientes]\n"
        "if not exists (select * from INFORMATION_SCHEMA.TABLES where TABLE_NAME = 'Clientes')\n"
        "create table Clientes (Codigo varchar(10))");
    EXPECT_EQ(engine->primaryKeyColumns("clientes"), QStringList{});
    run("TRUNCATE TABLE Clientes");
    EXPECT_EQ(nativeErrorOf("TRUNCATE TABLE Nadie"), 4701);
}

TEST_F(TsqlExecutorTest, ColumnTypesAndValues) {
    run("CREATE TABLE Tipos (a varchar(12), b int, c datetime, d money, e decimal(10,2), f bit, "
        "g float, h char(3), i nvarchar(7), j smallint, k tinyint, l bigint, m text)");
    run("INSERT INTO Tipos VALUES ('x', 1, '7/1/2024', 12.5, 3.25, 1, 1.5, 'abc', 'ñ', 2, 3, 4, "
        "'t')");
    const ExecutionResult result = run("SELECT * FROM Tipos");
    const auto& columns = result.resultSets[0].columns;
    const std::vector<int> types{200, 3, 135, 6, 131, 11, 5, 129, 202, 2, 17, 20, 201};
    ASSERT_EQ(columns.size(), types.size());
    for (std::size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(columns[i].type, types[i]) << columns[i].name.toStdString();
        EXPECT_EQ(columns[i].baseTable, "Tipos");
    }
    EXPECT_EQ(columns[0].definedSize, 12);
    EXPECT_EQ(columns[4].precision, 10);
    EXPECT_EQ(columns[4].numericScale, 2);
    const auto& row = result.resultSets[0].rows[0];
    EXPECT_EQ(row[1], Variant(1));
    EXPECT_EQ(row[2], Variant(QDate(2024, 1, 7)));
    EXPECT_EQ(row[3], Variant(Currency{125000}));
    EXPECT_EQ(row[5], Variant(true));

    // Expressions over dates are dates too.
    const ExecutionResult latest =
        run("DECLARE @d datetime SET @d = '8/1/2024' SELECT MAX(c), @d FROM Tipos");
    EXPECT_EQ(latest.resultSets[0].columns[0].type, adtype::DBTimeStamp);
    EXPECT_EQ(latest.resultSets[0].rows[0][0], Variant(QDate(2024, 1, 7)));
    EXPECT_EQ(latest.resultSets[0].rows[0][1], Variant(QDate(2024, 1, 8)));

    const ResultSet schema =
        engine->openSchema(adschema::Columns, {Variant(), Variant(), "TIPOS", "A"});
    ASSERT_EQ(schema.rows.size(), 1u);
    EXPECT_EQ(schema.rows[0][3].toString(), "a");
    EXPECT_EQ(engine->openSchema(adschema::Columns, {"prueba", Variant(), "Tipos"}).rows.size(),
              types.size());
    run("CREATE TABLE Otra (x int, y int, PRIMARY KEY (y, x))");
    EXPECT_EQ(engine->openSchema(adschema::Tables, {Variant(), Variant(), "tipos"}).rows.size(),
              1u);
    EXPECT_EQ(engine->openSchema(adschema::Tables, {}).rows.size(), 2u);
    EXPECT_EQ(engine->primaryKeyColumns("OTRA"), (QStringList{"y", "x"}));
}

TEST_F(TsqlExecutorTest, ParametersBindInOrder) {
    run("CREATE TABLE T (id int PRIMARY KEY, n varchar(10), f datetime)");
    EXPECT_EQ(
        run("INSERT INTO T VALUES (?, ?, ?)", {1, "uno", Variant(QDate(2024, 3, 5))}).rowsAffected,
        1);
    EXPECT_EQ(run("UPDATE T SET n = ? WHERE id = ? AND n = ?", {"dos", 1, "uno"}).rowsAffected, 1);
    EXPECT_EQ(scalar("SELECT n FROM T WHERE f = '5/3/2024'").toString(), "dos");
}

TEST_F(TsqlExecutorTest, ANameBeforeAnItemNamesIt) {
    const ExecutionResult result =
        run("SELECT total = 1 + 2, 'Con nombre' = 'x', [Otro nombre] = (SELECT 4), n = CASE WHEN "
            "1 = 1 THEN 5 END");
    ASSERT_EQ(result.resultSets.size(), 1u);
    const ResultSet& set = result.resultSets.front();
    ASSERT_EQ(set.columns.size(), 4u);
    EXPECT_EQ(set.columns[0].name, "total");
    EXPECT_EQ(set.columns[1].name, "Con nombre");
    EXPECT_EQ(set.columns[2].name, "Otro nombre");
    EXPECT_EQ(set.columns[3].name, "n");
    EXPECT_EQ(set.rows.at(0),
              (std::vector<Variant>{Variant(3), Variant("x"), Variant(4), Variant(5)}));
}

TEST_F(TsqlExecutorTest, ASubqueryGivingSeveralValuesWhereOneIsExpectedFails) {
    run("CREATE TABLE varios (a int) INSERT INTO varios VALUES (1) INSERT INTO varios VALUES (2)");
    EXPECT_EQ(nativeErrorOf("DECLARE @v int SET @v = (SELECT a FROM varios)"), 512);
    EXPECT_EQ(nativeErrorOf("SELECT (SELECT a FROM varios) + 1"), 512);
    EXPECT_EQ(nativeErrorOf("SELECT a FROM varios WHERE a = (SELECT a FROM varios)"), 512);
    EXPECT_EQ(nativeErrorOf("IF (SELECT a FROM varios) = 1 PRINT 'uno'"), 512);
    // One row, none, an aggregate, a correlated row, IN and EXISTS are fine.
    EXPECT_EQ(scalar("SELECT (SELECT a FROM varios WHERE a = 2)"), Variant(2));
    EXPECT_TRUE(scalar("SELECT (SELECT a FROM varios WHERE a = 3)").isNull());
    EXPECT_EQ(scalar("SELECT (SELECT MAX(a) FROM varios)"), Variant(2));
    EXPECT_EQ(scalar("SELECT SUM((SELECT b.a FROM varios AS b WHERE b.a = v.a)) FROM varios AS v"),
              Variant(3));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM varios WHERE a IN (SELECT a FROM varios) AND "
                     "EXISTS (SELECT a FROM varios)"),
              Variant(2));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT a FROM varios) AS t, (SELECT a FROM varios) "
                     "AS u"),
              Variant(4));
}

TEST_F(TsqlExecutorTest, ADeclareInALoopKeepsItsVariable) {
    EXPECT_EQ(scalar("DECLARE @i int = 0, @suma int = 0\n"
                     "WHILE @i < 3 BEGIN\n"
                     "  DECLARE @j int = 10\n"
                     "  DECLARE @k int\n"
                     "  SET @k = ISNULL(@k, 0) + 1\n"
                     "  SET @suma = @suma + @j + @k\n"
                     "  SET @i = @i + 1\n"
                     "END\n"
                     "SELECT @suma"),
              Variant(36));
    EXPECT_EQ(nativeErrorOf("DECLARE @a int WHILE 1 = 0 BEGIN DECLARE @a int END"), 134);
}

// A variable built from its own value row by row sees, at each row, the
// value the row before gave, in the query's order.
TEST_F(TsqlExecutorTest, AVariableBuiltFromItselfOverSeveralRowsAccumulatesRowByRow) {
    run("CREATE TABLE Partes (n int)\nINSERT INTO Partes VALUES (1), (2), (3)");
    EXPECT_EQ(scalar("DECLARE @s varchar(20) = ''\n"
                     "SELECT @s = @s + CAST(n AS varchar(2)) + ',' FROM Partes ORDER BY n DESC\n"
                     "SELECT @s"),
              Variant(QStringLiteral("3,2,1,")));
    EXPECT_EQ(scalar("DECLARE @c int = 0\nSELECT @c = @c + 1 FROM Partes\nSELECT @c"), Variant(3));
    // Each assignment keeps the variable's type: varchar(2) holds two characters.
    EXPECT_EQ(scalar("DECLARE @s varchar(2) = ''\n"
                     "SELECT @s = @s + CAST(n AS varchar(2)) FROM Partes ORDER BY n\nSELECT @s"),
              Variant(QStringLiteral("12")));
    EXPECT_EQ(scalar("DECLARE @s varchar(20) = 'x'\n"
                     "SELECT @s = @s + CAST(n AS varchar(2)) FROM Partes WHERE n = 2\nSELECT @s"),
              Variant(QStringLiteral("x2")));
    EXPECT_EQ(scalar("DECLARE @a int = 10, @b int\n"
                     "SELECT @b = @a + n FROM Partes ORDER BY n\nSELECT @b"),
              Variant(13));
}

} // namespace estaciones::db::sqlite::test
