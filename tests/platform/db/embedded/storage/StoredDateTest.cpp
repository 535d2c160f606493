// The fixed-width text dates keep in the file: how each type rounds into it,
// how it reads back, and that its bytes sort as the values do.
#include "platform/db/embedded/storage/StoredDate.h"

#include "platform/db/embedded/storage/SqlValue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace estaciones::db::tsql;

namespace {

QDateTime at(int h, int m, int s, int ms, QDate day = QDate(1998, 1, 1)) {
    return naiveDateTime(day, QTime(h, m, s, ms));
}

TEST(StoredDateTest, shouldRoundDatetimeToThreeHundredthsOfASecond) {
    // The rounding table of the datetime type's page.
    EXPECT_EQ(formatStoredDate(at(23, 59, 59, 999)), "1998-01-02 00:00:00.000");
    for (int ms : {995, 996, 997, 998})
        EXPECT_EQ(formatStoredDate(at(23, 59, 59, ms)), "1998-01-01 23:59:59.997") << ms;
    for (int ms : {992, 993, 994})
        EXPECT_EQ(formatStoredDate(at(23, 59, 59, ms)), "1998-01-01 23:59:59.993") << ms;
    for (int ms : {990, 991})
        EXPECT_EQ(formatStoredDate(at(23, 59, 59, ms)), "1998-01-01 23:59:59.990") << ms;
    // Midnight keeps its time: every datetime has the same width.
    EXPECT_EQ(formatStoredDate(at(0, 0, 0, 0)), "1998-01-01 00:00:00.000");
}

TEST(StoredDateTest, shouldKeepEachTypeAtItsOwnWidth) {
    const QDateTime value = at(12, 35, 29, 998, QDate(2024, 5, 8));
    EXPECT_EQ(formatStoredDate(value, DateKind::SmallDateTime), "2024-05-08 12:35:00");
    EXPECT_EQ(formatStoredDate(value.addMSecs(1), DateKind::SmallDateTime), "2024-05-08 12:36:00");
    EXPECT_EQ(formatStoredDate(value, DateKind::Date), "2024-05-08");
    EXPECT_EQ(formatStoredDate(value, DateKind::DateTime2), "2024-05-08 12:35:29.9980000");
    EXPECT_EQ(formatStoredDate(value, DateKind::DateTime2, 4), "2024-05-08 12:35:29.9980");
    EXPECT_EQ(formatStoredDate(value, DateKind::DateTime2, 2), "2024-05-08 12:35:30.00");
    EXPECT_EQ(formatStoredDate(value, DateKind::DateTime2, 0), "2024-05-08 12:35:30");
    EXPECT_EQ(formatStoredDate(value, DateKind::Time, 3), "12:35:29.998");
    EXPECT_EQ(formatStoredDate(value, DateKind::Time, 1), "12:35:30.0");
    EXPECT_EQ(fractionDigitsOf(u"datetime2(3)"), 3);
    EXPECT_EQ(fractionDigitsOf(u"time"), 7);
    EXPECT_EQ(fractionDigitsOf(u"datetime"), 0);
}

TEST(StoredDateTest, shouldKeepAndRoundHundredsOfNanoseconds) {
    const char text[] = "2024-05-08 12:35:29.9999995";
    const auto value = readStoredDate(text, static_cast<int>(std::strlen(text)));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->ticks, 9995);
    EXPECT_EQ(formatStoredDate(*value, DateKind::DateTime2), text);
    // Rounded half up at each scale, into the next second or day as needed.
    EXPECT_EQ(formatStoredDate(*value, DateKind::DateTime2, 6), "2024-05-08 12:35:30.000000");
    EXPECT_EQ(formatStoredDate(*value, DateKind::Time, 7), "12:35:29.9999995");
    const PreciseDateTime lastTick = PreciseDateTime::fromTicks(QDate(2024, 5, 8), 863999999999);
    EXPECT_EQ(formatStoredDate(lastTick, DateKind::DateTime2), "2024-05-08 23:59:59.9999999");
    EXPECT_EQ(formatStoredDate(lastTick, DateKind::DateTime2, 3), "2024-05-09 00:00:00.000");
    EXPECT_EQ(formatStoredDate(lastTick.addTicks(1), DateKind::DateTime2),
              "2024-05-09 00:00:00.0000000");
    EXPECT_EQ(formatStoredDate(lastTick.addTicks(-864000000000), DateKind::DateTime2),
              "2024-05-07 23:59:59.9999999");
    // Its comparison key keeps the seven digits: .0000001 sorts after .0000000.
    char key[27];
    char later[27];
    dateKey(lastTick.addTicks(1), key);
    dateKey(lastTick.addTicks(2), later);
    EXPECT_LT(std::memcmp(key, later, sizeof key), 0);
}

TEST(StoredDateTest, shouldReadBackEveryStoredFormAndNothingElse) {
    const auto read = [](const char* text) {
        const auto value = readStoredDate(text, static_cast<int>(std::strlen(text)));
        return value ? value->at.toString("yyyy-MM-dd HH:mm:ss.zzz").toStdString() : "none";
    };
    EXPECT_EQ(read("2024-02-29"), "2024-02-29 00:00:00.000");
    EXPECT_EQ(read("2024-02-29 13:45:00.003"), "2024-02-29 13:45:00.003");
    EXPECT_EQ(read("2024-02-29 13:45:00"), "2024-02-29 13:45:00.000");
    EXPECT_EQ(read("2024-02-29 13:45:00.1234567"), "2024-02-29 13:45:00.123");
    EXPECT_EQ(read("2024-02-29T13:45:00.5"), "2024-02-29 13:45:00.500");
    EXPECT_EQ(read("13:45:30.25"), "1900-01-01 13:45:30.250");
    for (const char* bad : {"2023-02-29", "2024-2-29", "5/3/2024", "2024-02-29 25:00:00",
                            "2024-02-29 13:45", "2024-02-29 13:45:00.", "2024-02-29x13:45:00",
                            "2024-02-29 13:45:00.12345678", ""})
        EXPECT_EQ(read(bad), "none") << bad;
}

// The day is worked out from its digits: every day of years where the
// calendar's rules bite (centuries, 400-year eras, the ends of the range)
// reads as QDate has it, and days that do not exist read as nothing.
TEST(StoredDateTest, shouldReadEveryDayAsTheCalendarHasItAndRefuseDaysThatDoNotExist) {
    for (const int year : {1, 4, 100, 400, 1582, 1753, 1899, 1900, 2000, 2023, 2024, 2100, 9999}) {
        for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1)) {
            const QByteArray text = day.toString("yyyy-MM-dd").toLatin1() + " 23:59:59.997";
            const auto parts = readStoredDateParts(text.constData(), static_cast<int>(text.size()));
            ASSERT_TRUE(parts) << text.constData();
            EXPECT_EQ(parts->date, day) << text.constData();
            EXPECT_EQ(parts->time, QTime(23, 59, 59, 997)) << text.constData();
        }
    }
    for (const char* missing : {"1900-02-29", "2100-02-29", "2023-02-29", "2024-04-31", "2024-13-01",
                                "2024-00-10", "2024-01-00", "0000-01-01", "2024-01-32",
                                "2024-01-01 24:00:00", "2024-01-01 23:60:00", "2024-01-01 23:59:60"})
        EXPECT_FALSE(readStoredDateParts(missing, static_cast<int>(std::strlen(missing)))) << missing;
    const char* leap = "2000-02-29";
    EXPECT_EQ(readStoredDateParts(leap, 10)->date, QDate(2000, 2, 29));
}

TEST(StoredDateTest, shouldGiveKeysThatSortAsTheValuesWhateverTheWidth) {
    const char* ordered[] = {"1753-01-01 00:00:00.000", "2024-01-07", "2024-01-07 00:00:00.003",
                             "2024-01-07 00:00:01",     "2024-01-07 10:00:00.5",
                             "2024-01-07 10:00:00.5000001", "2024-01-08"};
    std::vector<std::string> keys;
    for (const char* text : ordered) {
        char key[27];
        ASSERT_TRUE(storedDateKey(text, static_cast<int>(std::strlen(text)), key)) << text;
        keys.emplace_back(key, sizeof key);
    }
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()); // all distinct
    // The same instant in two widths is one key.
    char date[27];
    char midnight[27];
    ASSERT_TRUE(storedDateKey("2024-01-07", 10, date));
    ASSERT_TRUE(storedDateKey("2024-01-07 00:00:00.0000000", 27, midnight));
    EXPECT_EQ(std::memcmp(date, midnight, sizeof date), 0);
    char parsed[27];
    dateKey(naiveDateTime(QDate(2024, 1, 7), QTime(10, 0, 0, 500)), parsed);
    EXPECT_EQ(std::string(parsed, sizeof parsed), keys[4]);
    char key[27];
    EXPECT_FALSE(storedDateKey("7/1/2024", 8, key));
}

TEST(StoredDateTest, shouldRefuseValuesOutsideEachTypesRange) {
    EXPECT_THROW(checkDateRange(at(0, 0, 0, 0, QDate(1752, 12, 31)), DateKind::DateTime),
                 ConversionError);
    EXPECT_NO_THROW(checkDateRange(at(0, 0, 0, 0, QDate(1752, 12, 31)), DateKind::DateTime2));
    EXPECT_THROW(checkDateRange(at(23, 59, 59, 999, QDate(9999, 12, 31)), DateKind::DateTime),
                 ConversionError);
    EXPECT_THROW(checkDateRange(at(0, 0, 0, 0, QDate(2079, 6, 7)), DateKind::SmallDateTime),
                 ConversionError);
}

} // namespace
