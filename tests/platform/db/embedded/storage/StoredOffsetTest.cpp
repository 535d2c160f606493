// A datetimeoffset's stored text: the local time and its offset, read back
// whole, compared by its UTC instant, refused when either time leaves the
// calendar or the offset leaves -14:00 to +14:00.
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/StoredDate.h"

#include "platform/db/embedded/storage/SqlValue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace estaciones::db::tsql;

namespace {

PreciseDateTime local(int year, int month, int day, int hour, int minute, int offset) {
    return PreciseDateTime(naiveDateTime(QDate(year, month, day), QTime(hour, minute)))
        .withOffset(offset);
}

std::optional<PreciseDateTime> read(const char* text) {
    return readStoredDate(text, static_cast<int>(std::strlen(text)));
}

std::string keyOf(const char* text) {
    char key[27];
    if (!storedDateKey(text, static_cast<int>(std::strlen(text)), key))
        return "none";
    return std::string(key, sizeof key);
}

TEST(StoredOffsetTest, shouldWriteTheLocalTimeAndItsOffsetAtTheTypesDigits) {
    const PreciseDateTime value = local(1998, 9, 20, 7, 45, -300).addTicks(7134500);
    EXPECT_EQ(formatStoredDate(value, DateKind::DateTimeOffset),
              "1998-09-20 07:45:00.7134500 -05:00");
    EXPECT_EQ(formatStoredDate(value, DateKind::DateTimeOffset, 0), "1998-09-20 07:45:01 -05:00");
    EXPECT_EQ(formatStoredDate(value, DateKind::DateTimeOffset, 3),
              "1998-09-20 07:45:00.713 -05:00");
    // A value that never had an offset is at UTC; other types drop the offset.
    EXPECT_EQ(formatStoredDate(value.withOffset(std::nullopt), DateKind::DateTimeOffset, 0),
              "1998-09-20 07:45:01 +00:00");
    EXPECT_EQ(formatStoredDate(value, DateKind::DateTime2, 2), "1998-09-20 07:45:00.71");
    EXPECT_EQ(fractionDigitsOf(u"datetimeoffset(4)"), 4);
    EXPECT_EQ(fractionDigitsOf(u"datetimeoffset"), 7);
    EXPECT_EQ(dateKindOf(u"datetimeoffset(0)"), DateKind::DateTimeOffset);
}

TEST(StoredOffsetTest, shouldReadTheOffsetBackWithTheLocalTime) {
    const auto value = read("2007-05-08 12:35:29.1234567 +12:15");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->offsetMinutes, 735);
    EXPECT_EQ(value->time(), QTime(12, 35, 29, 123));
    EXPECT_EQ(value->ticks, 4567);
    EXPECT_EQ(read("2007-05-08 12:35:29 -00:30")->offsetMinutes, -30);
    // The parts a row's reading takes are the local ones.
    const char* text = "2007-05-08 23:35:29 -05:00";
    EXPECT_EQ(readStoredDateParts(text, static_cast<int>(std::strlen(text)))->date,
              QDate(2007, 5, 8));
    EXPECT_FALSE(read("2007-05-08 +05:00"));
    EXPECT_FALSE(read("2007-05-08 12:35:29 +5:00"));
    EXPECT_FALSE(read("2007-05-08 12:35:29 05:00"));
}

TEST(StoredOffsetTest, shouldKeyAnInstantAloneWhateverItsOffset) {
    const std::string utc = keyOf("2024-01-07 09:00:00.0000000 +00:00");
    EXPECT_EQ(keyOf("2024-01-07 10:00:00.0000000 +01:00"), utc);
    EXPECT_EQ(keyOf("2024-01-06 23:00:00 -10:00"), utc);
    // A value kept before offsets were kept reads as UTC.
    EXPECT_EQ(keyOf("2024-01-07 09:00:00.0000000"), utc);
    // Later local text, earlier instant: 10:00 at +01:00 comes before 09:30 UTC.
    EXPECT_LT(keyOf("2024-01-07 10:00:00 +01:00"), keyOf("2024-01-07 09:30:00 +00:00"));
    EXPECT_LT(keyOf("2024-01-07 23:59:00 +14:00"), keyOf("2024-01-07 00:00:00 -14:00"));
    EXPECT_EQ(keyOf("2024-13-07 10:00:00 +01:00"), "none");
}

TEST(StoredOffsetTest, shouldRefuseAnInstantOutsideTheCalendarInEitherTime) {
    EXPECT_NO_THROW(checkDateRange(local(9999, 12, 31, 10, 10, 0), DateKind::DateTimeOffset));
    // 9999-12-31 10:10 UTC is past the last day at +13:50.
    EXPECT_THROW(
        checkDateRange(local(9999, 12, 31, 10, 10, 0).atOffset(830), DateKind::DateTimeOffset),
        ConversionError);
    EXPECT_THROW(checkDateRange(local(1, 1, 1, 0, 30, 60), DateKind::DateTimeOffset),
                 ConversionError);
    EXPECT_NO_THROW(checkDateRange(local(1, 1, 1, 0, 30, -60), DateKind::DateTimeOffset));
    EXPECT_THROW(checkDateRange(local(2024, 1, 7, 0, 0, 841), DateKind::DateTimeOffset),
                 ConversionError);
}

TEST(StoredOffsetTest, shouldMoveAnInstantBetweenOffsets) {
    const PreciseDateTime cet = local(2024, 3, 31, 0, 30, 60);
    EXPECT_EQ(formatStoredDate(cet.atOffset(-480), DateKind::DateTimeOffset, 0),
              "2024-03-30 15:30:00 -08:00");
    EXPECT_EQ(formatStoredDate(cet.utc(), DateKind::DateTime2, 0), "2024-03-30 23:30:00");
    // Moving ticks keeps the offset, across midnight too.
    EXPECT_EQ(formatStoredDate(cet.addTicks(-36000000000LL), DateKind::DateTimeOffset, 0),
              "2024-03-30 23:30:00 +01:00");
}

TEST(StoredOffsetTest, shouldReadOffsetsOfLiteralsWithinTheirRange) {
    const auto offsetOf = [](const char* text) {
        const auto value = parseDateText(QString::fromLatin1(text), DateOrder::MDY);
        return value ? value->offsetMinutes.value_or(-9999) : 9999;
    };
    EXPECT_EQ(offsetOf("1998-09-20 7:45:50.71345 -5:00"), -300);
    EXPECT_EQ(offsetOf("12-10-25 12:32:10.1237 +01:0"), 60);
    EXPECT_EQ(offsetOf("1999-12-12 19:30:30.12345Z"), 0);
    EXPECT_EQ(offsetOf("12:30 +14:00"), 840);
    EXPECT_EQ(offsetOf("2024-01-07 10:00"), -9999); // none given
    EXPECT_EQ(offsetOf("2024-01-07 10:00 +14:01"), 9999);
    EXPECT_EQ(offsetOf("2024-01-07 10:00 +10:60"), 9999);
    EXPECT_EQ(offsetOf("2024-01-07 +01:00"), 9999);
    EXPECT_EQ(parseOffsetText(u"-14:00"), -840);
    EXPECT_EQ(parseOffsetText(u" +05:10 "), 310);
    EXPECT_FALSE(parseOffsetText(u"+14:30"));
    EXPECT_FALSE(parseOffsetText(u"05:10"));
    EXPECT_FALSE(parseOffsetText(u"+5:10"));
    EXPECT_EQ(offsetText(-30), "-00:30");
}

} // namespace
