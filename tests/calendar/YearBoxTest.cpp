// The year box as operators meet it: the list moved with the arrow keys and
// the wheel, texts that reach the box around its key filter (an input
// method, a middle-click paste), and the year the window acts on afterwards.
#include "CalendarWindowFixture.h"

#include "calendar/CrearCalendario.h"
#include "support/TextoPegado.h"

#include <QLineEdit>
#include <QPushButton>

namespace estaciones::calendar::window {
namespace {

class YearBox : public test::CalendarWindowTest {
protected:
    R& openRecordingCreations() {
        RSession session;
        session.CrearCalendario = [this](R&, int anio) { created << anio; };
        return open(std::move(session));
    }
    // Whether the grid shows `year`: where 1 January and 31 December sit,
    // and whether February has a 29th.
    bool gridShows(int year) {
        const QDate last(year, 12, 31);
        return dayCell(QDate(year, 1, 1)).text() == QStringLiteral("1") &&
               dayCell(last).text() == QStringLiteral("31") &&
               cell(2, QDate(year, 2, 1).dayOfWeek() % 7 + 28).isEnabled() ==
                   QDate::isLeapYear(year);
    }
    void enter() { QTest::keyClick(&yearCombo(), Qt::Key_Return); }
    void clickCrearCalendario() {
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("CmdCrearCalendario")),
                          Qt::LeftButton);
    }
    int rows() {
        db::Recordset rs =
            database.connection().execute(QStringLiteral("select count(*) from MA_CALENDARIO"));
        return rs.fields(0).value().toInt32();
    }
    QString lastMessage() const { return operatorScript.dialogs().back().text; }

    const int thisYear = QDate::currentDate().year();
    QList<int> created;
};

TEST_F(YearBox, shouldMoveThroughTheListFromTheShownYearWithArrowKeysAndTheWheel) {
    openRecordingCreations();
    QComboBox& combo = yearCombo();
    EXPECT_EQ(combo.currentText(), QString::number(thisYear));
    EXPECT_TRUE(gridShows(thisYear));

    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.currentText(), QString::number(thisYear + 1));
    EXPECT_TRUE(gridShows(thisYear + 1));
    QTest::keyClick(&combo, Qt::Key_Up);
    QTest::keyClick(&combo, Qt::Key_Up);
    EXPECT_EQ(combo.currentText(), QString::number(thisYear - 1));
    EXPECT_TRUE(gridShows(thisYear - 1));
    test::wheelStep(combo, -1); // one step towards the operator: the next year
    EXPECT_EQ(combo.currentText(), QString::number(thisYear));
    EXPECT_TRUE(gridShows(thisYear));

    clickCrearCalendario();
    EXPECT_EQ(created, QList<int>{thisYear});
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

TEST_F(YearBox, shouldRejectAComposedYearOutsideTheListAndPutTheShownYearBack) {
    database.createYear(2025);
    openRecordingCreations();
    chooseYear(2025);

    operatorScript.answerMessage(ui::reply::OK);
    test::commitText(yearCombo(), QStringLiteral("2025'; DROP TABLE MA_CALENDARIO --"));
    enter();
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("no es un año")))
        << lastMessage().toStdString();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("entre 1930 y 2049")));
    EXPECT_EQ(yearCombo().currentText(), QStringLiteral("2025"));
    EXPECT_EQ(rows(), 365);
    EXPECT_TRUE(gridShows(2025));

    operatorScript.answerMessage(ui::reply::OK);
    test::commitText(yearCombo(), QStringLiteral("1929"));
    enter();
    ASSERT_EQ(operatorScript.dialogs().size(), 2u);
    EXPECT_EQ(lastMessage(),
              QStringLiteral("El año 1929 no está en la lista. Elija un año entre 1930 y 2049."));
    EXPECT_TRUE(gridShows(2025));

    // Crear Calendario reads the box too: nothing is created for such a text.
    operatorScript.answerMessage(ui::reply::OK);
    test::commitText(yearCombo(), QStringLiteral("20x6"));
    clickCrearCalendario();
    ASSERT_EQ(operatorScript.dialogs().size(), 3u);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("\"20x6\" no es un año")));
    EXPECT_TRUE(created.isEmpty());
    EXPECT_EQ(yearCombo().currentText(), QStringLiteral("2025"));
}

TEST_F(YearBox, shouldKeepMarkingThePaintedYearAfterARejectedYearText) {
    database.createYear(2025);
    openRecordingCreations();
    chooseYear(2025);
    operatorScript.answerMessage(ui::reply::OK);
    test::commitText(yearCombo(), QStringLiteral("20262030"));
    enter();
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);

    chooseSeason(2);
    click(QDate(2025, 3, 14));
    EXPECT_EQ(code(QDate(2025, 3, 14)), QStringLiteral("AL"));
    EXPECT_EQ(test::paintedColour(dayCell(QDate(2025, 3, 14))), QColor(0, 255, 255));
    clickCrearCalendario();
    EXPECT_EQ(created, QList<int>{2025});
    EXPECT_EQ(operatorScript.dialogs().size(), 1u) << "a day click raised a dialog";
}

TEST_F(YearBox, shouldShowTheNewYearsDaysAndTotalsRightAfterCrearCalendario) {
    RSession session;
    session.CrearCalendario = [](R&, int anio) { CrearCalendario(anio); };
    open(std::move(session));
    chooseYear(2031);
    EXPECT_TRUE(legend().contains(QStringLiteral("(365 sin calendario)")))
        << legend().toStdString();

    operatorScript.answerMessage(ui::reply::OK); // "Se ha creado el calendario para el año 2031"
    clickCrearCalendario();
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_EQ(lastMessage(), QStringLiteral("Se ha creado el calendario para el año 2031"));
    EXPECT_EQ(rows(), 365);
    // 1 January 2031 is a Wednesday: 52 Sundays.
    EXPECT_TRUE(legend().contains(QStringLiteral("BAJA: 365 días (365 sin temporada)")))
        << legend().toStdString();
    EXPECT_TRUE(legend().contains(QStringLiteral("No laborables: 52 días")))
        << legend().toStdString();
    EXPECT_FALSE(legend().contains(QStringLiteral("sin calendario")));
}

// The year is picked from the list: pasting (the paste keys, Shift+Insert
// too) puts nothing into the box, whatever the clipboard holds.
TEST_F(YearBox, shouldTakeNoPastedTextWhateverTheClipboardHolds) {
    database.createYear(2025);
    openRecordingCreations();
    chooseYear(2025);
    QComboBox& combo = yearCombo();
    for (const test::TextoHostil& hostil : test::textosHostiles()) {
        SCOPED_TRACE(hostil.nombre);
        test::pegar(combo, hostil.bytes);
        QTest::keyClick(&combo, Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(combo.currentText(), QStringLiteral("2025"));
        enter();
        EXPECT_TRUE(gridShows(2025));
    }
    EXPECT_TRUE(operatorScript.dialogs().empty());
    EXPECT_EQ(rows(), 365);
}

} // namespace
} // namespace estaciones::calendar::window
