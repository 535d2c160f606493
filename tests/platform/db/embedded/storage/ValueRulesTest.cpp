// The pure rules under the SQLite functions: date literals, conversions,
// declared types and the error text convention the engine reads back.
#include "platform/db/embedded/translate/DialectDatabase.h"

#include "platform/db/embedded/errors/FunctionError.h"
#include "platform/db/embedded/storage/Conversion.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <gtest/gtest.h>

using namespace estaciones::db::tsql;

namespace {

QString iso(const std::optional<PreciseDateTime>& d) {
    return d ? d->at.toString("yyyy-MM-dd HH:mm:ss.zzz") : QStringLiteral("none");
}

// To the 100 ns datetime2 keeps.
QString precise(const std::optional<PreciseDateTime>& d) {
    return d ? formatStoredDate(*d, DateKind::DateTime2) : QStringLiteral("none");
}

TEST(ValueRulesTest, shouldReadDateLiteralsInTheSessionOrder) {
    EXPECT_EQ(iso(parseDateText(u"5/3/2024")), "2024-03-05 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"5/3/2024", DateOrder::MDY)), "2024-05-03 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"05/03/49")),
              "2049-03-05 00:00:00.000"); // two-digit years pivot at 50
    EXPECT_EQ(iso(parseDateText(u"05/03/50")), "1950-03-05 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u" 2024-03-05T10:20:30.5 ")), "2024-03-05 10:20:30.500");
    EXPECT_EQ(iso(parseDateText(u"20240305 10:20")), "2024-03-05 10:20:00.000");
    EXPECT_EQ(iso(parseDateText(u"5/3/2024 2:05 PM")), "2024-03-05 14:05:00.000");
    EXPECT_EQ(iso(parseDateText(u"12:00:01")), "1900-01-01 12:00:01.000");
    // Boundaries the program round-trips.
    EXPECT_EQ(iso(parseDateText(u"1/1/1930")), "1930-01-01 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"31/12/2049")), "2049-12-31 00:00:00.000");
    // A date before datetime's range is still a date; the conversion to each type checks its range.
    EXPECT_EQ(iso(parseDateText(u"1/1/1752")), "1752-01-01 00:00:00.000");
    for (const char16_t* bad : {u"", u"abc", u"32/1/2024", u"29/2/2023", u"5/3", u"2024-13-01",
                                u"5/3/2024 25:00", u"5/3-2024"})
        EXPECT_EQ(iso(parseDateText(bad)), "none") << QString::fromUtf16(bad).toStdString();
}

TEST(ValueRulesTest, shouldPlaceTheNumericDatePartsByEachOfTheSixOrders) {
    // Two-digit parts stand where the order puts them.
    EXPECT_EQ(iso(parseDateText(u"96/4/15", DateOrder::YMD)), "1996-04-15 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"96/15/4", DateOrder::YDM)), "1996-04-15 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"4/96/15", DateOrder::MYD)), "1996-04-15 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"15/96/4", DateOrder::DYM)), "1996-04-15 00:00:00.000");
    // A four-digit part is the year wherever it stands; month and day keep
    // the order's sequence.
    EXPECT_EQ(iso(parseDateText(u"04/2008/15", DateOrder::MDY)), "2008-04-15 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"15/2008/04", DateOrder::DYM)), "2008-04-15 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"15/2008/04", DateOrder::MDY)), "none");
    EXPECT_EQ(iso(parseDateText(u"2008/15/04", DateOrder::YDM)), "2008-04-15 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"2008/04/15", DateOrder::DMY)), "2008-04-15 00:00:00.000");
    // The dashed form stored dates are written in reads the same under ydm.
    EXPECT_EQ(iso(parseDateText(u"2008-04-15 10:00", DateOrder::YDM)), "2008-04-15 10:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"2008/04/2008", DateOrder::MDY)), "none");
    EXPECT_EQ(iso(parseDateText(u"120/4/15", DateOrder::YMD)), "none");
}

TEST(ValueRulesTest, shouldReadAlphabeticDatesOffsetsAndSevenDigitFractions) {
    // The alphabetic forms of the date literal formats: month first, day
    // first or year first, comma optional, in English or Spanish.
    EXPECT_EQ(iso(parseDateText(u"January 10, 1900 3:00 AM")), "1900-01-10 03:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"Apr 15 1996")), "1996-04-15 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"15 April, 96")), "1996-04-15 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"1996 APRIL")), "1996-04-01 00:00:00.000");
    EXPECT_EQ(iso(parseDateText(u"1996 abril 15 14:30")), "1996-04-15 14:30:00.000");
    EXPECT_EQ(iso(parseDateText(u"Foo 15 1996")), "none");
    EXPECT_EQ(iso(parseDateText(u"February 30, 2024")), "none");
    // An offset from UTC is read and left out of the value.
    EXPECT_EQ(precise(parseDateText(u"2007-10-30 12:15:32.1234567 +05:10")),
              "2007-10-30 12:15:32.1234567");
    EXPECT_EQ(precise(parseDateText(u"2010-04-30T01:01:01.1234567-07:00")),
              "2010-04-30 01:01:01.1234567");
    EXPECT_EQ(precise(parseDateText(u"2010-04-30T01:01:01Z")), "2010-04-30 01:01:01.0000000");
    EXPECT_EQ(precise(parseDateText(u"00:00:01.12")), "1900-01-01 00:00:01.1200000");
    EXPECT_EQ(iso(parseDateText(u"2010-04-30 01:01:01 +15:00")), "none");
}

TEST(ValueRulesTest, shouldCountDatepartsToTheHundredNanoseconds) {
    const auto value = [](const char16_t* text) { return *parseDateText(text, DateOrder::YMD); };
    const PreciseDateTime t = value(u"00:00:01.1234567");
    EXPECT_EQ(datePart(DatePart::Millisecond, t, Language::English), 123);
    EXPECT_EQ(datePart(DatePart::Microsecond, t, Language::English), 123456);
    EXPECT_EQ(datePart(DatePart::Nanosecond, t, Language::English), 123456700);
    EXPECT_EQ(parseDatePart(u"mcs"), DatePart::Microsecond);
    EXPECT_EQ(parseDatePart(u"NS"), DatePart::Nanosecond);
    // Boundaries crossed, not time elapsed: one 100-ns step crosses every one.
    const PreciseDateTime before = value(u"2005-12-31 23:59:59.9999999");
    const PreciseDateTime after = value(u"2006-01-01 00:00:00.0000000");
    for (DatePart part :
         {DatePart::Year, DatePart::Second, DatePart::Millisecond, DatePart::Microsecond})
        EXPECT_EQ(dateDiff(part, before, after), 1);
    EXPECT_EQ(dateDiff(DatePart::Nanosecond, before, after), 100);
    EXPECT_EQ(dateDiff(DatePart::Microsecond, after, before), -1);
    // DATEADD moves the 100-ns steps; nanoseconds round to them.
    const PreciseDateTime start = value(u"2007-01-01 13:10:10.1111111");
    EXPECT_EQ(formatStoredDate(dateAdd(DatePart::Microsecond, 1, start), DateKind::DateTime2),
              "2007-01-01 13:10:10.1111121");
    EXPECT_EQ(formatStoredDate(dateAdd(DatePart::Nanosecond, 49, start), DateKind::DateTime2),
              "2007-01-01 13:10:10.1111111");
    EXPECT_EQ(formatStoredDate(dateAdd(DatePart::Nanosecond, 50, start), DateKind::DateTime2),
              "2007-01-01 13:10:10.1111112");
    EXPECT_EQ(formatStoredDate(dateAdd(DatePart::Nanosecond, 150, start), DateKind::DateTime2),
              "2007-01-01 13:10:10.1111113");
    EXPECT_EQ(formatStoredDate(dateAdd(DatePart::Microsecond, -1, value(u"2007-01-01")),
                               DateKind::DateTime2),
              "2006-12-31 23:59:59.9999990");
}

TEST(ValueRulesTest, shouldStoreEachDateTypeInItsOwnForm) {
    const QDateTime value(QDate(2024, 3, 5), QTime(10, 20, 40, 7));
    EXPECT_EQ(formatStoredDate(value), "2024-03-05 10:20:40.007");
    EXPECT_EQ(formatStoredDate(QDateTime(QDate(2024, 3, 5), QTime(10, 20))),
              "2024-03-05 10:20:00.000");
    EXPECT_EQ(formatStoredDate(value, DateKind::SmallDateTime), "2024-03-05 10:21:00");
    EXPECT_EQ(formatStoredDate(value, DateKind::Date), "2024-03-05");
    EXPECT_EQ(formatStoredDate(value, DateKind::Time), "10:20:40.0070000");
    EXPECT_EQ(formatStoredDate(value, DateKind::Time, 0), "10:20:40");
    EXPECT_EQ(dateKindOf(u"SmallDateTime"), DateKind::SmallDateTime);
    EXPECT_FALSE(dateKindOf(u"varchar").has_value());
}

TEST(ValueRulesTest, shouldRecogniseEveryDatepartSpelling) {
    EXPECT_EQ(parseDatePart(u"dw"), DatePart::Weekday);
    EXPECT_EQ(parseDatePart(u"WEEKDAY"), DatePart::Weekday);
    EXPECT_EQ(parseDatePart(u"yyyy"), DatePart::Year);
    EXPECT_EQ(parseDatePart(u"m"), DatePart::Month);
    EXPECT_EQ(parseDatePart(u"mi"), DatePart::Minute);
    EXPECT_EQ(parseDatePart(u"n"), DatePart::Minute);
    EXPECT_EQ(parseDatePart(u"y"), DatePart::DayOfYear);
    EXPECT_FALSE(parseDatePart(u"fortnight").has_value());
    DialectDatabase db;
    EXPECT_TRUE(db.failure("select datepart(fortnight, getdate())").contains("tsql 155:"));
}

TEST(ValueRulesTest, shouldNumberWeeksFromTheFirstDayOfTheLanguage) {
    // 1 January 2024 was a Monday; Sunday 7 January ends week 1 in Spanish,
    // and starts week 2 in English.
    const QDateTime sunday(QDate(2024, 1, 7), QTime(0, 0));
    EXPECT_EQ(datePart(DatePart::Week, sunday, Language::Spanish), 1);
    EXPECT_EQ(datePart(DatePart::Week, sunday, Language::English), 2);
    EXPECT_EQ(
        datePart(DatePart::DayOfYear, QDateTime(QDate(2024, 12, 31), QTime()), Language::Spanish),
        366);
    EXPECT_EQ(datePart(DatePart::Quarter, QDateTime(QDate(2024, 7, 1), QTime()), Language::Spanish),
              3);
}

TEST(ValueRulesTest, shouldConvertValuesOrFailWithTheServersNumbers) {
    DialectSettings settings;
    const auto convert = [&](const char* type, const SqlValue& v, std::optional<int> style = {}) {
        return convertValue(QString::fromLatin1(type), v, style, settings).toText();
    };
    EXPECT_EQ(convert("bit", SqlValue::of(QStringLiteral("true"))), "1");
    EXPECT_EQ(convert("bit", SqlValue::of(qint64(7))), "1");
    EXPECT_EQ(convert("money", SqlValue::of(1.23456)), "1.2346");
    EXPECT_EQ(convert("decimal(5)", SqlValue::of(2.5)), "3");
    EXPECT_EQ(convert("float", SqlValue::of(QStringLiteral("1e3"))), "1000");
    EXPECT_EQ(convert("varchar", SqlValue::of(QString(40, 'x'))).size(), 30); // no length: 30
    EXPECT_EQ(convert("nvarchar(max)", SqlValue::of(QString(40, 'x'))).size(), 40);
    EXPECT_EQ(convert("uniqueidentifier", SqlValue::of(QStringLiteral("abc"))), "abc");
    EXPECT_TRUE(convertValue("int", SqlValue::null(), std::nullopt, settings).isNull());
    try {
        convert("int", SqlValue::of(QStringLiteral("1.5")));
        ADD_FAILURE() << "'1.5' is no int";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.nativeNumber(), 245);
        EXPECT_STREQ(e.what(),
                     "Conversion failed when converting the varchar value '1.5' to data type int.");
    }
    try {
        convert("decimal(10,2)", SqlValue::of(QStringLiteral("x")));
        ADD_FAILURE() << "'x' is no number";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.nativeNumber(), 8114);
    }
}

TEST(ValueRulesTest, shouldFormatStrAndRoundLikeTheServer) {
    EXPECT_EQ(strFunction(-3.5, 5, 0), "   -4");
    EXPECT_EQ(strFunction(1234.5, 6, 2), "1234.5"); // decimals give way before the digits
    EXPECT_EQ(roundHalfAwayFromZero(0.125, 2), 0.13);
    EXPECT_EQ(roundHalfAwayFromZero(-0.125, 2), -0.13);
    EXPECT_EQ(roundHalfAwayFromZero(155, -1), 160);
    // As written, also where a double's digits run out: no unit is added.
    EXPECT_EQ(roundHalfAwayFromZero(2.675, 2), 2.68);
    EXPECT_EQ(roundHalfAwayFromZero(1234567890123.45, 1), 1234567890123.5);
    EXPECT_EQ(strFunction(1234567890123.5, 15, 1), "1234567890123.5");
    EXPECT_EQ(strFunction(123456789012.5, 15, 1), " 123456789012.5");
}

TEST(ValueRulesTest, shouldDescribeDeclaredTypesAsTheProviderReportsThem) {
    const DeclaredType text = describeDeclaredType("varchar(25)");
    EXPECT_EQ(text.typeName, "varchar");
    EXPECT_EQ(text.characterLength, 25);
    EXPECT_EQ(text.adoType, 200);
    EXPECT_TRUE(text.isText);
    const DeclaredType date = describeDeclaredType(sqliteDeclaredType("DateTime"));
    EXPECT_EQ(sqliteDeclaredType("DateTime"), "datetime text");
    EXPECT_EQ(date.typeName, "datetime");
    EXPECT_EQ(date.adoType, 135);
    EXPECT_TRUE(date.isDate);
    const DeclaredType key = describeDeclaredType("INTEGER");
    EXPECT_TRUE(key.identity);
    EXPECT_EQ(key.adoType, 3);
    const DeclaredType amount = describeDeclaredType("decimal(18, 4)");
    EXPECT_EQ(amount.precision, 18);
    EXPECT_EQ(amount.scale, 4);
    // Without (p, s) a decimal is decimal(18, 0), as stored ("numeric blob").
    EXPECT_EQ(describeDeclaredType("numeric blob").precision, 18);
    EXPECT_EQ(describeDeclaredType("decimal").scale, 0);
    EXPECT_EQ(describeDeclaredType("nvarchar(max)").characterLength, -1);
    EXPECT_EQ(sqliteDeclaredType("VarChar (10)"), "varchar(10)");
}

TEST(ValueRulesTest, shouldDeclareMoneyAndDecimalsWithoutAffinityAndReadThemBack) {
    // "blob" is the word that gives a SQLite column no affinity; "int",
    // "char", "text", "real", "floa" or "doub" anywhere would give one.
    EXPECT_EQ(sqliteDeclaredType("Money"), "money blob");
    EXPECT_EQ(sqliteDeclaredType("smallmoney"), "smallmoney blob");
    EXPECT_EQ(sqliteDeclaredType("DECIMAL (18, 2)"), "decimal(18, 2) blob");
    EXPECT_EQ(sqliteDeclaredType("numeric"), "numeric blob");
    EXPECT_EQ(sqliteDeclaredType("money blob"), "money blob"); // a declaration read back
    EXPECT_EQ(sqliteDeclaredType("float"), "float");
    EXPECT_EQ(sqliteDeclaredType("int"), "int");
    const DeclaredType amount = describeDeclaredType("decimal(18,2) blob");
    EXPECT_EQ(amount.typeName, "decimal");
    EXPECT_EQ(amount.precision, 18);
    EXPECT_EQ(amount.scale, 2);
    EXPECT_EQ(describeDeclaredType("money blob").adoType, 6);
    EXPECT_EQ(withoutStoredAffinity("decimal(18,2) blob"), "decimal(18,2)");
    EXPECT_EQ(withoutStoredAffinity("money"), "money");
    EXPECT_EQ(withoutStoredAffinity("datetime text"), "datetime text");
    // A type name takes nothing after its parentheses unless it is quoted.
    EXPECT_EQ(sqliteColumnType("decimal(18,2) blob"), "\"decimal(18,2) blob\"");
    EXPECT_EQ(sqliteColumnType("money blob"), "money blob");
    EXPECT_EQ(sqliteColumnType("varchar(max)"), "\"varchar(max)\"");
    EXPECT_EQ(sqliteColumnType("varchar(10)"), "varchar(10)");
}

TEST(ValueRulesTest, shouldCarryTheServersNumberInFunctionErrors) {
    const auto error =
        parseFunctionError(functionErrorMessage(8152, "String or binary data would be truncated."));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->nativeNumber, 8152);
    EXPECT_EQ(error->text, "String or binary data would be truncated.");
    EXPECT_FALSE(parseFunctionError("no such table: X").has_value());
}

} // namespace
