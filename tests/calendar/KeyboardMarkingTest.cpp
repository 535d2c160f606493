// The calendar window driven by key events alone: F2, arrows, digits, Space
// and Tab sent where the focus is, as the keyboard sends them; every mark
// read back from MA_CALENDARIO.
#include "CalendarWindowFixture.h"

#include "calendar/window/DayCell.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace estaciones::calendar::window {
namespace {

class KeyboardMarking : public test::CalendarWindowTest {
protected:
    void SetUp() override { database.createYear(2026); }

    // A key to whatever has the focus, as the keyboard delivers it.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
        for (int i = 0; i < times; ++i) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
        }
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    // Somewhere else first: a click into the year box's text.
    void clickIntoYearBox() {
        QTest::mouseClick(yearCombo().lineEdit(), Qt::LeftButton);
        ASSERT_TRUE(yearCombo().hasFocus());
    }
    bool nonWorking(const QDate& date) { return database.storedNonWorking(date).value_or(false); }
};

TEST_F(KeyboardMarking, shouldMarkDaysRangesAndNonWorkingDaysWithKeysAlone) {
    open();
    clickIntoYearBox();
    press(Qt::Key_F2);
    ASSERT_EQ(focused(), &dayCell(QDate(2026, 1, 1)));
    press(Qt::Key_3); // ALTA
    EXPECT_TRUE(season(2).isChecked());
    EXPECT_EQ(focused(), &dayCell(QDate(2026, 1, 1))); // the focus stays on the day
    press(Qt::Key_Space);
    EXPECT_EQ(code(QDate(2026, 1, 1)), QStringLiteral("AL"));

    // Right twice, then Shift+Down twice: 3 to 17 January selected.
    press(Qt::Key_Right, Qt::NoModifier, 2);
    press(Qt::Key_2); // MEDIA
    press(Qt::Key_Down, Qt::ShiftModifier, 2);
    EXPECT_EQ(focused(), &dayCell(QDate(2026, 1, 17)));
    EXPECT_TRUE(static_cast<DayCell&>(dayCell(QDate(2026, 1, 10))).selectedShown());
    press(Qt::Key_Return);
    for (QDate d(2026, 1, 3); d.day() <= 17; d = d.addDays(1)) {
        EXPECT_EQ(code(d), QStringLiteral("ME")) << d.toString().toStdString();
    }
    EXPECT_EQ(code(QDate(2026, 1, 2)), QString());
    EXPECT_EQ(code(QDate(2026, 1, 18)), QString());
    EXPECT_FALSE(static_cast<DayCell&>(dayCell(QDate(2026, 1, 10))).selectedShown());

    // Across months: a month on, to its end, one day more.
    press(Qt::Key_PageDown);
    press(Qt::Key_End);
    EXPECT_EQ(focused(), &dayCell(QDate(2026, 2, 28)));
    press(Qt::Key_Right);
    EXPECT_EQ(focused(), &dayCell(QDate(2026, 3, 1)));
    press(Qt::Key_5); // No laborable
    press(Qt::Key_Space);
    EXPECT_TRUE(nonWorking(QDate(2026, 3, 1)));
    EXPECT_TRUE(legend().contains(QStringLiteral("No laborables: 1 día")));
    EXPECT_EQ(focused()->accessibleName(),
              QStringLiteral("01/03/2026, sin temporada, no laborable"));

    // Undo by key too: each key mark is a mark of its own.
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(nonWorking(QDate(2026, 3, 1)));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code(QDate(2026, 1, 10)), QString());
    EXPECT_EQ(code(QDate(2026, 1, 1)), QStringLiteral("AL"));
    EXPECT_EQ(dayCell(QDate(2026, 1, 1)).accessibleName(), QStringLiteral("01/01/2026, ALTA"));
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

TEST_F(KeyboardMarking, shouldStopAtTheEndsOfTheYearAndComeBackToTheLastDayWithF2) {
    open();
    clickIntoYearBox();
    press(Qt::Key_F2);
    press(Qt::Key_Left);
    press(Qt::Key_Up);
    EXPECT_EQ(focused(), &dayCell(QDate(2026, 1, 1)));
    press(Qt::Key_PageDown, Qt::NoModifier, 11);
    press(Qt::Key_End);
    press(Qt::Key_Right);
    EXPECT_EQ(focused(), &dayCell(QDate(2026, 12, 31)));
    press(Qt::Key_Left, Qt::NoModifier, 3);

    clickIntoYearBox();
    press(Qt::Key_F2);
    EXPECT_EQ(focused(), &dayCell(QDate(2026, 12, 28)));
}

TEST_F(KeyboardMarking, shouldShowTheFocusedDayClearly) {
    database.setCode(QDate(2026, 4, 8), QStringLiteral("ME"));
    database.setCode(QDate(2026, 4, 9), QStringLiteral("ME"));
    open();
    clickIntoYearBox();
    press(Qt::Key_F2);
    press(Qt::Key_PageDown, Qt::NoModifier, 3);
    press(Qt::Key_Down); // 8 April
    ASSERT_EQ(focused(), &dayCell(QDate(2026, 4, 8)));
    // The focused day's edge is drawn in the number's colour; its
    // neighbour's edge is its season's colour.
    const auto darkEdge = [](QWidget& cell) {
        const QImage image = cell.grab().toImage();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            dark += QColor(image.pixel(1, y)).lightness() < 60;
        }
        return dark;
    };
    EXPECT_GT(darkEdge(dayCell(QDate(2026, 4, 8))), dayCell(QDate(2026, 4, 8)).height() / 2);
    EXPECT_EQ(darkEdge(dayCell(QDate(2026, 4, 9))), 0);
}

TEST_F(KeyboardMarking, shouldReachEveryKindOfControlWithTabInOrder) {
    open();
    clickIntoYearBox();
    press(Qt::Key_F2);
    clickIntoYearBox();
    QStringList visited;
    for (int i = 0; i < 40 && !visited.contains(QStringLiteral("CmbAnio")); ++i) {
        press(Qt::Key_Tab);
        visited << focused()->objectName();
    }
    const auto at = [&](const QString& name) { return visited.indexOf(name); };
    ASSERT_GE(at(QStringLiteral("CmdCrearCalendario")), 0) << visited.join(' ').toStdString();
    EXPECT_LT(at(QStringLiteral("CmdCrearCalendario")), at(QStringLiteral("CmdSalir")));
    EXPECT_LT(at(QStringLiteral("CmdSalir")), at(QStringLiteral("OptDia1")));
    EXPECT_LT(at(QStringLiteral("OptDia1")), at(QStringLiteral("CmdCopiarTemporadas")));
    // The actions a narrow window has no room for are behind the toolbar's
    // extension button, a Tab stop too.
    const bool allShown =
        window->findChild<QWidget*>(QStringLiteral("CmdExportarICalendar"))->isVisible();
    EXPECT_TRUE(allShown || at(QStringLiteral("qt_toolbar_ext_button")) >= 0)
        << visited.join(' ').toStdString();
    for (const char* name :
         {"CmbFiltroRango", "CmdCopiarTemporadas", "OptTemp", "CmdColor", "CmbAnio"}) {
        EXPECT_GE(at(QString::fromLatin1(name)), 0)
            << name << ": " << visited.join(' ').toStdString();
    }
    EXPECT_EQ(visited.count(QStringLiteral("OptDia1")), 1); // the grid is one stop
}

} // namespace
} // namespace estaciones::calendar::window
