// FOR JSON inside a statement is worked out before it runs, wherever the
// subquery stands; one that reads the outer query's rows fails loudly.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class NestedForJsonTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Cajas (Id int, Nombre nvarchar(20))\n"
            "INSERT INTO Cajas VALUES (1, N'Norte'), (2, N'Sur')\n"
            "CREATE TABLE Copias (Texto nvarchar(max))");
    }
};

} // namespace

TEST_F(NestedForJsonTest, shouldGiveTheTextToChangesAndNestedSubqueries) {
    run("INSERT INTO Copias SELECT (SELECT Id FROM Cajas WHERE Id IN\n"
        "  (SELECT Id FROM Cajas WHERE Nombre = N'Sur') FOR JSON PATH)\n"
        "UPDATE Copias SET Texto = Texto + (SELECT Nombre FROM Cajas WHERE Id = 1 FOR JSON PATH)");
    EXPECT_EQ(scalar("SELECT Texto FROM Copias").toString(),
              QStringLiteral(R"([{"Id":2}][{"Nombre":"Norte"}])"));
}

TEST_F(NestedForJsonTest, shouldRefuseASubqueryReadingTheOuterRows) {
    EXPECT_EQ(nativeErrorOf("SELECT c.Id, (SELECT d.Nombre FROM Cajas d WHERE d.Id = c.Id FOR "
                            "JSON PATH) FROM Cajas c"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT (SELECT Id FROM NoExiste FOR JSON PATH)"), 208);
}

} // namespace estaciones::db::sqlite::test
