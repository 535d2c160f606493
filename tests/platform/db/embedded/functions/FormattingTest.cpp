// FORMAT and PARSE on the examples of their reference pages: the culture
// decides separators, names and the order of the date's parts.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class FormattingTest : public EmbeddedFixture {
protected:
    QString text(const QString& expression) { return scalar("SELECT " + expression).toString(); }
    bool isNull(const QString& expression) { return scalar("SELECT " + expression).isNull(); }
};

TEST_F(FormattingTest, shouldFormatDatesInTheirCulture) {
    const QString d = "CAST('2020-11-22' AS date)";
    EXPECT_EQ(text("FORMAT(" + d + ", 'd', 'en-US')"), "11/22/2020");
    EXPECT_EQ(text("FORMAT(" + d + ", 'd', 'en-gb')"), "22/11/2020");
    EXPECT_EQ(text("FORMAT(" + d + ", 'd', 'de-de')"), "22.11.2020");
    EXPECT_EQ(text("FORMAT(" + d + ", 'D', 'en-US')"), "Sunday, November 22, 2020");
    EXPECT_EQ(text("FORMAT(" + d + ", 'D', 'en-gb')"), "22 November 2020");
    EXPECT_EQ(text("FORMAT(" + d + ", 'D', 'de-de')"), "Sonntag, 22. November 2020");
    EXPECT_EQ(text("FORMAT(" + d + ", 'dd/MM/yyyy', 'en-US')"), "22/11/2020");
    // A one-digit month and day stay one digit in the US short pattern.
    EXPECT_EQ(text("FORMAT(CAST('2016-07-31' AS datetime), 'd', 'en-US')"), "7/31/2016");
    EXPECT_EQ(text("FORMAT(CAST('2016-07-31' AS datetime), 'dddd, MMMM dd, yyyy hh:mm:ss tt', "
                   "'en-US')"),
              "Sunday, July 31, 2016 12:00:00 AM");
}

// The .NET reference's table of standard date patterns, for 15 June 2009 13:45:30.
TEST_F(FormattingTest, shouldExpandTheStandardDatePatternsOfEachCulture) {
    const auto formatted = [&](const char* pattern, const char* culture) {
        return text(QStringLiteral("FORMAT(CAST('2009-06-15 13:45:30' AS datetime), '%1', '%2')")
                        .arg(QLatin1String(pattern), QLatin1String(culture)));
    };
    EXPECT_EQ(formatted("d", "en-US"), "6/15/2009");
    EXPECT_EQ(formatted("D", "en-US"), "Monday, June 15, 2009");
    EXPECT_EQ(formatted("f", "en-US"), "Monday, June 15, 2009 1:45 PM");
    EXPECT_EQ(formatted("F", "en-US"), "Monday, June 15, 2009 1:45:30 PM");
    EXPECT_EQ(formatted("g", "en-US"), "6/15/2009 1:45 PM");
    EXPECT_EQ(formatted("G", "en-US"), "6/15/2009 1:45:30 PM");
    EXPECT_EQ(formatted("M", "en-US"), "June 15");
    EXPECT_EQ(formatted("Y", "en-US"), "June 2009");
    EXPECT_EQ(formatted("t", "en-US"), "1:45 PM");
    EXPECT_EQ(formatted("T", "en-US"), "1:45:30 PM");
    EXPECT_EQ(formatted("s", "en-US"), "2009-06-15T13:45:30");
    EXPECT_EQ(formatted("u", "en-US"), "2009-06-15 13:45:30Z");
    EXPECT_EQ(formatted("d", "de-DE"), "15.06.2009");
    EXPECT_EQ(formatted("D", "de-DE"), "Montag, 15. Juni 2009");
    EXPECT_EQ(formatted("d", "es-ES"), "15/06/2009");
    EXPECT_EQ(formatted("d", "fr-FR"), "15/06/2009");
    EXPECT_EQ(formatted("ddd MMM yy HH:mm", "en-US"), "Mon Jun 09 13:45");
    // A single letter that is no standard pattern is refused by .NET: NULL.
    EXPECT_TRUE(isNull("FORMAT(CAST('2009-06-15' AS date), 'Q')"));
}

TEST_F(FormattingTest, shouldFormatTimesAsDurations) {
    EXPECT_EQ(text("FORMAT(CAST('07:35' AS time), N'hh\\.mm')"), "07.35");
    EXPECT_EQ(text("FORMAT(CAST('07:35' AS time), N'hh\\:mm')"), "07:35");
    // An unescaped separator is no duration pattern: FORMAT answers NULL.
    EXPECT_TRUE(isNull("FORMAT(CAST('07:35' AS time), N'hh.mm')"));
}

TEST_F(FormattingTest, shouldFormatNumbersWithStandardAndCustomPatterns) {
    EXPECT_EQ(text("FORMAT(123456789, '###-##-####')"), "123-45-6789");
    const QString rate = "CAST(1.0002 AS money)";
    EXPECT_EQ(text("FORMAT(" + rate + ", 'N', 'en-us')"), "1.00");
    EXPECT_EQ(text("FORMAT(" + rate + ", 'G', 'en-us')"), "1.0002");
    EXPECT_EQ(text("FORMAT(" + rate + ", 'C', 'en-us')"), "$1.00");
    EXPECT_EQ(text("FORMAT(" + rate + ", 'N', 'de-de')"), "1,00");
    EXPECT_EQ(text("FORMAT(" + rate + ", 'C', 'de-de')"), "1,00 €");
    EXPECT_EQ(text("FORMAT(1234.567, 'N', 'en-US')"), "1,234.57");
    EXPECT_EQ(text("FORMAT(1234, 'N1', 'en-US')"), "1,234.0");
    EXPECT_EQ(text("FORMAT(-1234.56, 'N3', 'en-US')"), "-1,234.560");
    EXPECT_EQ(text("FORMAT(1234567.891, 'N2', 'es-ES')"), "1.234.567,89");
    EXPECT_EQ(text("FORMAT(5, '000')"), "005");
    EXPECT_EQ(text("FORMAT(1234.5, '#,##0.00', 'en-US')"), "1,234.50");
    EXPECT_EQ(text("FORMAT(-3, '0;(0)')"), "(3)");
    EXPECT_EQ(text("FORMAT(42, 'D5')"), "00042");
    EXPECT_EQ(text("FORMAT(255, 'X')"), "FF");
    // 'D' takes whole numbers only: FORMAT answers NULL for a fraction.
    EXPECT_TRUE(isNull("FORMAT(1.5, 'D')"));
    EXPECT_EQ(nativeErrorOf("SELECT FORMAT(1, 'N', 'xx-YY')"), 9818);
}

// The .NET reference's examples of custom numeric patterns: zeros pad,
// '#' drops what is not significant, ',' groups or (before the point) scales.
TEST_F(FormattingTest, shouldFillCustomNumericPatternsAsDotNetDoes) {
    EXPECT_EQ(text("FORMAT(1234.5678, '#####', 'en-US')"), "1235");
    EXPECT_EQ(text("FORMAT(1234.5678, '00000', 'en-US')"), "01235");
    EXPECT_EQ(text("FORMAT(0.45678, '0.00', 'en-US')"), "0.46");
    EXPECT_EQ(text("FORMAT(1.2, '00.00', 'en-US')"), "01.20");
    EXPECT_EQ(text("FORMAT(0.56, '#.##', 'en-US')"), ".56");
    EXPECT_EQ(text("FORMAT(123, '0000', 'en-US')"), "0123");
    EXPECT_EQ(text("FORMAT(1234567890, '#,#', 'en-US')"), "1,234,567,890");
    EXPECT_EQ(text("FORMAT(1234567890, '#,##0,,', 'en-US')"), "1,235");
    EXPECT_EQ(text("FORMAT(0.086, '#0.##%', 'en-US')"), "8.6%");
    EXPECT_EQ(text("FORMAT(1234567890, '(###) ###-####', 'en-US')"), "(123) 456-7890");
    EXPECT_EQ(text("FORMAT(-1234, '##;(##)', 'en-US')"), "(1234)");
    EXPECT_EQ(text("FORMAT(1.2, '0.00', 'de-DE')"), "1,20");
}

TEST_F(FormattingTest, shouldApplyTheStandardNumericPatternsOfTheReference) {
    EXPECT_EQ(text("FORMAT(12345.6789, 'C', 'en-US')"), "$12,345.68");
    EXPECT_EQ(text("FORMAT(12345.6789, 'C3', 'en-US')"), "$12,345.679");
    EXPECT_EQ(text("FORMAT(12345.6789, 'F', 'en-US')"), "12345.68");
    EXPECT_EQ(text("FORMAT(1234.567, 'N1', 'en-US')"), "1,234.6");
    EXPECT_EQ(text("FORMAT(12345, 'D8')"), "00012345");
    EXPECT_EQ(text("FORMAT(-12345, 'D')"), "-12345");
    EXPECT_EQ(text("FORMAT(123456789, 'X')"), "75BCD15");
    EXPECT_EQ(text("FORMAT(132190, 'x')"), "2045e");
    EXPECT_EQ(text("FORMAT(12345.6789, 'E', 'en-US')"), "1.234568E+004");
    EXPECT_EQ(text("FORMAT(12345.6789, 'E10', 'en-US')"), "1.2345678900E+004");
    EXPECT_EQ(text("FORMAT(12345.6789, 'e4', 'en-US')"), "1.2346e+004");
}

TEST_F(FormattingTest, shouldParseTextInTheCultureNamed) {
    EXPECT_EQ(text("CONVERT(varchar(30), PARSE('Monday, 13 December 2010' AS datetime2 USING "
                   "'en-US'), 120)"),
              "2010-12-13 00:00:00");
    EXPECT_DOUBLE_EQ(scalar("SELECT PARSE('€345,98' AS money USING 'de-DE')").toDouble(), 345.98);
    EXPECT_TRUE(isNull("TRY_PARSE('Jabberwokkie' AS datetime2 USING 'en-US')"));
    EXPECT_EQ(nativeErrorOf("SELECT PARSE('Jabberwokkie' AS datetime2 USING 'en-US')"), 9819);
    run("SET LANGUAGE us_english");
    EXPECT_EQ(text("CONVERT(varchar(10), PARSE('12/16/2010' AS datetime2), 120)"), "2010-12-16");
}

} // namespace
} // namespace estaciones::db::sqlite::test
