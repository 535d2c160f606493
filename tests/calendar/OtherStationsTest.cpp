// Two stations on one embedded database: the window under test (A) and a
// second window with a connection of its own (C). A's undo and redo must not
// overwrite what C marked since. (RangeMarkingTest runs the same guarded
// writes on the ODBC engine.)
#include "CalendarWindowFixture.h"

#include "calendar/window/R.h"

#include <QPushButton>

namespace estaciones::calendar::window {
namespace {

const QColor yellow(255, 255, 0); // MEDIA
const QColor cyan(0, 255, 255);   // ALTA

class OtherStations : public test::CalendarWindowTest {
protected:
    void SetUp() override {
        database.createYear(2025);
        database.createYear(2026);
    }

    void openBoth() {
        open();
        chooseYear(2026);
        stationC.gLogErr = temp.filePath(QStringLiteral("TSERR-C.LOG"));
        stationC.gCnn.setCursorLocation(db::adUseClient);
        stationC.gCnn.open(database.connectionString());
        stationC.gOpenFlag = true;
        windowC = std::make_unique<R>(stationC, RSession{});
        ASSERT_TRUE(windowC->Form_Load());
        windowC->show();
        test::pickYear(yearComboOf(*windowC), 2026);
    }
    // A key on window A, as the operator at station A presses it.
    void keyOnA(Qt::Key key) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), key, Qt::ControlModifier);
    }
    QString lastMessage() const {
        return operatorScript.dialogs().empty() ? QString() : operatorScript.dialogs().back().text;
    }

    data::DB_Dll stationC;
    std::unique_ptr<R> windowC;
};

TEST_F(OtherStations, undoShouldLeaveADayAnotherStationMarkedSinceAndSaySo) {
    openBoth();
    const QDate day(2026, 1, 14);
    chooseSeason(2); // ALTA at A
    click(day);
    EXPECT_EQ(code(day), QStringLiteral("AL"));
    seasonOf(*windowC, 1).click(); // MEDIA at C
    clickOn(*windowC, day);
    EXPECT_EQ(code(day), QStringLiteral("ME"));

    operatorScript.answerMessage(ui::reply::OK);
    keyOnA(Qt::Key_Z);
    EXPECT_EQ(code(day), QStringLiteral("ME"));
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("Otro puesto")))
        << lastMessage().toStdString();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("14/1/2026"))) << lastMessage().toStdString();
    EXPECT_EQ(test::paintedColour(dayCell(day)), yellow); // A shows what is stored
    EXPECT_EQ(test::paintedColour(dayCellOf(*windowC, day)), yellow);
    // The day is C's now: nothing is left to undo or redo at A.
    EXPECT_FALSE(button("CmdDeshacer").isEnabled());
    EXPECT_FALSE(button("CmdRehacer").isEnabled());
}

TEST_F(OtherStations, undoAndRedoOfARangeShouldChangeOnlyTheDaysThisWindowStillOwns) {
    openBoth();
    chooseSeason(2);
    click(QDate(2026, 1, 10));
    click(QDate(2026, 1, 16), Qt::ShiftModifier);
    seasonOf(*windowC, 1).click();
    clickOn(*windowC, QDate(2026, 1, 12));

    operatorScript.answerMessage(ui::reply::OK);
    keyOnA(Qt::Key_Z); // undoes the range 11..16
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("12/1/2026"))) << lastMessage().toStdString();
    EXPECT_FALSE(lastMessage().contains(QStringLiteral("13/1/2026")));
    for (int d = 11; d <= 16; ++d) {
        EXPECT_EQ(code(QDate(2026, 1, d)), d == 12 ? QStringLiteral("ME") : QString()) << d;
    }
    EXPECT_EQ(code(QDate(2026, 1, 10)), QStringLiteral("AL")); // the click is a mark of its own

    keyOnA(Qt::Key_Y); // redoes the days A still owns; no question this time
    EXPECT_EQ(operatorScript.dialogs().size(), 1u);
    for (int d = 11; d <= 16; ++d) {
        EXPECT_EQ(code(QDate(2026, 1, d)), d == 12 ? QStringLiteral("ME") : QStringLiteral("AL"))
            << d;
    }
    EXPECT_EQ(test::paintedColour(dayCell(QDate(2026, 1, 13))), cyan);
}

} // namespace
} // namespace estaciones::calendar::window
