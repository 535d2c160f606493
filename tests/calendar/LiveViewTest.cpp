// The window under test keeps up with another station: a second process
// (this executable run again) changes days of the year shown, and the window
// repaints them by itself; a click on a day it shows out of date is not
// made.
#include "CalendarWindowFixture.h"

#include "ChildRun.h"
#include "calendar/window/DayCell.h"

#include <QElapsedTimer>
#include <QStatusBar>

namespace estaciones::calendar::window {
namespace {

const QColor cyan(0, 255, 255); // ALTA
const QColor red(255, 0, 0);    // ESPECIAL

// What the other station runs, on its own connection.
void otherStationRuns(const QString& connectionString, const QStringList& statements) {
    db::Connection other;
    other.setCursorLocation(db::adUseClient);
    other.open(connectionString);
    for (const QString& statement : statements) {
        other.execute(statement);
    }
    other.close();
}

// Runs only as the second process of the test below.
TEST(LiveViewOtherProcess, changesThreeDaysOfTheYear) {
    if (!test::inChildRun()) {
        GTEST_SKIP() << "the second station of LiveView";
    }
    otherStationRuns(
        qEnvironmentVariable("ESTACIONES_CONEXION_OTRO_PUESTO"),
        {QStringLiteral("UPDATE MA_CALENDARIO SET Temporada = 'AL' WHERE Fecha = '20260202'"),
         QStringLiteral("UPDATE MA_CALENDARIO SET Temporada = 'AL' WHERE Fecha = '20260203'"),
         QStringLiteral("UPDATE MA_CALENDARIO SET nolaborable = 1 WHERE Fecha = '20260204'")});
}

class LiveView : public test::CalendarWindowTest {
protected:
    void SetUp() override { database.createYear(2026); }
    DayCell& cellOf(const QDate& date) { return static_cast<DayCell&>(dayCell(date)); }
    QString statusMessage() { return window->statusBar()->currentMessage(); }
};

TEST_F(LiveView, shouldRepaintTheDaysAnotherProcessChangedWithinTwoSeconds) {
    open();
    toggleShowNonWorking();
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("ESTACIONES_CONEXION_OTRO_PUESTO"),
                       database.connectionString());
    test::runInChild(QStringLiteral("LiveViewOtherProcess.changesThreeDaysOfTheYear"), environment);
    QElapsedTimer sinceChange;
    sinceChange.start();
    const bool shown = QTest::qWaitFor(
        [&] {
            return test::paintedColour(dayCell(QDate(2026, 2, 2))) == cyan &&
                   test::paintedColour(dayCell(QDate(2026, 2, 3))) == cyan &&
                   cellOf(QDate(2026, 2, 4)).nonWorkingShown();
        },
        2000);
    EXPECT_TRUE(shown) << "after " << sinceChange.elapsed() << " ms";
    EXPECT_EQ(statusMessage(), QStringLiteral("3 días cambiados por otro puesto"));
    EXPECT_TRUE(legend().contains(QStringLiteral("ALTA: 2 días")));
    EXPECT_TRUE(legend().contains(QStringLiteral("No laborables: 1 día")));
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

TEST_F(LiveView, shouldSayNothingWhenAnotherStationChangedNoDayOfTheYear) {
    database.createYear(2027);
    open();
    otherStationRuns(
        database.connectionString(),
        {QStringLiteral("UPDATE MA_CALENDARIO SET Temporada = 'ES' WHERE Fecha = '20270105'"),
         QStringLiteral("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('Otro', '1')")});
    QTest::qWait(1300);
    EXPECT_TRUE(statusMessage().isEmpty()) << statusMessage().toStdString();
}

TEST_F(LiveView, shouldSayWhenAClickReplacesWhatTheWindowHadNotShownYet) {
    open();
    chooseSeason(2);
    // Another station marks 5 February just before the click, before any
    // check could show it.
    otherStationRuns(
        database.connectionString(),
        {QStringLiteral("UPDATE MA_CALENDARIO SET Temporada = 'ES' WHERE Fecha = '20260205'")});
    click(QDate(2026, 2, 5));
    EXPECT_EQ(code(QDate(2026, 2, 5)), QStringLiteral("AL"));
    EXPECT_TRUE(statusMessage().contains(QStringLiteral("otro puesto")))
        << statusMessage().toStdString();
    EXPECT_TRUE(statusMessage().contains(QStringLiteral("5/2/2026")));
    // The undo gives the other station's mark back, not the empty day shown.
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code(QDate(2026, 2, 5)), QStringLiteral("ES"));
    EXPECT_EQ(test::paintedColour(dayCell(QDate(2026, 2, 5))), red);

    // A day the window shows as stored is marked without a note.
    window->statusBar()->clearMessage();
    click(QDate(2026, 2, 6));
    EXPECT_TRUE(statusMessage().isEmpty()) << statusMessage().toStdString();
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

} // namespace
} // namespace estaciones::calendar::window
