// MERGE: which WHEN clause a row takes is decided on the rows as they were,
// every clause's changes land together or not at all, and @@ROWCOUNT counts
// them all.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class MergeTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Stock (Codigo int PRIMARY KEY, Cantidad int NOT NULL CHECK (Cantidad >= "
            "0))");
        run("CREATE TABLE Recuento (Codigo int, Cantidad int)");
        run("INSERT INTO Stock VALUES (1, 10), (2, 20), (3, 30)");
    }

    QString stock() {
        QString text;
        for (const auto& row : rows("SELECT Codigo, Cantidad FROM Stock ORDER BY Codigo"))
            text += QStringLiteral("%1:%2 ").arg(row[0].toInt64()).arg(row[1].toInt64());
        return text.trimmed();
    }
};

TEST_F(MergeTest, shouldChooseEachRowsClauseBeforeAnyChange) {
    // Row 1 grows past the source's value after the UPDATE; it must not be
    // deleted by the second clause, whose condition is read before.
    run("INSERT INTO Recuento VALUES (1, 15), (2, 5), (4, 40)");
    const ExecutionResult result =
        run("MERGE Stock AS s USING Recuento AS r ON s.Codigo = r.Codigo "
            "WHEN MATCHED AND r.Cantidad > s.Cantidad THEN UPDATE SET s.Cantidad = r.Cantidad + 100 "
            "WHEN MATCHED THEN DELETE "
            "WHEN NOT MATCHED BY TARGET THEN INSERT (Codigo, Cantidad) VALUES (r.Codigo, r.Cantidad) "
            "WHEN NOT MATCHED BY SOURCE AND s.Cantidad > 25 THEN UPDATE SET Cantidad = 0;\n"
            "SELECT @@ROWCOUNT");
    EXPECT_EQ(stock(), "1:115 3:0 4:40");
    EXPECT_EQ(result.resultSets.front().rows.front().front().toInt64(), 4);
}

TEST_F(MergeTest, shouldUndoEveryClauseWhenOneFails) {
    run("INSERT INTO Recuento VALUES (1, 11), (5, -1)");
    EXPECT_EQ(nativeErrorOf("MERGE Stock USING Recuento ON Stock.Codigo = Recuento.Codigo "
                            "WHEN MATCHED THEN UPDATE SET Cantidad = Recuento.Cantidad "
                            "WHEN NOT MATCHED THEN INSERT VALUES (Recuento.Codigo, "
                            "Recuento.Cantidad);"),
              547);
    EXPECT_EQ(stock(), "1:10 2:20 3:30");
    // The same source without the bad row goes through.
    run("DELETE FROM Recuento WHERE Codigo = 5;\n"
        "MERGE Stock USING Recuento ON Stock.Codigo = Recuento.Codigo "
        "WHEN MATCHED THEN UPDATE SET Cantidad = Recuento.Cantidad;");
    EXPECT_EQ(stock(), "1:11 2:20 3:30");
}

TEST_F(MergeTest, shouldRefuseATargetRowMatchedTwice) {
    run("INSERT INTO Recuento VALUES (2, 1), (2, 2)");
    EXPECT_EQ(nativeErrorOf("MERGE Stock AS s USING Recuento AS r ON s.Codigo = r.Codigo "
                            "WHEN MATCHED THEN UPDATE SET Cantidad = r.Cantidad;"),
              8672);
    EXPECT_EQ(stock(), "1:10 2:20 3:30");
}

TEST_F(MergeTest, shouldReadSourcesOfEveryForm) {
    run("DECLARE @nuevos TABLE (Codigo int, Cantidad int)\n"
        "INSERT INTO @nuevos VALUES (7, 70)\n"
        "MERGE INTO Stock USING @nuevos AS n ON Stock.Codigo = n.Codigo "
        "WHEN NOT MATCHED THEN INSERT VALUES (n.Codigo, n.Cantidad);\n"
        "MERGE Stock USING (SELECT Codigo, Cantidad * 2 AS Doble FROM Stock WHERE Codigo = 1) AS d "
        "ON Stock.Codigo = d.Codigo WHEN MATCHED THEN UPDATE SET Cantidad = d.Doble;\n"
        "MERGE Stock USING (VALUES (3, 33)) AS v (Codigo, Cantidad) ON Stock.Codigo = v.Codigo "
        "WHEN MATCHED THEN UPDATE SET Cantidad = v.Cantidad;");
    EXPECT_EQ(stock(), "1:20 2:20 3:33 7:70");
}

TEST_F(MergeTest, shouldRefuseWhatItCannotDoByName) {
    EXPECT_EQ(nativeErrorOf("MERGE Stock USING Recuento AS r ON Stock.Codigo = r.Codigo "
                            "WHEN MATCHED THEN DELETE"),
              10713);
    EXPECT_EQ(nativeErrorOf("MERGE Stock USING Recuento AS r ON Stock.Codigo = r.Codigo "
                            "WHEN MATCHED THEN DELETE OPTION (MAXDOP 1);"),
              40517);
    EXPECT_TRUE(lastFailure.front().description.contains("MERGE ... OPTION"));
}

// TOP's count is checked when the statement runs: a negative one changes nothing.
TEST_F(MergeTest, shouldRefuseATopCountOutOfRangeBeforeChangingAnything) {
    run("INSERT INTO Recuento VALUES (1, 11)");
    const QString before = stock();
    EXPECT_EQ(nativeErrorOf("DECLARE @n int = -1\nMERGE TOP (@n) Stock USING Recuento AS r ON "
                            "Stock.Codigo = r.Codigo WHEN MATCHED THEN DELETE;"),
              1014);
    EXPECT_EQ(nativeErrorOf("MERGE TOP (101) PERCENT Stock USING Recuento AS r ON "
                            "Stock.Codigo = r.Codigo WHEN MATCHED THEN DELETE;"),
              1006);
    EXPECT_EQ(stock(), before);
}

// OUTPUT gives one result set for all the actions; a failing action leaves
// neither its changes nor rows of output behind.
TEST_F(MergeTest, shouldOutputTheRowsOfEveryActionTogether) {
    run("INSERT INTO Recuento VALUES (1, 11), (4, 40)");
    const ExecutionResult result =
        run("MERGE Stock AS s USING Recuento AS r ON s.Codigo = r.Codigo WHEN MATCHED THEN "
            "UPDATE SET s.Cantidad = r.Cantidad WHEN NOT MATCHED THEN INSERT VALUES (r.Codigo, "
            "r.Cantidad) WHEN NOT MATCHED BY SOURCE THEN DELETE OUTPUT $action, deleted.Codigo, "
            "inserted.Cantidad;");
    ASSERT_EQ(result.resultSets.size(), 1u);
    QStringList rows;
    for (const auto& row : result.resultSets[0].rows)
        rows << QStringLiteral("%1 %2 %3")
                    .arg(row[0].toString(), row[1].isNull() ? "-" : row[1].toString(),
                         row[2].isNull() ? "-" : row[2].toString());
    rows.sort();
    EXPECT_EQ(rows, QStringList({"DELETE 2 -", "DELETE 3 -", "INSERT - 40", "UPDATE 1 11"}));
    EXPECT_EQ(stock(), "1:11 4:40");
    run("CREATE TABLE Salida (Accion nvarchar(10))");
    EXPECT_EQ(nativeErrorOf("MERGE Stock AS s USING Recuento AS r ON s.Codigo = r.Codigo WHEN "
                            "MATCHED THEN UPDATE SET s.Cantidad = -1 OUTPUT $action INTO Salida;"),
              547);
    EXPECT_EQ(stock(), "1:11 4:40");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Salida").toInt64(), 0);
}

// The triggers a MERGE fires run inside its transaction: a ROLLBACK in one
// undoes every action; OUTPUT and the triggers read the same rows; a
// trigger may MERGE too.
TEST_F(MergeTest, shouldRunItsTriggersInsideItsTransaction) {
    run("CREATE TABLE Rastro (Accion varchar(10), Filas int)");
    run("CREATE TRIGGER tr_stock_cambio ON Stock AFTER UPDATE AS "
        "INSERT INTO Rastro SELECT 'cambio', COUNT(*) FROM inserted "
        "MERGE Recuento AS r USING inserted AS i ON r.Codigo = i.Codigo "
        "WHEN NOT MATCHED THEN INSERT VALUES (i.Codigo, i.Cantidad);");
    run("INSERT INTO Recuento VALUES (1, 11)");
    const ExecutionResult result =
        run("MERGE Stock AS s USING (VALUES (1, 12), (2, 22)) AS v (Codigo, Cantidad) "
            "ON s.Codigo = v.Codigo WHEN MATCHED THEN UPDATE SET s.Cantidad = v.Cantidad "
            "OUTPUT $action, inserted.Codigo;");
    ASSERT_EQ(result.resultSets.size(), 1u);
    EXPECT_EQ(result.resultSets[0].rows.size(), 2u);
    EXPECT_EQ(scalar("SELECT Filas FROM Rastro WHERE Accion = 'cambio'").toInt64(), 2);
    // The trigger's own MERGE added the row Recuento lacked.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Recuento").toInt64(), 2);
    run("CREATE TRIGGER tr_stock_baja ON Stock AFTER DELETE AS "
        "IF EXISTS (SELECT * FROM deleted WHERE Cantidad > 25) ROLLBACK TRANSACTION");
    EXPECT_EQ(nativeErrorOf("MERGE Stock AS s USING (VALUES (3), (4)) AS v (Codigo) "
                            "ON s.Codigo = v.Codigo WHEN MATCHED THEN DELETE "
                            "WHEN NOT MATCHED THEN INSERT VALUES (v.Codigo, 0);"),
              3609);
    EXPECT_EQ(stock(), "1:12 2:22 3:30");
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt64(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sqlite_temp_schema WHERE name LIKE 'estaciones%' OR "
                     "name LIKE 'tsql_merge%'")
                  .toInt64(),
              0);
}

// INSTEAD OF triggers take the place of a MERGE's actions only when every
// action it carries out has one: a mix is refused by name.
TEST_F(MergeTest, shouldGiveItsActionsToInsteadOfTriggers) {
    run("CREATE TABLE Propuesta (Codigo int, Cantidad int)");
    run("CREATE TRIGGER tr_stock_en_vez ON Stock INSTEAD OF UPDATE AS "
        "INSERT INTO Propuesta SELECT Codigo, Cantidad FROM inserted");
    const ExecutionResult counted =
        run("MERGE Stock AS s USING (VALUES (1, 99)) AS v (Codigo, Cantidad) ON s.Codigo = "
            "v.Codigo WHEN MATCHED THEN UPDATE SET s.Cantidad = v.Cantidad;\nSELECT @@ROWCOUNT");
    EXPECT_EQ(counted.resultSets.front().rows.front().front().toInt64(), 1);
    EXPECT_EQ(stock(), "1:10 2:20 3:30");
    EXPECT_EQ(scalar("SELECT Cantidad FROM Propuesta WHERE Codigo = 1").toInt64(), 99);
    EXPECT_EQ(nativeErrorOf("MERGE Stock AS s USING (VALUES (1, 5), (9, 9)) AS v (Codigo, "
                            "Cantidad) ON s.Codigo = v.Codigo WHEN MATCHED THEN UPDATE SET "
                            "s.Cantidad = v.Cantidad WHEN NOT MATCHED THEN INSERT VALUES "
                            "(v.Codigo, v.Cantidad);"),
              40517);
    EXPECT_TRUE(lastFailure.front().description.contains("INSTEAD OF"));
    EXPECT_EQ(stock(), "1:10 2:20 3:30");
}

} // namespace
} // namespace estaciones::db::sqlite::test
