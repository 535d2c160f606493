// binary and varbinary columns through the ADO-like layer, as the program's
// code sees them: Field.Type adBinary (128) / adVarBinary (204), DefinedSize
// in bytes, and the value a Byte array. On the embedded engine, whose T-SQL
// writes the values (0x literals).

#include "DbBackends.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

#ifdef ESTACIONES_HAVE_EMBEDDED_ENGINE

using namespace estaciones;
using namespace estaciones::db;
using estaciones::test::DbBackend;
using estaciones::test::DbScratch;

namespace {

class BinaryFieldsTest : public ::testing::Test {
protected:
    void SetUp() override {
        cnn = scratch.open(adUseClient);
        cnn.execute(QStringLiteral("CREATE TABLE t_huellas (id int NOT NULL PRIMARY KEY, "
                                   "huella varbinary(8) NULL, marca binary(4) NULL)"));
        cnn.execute(QStringLiteral("INSERT INTO t_huellas VALUES (1, 0x00FF10, 0x0A)"));
    }

    Recordset openRs(const QString& sql, int lockType = adLockReadOnly) {
        Recordset rs;
        rs.open(sql, cnn, adOpenStatic, lockType);
        return rs;
    }

    DbScratch scratch{DbBackend::Embedded};
    Connection cnn;
};

TEST_F(BinaryFieldsTest, shouldReadBinaryColumnsAsByteArraysWithTheirAdoTypes) {
    Recordset rs = openRs(QStringLiteral("SELECT huella, marca FROM t_huellas"));
    EXPECT_EQ(rs["huella"].type(), adtype::VarBinary);
    EXPECT_EQ(rs["huella"].definedSize(), 8);
    EXPECT_EQ(rs["huella"].value(), Variant::fromBytes(QByteArray("\x00\xff\x10", 3)));
    EXPECT_EQ(rs["huella"].actualSize(), 3);
    // binary(4) holds four bytes: what came in shorter is filled with zeros.
    EXPECT_EQ(rs["marca"].type(), adtype::Binary);
    EXPECT_EQ(rs["marca"].definedSize(), 4);
    EXPECT_EQ(rs["marca"].value(), Variant::fromBytes(QByteArray("\x0a\x00\x00\x00", 4)));
}

TEST_F(BinaryFieldsTest, shouldGiveBinaryExpressionsAsVarbinaryByteArrays) {
    Recordset rs = openRs(QStringLiteral(
        "SELECT 0x4142 AS b, HASHBYTES('MD5', 'abc') AS h, CAST(0x4142 AS varchar(5)) AS t"));
    EXPECT_EQ(rs["b"].type(), adtype::VarBinary);
    EXPECT_EQ(rs["b"].value(), Variant::fromBytes(QByteArrayLiteral("AB")));
    // MD5 of "abc", the algorithm's published test value.
    EXPECT_EQ(rs["h"].type(), adtype::VarBinary);
    EXPECT_EQ(rs["h"].value().toBytes().toHex(), QByteArray("900150983cd24fb0d6963f7d28e17f72"));
    // Converted to text, the bytes are characters again.
    EXPECT_EQ(rs["t"].value(), Variant(QStringLiteral("AB")));
}

TEST_F(BinaryFieldsTest, shouldWriteAByteArrayWithAddNewAndFindTheRowByItToUpdateIt) {
    const QByteArray zeros("\x00\x00\x7f\x80", 4);
    {
        Recordset rs = openRs(QStringLiteral("SELECT id, huella, marca FROM t_huellas"),
                              adLockOptimistic);
        rs.addNew();
        rs["id"] = Variant(2);
        rs["huella"] = Variant::fromBytes(zeros);
        rs["marca"] = Variant::fromBytes(QByteArray("\x01", 1));
        rs.update();
    }
    Recordset check = openRs(QStringLiteral(
        "SELECT huella, DATALENGTH(huella) AS n, marca FROM t_huellas WHERE id = 2"));
    ASSERT_FALSE(check.eof());
    // Bytes that are NUL or above 0x7F arrive whole, not as text.
    EXPECT_EQ(check["huella"].value().toBytes(), zeros);
    EXPECT_EQ(check["n"].value().toInt32(), 4);
    EXPECT_EQ(check["marca"].value().toBytes(), QByteArray("\x01\x00\x00\x00", 4));

    // A table without key: the update finds its row by the original bytes.
    cnn.execute(QStringLiteral("CREATE TABLE t_sin_clave (huella varbinary(8) NULL, n int NULL)"));
    cnn.execute(QStringLiteral("INSERT INTO t_sin_clave VALUES (0x00FF, 1), (0x00FE, 2)"));
    {
        Recordset rs = openRs(QStringLiteral("SELECT huella, n FROM t_sin_clave WHERE n = 1"),
                              adLockOptimistic);
        rs["n"] = Variant(10);
        rs.update();
    }
    EXPECT_EQ(cnn.execute(QStringLiteral("SELECT n FROM t_sin_clave WHERE huella = 0x00FF"))
                  .fields(0)
                  .value()
                  .toInt32(),
              10);
}

TEST_F(BinaryFieldsTest, shouldRefuseBytesLongerThanTheColumnWithTruncation) {
    Recordset rs = openRs(QStringLiteral("SELECT id, huella FROM t_huellas"), adLockOptimistic);
    rs.addNew();
    rs["id"] = Variant(3);
    rs["huella"] = Variant::fromBytes(QByteArray(9, 'x'));
    try {
        rs.update();
        ADD_FAILURE() << "nine bytes went into varbinary(8)";
    } catch (const Error& e) {
        EXPECT_EQ(e.nativeError(), 8152);
    }
    EXPECT_EQ(cnn.execute(QStringLiteral("SELECT COUNT(*) FROM t_huellas")).fields(0).value().toInt32(),
              1);
}

} // namespace

#endif
