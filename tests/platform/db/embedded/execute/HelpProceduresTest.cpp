// sp_help, sp_helptext and sp_columns as install scripts call them: the
// result sets of their pages, read from the catalogue.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class HelpProceduresTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Grupos (Id int NOT NULL CONSTRAINT PK_Grupos PRIMARY KEY)");
        run("CREATE TABLE Fichas (Num int IDENTITY(100,5) NOT NULL, Grupo int NULL CONSTRAINT "
            "FK_Fichas_Grupos REFERENCES Grupos (Id), Nombre nvarchar(30) NOT NULL, Importe "
            "decimal(9,2) NULL CONSTRAINT CK_Importe CHECK (Importe >= 0))");
        run("CREATE INDEX IX_Nombre ON Fichas (Nombre)");
    }

    static QStringList columnNames(const ResultSet& set) {
        QStringList names;
        for (const ColumnInfo& column : set.columns)
            names << column.name;
        return names;
    }
};

TEST_F(HelpProceduresTest, shouldDescribeATableInItsDocumentedResultSets) {
    const ExecutionResult result = run("EXEC sp_help 'dbo.Fichas'");
    ASSERT_EQ(result.resultSets.size(), 7u); // no key refers to it: a message instead
    EXPECT_EQ(columnNames(result.resultSets[0]),
              QStringList({"Name", "Owner", "Type", "Created_datetime"}));
    EXPECT_EQ(result.resultSets[0].rows.at(0).at(0).toString(), "Fichas");
    const ResultSet& columns = result.resultSets[1];
    EXPECT_EQ(columnNames(columns).mid(0, 4), QStringList({"Column_name", "Type", "Computed", "Length"}));
    ASSERT_EQ(columns.rows.size(), 4u);
    // Length in bytes: two per character of nvarchar.
    EXPECT_EQ(columns.rows[2][0].toString(), "Nombre");
    EXPECT_EQ(columns.rows[2][1].toString(), "nvarchar");
    EXPECT_EQ(columns.rows[2][3].toInt64(), 60);
    EXPECT_EQ(columns.rows[0][3].toInt64(), 4);
    const ResultSet& identity = result.resultSets[2];
    EXPECT_EQ(columnNames(identity),
              QStringList({"Identity", "Seed", "Increment", "Not For Replication"}));
    EXPECT_EQ(identity.rows.at(0).at(0).toString(), "Num");
    EXPECT_EQ(identity.rows[0][1].toInt64(), 100);
    EXPECT_EQ(identity.rows[0][2].toInt64(), 5);
    EXPECT_EQ(columnNames(result.resultSets[5]),
              QStringList({"index_name", "index_description", "index_keys"}));
    EXPECT_EQ(result.resultSets[5].rows.at(0).at(0).toString(), "IX_Nombre");
    EXPECT_EQ(result.resultSets[5].rows[0][2].toString(), "Nombre");
    QStringList constraints;
    for (const auto& row : result.resultSets[6].rows)
        constraints << row.at(1).toString().trimmed();
    EXPECT_TRUE(constraints.contains("CK_Importe"));
    EXPECT_TRUE(constraints.contains("FK_Fichas_Grupos"));
    // The referenced table names the key that points at it.
    const ExecutionResult grupos = run("EXEC sp_help Grupos");
    EXPECT_TRUE(grupos.resultSets.back().rows.at(0).at(0).toString().contains("FK_Fichas_Grupos"));
    EXPECT_EQ(grupos.resultSets[2].rows.at(0).at(0).toString(), "No identity column defined.");
}

TEST_F(HelpProceduresTest, shouldGiveAProcedureDefinitionLineByLine) {
    EXPECT_EQ(nativeErrorOf("EXEC sp_helptext 'NoExiste'"), 15009);
    EXPECT_EQ(nativeErrorOf("EXEC sp_help 'NoExiste'"), 15009);
    EXPECT_EQ(lastFailure.front().description,
              "The object 'NoExiste' does not exist in database 'PRUEBA' or is invalid for this "
              "operation.");
    run("CREATE PROCEDURE Alta @Nombre nvarchar(30)\nAS\nINSERT INTO Fichas (Nombre) VALUES "
        "(@Nombre)");
    const ExecutionResult text = run("EXEC sp_helptext Alta");
    ASSERT_EQ(text.resultSets.size(), 1u);
    EXPECT_EQ(columnNames(text.resultSets[0]), QStringList({"Text"}));
    ASSERT_EQ(text.resultSets[0].rows.size(), 3u);
    EXPECT_EQ(text.resultSets[0].rows[1][0].toString(), "AS\n"); // its line end as written
    const ExecutionResult help = run("EXEC sp_help 'Alta'");
    ASSERT_EQ(help.resultSets.size(), 2u);
    EXPECT_EQ(help.resultSets[1].rows.at(0).at(0).toString(), "@Nombre");
}

// Each kind of object gets the object's own set and those its kind adds:
// a view no filegroup, a procedure or a function its parameters, a trigger
// nothing more.
TEST_F(HelpProceduresTest, shouldDescribeEachKindOfObjectInTheSetsOfItsKind) {
    run("CREATE VIEW VFichas AS SELECT Num, Nombre FROM Fichas");
    run("CREATE FUNCTION Iva (@Importe money, @Tipo varchar(5)) RETURNS money AS BEGIN RETURN "
        "@Importe END");
    run("CREATE FUNCTION Grupo (@Id int) RETURNS TABLE AS RETURN (SELECT Id FROM Grupos WHERE "
        "Id = @Id)");
    run("CREATE TRIGGER TFichas ON Fichas AFTER INSERT AS SET NOCOUNT ON");

    const ExecutionResult view = run("EXEC sp_help 'VFichas'");
    ASSERT_EQ(view.resultSets.size(), 4u);
    EXPECT_EQ(view.resultSets[0].rows.at(0).at(0).toString(), "VFichas");
    EXPECT_EQ(view.resultSets[1].rows.size(), 2u);
    for (const ResultSet& set : view.resultSets)
        EXPECT_FALSE(columnNames(set).contains("Data_located_on_filegroup"));

    const QStringList parameterColumns{"Parameter_name", "Type",        "Length",   "Prec",
                                       "Scale",          "Param_order", "Collation"};
    const ExecutionResult scalar = run("EXEC sp_help 'dbo.Iva'");
    ASSERT_EQ(scalar.resultSets.size(), 2u);
    EXPECT_EQ(scalar.resultSets[0].rows.at(0).at(0).toString(), "Iva");
    EXPECT_EQ(scalar.resultSets[0].rows[0][1].toString(), "dbo");
    const ResultSet& parameters = scalar.resultSets[1];
    EXPECT_EQ(columnNames(parameters), parameterColumns);
    // The return value first, as order 0 without a name, then the parameters in order.
    ASSERT_EQ(parameters.rows.size(), 3u);
    EXPECT_EQ(parameters.rows[0][0].toString(), "");
    EXPECT_EQ(parameters.rows[0][1].toString(), "money");
    EXPECT_EQ(parameters.rows[0][5].toInt64(), 0);
    EXPECT_EQ(parameters.rows[2][0].toString(), "@Tipo");
    EXPECT_EQ(parameters.rows[2][2].toInt64(), 5);
    EXPECT_EQ(parameters.rows[2][5].toInt64(), 2);

    const ExecutionResult inlineTable = run("EXEC sp_help 'Grupo'");
    ASSERT_EQ(inlineTable.resultSets.size(), 2u);
    ASSERT_EQ(inlineTable.resultSets[1].rows.size(), 1u);
    EXPECT_EQ(inlineTable.resultSets[1].rows[0][0].toString(), "@Id");
    EXPECT_EQ(inlineTable.resultSets[1].rows[0][5].toInt64(), 1);

    const ExecutionResult trigger = run("EXEC sp_help 'TFichas'");
    ASSERT_EQ(trigger.resultSets.size(), 1u);
    EXPECT_EQ(trigger.resultSets[0].rows.at(0).at(0).toString(), "TFichas");
}

// sp_helpconstraint: the table's name first unless 'nomsg'; then the
// constraints as sp_help lists them; a table without any gets a message.
TEST_F(HelpProceduresTest, shouldListATablesConstraintsUnderItsName) {
    const ExecutionResult named = run("EXEC sp_helpconstraint 'Fichas'");
    ASSERT_EQ(named.resultSets.size(), 2u);
    EXPECT_EQ(named.resultSets[0].rows.at(0).at(0).toString(), "Fichas");
    const ExecutionResult quiet = run("EXEC sp_helpconstraint 'Fichas', 'nomsg'");
    ASSERT_EQ(quiet.resultSets.size(), 1u);
    EXPECT_EQ(columnNames(quiet.resultSets[0]),
              QStringList({"constraint_type", "constraint_name", "delete_action", "update_action",
                           "status_enabled", "status_for_replication", "constraint_keys"}));
    QStringList names;
    for (const auto& row : quiet.resultSets[0].rows)
        names << row.at(1).toString();
    EXPECT_TRUE(names.contains("CK_Importe"));
    EXPECT_TRUE(names.contains("FK_Fichas_Grupos"));
    // The referenced table lists the key that points at it.
    const ExecutionResult grupos = run("EXEC sp_helpconstraint 'Grupos', 'nomsg'");
    ASSERT_EQ(grupos.resultSets.size(), 2u);
    EXPECT_TRUE(grupos.resultSets[1].rows.at(0).at(0).toString().contains("FK_Fichas_Grupos"));
    run("CREATE TABLE Suelta (a int)");
    const ExecutionResult none = run("EXEC sp_helpconstraint 'Suelta', 'nomsg'");
    EXPECT_TRUE(none.resultSets.empty());
    EXPECT_EQ(nativeErrorOf("EXEC sp_helpconstraint 'NoExiste'"), 15009);
}

TEST_F(HelpProceduresTest, shouldListColumnsAsOdbcDescribesThem) {
    const ExecutionResult result = run("EXEC sp_columns @table_name = 'Fichas'");
    ASSERT_EQ(result.resultSets.size(), 1u);
    const ResultSet& set = result.resultSets[0];
    EXPECT_EQ(set.columns.size(), 19u);
    ASSERT_EQ(set.rows.size(), 4u);
    // COLUMN_NAME, DATA_TYPE, PRECISION, LENGTH, NULLABLE of the Unicode and decimal columns.
    EXPECT_EQ(set.rows[2][3].toString(), "Nombre");
    EXPECT_EQ(set.rows[2][4].toInt64(), -9);
    EXPECT_EQ(set.rows[2][6].toInt64(), 30);
    EXPECT_EQ(set.rows[2][7].toInt64(), 60);
    EXPECT_EQ(set.rows[2][10].toInt64(), 0);
    EXPECT_EQ(set.rows[3][4].toInt64(), 3);
    EXPECT_EQ(set.rows[3][7].toInt64(), 11);
    EXPECT_EQ(set.rows[3][8].toInt64(), 2);
    // Only the column asked for; a pattern with no table gives no rows.
    EXPECT_EQ(run("EXEC sp_columns 'Fichas', @column_name = 'Imp%'").resultSets[0].rows.size(), 1u);
    EXPECT_TRUE(run("EXEC sp_columns 'Nada'").resultSets[0].rows.empty());
}

} // namespace
} // namespace estaciones::db::sqlite::test
