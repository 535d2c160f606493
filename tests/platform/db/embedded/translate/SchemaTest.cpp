// Schema statements: SQL Server's rules for lengths, identities, defaults,
// indexes and the catalogue views generated scripts query.
#include "platform/db/embedded/translate/DialectDatabase.h"

#include <QDate>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(SchemaTest, shouldRefuseTooLongTextWith8152AndChangeNothing) {
    DialectDatabase db;
    db.run("CREATE TABLE [dbo].[C] ([Codigo] [char] (5) NOT NULL, [Nombre] [nvarchar] (10) NULL)");
    db.run("insert into C values ('A1', 'corto')");
    const QString failure = db.failure("insert into C values ('A2', 'demasiado largo')");
    EXPECT_TRUE(failure.contains("tsql 8152: String or binary data would be truncated."))
        << failure.toStdString();
    EXPECT_TRUE(db.failure("update C set Nombre = Nombre + '123456'").contains("tsql 8152"));
    EXPECT_EQ(db.scalar("select count(*) from C"), "1");
    EXPECT_EQ(db.scalar("select Nombre from C"), "corto");
    db.run("insert into C values ('A3', 'diez letra')"); // exactly the length
    db.run("insert into C values ('A4', 'diez   ')");    // trailing blanks beyond do not count
}

TEST(SchemaTest, shouldNumberIdentityColumnsFromTheirSeed) {
    DialectDatabase db;
    db.run("CREATE TABLE A (Id int IDENTITY(100, 1) NOT NULL, Nombre varchar(10), "
           "CONSTRAINT PK_A PRIMARY KEY CLUSTERED (Id))");
    db.run("insert into A (Nombre) values ('x')");
    db.run("insert into A (Nombre) values ('y')");
    EXPECT_EQ(db.scalar("select max(Id) from A"), "101");
    // An identity that is not the key is numbered too.
    db.run("CREATE TABLE B (Codigo varchar(5) PRIMARY KEY, Numero int IDENTITY(1, 5))");
    db.run("insert into B (Codigo) values ('a')");
    db.run("insert into B (Codigo) values ('b')");
    EXPECT_EQ(db.scalar("select Numero from B where Codigo = 'B'"), "6");
}

TEST(SchemaTest, shouldAddSeveralColumnsWithTheirDefaults) {
    DialectDatabase db;
    db.run("CREATE TABLE T (a int)");
    db.run("insert into T values (1)");
    db.run("ALTER TABLE dbo.T ADD b bit NOT NULL CONSTRAINT DF_T_b DEFAULT (0), "
           "c varchar(3) NULL, d datetime NULL CONSTRAINT DF_T_d DEFAULT (getdate())");
    EXPECT_EQ(db.scalar("select b from T"), "0");
    db.run("insert into T (a) values (2)");
    EXPECT_EQ(db.scalar("select year(d) from T where a = 2"),
              QString::number(QDate::currentDate().year()));
    EXPECT_TRUE(db.failure("update T set c = 'abcd'").contains("8152"));
    db.run("update T set d = '5/3/2024' where a = 1");
    EXPECT_EQ(db.scalar("select d from T where a = 1"), "2024-03-05 00:00:00.000");
}

TEST(SchemaTest, shouldLeaveTheExistingRowsOfAnAddedColumnAsSqlServerDoes) {
    DialectDatabase db;
    db.run("CREATE TABLE T (a int)");
    db.run("insert into T values (1)");
    db.run("insert into T values (2)");

    // Nullable with a default: NULL in the rows there were, the default in new ones.
    db.run("ALTER TABLE dbo.T ADD n varchar(5) NULL CONSTRAINT DF_T_n DEFAULT ('x')");
    // WITH VALUES asks for the default in the existing rows too.
    db.run("ALTER TABLE dbo.T ADD w varchar(5) NULL CONSTRAINT DF_T_w DEFAULT ('y') WITH VALUES");
    // NOT NULL with a default that SQLite cannot keep in the column.
    db.run("ALTER TABLE dbo.T ADD f datetime NOT NULL CONSTRAINT DF_T_f DEFAULT (getdate())");
    // An identity numbers the rows there were in their order.
    db.run("ALTER TABLE dbo.T ADD k int IDENTITY(10, 5) NOT NULL");

    EXPECT_EQ(db.run("select a, n, w, year(f), k from T order by a"),
              (std::vector<QStringList>{
                  {"1", "NULL", "y", QString::number(QDate::currentDate().year()), "10"},
                  {"2", "NULL", "y", QString::number(QDate::currentDate().year()), "15"}}));
    db.run("insert into T (a) values (3)");
    db.run("insert into T (a, n) values (4, NULL)");
    EXPECT_EQ(db.run("select n, w, k from T where a >= 3 order by a"),
              (std::vector<QStringList>{{"x", "y", "20"}, {"NULL", "y", "25"}}));
}

TEST(SchemaTest, shouldRefuseANotNullColumnWithoutDefaultOnlyOnATableWithRows) {
    DialectDatabase db;
    db.run("CREATE TABLE Vacia (a int)");
    db.run("ALTER TABLE Vacia ADD b int NOT NULL");
    EXPECT_FALSE(db.failure("insert into Vacia (a) values (1)").isEmpty());

    db.run("CREATE TABLE Llena (a int)");
    db.run("insert into Llena values (1)");
    EXPECT_FALSE(db.failure("ALTER TABLE Llena ADD b int NOT NULL").isEmpty());
    EXPECT_EQ(db.run("select * from Llena"), (std::vector<QStringList>{{"1"}}));
}

TEST(SchemaTest, shouldEnforceKeysChecksAndReferencesOfTheDefinition) {
    DialectDatabase db;
    db.runSqlite("PRAGMA foreign_keys = ON");
    db.run(
        "CREATE TABLE [dbo].[FAMILIAS] ([Codigo] [varchar] (4) NOT NULL, CONSTRAINT [PK_FAMILIAS] "
        "PRIMARY KEY NONCLUSTERED ([Codigo] ASC) WITH (PAD_INDEX = OFF) ON [PRIMARY]) ON [PRIMARY] "
        "TEXTIMAGE_ON [PRIMARY]");
    db.run("CREATE TABLE ARTICULOS (Codigo varchar(25) NOT NULL PRIMARY KEY CLUSTERED, Familia "
           "varchar(4) "
           "NULL CONSTRAINT FK_ART_FAM FOREIGN KEY REFERENCES FAMILIAS (Codigo), Precio money NOT "
           "NULL "
           "CONSTRAINT CK_Precio CHECK (Precio >= 0), Doble AS Precio * 2)");
    db.run("insert into FAMILIAS values ('F1')");
    db.run("insert into ARTICULOS (Codigo, Familia, Precio) values ('A', 'f1', 2.5)");
    EXPECT_EQ(db.scalar("select Doble from ARTICULOS"), "5.0");
    EXPECT_TRUE(db.failure("insert into ARTICULOS (Codigo, Precio) values ('B', -1)")
                    .contains("CK_Precio"));
    EXPECT_TRUE(db.failure("insert into ARTICULOS (Codigo, Familia, Precio) values ('C', 'F9', 1)")
                    .contains("FOREIGN KEY"));
    EXPECT_TRUE(db.failure("insert into ARTICULOS (Codigo, Precio) values ('a ', 1)")
                    .contains("tsql 2627"));
}

TEST(SchemaTest, shouldEmulateKeysAddedAndDroppedLater) {
    DialectDatabase db;
    db.run("CREATE TABLE T (a int NOT NULL, b varchar(5), c int)");
    db.run("ALTER TABLE T WITH NOCHECK ADD CONSTRAINT PK_T PRIMARY KEY CLUSTERED (a)");
    db.run("insert into T (a) values (1)");
    EXPECT_TRUE(db.failure("insert into T (a) values (1)").contains("tsql 2627"));
    db.run("ALTER TABLE T DROP CONSTRAINT PK_T");
    db.run("insert into T (a) values (1)");
    db.run("ALTER TABLE T ADD CONSTRAINT DF_T_b DEFAULT ('x') FOR b");
    db.run("insert into T (a) values (2)");
    EXPECT_EQ(db.scalar("select b from T where a = 2"), "x");
    db.run("ALTER TABLE T DROP COLUMN c");
    EXPECT_EQ(db.count("SELECT * FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = 'T'"), 2);
}

TEST(SchemaTest, shouldListTheExecutorsProceduresAmongTheObjects) {
    DialectDatabase db;
    db.settings().procedureTable = "procedimientos";
    db.runSqlite("CREATE TABLE procedimientos (name TEXT PRIMARY KEY, definicion TEXT)");
    db.runSqlite("INSERT INTO procedimientos VALUES ('CrearCalendario', '')");
    EXPECT_EQ(
        db.count("select * from dbo.sysobjects where id = object_id(N'[dbo].[crearcalendario]') "
                 "and OBJECTPROPERTY(id, N'IsProcedure') = 1"),
        1);
    // xtype is char(2), as the server pads it.
    EXPECT_EQ(db.scalar("select xtype from sysobjects where name = 'CrearCalendario'"), "P ");
}

TEST(SchemaTest, shouldKeepIndexNamesPerTable) {
    DialectDatabase db;
    db.run("CREATE TABLE T (a int)");
    db.run("CREATE TABLE U (a int)");
    db.run("CREATE NONCLUSTERED INDEX IX_a ON dbo.T (a)");
    db.run("CREATE INDEX IX_a ON U (a)");
    EXPECT_TRUE(db.failure("CREATE INDEX IX_a ON T (a)").contains("already exists"));
    db.run("DROP INDEX IX_a ON T");
    db.run("CREATE INDEX IX_a ON T (a)");
}

TEST(SchemaTest, shouldAnswerTheExistenceChecksOfGeneratedScripts) {
    DialectDatabase db;
    db.run("CREATE TABLE [dbo].[X] (a int)");
    db.run("CREATE VIEW dbo.V_X AS SELECT TOP 100 PERCENT a FROM dbo.X ORDER BY a");
    const QString check = "select * from dbo.sysobjects where id = object_id(N'[dbo].[%1]') and "
                          "OBJECTPROPERTY(id, N'%2') = 1";
    EXPECT_EQ(db.count(check.arg("X", "IsUserTable")), 1);
    EXPECT_EQ(db.count(check.arg("x", "IsUserTable")), 1);
    EXPECT_EQ(db.count(check.arg("X", "IsView")), 0);
    EXPECT_EQ(db.count(check.arg("V_X", "IsView")), 1);
    EXPECT_EQ(db.count(check.arg("Nada", "IsUserTable")), 0);
    EXPECT_EQ(db.count("select name from sysobjects where name = 'v_x' and xtype = 'V'"), 1);
    EXPECT_EQ(db.scalar("SELECT TABLE_TYPE FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_NAME = 'x'"),
              "BASE TABLE");
    EXPECT_EQ(db.count("SELECT * FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = 'X' AND "
                       "COLUMN_NAME = 'A'"),
              1);
    EXPECT_EQ(db.count("SELECT * FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = 'X' AND "
                       "COLUMN_NAME = 'b'"),
              0);
    EXPECT_EQ(db.scalar("select case when object_id('X') is null then 0 else 1 end"), "1");
}

TEST(SchemaTest, shouldReportColumnTypesBackAsDeclared) {
    DialectDatabase db;
    db.run(
        "CREATE TABLE T (Id int IDENTITY(1,1) PRIMARY KEY, F datetime, N nvarchar(40), M money)");
    EXPECT_EQ(
        db.scalar(
            "SELECT DATA_TYPE + '/' + isnull(convert(varchar, CHARACTER_MAXIMUM_LENGTH), '-') "
            "FROM INFORMATION_SCHEMA.COLUMNS WHERE COLUMN_NAME = 'N'"),
        "nvarchar/40");
    EXPECT_EQ(db.scalar("SELECT DATA_TYPE FROM INFORMATION_SCHEMA.COLUMNS WHERE COLUMN_NAME = 'F'"),
              "datetime");
    // Stored as "money blob" (no affinity), reported as declared.
    EXPECT_EQ(db.scalar("SELECT DATA_TYPE + '/' + convert(varchar, NUMERIC_PRECISION) FROM "
                        "INFORMATION_SCHEMA.COLUMNS WHERE COLUMN_NAME = 'M'"),
              "money/19");
}

// Scripts compare COLUMN_DEFAULT with the text the server keeps; the
// translated default SQLite holds must not show through. sysindexes and
// sys.partitions count the table's rows (the quick row-count idiom).
TEST(SchemaTest, shouldReportDefaultsAndRowCountsAsTheServerKeepsThem) {
    DialectDatabase db;
    db.run("CREATE TABLE T (Id int PRIMARY KEY, F datetime DEFAULT GETDATE(), N int DEFAULT 0, "
           "S varchar(3) NULL)");
    EXPECT_EQ(db.run("SELECT COLUMN_NAME, COLUMN_DEFAULT FROM INFORMATION_SCHEMA.COLUMNS WHERE "
                     "TABLE_NAME = 'T' ORDER BY ORDINAL_POSITION"),
              (std::vector<QStringList>{
                  {"Id", "NULL"}, {"F", "(getdate())"}, {"N", "((0))"}, {"S", "NULL"}}));
    db.run("CREATE INDEX IX_T_S ON T (S)");
    db.run("INSERT INTO T (Id) VALUES (1), (2), (3)");
    EXPECT_EQ(db.run("SELECT indid, rows, rowcnt FROM sysindexes WHERE id = OBJECT_ID('T') "
                     "ORDER BY indid"),
              (std::vector<QStringList>{{"1", "3", "3"}, {"2", "3", "3"}}));
    EXPECT_EQ(db.scalar("SELECT SUM(p.rows) FROM sys.partitions p WHERE p.object_id = "
                        "OBJECT_ID('T') AND p.index_id IN (0, 1)"),
              "3");
    db.run("DELETE FROM T WHERE Id = 2");
    EXPECT_EQ(db.scalar("SELECT rows FROM sysindexes WHERE id = OBJECT_ID('T') AND indid < 2"),
              "2");
}

TEST(SchemaTest, shouldAcceptInsertsThroughASingleTableViewWithTheTablesDefaults) {
    DialectDatabase db;
    db.run(
        "CREATE TABLE MA_ARTICULOS (Id int IDENTITY(1,1) PRIMARY KEY, Codigo varchar(25) NOT NULL, "
        "Descripcion varchar(40) NULL, Activo bit NOT NULL DEFAULT (1), Alta datetime NULL)");
    db.run(
        "CREATE VIEW dbo.V_MA_ARTICULOS AS SELECT a.Codigo, a.Descripcion AS Nombre, Activo, Alta "
        "FROM dbo.MA_ARTICULOS a WITH (NOLOCK)");
    db.run("INSERT INTO V_MA_ARTICULOS (Codigo, Nombre, Alta) VALUES ('  123', 'Tornillo', "
           "'5/3/2024')");
    EXPECT_EQ(db.run("SELECT Id, Codigo, Descripcion, Activo, Alta FROM MA_ARTICULOS").front(),
              (QStringList{"1", "  123", "Tornillo", "1", "2024-03-05 00:00:00.000"}));
    // The base table's rules still hold.
    EXPECT_TRUE(
        db.failure("INSERT INTO V_MA_ARTICULOS (Codigo) VALUES ('12345678901234567890123456')")
            .contains("8152"));
    // A view that joins tables stays read-only, as SQLite makes it.
    db.run("CREATE VIEW V_DOBLE AS SELECT a.Codigo FROM MA_ARTICULOS a JOIN MA_ARTICULOS b ON a.Id "
           "= b.Id");
    EXPECT_NE(db.failure("INSERT INTO V_DOBLE (Codigo) VALUES ('x')"), "");
}

TEST(SchemaTest, shouldCopyRowsIntoATemporaryTable) {
    DialectDatabase db;
    db.run("CREATE TABLE T (a int)");
    db.run("insert into T values (1)");
    db.run("insert into T values (2)");
    db.run("select a into #copia from T where a > 1");
    EXPECT_EQ(db.scalar("select count(*) from #copia"), "1");
    db.run("truncate table T");
    EXPECT_EQ(db.scalar("select count(*) from T"), "0");
    // Temporary tables keep the date and length rules.
    db.run("CREATE TABLE #fechas (f datetime, c varchar(2))");
    db.run("insert into #fechas values ('5/3/2024', 'ab')");
    EXPECT_EQ(db.scalar("select f from #fechas where f = '2024-03-05'"), "2024-03-05 00:00:00.000");
    EXPECT_TRUE(db.failure("insert into #fechas values (null, 'abc')").contains("8152"));
}

} // namespace
