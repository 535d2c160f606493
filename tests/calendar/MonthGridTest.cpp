// Grid placement checked against std::chrono's calendar, not the code's own
// date helpers.
#include "calendar/MonthGrid.h"
#include "calendar/GridGeometry.h"
#include "calendar/MonthPaint.h"
#include "platform/core/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace estaciones::calendar {
namespace {

namespace chr = std::chrono;

int chronoFirstWeekday(int month, int year) { // Sunday 0
    return static_cast<int>(
        chr::weekday(chr::sys_days(chr::year(year) / chr::month(month) / chr::day(1)))
            .c_encoding());
}

int chronoDays(int month, int year) {
    return static_cast<int>(unsigned((chr::year(year) / chr::month(month) / chr::last).day()));
}

SeasonColours distinctColours() {
    SeasonColours c;
    c.colour = {0x00FF00, 0x00FFFF, 0xFFFF00, 0x0000FF};
    return c;
}

std::array<CellPaint, CellsPerMonth> paintAllLow(int month, int year) {
    return paintMonth(month, year, distinctColours(), [](int) { return QString(); });
}

TEST(MonthGrid, shouldPutJanuary2022StartingOnSaturdayInCells6To36) {
    ASSERT_EQ(chronoFirstWeekday(1, 2022), 6);
    const auto cells = paintAllLow(1, 2022);
    for (int k = 0; k < CellsPerMonth; ++k) {
        const auto& cell = cells[static_cast<std::size_t>(k)];
        if (k < 6 || k > 36) {
            EXPECT_EQ(cell.caption, QStringLiteral(".")) << k;
            EXPECT_FALSE(cell.enabled) << k;
        } else {
            EXPECT_EQ(cell.caption, QString::number(k - 5)) << k;
            EXPECT_TRUE(cell.enabled) << k;
        }
    }
    EXPECT_EQ(cells[6].caption, QStringLiteral("1"));
    EXPECT_EQ(cells[36].caption, QStringLiteral("31"));
}

TEST(MonthGrid, shouldCountFebruaryDaysByTheGregorianRules) {
    auto enabledCells = [](int month, int year) {
        const auto cells = paintAllLow(month, year);
        return std::count_if(cells.begin(), cells.end(),
                             [](const CellPaint& c) { return c.enabled; });
    };
    EXPECT_EQ(enabledCells(2, 2024), 29);
    EXPECT_EQ(enabledCells(2, 2100), 28); // divisible by 100, not by 400
    EXPECT_EQ(enabledCells(2, 2000), 29);
    EXPECT_EQ(enabledCells(2, 2023), 28);
}

TEST(MonthGrid, shouldStartAMonthThatBeginsOnSundayInCell0) {
    ASSERT_EQ(chronoFirstWeekday(9, 2024), 0); // 1 September 2024 was a Sunday
    const auto cells = paintAllLow(9, 2024);
    EXPECT_EQ(cells[0].caption, QStringLiteral("1"));
    EXPECT_TRUE(cells[0].enabled);
    EXPECT_EQ(cells[29].caption, QStringLiteral("30"));
    EXPECT_EQ(cells[30].caption, QStringLiteral("."));
}

// Every month of the years the combo offers, against chrono.
TEST(MonthGrid, shouldMatchAnIndependentCalendarForEveryMonthFrom1930To2049) {
    for (int year = 1930; year <= 2049; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const int first = chronoFirstWeekday(month, year);
            const int days = chronoDays(month, year);
            ASSERT_EQ(CantidadDeDiasDelmes(Variant(month), Variant(QString::number(year))), days)
                << month << "/" << year;
            const auto cells = paintAllLow(month, year);
            for (int k = 0; k < CellsPerMonth; ++k) {
                const bool isDay = k >= first && k < first + days;
                const auto& cell = cells[static_cast<std::size_t>(k)];
                ASSERT_EQ(cell.enabled, isDay) << k << " " << month << "/" << year;
                ASSERT_EQ(cell.caption,
                          isDay ? QString::number(k - first + 1) : QStringLiteral("."));
            }
        }
    }
}

TEST(MonthGrid, shouldGiveZeroDaysForMonthOrYearThatMakeNoDate) {
    EXPECT_EQ(CantidadDeDiasDelmes(Variant(13), Variant("2024")), 0);
    EXPECT_EQ(CantidadDeDiasDelmes(Variant(2), Variant("")), 0);
    EXPECT_EQ(CantidadDeDiasDelmes(Variant(2), Variant("dos mil")), 0);
    EXPECT_EQ(CantidadDeDiasDelmes(Variant(12), Variant("2024")), 31);
    EXPECT_THROW(paintAllLow(1, 0), Error);
    EXPECT_THROW(yearOfText(QStringLiteral(" ")), Error);
    EXPECT_EQ(yearOfText(QStringLiteral(" 2031 ")), 2031);
}

TEST(MonthGrid, shouldNameMonthsBothWays) {
    EXPECT_EQ(NombreMes(9), QStringLiteral("Septiembre"));
    EXPECT_EQ(NombreMes(0), QString());
    EXPECT_EQ(NombreMes(13), QString());
    for (std::int16_t m = 1; m <= 12; ++m) {
        EXPECT_EQ(Nromes(NombreMes(m).toUpper()), m);
    }
    EXPECT_EQ(Nromes(QStringLiteral("Setiembre")), 0);
}

TEST(MonthPaint, shouldPaintDaysBySeasonAndLeaveUnknownCodesUnpainted) {
    const SeasonColours colours = distinctColours();
    const auto cells = paintMonth(3, 2025, colours, [](int day) {
        switch (day) {
        case 1:
            return QStringLiteral("AL");
        case 2:
            return QStringLiteral("me");
        case 3:
            return QStringLiteral("XX");
        case 4:
            return QStringLiteral("ES");
        default:
            return QString();
        }
    });
    const int first = chronoFirstWeekday(3, 2025);
    auto at = [&](int day) { return cells[static_cast<std::size_t>(first + day - 1)]; };
    EXPECT_EQ(at(1).background, 0xFFFF00u);
    EXPECT_EQ(at(2).background, 0x00FFFFu);
    EXPECT_EQ(at(3).background, std::nullopt);
    EXPECT_EQ(at(4).background, 0x0000FFu);
    EXPECT_EQ(at(5).background, 0x00FF00u);
    EXPECT_EQ(cells[0].background, 0x8000000Fu); // 1 March 2025 is a Saturday
}

TEST(GridGeometry, shouldStepCellsByWidthAndRowsByHeightPlusTwoTwips) {
    const TwipsRect cell0{120, 480, 375, 255};
    const auto cells = cellRects(cell0);
    EXPECT_EQ(cells[6].left, 120 + 6 * 375);
    EXPECT_EQ(cells[6].top, 480);
    EXPECT_EQ(cells[7].left, 120);
    EXPECT_EQ(cells[7].top, 480 + 257);
    EXPECT_EQ(cells[41].left, 120 + 6 * 375);
    EXPECT_EQ(cells[41].top, 480 + 5 * 257);
    const auto headers = headerRects(TwipsRect{120, 240, 375, 195}, cell0);
    EXPECT_EQ(headers[3].left, cells[3].left);
    EXPECT_EQ(headers[3].top, 240);
    EXPECT_EQ(twipsToPixels(375), 25);
    EXPECT_EQ(twipsToPixels(375, 192.0), 50);
}

} // namespace
} // namespace estaciones::calendar
