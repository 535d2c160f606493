// What a new database keeps for dates, money and decimals whatever form a
// statement wrote them in, and that comparisons and ORDER BY go by value.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class StoredFormTest : public EmbeddedFixture {
protected:
    // The column as the file holds it, read past the engine.
    std::string stored(const char* column, const char* table = "t") {
        return pastTheEngine(std::string("SELECT ") + column + " FROM " + table + " ORDER BY rowid");
    }
};

TEST_F(StoredFormTest, shouldKeepEveryDateTypeInItsFixedForm) {
    run(QStringLiteral("CREATE TABLE t (a datetime, b smalldatetime, c date, d datetime2(3), "
                       "e datetime2, f time(0), g time)"));
    run(QStringLiteral("SET DATEFORMAT dmy\n"
                       "INSERT INTO t VALUES ('5/3/2024 10:20:30.002', '5/3/2024 10:20:29.999', "
                       "'5/3/2024 10:20', '20240305 10:20:30.5', '2024-03-05', '10:20:30.4', "
                       "'10:20:30.25')\n"
                       "INSERT INTO t (a) VALUES ('31/12/1998 23:59:59.999')"));
    EXPECT_EQ(stored("a"), "2024-03-05 10:20:30.003;1999-01-01 00:00:00.000");
    EXPECT_EQ(stored("b"), "2024-03-05 10:21:00;NULL");
    EXPECT_EQ(stored("c"), "2024-03-05;NULL");
    EXPECT_EQ(stored("d"), "2024-03-05 10:20:30.500;NULL");
    EXPECT_EQ(stored("e"), "2024-03-05 00:00:00.0000000;NULL");
    EXPECT_EQ(stored("f"), "10:20:30;NULL");
    EXPECT_EQ(stored("g"), "10:20:30.2500000;NULL");
    // An UPDATE and a bound date with milliseconds are stored the same way.
    run(QStringLiteral("UPDATE t SET c = '1/2/2025 18:00' WHERE a < '1/1/2000'"));
    run(QStringLiteral("UPDATE t SET a = ? WHERE c = '20250201'"),
        {Variant(DateTimeValue{QDate(2025, 2, 1), QTime(8, 0, 0, 2)})});
    EXPECT_EQ(stored("a"), "2024-03-05 10:20:30.003;2025-02-01 08:00:00.003");
    EXPECT_EQ(stored("c"), "2024-03-05;2025-02-01");
    EXPECT_EQ(nativeErrorOf(QStringLiteral("INSERT INTO t (a) VALUES ('1/1/1752')")), 242);
}

TEST_F(StoredFormTest, shouldCompareAndSortDatesByValue) {
    run(QStringLiteral("CREATE TABLE t (id int, a datetime)\n"
                       "INSERT INTO t VALUES (1, '20240102'), (2, '1/1/2024 23:59:59.997'), "
                       "(3, '2024-01-02 00:00:00.003'), (4, '31/12/2023')"));
    const auto ordered = rows(QStringLiteral("SELECT id FROM t ORDER BY a"));
    ASSERT_EQ(ordered.size(), 4u);
    EXPECT_EQ(ordered[0][0], Variant(4LL));
    EXPECT_EQ(ordered[1][0], Variant(2LL));
    EXPECT_EQ(ordered[2][0], Variant(1LL));
    EXPECT_EQ(ordered[3][0], Variant(3LL));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t WHERE a = '2/1/2024'")), Variant(1LL));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t WHERE a >= '2024-01-01'")),
              Variant(3LL));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t WHERE a < '20240102 00:00:00.002'")),
              Variant(3LL));
}

TEST_F(StoredFormTest, shouldRoundMoneyAndDecimalsToTheirScaleOnWrite) {
    run(QStringLiteral("CREATE TABLE t (m money, s smallmoney, d decimal(18,2), e decimal(10,4))\n"
                       "INSERT INTO t VALUES (1.23456, 2.00005, 1234.565, -0.00005)\n"
                       "INSERT INTO t VALUES (-7, -1.5, -0.005, 3)"));
    EXPECT_EQ(stored("m"), "1.2346;-7");
    EXPECT_EQ(stored("s"), "2.0001;-1.5");
    EXPECT_EQ(stored("d"), "1234.57;-0.01");
    EXPECT_EQ(stored("e"), "-0.0001;3");
    run(QStringLiteral("UPDATE t SET d = 0.125 WHERE m < 0"));
    EXPECT_EQ(stored("d"), "1234.57;0.13");
    // The server's range checks: decimal(5,2) keeps three whole digits, money
    // up to 922,337,203,685,477.5807.
    run(QStringLiteral("CREATE TABLE r (d decimal(5,2), m money)"));
    EXPECT_EQ(nativeErrorOf(QStringLiteral("INSERT INTO r (d) VALUES (1000)")), 8115);
    EXPECT_EQ(nativeErrorOf(QStringLiteral("INSERT INTO r (d) VALUES (999.994)")), 0);
    EXPECT_EQ(nativeErrorOf(QStringLiteral("INSERT INTO r (m) VALUES (922337203685478)")), 8115);
    EXPECT_EQ(nativeErrorOf(QStringLiteral("UPDATE r SET d = -1000")), 8115);
    EXPECT_EQ(stored("d", "r"), "999.99");
}

TEST_F(StoredFormTest, shouldRefuseWhatAColumnCannotKeepAndKeepFifteenDigitsExactly) {
    run(QStringLiteral("CREATE TABLE w (id int, m money, d decimal(38,20), z numeric(30,0))\n"
                       "CREATE TABLE #w (m money)"));
    // The text of a wide literal reaches the store trigger whole and is refused there.
    for (const char* statement :
         {"INSERT INTO w (id, m) VALUES (1, 922337203685477.5807)",
          "INSERT INTO w (id, d) VALUES (1, 0.1234567890123456)",
          "INSERT INTO w (id, z) VALUES (1, 12345678901234567890)",
          "INSERT INTO w (id, d) VALUES (1, '1000000000000000.5')",
          "INSERT INTO w (id, m) SELECT 1, CAST(123456789012.3456 AS money)",
          "INSERT INTO #w (m) VALUES (-922337203685477.5808)",
          "DECLARE @t TABLE (m money) INSERT INTO @t VALUES (123456789012.3456)"}) {
        SCOPED_TRACE(statement);
        EXPECT_EQ(nativeErrorOf(QString::fromLatin1(statement)), 40517);
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM w")), Variant(0LL));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM #w")), Variant(0LL));
    // Fifteen significant digits, trailing zeros not counted, are kept as they are.
    run(QStringLiteral("INSERT INTO w VALUES (2, 12345678901.2345, 12345.6789012345, "
                       "123456789012345000000000000000)"));
    const auto kept = rows(QStringLiteral("SELECT m, d, z FROM w"));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0][0], Variant(Currency{123456789012345}));
    EXPECT_EQ(kept[0][1].toDecimal().toString(), QStringLiteral("12345.67890123450000000000"));
    EXPECT_EQ(kept[0][2].toDecimal().toString(), QStringLiteral("123456789012345000000000000000"));
    EXPECT_EQ(stored("m", "w"), "12345678901.2345");
}

TEST_F(StoredFormTest, shouldKeepAWholeDecimalByItsSixtyFourBits) {
    // A decimal of scale 0 is kept as SQLite's integer, which holds 18 digits
    // and more; read back as a double it lost the last ones.
    run(QStringLiteral("CREATE TABLE g (id int, d decimal(19,0))\n"
                       "INSERT INTO g VALUES (1, 1234567890123456789), (2, -999999999999999999)"));
    const auto kept = rows(QStringLiteral("SELECT d FROM g ORDER BY d"));
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0][0].toDecimal().toString(), QStringLiteral("-999999999999999999"));
    EXPECT_EQ(kept[1][0].toDecimal().toString(), QStringLiteral("1234567890123456789"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT id FROM g WHERE d = 1234567890123456789")), Variant(1LL));
    EXPECT_EQ(stored("d", "g"), "1234567890123456789;-999999999999999999");
}

TEST_F(StoredFormTest, shouldCopyAndCaptureColumnsWhoseDeclarationsGoQuoted) {
    // "datetime2(3) text" and "decimal(18,2) blob" are type names SQLite
    // takes only quoted: SELECT ... INTO and OUTPUT declare them again.
    run(QStringLiteral("CREATE TABLE q (id int, d datetime2(3), n decimal(18,2), v varchar(max))\n"
                       "INSERT INTO q VALUES (1, '20240101 10:20:30.125', 2.5, 'x')"));
    run(QStringLiteral("SELECT id, d, n, v INTO q2 FROM q"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT n FROM q2")).toDecimal().toString(),
              QStringLiteral("2.50"));
    const auto output = rows(
        QStringLiteral("UPDATE q SET n = n + 1 OUTPUT inserted.d, deleted.n, inserted.n WHERE id = 1"));
    ASSERT_EQ(output.size(), 1u);
    EXPECT_EQ(output[0][0].toDate().time, QTime(10, 20, 30, 125));
    EXPECT_EQ(output[0][1].toDecimal().toString(), QStringLiteral("2.50"));
    EXPECT_EQ(output[0][2].toDecimal().toString(), QStringLiteral("3.50"));
}

TEST_F(StoredFormTest, shouldCompareAndSortNumbersByValueAcrossScales) {
    run(QStringLiteral("CREATE TABLE t (id int, d decimal(18,2), e decimal(10,4), m money)\n"
                       "INSERT INTO t VALUES (1, -10.5, -10.4999, 3), (2, 2, 2.0001, -0.5), "
                       "(3, -2, -2.0000, 100), (4, 100.25, 9.9999, -100)"));
    const auto byD = rows(QStringLiteral("SELECT id FROM t ORDER BY d"));
    ASSERT_EQ(byD.size(), 4u);
    EXPECT_EQ(byD[0][0], Variant(1LL));
    EXPECT_EQ(byD[1][0], Variant(3LL));
    EXPECT_EQ(byD[2][0], Variant(2LL));
    EXPECT_EQ(byD[3][0], Variant(4LL));
    const auto byM = rows(QStringLiteral("SELECT id FROM t ORDER BY m DESC"));
    EXPECT_EQ(byM[0][0], Variant(3LL));
    EXPECT_EQ(byM[3][0], Variant(4LL));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t WHERE d = e")), Variant(1LL)); // -2
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t WHERE d < e")), Variant(2LL));
}

} // namespace

} // namespace estaciones::db::sqlite::test
