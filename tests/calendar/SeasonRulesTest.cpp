#include "calendar/BgrColour.h"
#include "calendar/Season.h"
#include "calendar/SeasonStatements.h"
#include "calendar/YearSeasons.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace estaciones::calendar {
namespace {

TEST(SeasonColour, shouldMapCodesLikeTheDatabaseComparesThem) {
    SeasonColours colours;
    colours.colour = {1, 2, 3, 4};
    EXPECT_EQ(colours.colourOfCode(QString()), 1u);
    EXPECT_EQ(colours.colourOfCode(QStringLiteral("BA")), 1u);
    EXPECT_EQ(colours.colourOfCode(QStringLiteral("me")), 2u);
    EXPECT_EQ(colours.colourOfCode(QStringLiteral("AL ")), 3u);
    EXPECT_EQ(colours.colourOfCode(QStringLiteral("ES")), 4u);
    EXPECT_EQ(colours.colourOfCode(QStringLiteral("XX")), std::nullopt);
    EXPECT_EQ(colours.colourOfCode(QStringLiteral(" AL")), std::nullopt);
}

TEST(BgrColour, shouldReadRedFromTheLowestByte) {
    EXPECT_EQ(toQColor(0x00FFFF00u), QColor(0, 255, 255)); // "&H00FFFF00&" is cyan
    EXPECT_EQ(toQColor(0x000000FFu), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(0x00FF0000u), QColor(0, 0, 255));
    EXPECT_EQ(toBgr(QColor(0, 0, 255)), 16711680u);
    EXPECT_EQ(toBgr(QColor(12, 34, 56)), 0x38220Cu);
    EXPECT_EQ(toQColor(ButtonFace), QGuiApplication::palette().color(QPalette::Button));
}

TEST(SeasonStatements, shouldWriteDatesWithoutLeadingZeros) {
    // The exact texts the suite's other programs and logs show.
    EXPECT_EQ(seasonOfDateStatement(5, 3, 2024),
              QStringLiteral("select * from ma_calendario where fecha = '5/3/2024'"));
    EXPECT_EQ(
        assignSeasonStatement(QStringLiteral("AL"), 14, 3, 2025),
        QStringLiteral("update ma_calendario set Temporada = 'AL' where fecha = '14/3/2025'"));
}

TEST(SeasonStatements, shouldNameEveryDateOfTheYearOnce) {
    for (int year : {2023, 2024}) {
        const QString statement = yearSeasonsStatement(year);
        const int days = QDate(year, 1, 1).daysInYear();
        EXPECT_EQ(statement.count(QStringLiteral("','")), days - 1);
        EXPECT_TRUE(statement.contains(QStringLiteral("('1/1/%1',").arg(year)));
        EXPECT_TRUE(statement.endsWith(QStringLiteral(",'31/12/%1')").arg(year)));
        EXPECT_EQ(statement.contains(QStringLiteral("'29/2/")), year == 2024);
    }
}

TEST(YearSeasons, shouldAnswerAsTheOneDateReadDoes) {
    YearSeasons year(2025);
    year.addRow(Variant(QDate(2025, 3, 14)), Variant("AL"));
    year.addRow(Variant(QDate(2025, 3, 14)), Variant("ES")); // a second row: the first wins
    year.addRow(Variant(QDate(2025, 3, 15)), Variant::null());
    year.addRow(Variant("16/3/2025"), Variant("ME")); // an engine that hands dates back as text
    year.addRow(Variant(QDate(2024, 3, 17)), Variant("ES"));
    year.addRow(Variant::null(), Variant("ES"));
    EXPECT_EQ(year.codeOf(14, 3), QStringLiteral("AL"));
    EXPECT_EQ(year.codeOf(15, 3), QString());
    EXPECT_EQ(year.codeOf(16, 3), QStringLiteral("ME"));
    EXPECT_EQ(year.codeOf(17, 3), QString());
    EXPECT_EQ(year.rowCount(), 3);
}

} // namespace
} // namespace estaciones::calendar
