// SET options as the server keeps them per session: the first weekday, the
// language and its date order, NULL comparisons and concatenation, row
// limits, IDENTITY_INSERT, their restoring after a procedure, and the
// login's default language.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

using SessionSettingsTest = EmbeddedFixture;

TEST_F(SessionSettingsTest, DateFirstDecidesTheWeekday) {
    // The suite's sessions speak Spanish: the week starts on Monday.
    EXPECT_EQ(scalar("SELECT @@DATEFIRST").toInt32(), 1);
    EXPECT_EQ(scalar("SELECT DATEPART(dw, '20240107')").toInt32(), 7);
    EXPECT_EQ(scalar("SET DATEFIRST 7 SELECT DATEPART(dw, '20240107')").toInt32(), 1);
    EXPECT_EQ(scalar("SELECT @@DATEFIRST").toInt32(), 7);
    // Wednesday first: Friday 1 January 1999 is the third day.
    EXPECT_EQ(
        scalar("DECLARE @d int = 3 SET DATEFIRST @d SELECT DATEPART(dw, '19990101')").toInt32(), 3);
    EXPECT_EQ(scalar("SELECT @@DATEFIRST").toInt32(), 3);
}

TEST_F(SessionSettingsTest, LanguageGivesNamesDateOrderAndFirstDay) {
    EXPECT_EQ(scalar("SELECT @@LANGUAGE").toString(), QStringLiteral("Español"));
    const auto english = rows("SET LANGUAGE us_english\n"
                              "SELECT DATENAME(dw, '20240107'), DATENAME(month, '20240107'), "
                              "@@LANGUAGE, @@DATEFIRST, DATEPART(month, CAST('01/02/2024' AS "
                              "datetime))");
    ASSERT_EQ(english.size(), 1u);
    EXPECT_EQ(english[0][0].toString(), "Sunday");
    EXPECT_EQ(english[0][1].toString(), "January");
    EXPECT_EQ(english[0][2].toString(), "us_english");
    EXPECT_EQ(english[0][3].toInt32(), 7);
    EXPECT_EQ(english[0][4].toInt32(), 1); // mdy

    const auto spanish = rows("SET LANGUAGE N'Español'\n"
                              "SELECT @@LANGUAGE, @@DATEFIRST, "
                              "DATEPART(month, CAST('01/02/2024' AS datetime))");
    EXPECT_EQ(spanish[0][0].toString(), QStringLiteral("Español"));
    EXPECT_EQ(spanish[0][1].toInt32(), 1);
    EXPECT_EQ(spanish[0][2].toInt32(), 2); // dmy

    const auto italian = rows("SET LANGUAGE Italian\n"
                              "SELECT DATENAME(month, '20111205'), @@DATEFIRST, @@LANGUAGE");
    EXPECT_EQ(italian[0][0].toString(), "dicembre");
    EXPECT_EQ(italian[0][1].toInt32(), 1);
    EXPECT_EQ(italian[0][2].toString(), "Italiano");
    EXPECT_EQ(scalar("SET LANGUAGE Spanish SELECT @@LANGUAGE").toString(),
              QStringLiteral("Español"));
    EXPECT_EQ(
        scalar("SET DATEFORMAT mdy SELECT DATEPART(day, CAST('01/02/2024' AS datetime))").toInt32(),
        2);
    // A language the engine has no names for is refused, not taken for another.
    EXPECT_NE(nativeErrorOf("SET LANGUAGE Deutsch"), 0);
    EXPECT_EQ(scalar("SELECT @@LANGUAGE").toString(), QStringLiteral("Español"));
}

TEST_F(SessionSettingsTest, AnsiNullsOffComparesNullsAsValues) {
    run("CREATE TABLE t1 (a int NULL)");
    run("INSERT INTO t1 VALUES (NULL), (0), (1)");
    const QString queries = "DECLARE @varname int = NULL\n"
                            "SELECT a FROM t1 WHERE a = @varname\n"
                            "SELECT a FROM t1 WHERE a <> @varname\n"
                            "SELECT a FROM t1 WHERE a IS NULL";
    const ExecutionResult on = run(queries);
    ASSERT_EQ(on.resultSets.size(), 3u);
    EXPECT_EQ(on.resultSets[0].rows.size(), 0u);
    EXPECT_EQ(on.resultSets[1].rows.size(), 0u);
    EXPECT_EQ(on.resultSets[2].rows.size(), 1u);

    run("SET ANSI_NULLS OFF");
    const ExecutionResult off = run(queries);
    ASSERT_EQ(off.resultSets.size(), 3u);
    EXPECT_EQ(off.resultSets[0].rows.size(), 1u);
    EXPECT_EQ(off.resultSets[1].rows.size(), 2u);
    EXPECT_EQ(off.resultSets[2].rows.size(), 1u);
    // An assignment of NULL stays an assignment.
    run("UPDATE t1 SET a = NULL WHERE a = 1");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM t1 WHERE a = NULL").toInt32(), 2);
}

TEST_F(SessionSettingsTest, ConcatNullYieldsNullOffKeepsTheText) {
    EXPECT_TRUE(scalar("SELECT 'abc' + NULL").isNull());
    EXPECT_EQ(scalar("SET CONCAT_NULL_YIELDS_NULL OFF SELECT 'abc' + NULL").toString(), "abc");
    EXPECT_EQ(scalar("DECLARE @n varchar(5) SELECT @n + 'xyz'").toString(), "xyz");
    EXPECT_TRUE(scalar("SET CONCAT_NULL_YIELDS_NULL ON SELECT 'abc' + NULL").isNull());
}

TEST_F(SessionSettingsTest, RowCountStopsQueriesAndChanges) {
    run("CREATE TABLE n (v int)");
    run("INSERT INTO n VALUES (1), (2), (3), (4), (5), (6)");
    const ExecutionResult limited =
        run("SET ROWCOUNT 4\nUPDATE n SET v = v + 10\nSELECT v FROM n\nSELECT @@ROWCOUNT");
    EXPECT_EQ(limited.rowsAffected, 4);
    ASSERT_EQ(limited.resultSets.size(), 2u);
    EXPECT_EQ(limited.resultSets[0].rows.size(), 4u);
    EXPECT_EQ(limited.resultSets[1].rows[0][0].toInt32(), 4);
    EXPECT_EQ(run("DELETE FROM n WHERE v > 10").rowsAffected, 4);
    run("SET ROWCOUNT 0");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM n").toInt32(), 2);
    EXPECT_EQ(rows("SELECT v FROM n").size(), 2u);
}

TEST_F(SessionSettingsTest, IdentityInsertIsOnForOneTableAtATime) {
    run("CREATE TABLE Herramientas (ID int IDENTITY NOT NULL PRIMARY KEY, Nombre varchar(40))");
    run("CREATE TABLE Otras (ID int IDENTITY NOT NULL PRIMARY KEY, Nombre varchar(40))");
    run("CREATE TABLE SinIdentidad (ID int)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Herramientas (ID, Nombre) VALUES (3, 'Sierra')"), 544);
    run("SET IDENTITY_INSERT dbo.Herramientas ON\n"
        "INSERT INTO Herramientas (ID, Nombre) VALUES (3, 'Sierra')");
    EXPECT_EQ(scalar("SELECT Nombre FROM Herramientas WHERE ID = 3").toString(), "Sierra");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Herramientas (Nombre) VALUES ('Pala')"), 545);
    EXPECT_EQ(nativeErrorOf("SET IDENTITY_INSERT Otras ON"), 8107);
    EXPECT_EQ(nativeErrorOf("SET IDENTITY_INSERT SinIdentidad ON"), 8106);
    run("SET IDENTITY_INSERT Herramientas OFF");
    EXPECT_EQ(scalar("INSERT INTO Herramientas (Nombre) VALUES ('Pala') "
                     "SELECT ID FROM Herramientas WHERE Nombre = 'Pala'")
                  .toInt32(),
              4);
    run("SET IDENTITY_INSERT Otras ON");
}

TEST_F(SessionSettingsTest, OptionsSetInAProcedureEndWithIt) {
    run("CREATE PROCEDURE ingles AS\n"
        "SET LANGUAGE us_english\n"
        "SET DATEFIRST 3\n"
        "SELECT @@LANGUAGE, @@DATEFIRST");
    const ExecutionResult result = run("EXEC ingles SELECT @@LANGUAGE, @@DATEFIRST");
    ASSERT_EQ(result.resultSets.size(), 2u);
    EXPECT_EQ(result.resultSets[0].rows[0][0].toString(), "us_english");
    EXPECT_EQ(result.resultSets[0].rows[0][1].toInt32(), 3);
    EXPECT_EQ(result.resultSets[1].rows[0][0].toString(), QStringLiteral("Español"));
    EXPECT_EQ(result.resultSets[1].rows[0][1].toInt32(), 1);
    EXPECT_EQ(scalar("EXEC ('SET DATEFIRST 7') SELECT @@DATEFIRST").toInt32(), 1);
}

// XACT_ABORT is a SET option like the others: it ends with the procedure
// that set it, and a failure after the call ends only its statement again.
TEST_F(SessionSettingsTest, XactAbortSetInAProcedureEndsWithIt) {
    run("CREATE TABLE marcas (n int PRIMARY KEY)\n"
        "INSERT INTO marcas VALUES (1)");
    run("CREATE PROCEDURE aborta AS\n"
        "SET XACT_ABORT ON\n"
        "SELECT @@OPTIONS & 16384");
    const ExecutionResult result = run("EXEC aborta SELECT @@OPTIONS & 16384");
    ASSERT_EQ(result.resultSets.size(), 2u);
    EXPECT_EQ(result.resultSets[0].rows[0][0].toInt32(), 16384);
    EXPECT_EQ(result.resultSets[1].rows[0][0].toInt32(), 0);
    EXPECT_EQ(
        nativeErrorOf("EXEC aborta INSERT INTO marcas VALUES (1) INSERT INTO marcas VALUES (2)"),
        2627);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM marcas").toInt32(), 2);
}

TEST_F(SessionSettingsTest, ALoginsDefaultLanguageStartsItsSessions) {
    run("EXEC sp_addlogin 'juana', 'clave123', 'PRUEBA', 'us_english'");
    run("EXEC sp_addlogin 'pedro', 'clave123', 'PRUEBA'");
    const auto sessionOf = [](const QString& login) {
        std::unique_ptr<Engine> other = createEmbeddedEngine();
        other->open("Provider=SQLOLEDB;Server=(local);Database=PRUEBA;UID=" + login, {}, {});
        return other->execute("SELECT @@LANGUAGE, @@DATEFIRST", {}, 0).resultSets.at(0).rows.at(0);
    };
    const auto juana = sessionOf("juana");
    EXPECT_EQ(juana[0].toString(), "us_english");
    EXPECT_EQ(juana[1].toInt32(), 7);
    const auto pedro = sessionOf("pedro");
    EXPECT_EQ(pedro[0].toString(), QStringLiteral("Español"));
    EXPECT_EQ(pedro[1].toInt32(), 1);
    // Logins are named without regard to case; one never registered has none.
    EXPECT_EQ(sessionOf("JUANA")[0].toString(), "us_english");
    EXPECT_EQ(sessionOf("nadie")[0].toString(), QStringLiteral("Español"));
}

TEST_F(SessionSettingsTest, QuotedIdentifierOffMakesDoubleQuotesText) {
    run("CREATE TABLE comillas (n int) INSERT INTO comillas VALUES (5)");
    EXPECT_EQ(scalar("SELECT \"n\" FROM comillas"), Variant(5));
    // Read so from the SET on, also by the compilation of the batch.
    EXPECT_EQ(scalar("SET QUOTED_IDENTIFIER OFF SELECT \"n\" FROM comillas").toString(), "n");
    EXPECT_EQ(scalar("SELECT [n] FROM comillas WHERE \"a\" = 'a'"), Variant(5));
    EXPECT_EQ(scalar("SELECT @@OPTIONS & 256"), Variant(0));
    run("SET QUOTED_IDENTIFIER ON");
    EXPECT_EQ(scalar("SELECT @@OPTIONS & 256"), Variant(256));
}

TEST_F(SessionSettingsTest, ImplicitTransactionsOpenOneWhereATableIsTouched) {
    run("CREATE TABLE implicitas (a int)");
    const ExecutionResult batch = run("SET IMPLICIT_TRANSACTIONS ON\n"
                                      "SELECT 1\n"
                                      "DECLARE @n int = @@TRANCOUNT\n"
                                      "INSERT INTO implicitas VALUES (1)\n"
                                      "SELECT @n, @@TRANCOUNT, @@OPTIONS & 2");
    ASSERT_EQ(batch.resultSets.size(), 2u);
    const auto& counts = batch.resultSets.back().rows;
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0], (std::vector<Variant>{Variant(0), Variant(1), Variant(2)}));
    // The transaction stays open after the batch, until it is ended.
    run("ROLLBACK");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM implicitas"), Variant(0));
    // An explicit BEGIN then opens two.
    EXPECT_EQ(scalar("BEGIN TRANSACTION SELECT @@TRANCOUNT"), Variant(2));
    run("COMMIT COMMIT SET IMPLICIT_TRANSACTIONS OFF");
    EXPECT_EQ(scalar("INSERT INTO implicitas VALUES (2) SELECT @@TRANCOUNT"), Variant(0));
}

TEST_F(SessionSettingsTest, LockTimeoutIsKeptAndRestoredAfterAProcedure) {
    EXPECT_EQ(scalar("SELECT @@LOCK_TIMEOUT"), Variant(-1));
    run("CREATE PROCEDURE espera AS SET LOCK_TIMEOUT 500");
    EXPECT_EQ(scalar("SET LOCK_TIMEOUT 1800 EXEC espera SELECT @@LOCK_TIMEOUT"), Variant(1800));
    EXPECT_EQ(scalar("SET LOCK_TIMEOUT -1 SELECT @@LOCK_TIMEOUT"), Variant(-1));
    EXPECT_EQ(scalar("SELECT @@MAX_PRECISION"), Variant(38));
}

} // namespace estaciones::db::sqlite::test
