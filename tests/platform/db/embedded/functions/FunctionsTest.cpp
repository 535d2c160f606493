// Built-in functions give SQL Server's results.
#include "platform/db/embedded/translate/DialectDatabase.h"

#include <QDate>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class FunctionsTest : public ::testing::Test {
protected:
    QString value(const QString& expression) {
        return db.scalar(QStringLiteral("select ") + expression);
    }
    DialectDatabase db;
};

TEST_F(FunctionsTest, shouldMeasureAndCutTextAsSqlServerDoes) {
    EXPECT_EQ(value("len('abc   ')"), "3"); // trailing blanks do not count
    EXPECT_EQ(value("len('  abc')"), "5");
    EXPECT_EQ(value("len(12345)"), "5");
    EXPECT_EQ(value("substring('abcdef', 2, 3)"), "bcd");
    EXPECT_EQ(value("substring('abcdef', 0, 2)"), "a"); // positions before 1 count but hold nothing
    EXPECT_EQ(value("substring('abc', -1, 3)"), "a");
    EXPECT_EQ(value("substring('abc', -2, 3)"), "");
    EXPECT_EQ(value("charindex('C', 'abcabc')"), "3"); // ignores case
    EXPECT_EQ(value("charindex('c', 'abcabc', 4)"), "6");
    EXPECT_EQ(value("charindex('z', 'abc')"), "0");
    EXPECT_EQ(value("left('abcdef', 2) + right('abcdef', 2)"), "abef");
    EXPECT_EQ(value("ltrim(rtrim('  a b  ')) + '|'"), "a b|");
    EXPECT_EQ(value("upper('peña') + lower('ÁRBOL')"), "PEÑAárbol");
    EXPECT_EQ(value("replace('Casa CASA casa', 'casa', 'x')"), "x x x"); // case-insensitive
    EXPECT_EQ(value("'[' + space(3) + replicate('ab', 2) + ']'"), "[   abab]");
    EXPECT_EQ(value("str(3.14159, 6, 2)"), "  3.14");
    EXPECT_EQ(value("str(12345678901, 5)"), "*****");
    EXPECT_EQ(value("isnull(null, 'x')"), "x");
    EXPECT_EQ(value("system_user"), "ana");
}

// An int argument converts as the server converts to int: bytes spell a
// number, a float truncates, a text that is no number is 245.
TEST_F(FunctionsTest, shouldConvertIntArgumentsAsTheServerDoes) {
    EXPECT_EQ(value("char(65) + char(0x42) + nchar(0x00E9)"), "ABé");
    EXPECT_EQ(value("char(66.9) + choose(2.7, 'a', 'b') + stuff('abcdef', '2', 3, 'X')"), "BbaXef");
    EXPECT_TRUE(db.failure("select char('x')").contains("tsql 245:"));
    EXPECT_TRUE(db.failure("select eomonth('20240115', 'uno')").contains("tsql 245:"));
}

TEST_F(FunctionsTest, shouldRoundHalvesAwayFromZero) {
    EXPECT_EQ(value("round(2.5, 0)"), "3.0");
    EXPECT_EQ(value("round(-2.5, 0)"), "-3.0");
    EXPECT_EQ(value("round(1234.5678, -2)"), "1200.0");
    EXPECT_EQ(value("round(2.675, 2)"), "2.68");
    EXPECT_EQ(value("floor(-1.5)"), "-2.0");
    EXPECT_EQ(value("ceiling(1.2)"), "2.0");
    EXPECT_EQ(value("abs(-3)"), "3");
}

TEST_F(FunctionsTest, shouldConvertDatesWithTheDocumentedStyles) {
    const QString date = "'2024-03-05 14:07:09.123'";
    EXPECT_EQ(value("convert(varchar(10), " + date + ", 103)"), "05/03/2024");
    EXPECT_EQ(value("convert(varchar, " + date + ", 112)"), "20240305");
    EXPECT_EQ(value("convert(varchar(19), " + date + ", 120)"), "2024-03-05 14:07:09");
    EXPECT_EQ(value("convert(varchar(10), " + date + ", 23)"), "2024-03-05");
    EXPECT_EQ(value("convert(varchar, " + date + ", 108)"), "14:07:09");
    EXPECT_EQ(value("convert(varchar, " + date + ", 101)"), "03/05/2024");
    EXPECT_EQ(value("convert(varchar(5), " + date + ", 103)"), "05/03"); // cut to the length
    EXPECT_EQ(value("convert(datetime, '05/03/2024', 101)"), "2024-05-03 00:00:00.000");
    EXPECT_EQ(value("convert(datetime, '5/3/2024', 103)"), "2024-03-05 00:00:00.000");
    EXPECT_EQ(value("convert(datetime, '20240305')"), "2024-03-05 00:00:00.000");
    EXPECT_EQ(value("convert(smalldatetime, '5/3/2024 10:20:40')"), "2024-03-05 10:21:00");
    EXPECT_EQ(value("cast('2024-03-05 10:00' as date)"), "2024-03-05");
    EXPECT_EQ(value("convert(datetime, 1)"), "1900-01-02 00:00:00.000");
    EXPECT_EQ(value("cast(' 42 ' as int) + 1"), "43");
    EXPECT_EQ(value("cast(3.99 as int)"), "3");
    EXPECT_EQ(value("cast(2.345 as decimal(10, 2))"), "2.35");
    // An int too long for the text is '*'; a day that does not exist is out of range (242).
    EXPECT_EQ(value("convert(varchar(3), 12345)"), "*");
    EXPECT_TRUE(db.failure("select convert(datetime, '31/02/2024')").contains("tsql 242:"));
    EXPECT_TRUE(db.failure("select cast('abc' as int)").contains("tsql 245:"));
    // The styles that spell the month use the session language's short names
    // (Spanish here), and read them back.
    EXPECT_EQ(value("convert(varchar(30), '2024-01-05 14:07:09', 100)"), "Ene  5 2024  2:07PM");
    EXPECT_EQ(value("convert(varchar(11), '2024-12-05', 106)"), "05 Dic 2024");
    EXPECT_EQ(value("convert(datetime, '05 Ago 2024', 106)"), "2024-08-05 00:00:00.000");
}

TEST_F(FunctionsTest, shouldClampMonthEndsWhenAddingMonthsAndYears) {
    EXPECT_EQ(value("dateadd(month, 1, '31/1/2025')"), "2025-02-28 00:00:00.000");
    EXPECT_EQ(value("dateadd(mm, 1, '31/1/2024')"), "2024-02-29 00:00:00.000");
    EXPECT_EQ(value("dateadd(m, -1, '31/3/2024')"), "2024-02-29 00:00:00.000");
    EXPECT_EQ(value("dateadd(yy, 1, '29/2/2024')"), "2025-02-28 00:00:00.000");
    EXPECT_EQ(value("dateadd(q, 1, '30/11/2024')"), "2025-02-28 00:00:00.000");
    EXPECT_EQ(value("dateadd(d, 1, '31/12/2024 23:30')"), "2025-01-01 23:30:00.000");
    EXPECT_EQ(value("dateadd(hh, 1, '2024-12-31 23:30:00')"), "2025-01-01 00:30:00.000");
    // A date stays a date; a text literal is read as a datetime whatever its form.
    EXPECT_EQ(value("dateadd(day, 1, cast('2024-03-05' as date))"), "2024-03-06");
    EXPECT_EQ(value("dateadd(day, 1, '2024-03-05')"), "2024-03-06 00:00:00.000");
}

TEST_F(FunctionsTest, shouldCountBoundariesCrossedInDatediff) {
    EXPECT_EQ(value("datediff(year, '31/12/2024', '1/1/2025')"), "1");
    EXPECT_EQ(value("datediff(month, '31/1/2025', '1/2/2025')"), "1");
    EXPECT_EQ(value("datediff(day, '5/3/2024 23:59', '6/3/2024 00:01')"), "1");
    EXPECT_EQ(value("datediff(day, '6/3/2024', '5/3/2024')"), "-1");
    EXPECT_EQ(value("datediff(hour, '2024-03-05 10:59', '2024-03-05 11:00')"), "1");
    // Weeks start on Sunday: Saturday 9 to Sunday 10 March crosses one.
    EXPECT_EQ(value("datediff(week, '9/3/2024', '10/3/2024')"), "1");
    EXPECT_EQ(value("datediff(wk, '10/3/2024', '16/3/2024')"), "0");
}

TEST_F(FunctionsTest, shouldNameAndNumberDaysInTheSessionLanguage) {
    // 10 March 2024 was a Sunday.
    EXPECT_EQ(value("datename(dw, '10/3/2024')"), "Domingo");
    EXPECT_EQ(value("datename(weekday, '13/3/2024')"), "Miércoles");
    EXPECT_EQ(value("datename(month, '10/8/2024')"), "Agosto");
    EXPECT_EQ(value("datepart(dw, '10/3/2024')"), "7"); // Monday first in Spanish
    db.settings().language = estaciones::db::tsql::Language::English;
    EXPECT_EQ(value("datename(dw, '10/3/2024')"), "Sunday");
    EXPECT_EQ(value("datename(month, '10/8/2024')"), "August");
    EXPECT_EQ(value("datepart(dw, '10/3/2024')"), "1"); // Sunday first in English
    EXPECT_EQ(value("day('10/3/2024') * 100 + month('10/3/2024')"), "1003");
}

TEST_F(FunctionsTest, shouldJoinTextAndAddNumbersWithPlus) {
    EXPECT_EQ(value("'a' + 'b'"), "ab");
    EXPECT_EQ(value("'12' + '3'"), "123"); // text + text joins even when it looks numeric
    EXPECT_EQ(value("'12' + 3"), "15");    // text meets a number: the number wins
    EXPECT_EQ(value("2 + 3.5"), "5.5");
    EXPECT_EQ(value("'a' + null"), "NULL");
    EXPECT_EQ(value("cast('5/3/2024' as datetime) + 1"), "2024-03-06 00:00:00.000");
    EXPECT_TRUE(db.failure("select 'abc' + 1").contains("tsql 245:"));
}

TEST_F(FunctionsTest, shouldFollowTheDatabasesAccentRuleInSearches) {
    EXPECT_EQ(value("charindex('e', 'café')"), "0");
    EXPECT_EQ(value("replace('Camión camion', 'camion', 'x')"), "Camión x");
    DialectDatabase noAccents(true);
    EXPECT_EQ(noAccents.scalar("select charindex('e', 'café')"), "4");
    EXPECT_EQ(noAccents.scalar("select replace('Camión camion', 'camion', 'x')"), "x x");
}

TEST_F(FunctionsTest, shouldTellNumbersAndDatesApart) {
    EXPECT_EQ(value("isnumeric(' 12.5 ') + isnumeric('12a') + isnumeric(null)"), "1");
    EXPECT_EQ(value("isdate('31/12/2024') * 10 + isdate('31/13/2024')"), "10");
    EXPECT_EQ(value("len(newid())"), "36");
    EXPECT_NE(value("newid()"), value("newid()"));
}

TEST_F(FunctionsTest, shouldGiveGetdateInTheStoredDateForm) {
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}(\\.\\d{3})?$")
                    .match(value("getdate()"))
                    .hasMatch());
    EXPECT_EQ(value("year(getdate())"), QString::number(QDate::currentDate().year()));
}

} // namespace
