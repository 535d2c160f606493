// datetime keeps time in 1/300 s and the years 1753 to 9999; smalldatetime
// keeps minutes; values outside a type's range are refused.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

using DateTypesTest = EmbeddedFixture;

namespace {

QString asStyle121(const QString& literal, const QString& type = QStringLiteral("datetime")) {
    return QStringLiteral("SELECT CONVERT(varchar(23), CAST('%1' AS %2), 121)").arg(literal, type);
}

} // namespace

TEST_F(DateTypesTest, DatetimeRoundsToThreeHundredthsOfASecond) {
    const std::pair<const char*, const char*> cases[] = {
        {"1998-01-01 23:59:59.999", "1998-01-02 00:00:00.000"},
        {"1998-01-01 23:59:59.998", "1998-01-01 23:59:59.997"},
        {"1998-01-01 23:59:59.995", "1998-01-01 23:59:59.997"},
        {"1998-01-01 23:59:59.994", "1998-01-01 23:59:59.993"},
        {"1998-01-01 23:59:59.992", "1998-01-01 23:59:59.993"},
        {"1998-01-01 23:59:59.991", "1998-01-01 23:59:59.990"},
        {"1998-01-01 23:59:59.990", "1998-01-01 23:59:59.990"},
    };
    for (const auto& [written, kept] : cases) {
        EXPECT_EQ(scalar(asStyle121(written)).toString(), QString::fromLatin1(kept)) << written;
    }
    run("CREATE TABLE Marcas (m datetime)");
    run("INSERT INTO Marcas VALUES ('2024-03-05 10:00:00.002')");
    EXPECT_EQ(scalar("SELECT CONVERT(varchar(23), m, 121) FROM Marcas").toString(),
              QStringLiteral("2024-03-05 10:00:00.003"));
}

TEST_F(DateTypesTest, SmalldatetimeKeepsMinutes) {
    EXPECT_EQ(scalar(asStyle121("2024-01-07 10:29:29", "smalldatetime")).toString(),
              QStringLiteral("2024-01-07 10:29:00.000"));
    EXPECT_EQ(scalar(asStyle121("2024-01-07 10:29:31", "smalldatetime")).toString(),
              QStringLiteral("2024-01-07 10:30:00.000"));
    EXPECT_EQ(scalar(asStyle121("2024-01-07 10:29:29.998", "smalldatetime")).toString(),
              QStringLiteral("2024-01-07 10:29:00.000"));
    EXPECT_EQ(scalar(asStyle121("2024-01-07 10:29:29.999", "smalldatetime")).toString(),
              QStringLiteral("2024-01-07 10:30:00.000"));
}

TEST_F(DateTypesTest, ValuesOutsideTheRangeAreRefused) {
    EXPECT_EQ(nativeErrorOf("SELECT CAST('17000101' AS datetime)"), 242);
    // The last millisecond rounds past the end of 9999.
    EXPECT_EQ(nativeErrorOf("SELECT CAST('99991231 23:59:59.999' AS datetime)"), 242);
    EXPECT_EQ(scalar(asStyle121("99991231 23:59:59.998")).toString(),
              QStringLiteral("9999-12-31 23:59:59.997"));
    EXPECT_EQ(nativeErrorOf("SELECT CAST('20800101' AS smalldatetime)"), 242);
    EXPECT_EQ(nativeErrorOf("SELECT CAST('18991231' AS smalldatetime)"), 242);
    EXPECT_EQ(scalar("SELECT CONVERT(varchar(10), CAST('17530101' AS datetime), 121)").toString(),
              QStringLiteral("1753-01-01"));
    run("CREATE TABLE Fechas (f datetime)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Fechas VALUES ('15000101')"), 242);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Fechas").toInt32(), 0);
    EXPECT_EQ(nativeErrorOf("DECLARE @d datetime = '16000101'"), 242);
    EXPECT_EQ(nativeErrorOf("SELECT CAST('no es fecha' AS datetime)"), 241);
    EXPECT_EQ(scalar("SELECT ISDATE('17000101')").toInt32(), 0);
    EXPECT_EQ(scalar("SELECT ISDATE('17530101')").toInt32(), 1);
}

} // namespace estaciones::db::sqlite::test

namespace estaciones::db::sqlite::test {

// A text literal read as a datetime (CAST, CONVERT, DATEADD's date) may not
// carry what the type cannot keep: a fourth digit of a second or an offset
// from UTC fail the conversion rather than being rounded or dropped; three
// digits, AM/PM and the other types' literals still convert.
TEST_F(DateTypesTest, DatetimeLiteralsRefuseWhatTheTypeCannotKeep) {
    EXPECT_NE(nativeErrorOf("SELECT CAST('2007-05-08 12:35:29.1234' AS datetime)"), 0);
    EXPECT_NE(nativeErrorOf("SELECT CONVERT(datetime, '2007-05-08 12:35:29 +12:15')"), 0);
    EXPECT_NE(nativeErrorOf("SELECT DATEADD(day, 1, '2007-05-08 12:35:29.1234567')"), 0);
    EXPECT_NE(nativeErrorOf("SELECT DATEADD(day, 1, '2007-05-08T12:35:29-08:00')"), 0);
    EXPECT_EQ(scalar(asStyle121("2007-05-08 12:35:29.123")).toString(),
              QStringLiteral("2007-05-08 12:35:29.123"));
    EXPECT_EQ(scalar("SELECT CONVERT(varchar(19), CONVERT(datetime, 'Jan 10 1900 3:00PM'), 120)")
                  .toString(),
              QStringLiteral("1900-01-10 15:00:00"));
    EXPECT_EQ(scalar("SELECT CONVERT(varchar(19), CAST('2007-05-08 12:35:29.1234567 +12:15' AS "
                     "datetime2), 120)")
                  .toString(),
              QStringLiteral("2007-05-08 12:35:29"));
}

} // namespace estaciones::db::sqlite::test
