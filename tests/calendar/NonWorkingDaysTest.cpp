// Non-working days marked in the window: the "No laborable" option, the
// day's menu and ranges, each read back from MA_CALENDARIO, undone, counted
// in the legend and framed on the grid when the operator asks for it.
#include "CalendarWindowFixture.h"

#include "calendar/window/DayCell.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTest>

namespace estaciones::calendar::window {
namespace {

class NonWorkingDays : public test::CalendarWindowTest {
protected:
    void SetUp() override { database.createYear(2026); }

    QRadioButton& nonWorkingOption() {
        return *window->findChild<QRadioButton*>(QStringLiteral("OptNoLaborable"));
    }
    bool nonWorking(const QDate& date) { return database.storedNonWorking(date).value_or(false); }
    DayCell& cellOf(const QDate& date) { return static_cast<DayCell&>(dayCell(date)); }
    // The share of the cell's outer ring (where the frame of a non-working
    // day runs) drawn in the number's colour, black on light seasons.
    double framedShare(const QDate& date) {
        const QImage image = dayCell(date).grab().toImage();
        int ring = 0;
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (x >= 2 && y >= 2 && x < image.width() - 2 && y < image.height() - 2) {
                    continue;
                }
                ++ring;
                dark += QColor(image.pixel(x, y)).lightness() < 60;
            }
        }
        return ring == 0 ? 0.0 : double(dark) / ring;
    }
    // Opens the day's menu as a right click does and picks its first entry
    // with the keyboard.
    void pickFromDayMenu(const QDate& date) {
        QMenu* menu = openDayMenu(date);
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    }
};

TEST_F(NonWorkingDays, shouldTurnTheFlagOverWithAClickAndKeepTheSeason) {
    database.setCode(QDate(2026, 1, 14), QStringLiteral("AL"));
    open();
    nonWorkingOption().click();
    EXPECT_FALSE(season(0).isChecked()); // one choice at a time
    click(QDate(2026, 1, 14));
    EXPECT_TRUE(nonWorking(QDate(2026, 1, 14)));
    EXPECT_EQ(code(QDate(2026, 1, 14)), QStringLiteral("AL"));
    EXPECT_TRUE(legend().contains(QStringLiteral("No laborables: 1 día")))
        << legend().toStdString();
    click(QDate(2026, 1, 14));
    EXPECT_FALSE(nonWorking(QDate(2026, 1, 14)));
    EXPECT_EQ(code(QDate(2026, 1, 14)), QStringLiteral("AL"));
    EXPECT_TRUE(legend().contains(QStringLiteral("No laborables: 0 días")));

    // Two marks: two undos give the first state back, a redo the second.
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(nonWorking(QDate(2026, 1, 14)));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(nonWorking(QDate(2026, 1, 14)));
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(nonWorking(QDate(2026, 1, 14)));
    EXPECT_TRUE(legend().contains(QStringLiteral("No laborables: 1 día")));
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

TEST_F(NonWorkingDays, shouldFrameNonWorkingDaysOnlyWhenAskedAndRememberTheChoice) {
    database.setCode(QDate(2026, 3, 19), QStringLiteral("ME"));
    database.setNonWorking(QDate(2026, 3, 19), true);
    open();
    // The grid's usual look: nothing tells a non-working day apart.
    EXPECT_FALSE(showNonWorkingChecked());
    EXPECT_LT(framedShare(QDate(2026, 3, 19)), 0.05);
    toggleShowNonWorking();
    EXPECT_TRUE(showNonWorkingChecked());
    EXPECT_TRUE(cellOf(QDate(2026, 3, 19)).nonWorkingShown());
    EXPECT_FALSE(cellOf(QDate(2026, 3, 18)).nonWorkingShown());
    const QColor medium = test::paintedColour(dayCell(QDate(2026, 3, 19)));
    EXPECT_EQ(medium, QColor(255, 255, 0)); // the season still fills the face
    EXPECT_GT(framedShare(QDate(2026, 3, 19)), 0.3);
    EXPECT_LT(framedShare(QDate(2026, 3, 18)), 0.05);
    EXPECT_EQ(database.configValue(QStringLiteral("CalVerNoLaborables_")), QStringLiteral("1"));

    // A day marked from now on is framed at once.
    nonWorkingOption().click();
    click(QDate(2026, 3, 20));
    EXPECT_TRUE(cellOf(QDate(2026, 3, 20)).nonWorkingShown());

    window.reset();
    open();
    EXPECT_TRUE(showNonWorkingChecked());
    EXPECT_TRUE(cellOf(QDate(2026, 3, 19)).nonWorkingShown());
}

TEST_F(NonWorkingDays, shouldMarkFromTheDaysMenuWhateverTheChosenSeason) {
    open();
    chooseSeason(2);
    pickFromDayMenu(QDate(2026, 5, 1));
    EXPECT_TRUE(nonWorking(QDate(2026, 5, 1)));
    EXPECT_EQ(code(QDate(2026, 5, 1)), QString()); // the season chosen is not stored
    pickFromDayMenu(QDate(2026, 5, 1));
    EXPECT_FALSE(nonWorking(QDate(2026, 5, 1)));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(nonWorking(QDate(2026, 5, 1)));
}

TEST_F(NonWorkingDays, shouldMarkARangeThroughTheWeekdayFilterAndUndoItAsOne) {
    database.setNonWorking(QDate(2026, 8, 15), true);
    open();
    nonWorkingOption().click();
    chooseFilter(1);          // weekends
    click(QDate(2026, 8, 1)); // a Saturday: made non-working by the click
    click(QDate(2026, 8, 31), Qt::ShiftModifier);
    int marked = 0;
    for (QDate d(2026, 8, 1); d.month() == 8; d = d.addDays(1)) {
        const bool weekend = d.dayOfWeek() >= 6;
        EXPECT_EQ(nonWorking(d), weekend) << d.toString().toStdString();
        marked += nonWorking(d);
    }
    EXPECT_EQ(marked, 10);
    EXPECT_TRUE(legend().contains(QStringLiteral("No laborables: 10 días")));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    // The range's undo leaves the click's day, and 15 August as it was.
    EXPECT_TRUE(nonWorking(QDate(2026, 8, 1)));
    EXPECT_TRUE(nonWorking(QDate(2026, 8, 15)));
    EXPECT_FALSE(nonWorking(QDate(2026, 8, 2)));
    EXPECT_FALSE(nonWorking(QDate(2026, 8, 29)));
}

TEST_F(NonWorkingDays, shouldRefuseADayWithoutCalendar) {
    open();
    chooseYear(2027);
    nonWorkingOption().click();
    operatorScript.answerMessage(ui::reply::OK);
    click(QDate(2027, 2, 2));
    EXPECT_FALSE(database.storedNonWorking(QDate(2027, 2, 2)).has_value());
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_TRUE(operatorScript.dialogs()[0].text.contains(QStringLiteral("2027")));
    EXPECT_FALSE(button("CmdDeshacer").isEnabled());
}

// The picture of the non-working days in the README and the operator's
// page: ESTACIONES_CAPTURA names the file.
TEST_F(NonWorkingDays, captureForTheDocs) {
    const QString target = qEnvironmentVariable("ESTACIONES_CAPTURA");
    if (target.isEmpty()) {
        GTEST_SKIP() << "ESTACIONES_CAPTURA no está definida";
    }
    for (const QDate d : {QDate(2026, 1, 1), QDate(2026, 1, 6), QDate(2026, 4, 2),
                          QDate(2026, 4, 3), QDate(2026, 5, 1), QDate(2026, 8, 15),
                          QDate(2026, 10, 12), QDate(2026, 12, 8), QDate(2026, 12, 25)}) {
        database.setNonWorking(d, true);
    }
    open();
    toggleShowNonWorking();
    chooseSeason(2);
    click(QDate(2026, 7, 1));
    click(QDate(2026, 8, 31), Qt::ShiftModifier);
    chooseSeason(3);
    click(QDate(2026, 12, 24));
    click(QDate(2026, 12, 31));
    nonWorkingOption().click();
    chooseFilter(3); // Sundays
    click(QDate(2026, 1, 4));
    click(QDate(2026, 12, 27), Qt::ShiftModifier);
    // The keyboard's focus on a day, as F2 leaves it.
    QTest::keyClick(window.get(), Qt::Key_F2);
    EXPECT_TRUE(window->grab().save(target));
}

} // namespace
} // namespace estaciones::calendar::window
