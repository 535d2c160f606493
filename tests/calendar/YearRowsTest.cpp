// The year's rows read with one range: the same rows as naming every day of
// the year, on a column of dates and on one of texts.
#include "CalendarDatabase.h"

#include "calendar/extras/CalendarRows.h"

namespace estaciones::calendar::extras {
namespace {

using test::CalendarDatabase;

class YearRowsTest : public ::testing::TestWithParam<test::CalendarEngine> {
protected:
    void SetUp() override {
        database.createYear(2025);
        // The neighbouring days, which the range must leave out.
        insertDay(QDate(2024, 12, 31));
        insertDay(QDate(2026, 1, 1));
        database.setCode(QDate(2025, 1, 1), QStringLiteral("AL"));
        database.setCode(QDate(2025, 3, 5), QStringLiteral("BA"));
        database.setCode(QDate(2025, 12, 31), QStringLiteral("ES"));
        database.setNonWorking(QDate(2025, 5, 1), true);
        database.connection().execute(
            QStringLiteral("DELETE FROM MA_CALENDARIO WHERE Fecha = %1")
                .arg(database.dateLiteral(QDate(2025, 6, 6))));
    }

    void insertDay(const QDate& date) {
        database.connection().execute(
            QStringLiteral("INSERT INTO MA_CALENDARIO (Fecha, Temporada) VALUES (%1, 'XX')")
                .arg(database.dateLiteral(date)));
    }

    CalendarDatabase database{GetParam()};
};

TEST_P(YearRowsTest, shouldReadTheRowsTheDaysOfTheYearName) {
    bool complete = false;
    const CalendarRows rows = readYearRows(database.db(), 2025, &complete);
    EXPECT_TRUE(complete);
    EXPECT_EQ(rows.size(), 364);
    EXPECT_EQ(rows.firstKey(), QDate(2025, 1, 1));
    EXPECT_EQ(rows.lastKey(), QDate(2025, 12, 31));
    EXPECT_FALSE(rows.contains(QDate(2025, 6, 6)));
    EXPECT_EQ(rows.value(QDate(2025, 1, 1)).code, QStringLiteral("AL"));
    EXPECT_EQ(rows.value(QDate(2025, 3, 5)).code, QStringLiteral("BA"));
    EXPECT_EQ(rows.value(QDate(2025, 12, 31)).code, QStringLiteral("ES"));
    EXPECT_FALSE(rows.value(QDate(2025, 3, 6)).code.has_value()) << "a null stays null";
    EXPECT_TRUE(rows.value(QDate(2025, 5, 1)).nolaborable);
    EXPECT_FALSE(rows.value(QDate(2025, 5, 2)).nolaborable);

    const CalendarRows byDay = readRows(database.db(), datesOfYear(2025));
    ASSERT_EQ(byDay.keys(), rows.keys());
    for (auto row = byDay.cbegin(); row != byDay.cend(); ++row) {
        EXPECT_EQ(rows.value(row.key()).code, row->code) << row.key().toString().toStdString();
        EXPECT_EQ(rows.value(row.key()).nolaborable, row->nolaborable);
    }
}

TEST_P(YearRowsTest, shouldLeaveAYearWithoutRowsEmpty) {
    bool complete = false;
    EXPECT_TRUE(readYearRows(database.db(), 2027, &complete).isEmpty());
    EXPECT_TRUE(complete);
}

INSTANTIATE_TEST_SUITE_P(Engines, YearRowsTest, test::calendarEngines(),
                         test::calendarEngineName);

// A datetime column may hold a time of day: a day's literal compares equal
// only to its midnight, so rows at other times are not the day's.
TEST(YearRowsOfDatetimes, shouldLeaveOutRowsAtATimeOfDay) {
    CalendarDatabase database;
    database.createYear(2025);
    database.connection().execute(QStringLiteral(
        "DELETE FROM MA_CALENDARIO WHERE Fecha = '20250606';"
        "INSERT INTO MA_CALENDARIO (Fecha, Temporada) VALUES ('20250606 08:00', 'XX');"
        "INSERT INTO MA_CALENDARIO (Fecha, Temporada) VALUES ('20250305 00:00:00.003', 'XX');"
        "INSERT INTO MA_CALENDARIO (Fecha, Temporada) VALUES ('20251231 10:30', 'XX');"));
    database.setCode(QDate(2025, 3, 5), QStringLiteral("BA"));

    const CalendarRows rows = readYearRows(database.db(), 2025);
    EXPECT_EQ(rows.size(), 364);
    EXPECT_FALSE(rows.contains(QDate(2025, 6, 6)));
    EXPECT_EQ(rows.value(QDate(2025, 3, 5)).code, QStringLiteral("BA"));
    EXPECT_FALSE(rows.value(QDate(2025, 12, 31)).code.has_value());
    EXPECT_EQ(readRows(database.db(), datesOfYear(2025)).keys(), rows.keys());
}

} // namespace
} // namespace estaciones::calendar::extras
