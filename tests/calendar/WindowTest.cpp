// The calendar window under the offscreen platform: real cells clicked with
// QTest on the embedded engine, results read back from the database and
// colours read back from the rendered widgets.
#include "CalendarWindowFixture.h"

#include "calendar/window/R.h"
#include "calendar/window/StatusPanels.h"
#include "platform/os/Desktop.h"
#include "platform/ui/ControlArrays.h"
#include "session/Ayuda.h"
#include "session/SessionParameters.h"
#include "support/ScriptedOperator.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

namespace estaciones::calendar::window {
namespace {

using test::paintedColour;

const QColor green(0, 255, 0);    // "&H0000FF00&", BAJA
const QColor yellow(255, 255, 0); // "&H0000FFFF&", MEDIA
const QColor cyan(0, 255, 255);   // "&H00FFFF00&", ALTA
const QColor blue(0, 0, 255);

class CalendarWindow : public test::CalendarWindowTest {
protected:
    void SetUp() override {
        database.createYear(2025);
        database.createYear(2022);
    }

    R& open() {
        RSession session;
        session.FinalizarSesion = [this] { calls << QStringLiteral("FinalizarSesion"); };
        session.endProgram = [this] { calls << QStringLiteral("endProgram"); };
        return CalendarWindowTest::open(std::move(session));
    }
    QRadioButton& dayCell(int day, int month, int year) {
        return CalendarWindowTest::dayCell(QDate(year, month, day));
    }
    void chooseYear(const QString& year) { CalendarWindowTest::chooseYear(year.toInt()); }

    QStringList calls;
};

TEST_F(CalendarWindow, shouldNameEveryControlAsTheSuiteDoes) {
    R& r = open();
    EXPECT_EQ(r.objectName(), QStringLiteral("R"));
    for (const char* name :
         {"FrmTemporada", "CmbAnio", "CmdCrearCalendario", "CmdSalir", "Label1", "sbStatusBar"}) {
        EXPECT_NE(r.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
    const QStringList captions = {"BAJA", "MEDIA", "ALTA", "ESPECIAL"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(season(i).text(), captions[i]);
        auto* colour = ui::arrayElement<QToolButton>(r, QStringLiteral("CmdColor"), i);
        ASSERT_NE(colour, nullptr);
        EXPECT_EQ(colour->toolTip(), QStringLiteral("Cambiar Color"));
    }
    EXPECT_TRUE(season(0).isChecked());
    EXPECT_EQ(ui::arrayElements<QGroupBox>(r, QStringLiteral("FrMes")).size(), 12);
    EXPECT_EQ(ui::arrayElement<QGroupBox>(r, QStringLiteral("FrMes"), 8)->title(),
              QStringLiteral("SEPTIEMBRE"));
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(ui::arrayElements<QRadioButton>(r, QStringLiteral("OptDia%1").arg(month)).size(),
                  42);
        const auto headers = ui::arrayElements<QLabel>(r, QStringLiteral("LblDia%1").arg(month));
        ASSERT_EQ(headers.size(), 7);
        EXPECT_EQ(headers[0]->text(), QStringLiteral("Dóm"));
        EXPECT_EQ(headers[6]->text(), QStringLiteral("Sab"));
    }
    QStatusBar& bar = *r.findChild<QStatusBar*>(QStringLiteral("sbStatusBar"));
    EXPECT_NE(statusPanel(bar, QStringLiteral("BASEDEDATOS")), nullptr);
    EXPECT_EQ(statusPanel(bar, 7), statusPanel(bar, QStringLiteral("MENSAJE")));
    EXPECT_EQ(statusPanel(bar, 6)->property(PanelKeyProperty).toString(), QString());
    EXPECT_EQ(yearCombo().count(), 120);
    EXPECT_EQ(yearCombo().itemText(0), QStringLiteral("1930"));
    EXPECT_EQ(yearCombo().itemText(119), QStringLiteral("2049"));
    EXPECT_EQ(yearCombo().currentText(), QString::number(QDate::currentDate().year()));
}

TEST_F(CalendarWindow, shouldLayCellsOutWithTheGridPitchAndTheCalendarOfTheYear) {
    R& r = open();
    chooseYear(QStringLiteral("2022"));
    // 1 January 2022 was a Saturday.
    for (int k = 0; k < 42; ++k) {
        const bool isDay = k >= 6 && k <= 36;
        EXPECT_EQ(cell(1, k).text(), isDay ? QString::number(k - 5) : QStringLiteral(".")) << k;
        EXPECT_EQ(cell(1, k).isEnabled(), isDay) << k;
    }
    EXPECT_EQ(cell(2, 2).text(), QStringLiteral("1")); // 1 February 2022, a Tuesday
    // Pitch: width without gap, rows a little apart; headers above their column.
    EXPECT_EQ(cell(5, 1).x() - cell(5, 0).x(), cell(5, 0).width());
    EXPECT_EQ(cell(5, 7).x(), cell(5, 0).x());
    EXPECT_GE(cell(5, 7).y() - cell(5, 0).y(), cell(5, 0).height());
    EXPECT_LE(cell(5, 35).y() - cell(5, 0).y(), 5 * (cell(5, 0).height() + 1));
    const auto headers = ui::arrayElements<QLabel>(r, QStringLiteral("LblDia5"));
    EXPECT_EQ(headers[4]->x(), cell(5, 4).x());
    EXPECT_EQ(headers[4]->y(), headers[0]->y());
    EXPECT_TRUE(cell(5, 4).font().bold());
}

TEST_F(CalendarWindow, shouldStoreAndPaintTheSelectedSeasonOnAClick) {
    open();
    chooseYear(QStringLiteral("2025"));
    QRadioButton& march14 = dayCell(14, 3, 2025);
    ASSERT_EQ(march14.text(), QStringLiteral("14"));
    EXPECT_EQ(paintedColour(march14), green); // no code yet: low season

    season(2).click();
    ASSERT_TRUE(season(2).isChecked());
    QTest::mouseClick(&march14, Qt::LeftButton);
    EXPECT_EQ(database.storedCode(QDate(2025, 3, 14)), QStringLiteral("AL"));
    EXPECT_EQ(paintedColour(march14), cyan);
    EXPECT_FALSE(march14.isChecked());

    // The same click again runs the update again (no dialog, same result).
    database.setCode(QDate(2025, 3, 14), QStringLiteral("ES"));
    QTest::mouseClick(&march14, Qt::LeftButton);
    EXPECT_EQ(database.storedCode(QDate(2025, 3, 14)), QStringLiteral("AL"));

    // Without row counts the row is read back.
    database.connection().execute(QStringLiteral("SET NOCOUNT ON"));
    season(0).click();
    QTest::mouseClick(&march14, Qt::LeftButton);
    EXPECT_EQ(database.storedCode(QDate(2025, 3, 14)), QStringLiteral("BA"));
    EXPECT_EQ(paintedColour(march14), green);
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

TEST_F(CalendarWindow, shouldStoreNothingAndKeepTheColourWhenTheYearWasNotCreated) {
    open();
    chooseYear(QStringLiteral("2031"));
    season(2).click();
    QRadioButton& day = dayCell(14, 3, 2031);
    operatorScript.answerMessage(ui::reply::OK);
    QTest::mouseClick(&day, Qt::LeftButton);
    EXPECT_EQ(database.storedCode(QDate(2031, 3, 14)), std::nullopt);
    EXPECT_EQ(paintedColour(day), green);
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_TRUE(operatorScript.dialogs()[0].text.contains(QStringLiteral("Crear Calendario")));
    EXPECT_TRUE(operatorScript.dialogs()[0].text.contains(QStringLiteral("2031")));
}

TEST_F(CalendarWindow, shouldIgnoreClicksOnCellsWithoutADay) {
    open();
    chooseYear(QStringLiteral("2022"));
    QRadioButton& noDay = cell(1, 0);
    EXPECT_FALSE(noDay.isEnabled());
    const QColor before = paintedColour(noDay);
    QTest::mouseClick(&noDay, Qt::LeftButton);
    EXPECT_FALSE(noDay.isChecked());
    EXPECT_EQ(paintedColour(noDay), before);
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

TEST_F(CalendarWindow, shouldStoreAChosenColourAsDecimalTextAndRepaint) {
    database.setCode(QDate(2025, 6, 10), QStringLiteral("ME"));
    R& r = open();
    chooseYear(QStringLiteral("2025"));
    EXPECT_EQ(paintedColour(dayCell(10, 6, 2025)), yellow);

    operatorScript.answerColor(0xFF0000u); // pure blue
    ui::arrayElement<QToolButton>(r, QStringLiteral("CmdColor"), 1)->click();
    EXPECT_EQ(database.configValue(QStringLiteral("TempoCol_ME")), QStringLiteral("16711680"));
    EXPECT_EQ(paintedColour(dayCell(10, 6, 2025)), blue);
    EXPECT_EQ(paintedColour(season(1)), blue);
    EXPECT_EQ(r.colours().colour[1], 0xFF0000u);

    // Cancelling the dialog changes nothing.
    operatorScript.answerColor(std::nullopt);
    ui::arrayElement<QToolButton>(r, QStringLiteral("CmdColor"), 1)->click();
    EXPECT_EQ(database.configValue(QStringLiteral("TempoCol_ME")), QStringLiteral("16711680"));
    EXPECT_EQ(paintedColour(dayCell(10, 6, 2025)), blue);
}

TEST_F(CalendarWindow, shouldWriteDefaultsForMissingAndBlankColourKeys) {
    // ALTA holds a blank value; the others have no row.
    database.connection().execute(QStringLiteral(
        "INSERT INTO TA_CONFIGURACION (Clave, Valor, Grupo) VALUES ('TEMPOCOL_AL', ' ', 'DATOS')"));
    database.setCode(QDate(2025, 1, 2), QStringLiteral("AL"));
    open();
    chooseYear(QStringLiteral("2025"));
    EXPECT_EQ(database.configValue(QStringLiteral("TempoCol_BA")), QStringLiteral("&H0000FF00&"));
    EXPECT_EQ(database.configValue(QStringLiteral("TempoCol_AL")), QStringLiteral("&H00FFFF00&"));
    EXPECT_EQ(database.configValue(QStringLiteral("TempoCol_ES")), QStringLiteral("&H000000FF&"));
    EXPECT_EQ(paintedColour(dayCell(1, 1, 2025)), green);
    EXPECT_EQ(paintedColour(dayCell(2, 1, 2025)), cyan);
}

TEST_F(CalendarWindow, shouldDiscardTypingAndRepaintOnChoiceOrEnter) {
    open();
    chooseYear(QStringLiteral("2025"));
    QComboBox& combo = yearCombo();
    QTest::keyClicks(&combo, QStringLiteral("19"));
    QTest::keyClick(&combo, Qt::Key_Backspace);
    EXPECT_EQ(combo.currentText(), QStringLiteral("2025"));
    EXPECT_EQ(cell(1, 3).text(), QStringLiteral("1")); // still 2025: 1 January a Wednesday

    chooseYear(QStringLiteral("2031"));
    EXPECT_EQ(cell(1, 3).text(), QStringLiteral("1")); // 1 January 2031, a Wednesday too
    EXPECT_EQ(cell(2, 6).text(), QStringLiteral("1")); // 1 February 2031, a Saturday

    test::commitText(combo, QStringLiteral("2022")); // the text shown, not chosen from the list
    QTest::keyClick(&combo, Qt::Key_Return);
    EXPECT_EQ(cell(1, 6).text(), QStringLiteral("1"));
    // The list follows: the next Down shows 2023.
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.currentText(), QStringLiteral("2023"));
    EXPECT_EQ(cell(1, 0).text(), QStringLiteral("1")); // 1 January 2023, a Sunday
}

TEST_F(CalendarWindow, shouldCloseTheSessionAndEndTheProgramOnUnload) {
    R& r = open();
    r.findChild<QPushButton*>(QStringLiteral("CmdSalir"))->click();
    EXPECT_EQ(calls, (QStringList{"FinalizarSesion", "endProgram"}));
    EXPECT_FALSE(r.isVisible());
}

TEST_F(CalendarWindow, shouldKeepTheWindowOpenUntilTheYearsCreationEnds) {
    RSession session;
    session.FinalizarSesion = [this] { calls << QStringLiteral("FinalizarSesion"); };
    session.endProgram = [this] { calls << QStringLiteral("endProgram"); };
    bool disabledWhileRunning = false;
    bool openWhileRunning = false;
    session.CrearCalendario = [&](R& r, int) {
        disabledWhileRunning = !r.centralWidget()->isEnabled();
        // The operator closes the window while the script lets events run.
        r.close();
        openWhileRunning = r.isVisible() && calls.isEmpty();
    };
    window = std::make_unique<R>(database.db(), session);
    ASSERT_TRUE(window->Form_Load());
    window->show();
    window->findChild<QPushButton*>(QStringLiteral("CmdCrearCalendario"))->click();
    EXPECT_TRUE(disabledWhileRunning);
    EXPECT_TRUE(openWhileRunning);
    EXPECT_EQ(calls, (QStringList{"FinalizarSesion", "endProgram"}));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(CalendarWindow, shouldNotShowTheWindowWhenTheSessionCannotStart) {
    RSession session;
    session.IniciarSesion = [] { return false; };
    R r(database.db(), session);
    EXPECT_FALSE(r.Form_Load());
}

// F1 and the Ayuda menu open the pages installed with the program in the
// system's browser; a page that is not there is told, not passed over.
TEST_F(CalendarWindow, shouldOpenTheHelpPagesWithF1AndFromTheHelpMenu) {
    os::RecordingDesktop desktop;
    os::Desktop* previous = os::setDesktop(&desktop);
    session::gArchivoAyuda =
        session::archivoAyudaEn(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    R& r = open();
    r.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&r));

    QTest::keyClick(&r, Qt::Key_F1);
    ASSERT_EQ(desktop.calls().size(), 1u);
    EXPECT_EQ(desktop.calls()[0].kind, os::RecordingDesktop::Call::Kind::Document);
    QFile operatorPage(desktop.calls()[0].target);
    ASSERT_TRUE(operatorPage.open(QIODevice::ReadOnly)) << desktop.calls()[0].target.toStdString();
    const QString html = QString::fromUtf8(operatorPage.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Estaciones: manual del operador</title>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Marcar días")));

    QMenuBar& bar = *r.menuBar();
    QMenu& menu = *r.findChild<QMenu*>(QStringLiteral("MNU_Ayuda"));
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.actionGeometry(menu.menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }));
    QAction& guide = *r.findChild<QAction*>(QStringLiteral("MNU_AyudaAdministracion"));
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(&guide).center());
    ASSERT_EQ(desktop.calls().size(), 2u);
    EXPECT_TRUE(desktop.calls()[1].target.endsWith(QStringLiteral("/ayuda/administracion.html")));
    EXPECT_TRUE(QFile::exists(desktop.calls()[1].target));

    session::gArchivoAyuda = QStringLiteral("/no/existe/ayuda/operador.html");
    operatorScript.answerMessage(ui::reply::OK);
    QTest::keyClick(&r, Qt::Key_F1);
    EXPECT_EQ(desktop.calls().size(), 2u);
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_EQ(operatorScript.dialogs()[0].title, QStringLiteral("Ayuda"));
    EXPECT_TRUE(operatorScript.dialogs()[0].text.startsWith(
        QStringLiteral("No se encuentra la ayuda en \"/no/existe/ayuda/operador.html\"")));

    session::gArchivoAyuda.clear();
    os::setDesktop(previous);
}

// The picture of the window for the documentation: saved where
// ESTACIONES_CAPTURA_VENTANA says (the repository's docs/ventana-calendario.png).
TEST_F(CalendarWindow, shouldRenderTheWindowToAPicture) {
    const int year = QDate::currentDate().year();
    database.createYear(year);
    for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
        // Summer and the year's end high, spring and autumn medium, a few specials.
        const int m = d.month();
        QString code = (m == 1 || m == 2 || m == 7 || m == 12) ? "AL"
                       : (m == 4 || m == 9)                    ? "ME"
                                                               : "BA";
        if (d.day() == 25 && (m == 5 || m == 12)) {
            code = "ES";
        }
        database.setCode(d, code);
    }
    R& r = open();
    const QImage picture = r.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(paintedColour(dayCell(25, 12, year)), QColor(255, 0, 0));
    const QString target = qEnvironmentVariable("ESTACIONES_CAPTURA_VENTANA");
    if (!target.isEmpty()) {
        EXPECT_TRUE(picture.save(target));
    }
}

} // namespace
} // namespace estaciones::calendar::window
