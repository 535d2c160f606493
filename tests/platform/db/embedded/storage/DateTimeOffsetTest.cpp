// datetimeoffset through the engine: a value a file kept before offsets were
// kept reads as UTC, variables keep their offset into every function, the
// zones of AT TIME ZONE, and what the functions refuse.
#include "platform/db/embedded/EmbeddedFixture.h"
#include "platform/db/embedded/storage/RawFile.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite::test {

namespace {

class DateTimeOffsetTest : public EmbeddedFixture {
protected:
    // A row as a file kept it before the offset was kept: written past the
    // store trigger, which would give it its offset now.
    void writeWithoutOffset(const char* table, const char* values) {
        RawFile file(data.filePath(QStringLiteral("PRUEBA.db")));
        const std::string trigger = std::string("tsql_store_") + table + "_v_i";
        const std::string definition =
            file.rows(("SELECT sql FROM sqlite_master WHERE name = '" + trigger + "'").c_str());
        ASSERT_FALSE(definition.empty());
        char* error = nullptr;
        const std::string script = "DROP TRIGGER \"" + trigger + "\"; INSERT INTO " + table +
                                   " VALUES " + values + "; " +
                                   definition.substr(0, definition.size() - 1);
        ASSERT_EQ(sqlite3_exec(file.handle(), script.c_str(), nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "");
    }

    QString text(const QString& query) { return scalar(query).toString(); }
};

TEST_F(DateTimeOffsetTest, shouldReadAValueKeptWithoutOffsetAsUtc) {
    run("CREATE TABLE legado (id int, v datetimeoffset)");
    writeWithoutOffset("legado", "(1, '2024-01-07 09:00:00.0000000')");
    run("INSERT INTO legado VALUES (2, '2024-01-07 09:30:00 +01:00')");
    EXPECT_EQ(text("SELECT v FROM legado WHERE id = 1"), "2024-01-07 09:00:00.0000000 +00:00");
    EXPECT_EQ(scalar("SELECT DATEPART(tz, v) FROM legado WHERE id = 1").toInt64(), 0);
    EXPECT_EQ(scalar("SELECT id FROM legado WHERE v = CAST('2024-01-07 10:00 +01:00' AS "
                     "datetimeoffset)")
                  .toInt64(),
              1);
    // 09:30 at +01:00 is 08:30 UTC, before the old row.
    EXPECT_EQ(scalar("SELECT TOP 1 id FROM legado ORDER BY v").toInt64(), 2);
    EXPECT_EQ(text("SELECT SWITCHOFFSET(v, '+02:00') FROM legado WHERE id = 1"),
              "2024-01-07 11:00:00.0000000 +02:00");
}

TEST_F(DateTimeOffsetTest, shouldKeepAVariablesOffsetIntoEveryUse) {
    run("CREATE TABLE marca (v datetimeoffset(0))");
    run("DECLARE @d datetimeoffset(0) = '2024-06-30 23:30 -04:00'\n"
        "INSERT INTO marca VALUES (DATEADD(minute, 45, @d))");
    EXPECT_EQ(text("SELECT v FROM marca"), "2024-07-01 00:15:00 -04:00");
    EXPECT_EQ(scalar("DECLARE @d datetimeoffset = '2024-06-30 23:30 -04:00'\n"
                     "SELECT COUNT(*) FROM marca WHERE v > @d")
                  .toInt64(),
              1);
    EXPECT_EQ(text("DECLARE @d datetimeoffset(0) = '2024-06-30 23:30 -04:00'\n"
                   "SET @d = SWITCHOFFSET(@d, 120)\n"
                   "SELECT CONVERT(varchar(40), @d)"),
              "2024-07-01 05:30:00 +02:00");
    // A date without an offset given to one is at UTC.
    EXPECT_EQ(text("DECLARE @t datetime = '2024-06-30 23:30'\n"
                   "DECLARE @d datetimeoffset(3) = @t\n"
                   "SELECT @d"),
              "2024-06-30 23:30:00.000 +00:00");
    EXPECT_EQ(nativeErrorOf("DECLARE @d datetimeoffset = '2024-06-30 23:30 +15:00'"), 241);
}

TEST_F(DateTimeOffsetTest, shouldFollowEachZonesRulesForTheDay) {
    // Pacific time is eight hours behind UTC in winter and seven in summer.
    EXPECT_EQ(
        text(
            "SELECT CAST('2024-01-15 12:00' AS datetime2(0)) AT TIME ZONE 'Pacific Standard Time'"),
        "2024-01-15 12:00:00 -08:00");
    EXPECT_EQ(
        text(
            "SELECT CAST('2024-07-15 12:00' AS datetime2(0)) AT TIME ZONE 'pacific standard time'"),
        "2024-07-15 12:00:00 -07:00");
    // A value with an offset is the same instant in the zone; a datetime keeps its three digits.
    EXPECT_EQ(text("SELECT CAST('2024-07-15 12:00 +00:00' AS datetimeoffset(0)) AT TIME ZONE "
                   "'Central European Standard Time'"),
              "2024-07-15 14:00:00 +02:00");
    EXPECT_EQ(text("SELECT CAST('2024-01-15 12:00' AS datetime) AT TIME ZONE 'UTC'"),
              "2024-01-15 12:00:00.000 +00:00");
    run("CREATE TABLE pedido (hecho datetime2(0))\n"
        "INSERT INTO pedido VALUES ('2024-07-15 12:00')");
    EXPECT_EQ(
        text("SELECT hecho AT TIME ZONE 'Pacific Standard Time' AT TIME ZONE 'UTC' FROM pedido"),
        "2024-07-15 19:00:00 +00:00");
    EXPECT_NE(
        nativeErrorOf("SELECT CAST('2024-01-15' AS datetime2) AT TIME ZONE 'Mars Standard Time'"),
        0);
    EXPECT_NE(nativeErrorOf("SELECT '2024-01-15' AT TIME ZONE 'UTC'"), 0);
    EXPECT_NE(nativeErrorOf("SELECT CAST('2024-01-15' AS date) AT TIME ZONE 'UTC'"), 0);
    EXPECT_NE(nativeErrorOf("SELECT CAST('10:00' AS time) AT TIME ZONE 'UTC'"), 0);
}

TEST_F(DateTimeOffsetTest, shouldRefuseOffsetsAndPartsOutsideTheirRange) {
    EXPECT_NE(
        nativeErrorOf(
            "SELECT SWITCHOFFSET(CAST('2024-01-07 10:00 +00:00' AS datetimeoffset), '+14:01')"),
        0);
    EXPECT_NE(nativeErrorOf("SELECT TODATETIMEOFFSET(CAST('2024-01-07' AS datetime2), 900)"), 0);
    EXPECT_NE(
        nativeErrorOf(
            "SELECT SWITCHOFFSET(CAST('9999-12-31 10:10 +00:00' AS datetimeoffset), '+13:50')"),
        0);
    // Both offset parts take one sign, and a minute offset needs its hour.
    EXPECT_NE(
        nativeErrorOf("SELECT DATETIMEOFFSETFROMPARTS(2010, 12, 31, 14, 23, 23, 0, 12, -30, 7)"),
        0);
    EXPECT_NE(
        nativeErrorOf("SELECT DATETIMEOFFSETFROMPARTS(2010, 12, 31, 14, 23, 23, 0, NULL, 30, 7)"),
        0);
    EXPECT_NE(
        nativeErrorOf("SELECT DATETIMEOFFSETFROMPARTS(2010, 12, 31, 14, 23, 23, 0, 12, 0, NULL)"),
        0);
    EXPECT_EQ(text("SELECT DATETIMEOFFSETFROMPARTS(2010, 12, 31, 14, 23, 23, 0, -3, -30, 0)"),
              "2010-12-31 14:23:23 -03:30");
}

TEST_F(DateTimeOffsetTest, shouldGiveTheSystemsOffsetNow) {
    const QString now = text("SELECT SYSDATETIMEOFFSET()");
    ASSERT_EQ(now.size(), 34);
    const int offset = QDateTime::currentDateTime().offsetFromUtc() / 60;
    EXPECT_EQ(scalar("SELECT DATEPART(tz, SYSDATETIMEOFFSET())").toInt64(), offset);
    // The same instant as the UTC clock, within a second.
    EXPECT_LE(std::abs(scalar("SELECT DATEDIFF(millisecond, SYSDATETIMEOFFSET(), "
                              "TODATETIMEOFFSET(SYSUTCDATETIME(), 0))")
                           .toInt64()),
              1000);
}

} // namespace

} // namespace estaciones::db::sqlite::test
