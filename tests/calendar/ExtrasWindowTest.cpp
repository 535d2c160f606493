// The window's additions under the offscreen platform: real clicks (Shift for
// ranges) and keys on the widgets found by name; every result read back from
// MA_CALENDARIO.
#include "CalendarWindowFixture.h"

#include "calendar/window/CalendarExtras.h"
#include "calendar/window/DayCell.h"
#include "calendar/window/R.h"
#include "calendar/window/SeasonTotalsLegend.h"
#include "platform/db/FaultInjection.h"
#include "platform/ui/ControlArrays.h"
#include "support/ScriptedOperator.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace estaciones::calendar::window {
namespace {

class ExtrasWindow : public test::CalendarWindowTest {
protected:
    void SetUp() override {
        database.createYear(2025);
        database.createYear(2026);
    }
};

TEST_F(ExtrasWindow, shouldMarkARangeOverAMonthBoundaryWithShiftClick) {
    open();
    chooseYear(2025);
    chooseSeason(2);
    click(QDate(2025, 1, 30));
    EXPECT_EQ(code(QDate(2025, 1, 30)), QStringLiteral("AL")); // a plain click stores at once
    click(QDate(2025, 2, 2), Qt::ShiftModifier);
    for (const QDate d : {QDate(2025, 1, 31), QDate(2025, 2, 1), QDate(2025, 2, 2)}) {
        EXPECT_EQ(code(d), QStringLiteral("AL")) << d.toString().toStdString();
    }
    EXPECT_EQ(code(QDate(2025, 1, 29)), QString());
    EXPECT_EQ(code(QDate(2025, 2, 3)), QString());
    EXPECT_EQ(static_cast<DayCell&>(dayCell(QDate(2025, 2, 1))).background(), 0x00FFFF00u);
    EXPECT_FALSE(dayCell(QDate(2025, 2, 2)).isChecked());
    EXPECT_TRUE(legend().contains(QStringLiteral("ALTA: 4 días"))) << legend().toStdString();
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

TEST_F(ExtrasWindow, shouldMarkOnlyTheWeekdaysOfTheChosenFilter) {
    open();
    chooseYear(2025);
    chooseSeason(3);
    chooseFilter(1);
    click(QDate(2025, 3, 3)); // a Monday: marked by the plain click itself
    click(QDate(2025, 3, 31), Qt::ShiftModifier);
    int special = 0;
    for (QDate d(2025, 3, 1); d.month() == 3; d = d.addDays(1)) {
        const bool weekend = d.dayOfWeek() >= 6;
        special += code(d) == QStringLiteral("ES");
        if (d.day() >= 4) {
            EXPECT_EQ(code(d), weekend ? QStringLiteral("ES") : QString())
                << d.toString().toStdString();
        }
    }
    EXPECT_EQ(special, 1 + 8); // 3 March, and 8 weekend days from 8 to 30 March
    EXPECT_TRUE(legend().contains(QStringLiteral("ESPECIAL: 9 días")));
}

TEST_F(ExtrasWindow, shouldUndoAndRedoWithKeysAndButtonsAcrossYearChanges) {
    database.setCode(QDate(2025, 5, 20), QStringLiteral("ME"));
    open();
    chooseYear(2025);
    EXPECT_FALSE(button("CmdDeshacer").isEnabled());
    chooseSeason(3);
    click(QDate(2025, 5, 20));
    click(QDate(2025, 5, 22), Qt::ShiftModifier);
    EXPECT_EQ(code(QDate(2025, 5, 21)), QStringLiteral("ES"));
    EXPECT_TRUE(button("CmdDeshacer").isEnabled());

    chooseYear(2026); // the history outlives the year change
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code(QDate(2025, 5, 21)), QString());
    EXPECT_EQ(code(QDate(2025, 5, 22)), QString());
    EXPECT_EQ(code(QDate(2025, 5, 20)), QStringLiteral("ES")); // the click is a mark of its own
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code(QDate(2025, 5, 20)), QStringLiteral("ME"));
    EXPECT_FALSE(button("CmdDeshacer").isEnabled());

    QTest::mouseClick(&button("CmdRehacer"), Qt::LeftButton);
    EXPECT_EQ(code(QDate(2025, 5, 20)), QStringLiteral("ES"));
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(code(QDate(2025, 5, 22)), QStringLiteral("ES"));
    EXPECT_FALSE(button("CmdRehacer").isEnabled());
    chooseYear(2025);
    EXPECT_TRUE(legend().contains(QStringLiteral("ESPECIAL: 3 días")));
    EXPECT_TRUE(operatorScript.dialogs().empty());
}

TEST_F(ExtrasWindow, shouldReportRangeDaysWithoutARow) {
    open();
    chooseYear(2026);
    chooseSeason(1);
    click(QDate(2026, 12, 30));
    chooseYear(2027);
    operatorScript.answerMessage(ui::reply::OK);
    click(QDate(2027, 1, 2), Qt::ShiftModifier);
    EXPECT_EQ(code(QDate(2026, 12, 31)), QStringLiteral("ME"));
    EXPECT_FALSE(database.storedCode(QDate(2027, 1, 1)).has_value());
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_TRUE(operatorScript.dialogs()[0].text.contains(QStringLiteral("2 días")));
    EXPECT_TRUE(legend().contains(QStringLiteral("BAJA: 365 días (365 sin calendario)")))
        << legend().toStdString();
}

class ExtrasCopy : public ExtrasWindow {
protected:
    void SetUp() override {
        ExtrasWindow::SetUp();
        for (QDate d(2025, 1, 1); d.year() == 2025; d = d.addDays(1)) {
            if (d.dayOfWeek() == Qt::Saturday) {
                database.setCode(d, QStringLiteral("AL"));
            } else if (d.month() == 8) {
                database.setCode(d, QStringLiteral("ME"));
            }
        }
        database.setCode(QDate(2026, 2, 10), QStringLiteral("ES"));
    }
};

TEST_F(ExtrasCopy, shouldPreviewThenCopyKeepingSaturdaysSaturdays) {
    open();
    chooseYear(2026);
    operatorScript.answerInput(QStringLiteral("2025")).answerMessage(ui::reply::Yes);
    QTest::mouseClick(&button("CmdCopiarTemporadas"), Qt::LeftButton);
    ASSERT_EQ(operatorScript.dialogs().size(), 2u);
    EXPECT_EQ(operatorScript.dialogs()[0].detail, QStringLiteral("2025"));
    const QString preview = operatorScript.dialogs()[1].text;
    // 52 Saturdays in 2025, all inside ISO weeks 1..52; the 26 weekdays of
    // August 2025; 10 February 2026 goes back to no season.
    EXPECT_TRUE(preview.contains(QStringLiteral("ALTA: 52"))) << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("MEDIA: 26"))) << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("cambiará 79 días"))) << preview.toStdString();
    for (QDate d(2026, 1, 1); d.year() == 2026; d = d.addDays(1)) {
        if (d.weekNumber() == 53) {
            continue;
        }
        EXPECT_EQ(code(d) == QStringLiteral("AL"), d.dayOfWeek() == Qt::Saturday)
            << d.toString().toStdString();
    }
    EXPECT_EQ(code(QDate(2026, 2, 10)), QString());
    EXPECT_TRUE(legend().contains(QStringLiteral("ALTA: 52 días")));
    // The copy is one mark: one undo gives the year back.
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code(QDate(2026, 2, 10)), QStringLiteral("ES"));
    EXPECT_EQ(code(QDate(2026, 1, 3)), QString());
}

TEST_F(ExtrasCopy, shouldLeaveTheTargetYearUnchangedWhenTheCopyFails) {
    open();
    chooseYear(2026);
    // Every update goes through; the commit fails, after the last write.
    database.connection().faults().failNext(-2147467259, QStringLiteral("Fallo al confirmar"),
                                            QStringLiteral("HY000"), 0,
                                            db::FaultOperation::CommitTrans);
    operatorScript.answerInput(QStringLiteral("2025"))
        .answerMessage(ui::reply::Yes)
        .answerMessage(ui::reply::OK);
    QTest::mouseClick(&button("CmdCopiarTemporadas"), Qt::LeftButton);
    ASSERT_EQ(operatorScript.dialogs().size(), 3u);
    EXPECT_TRUE(operatorScript.dialogs()[2].text.contains(QStringLiteral("Fallo al confirmar")));
    for (QDate d(2026, 1, 1); d.year() == 2026; d = d.addDays(1)) {
        EXPECT_EQ(code(d), d == QDate(2026, 2, 10) ? QStringLiteral("ES") : QString())
            << d.toString().toStdString();
    }
    EXPECT_FALSE(button("CmdDeshacer").isEnabled());
}

TEST_F(ExtrasCopy, shouldOfferToCreateAMissingTargetYearAndWriteNothingWhenRefused) {
    open();
    chooseYear(2027);
    operatorScript.answerInput(QStringLiteral("2025")).answerMessage(ui::reply::No);
    QTest::mouseClick(&button("CmdCopiarTemporadas"), Qt::LeftButton);
    ASSERT_EQ(operatorScript.dialogs().size(), 2u);
    EXPECT_TRUE(operatorScript.dialogs()[1].text.contains(QStringLiteral("Crear Calendario")));
    EXPECT_FALSE(database.storedCode(QDate(2027, 1, 2)).has_value());
}

TEST_F(ExtrasCopy, shouldCreateAMissingTargetYearWhenAcceptedAndThenCopy) {
    RSession session;
    session.CrearCalendario = [this](R&, int anio) { database.createYear(anio); };
    open(std::move(session));
    chooseYear(2027);
    operatorScript.answerInput(QStringLiteral("2025"))
        .answerMessage(ui::reply::Yes)  // create 2027 first
        .answerMessage(ui::reply::Yes); // the preview
    QTest::mouseClick(&button("CmdCopiarTemporadas"), Qt::LeftButton);
    ASSERT_EQ(operatorScript.dialogs().size(), 3u);
    // Saturday 2 January 2027 belongs to ISO week 53 of 2026, which has no
    // counterpart; the other 51 Saturdays of 2027 have one.
    EXPECT_TRUE(operatorScript.dialogs()[2].text.contains(QStringLiteral("ALTA: 51")));
    // Two years apart: week and weekday still line up.
    EXPECT_EQ(code(QDate(2027, 8, 14)), QStringLiteral("AL")); // a Saturday
    EXPECT_EQ(code(QDate(2027, 8, 16)), QStringLiteral("ME")); // a Monday
    EXPECT_EQ(code(QDate(2027, 8, 14).addDays(-35)), QStringLiteral("AL"));
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(ExtrasWindow, shouldAskWhereToSaveInTheFileDialogRememberingTheFolderAndAskingToReplace) {
    using Kind = ui::ScriptedOperatorInterface::Kind;
    database.setCode(QDate(2025, 4, 1), QStringLiteral("AL"));
    open();
    chooseYear(2025);
    ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("exportes")));
    const QString folder = temp.filePath(QStringLiteral("exportes"));

    // The first dialog starts in the home folder; a name without extension gets it.
    operatorScript.answerSaveFile(folder + QStringLiteral("/año"));
    QTest::mouseClick(&button("CmdGuardarPdf"), Qt::LeftButton);
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    EXPECT_EQ(operatorScript.dialogs()[0].kind, Kind::SaveFile);
    EXPECT_EQ(operatorScript.dialogs()[0].title, QStringLiteral("Guardar PDF"));
    EXPECT_EQ(operatorScript.dialogs()[0].detail,
              QStringLiteral("Documentos PDF|*.pdf|") +
                  QDir::home().filePath(QStringLiteral("Calendario-2025.pdf")));
    EXPECT_TRUE(contentOf(folder + QStringLiteral("/año.pdf")).startsWith("%PDF-"));

    // The next one starts where the last file went.
    const QString ics = folder + QStringLiteral("/año.ics");
    operatorScript.answerSaveFile(ics);
    QTest::mouseClick(&button("CmdExportarICalendar"), Qt::LeftButton);
    ASSERT_EQ(operatorScript.dialogs().size(), 2u);
    EXPECT_EQ(operatorScript.dialogs()[1].title, QStringLiteral("Exportar iCalendar"));
    EXPECT_EQ(operatorScript.dialogs()[1].detail, QStringLiteral("Calendarios iCalendar|*.ics|") +
                                                      folder +
                                                      QStringLiteral("/Calendario-2025.ics"));
    const QByteArray first = contentOf(ics);
    EXPECT_TRUE(first.contains("DTSTART;VALUE=DATE:20250401\r\nDTEND;VALUE=DATE:20250402\r\n"));

    // An existing file is replaced only when the operator says so.
    database.setCode(QDate(2025, 4, 2), QStringLiteral("AL"));
    operatorScript.answerSaveFile(ics).answerMessage(ui::reply::No);
    QTest::mouseClick(&button("CmdExportarICalendar"), Qt::LeftButton);
    ASSERT_EQ(operatorScript.dialogs().size(), 4u);
    EXPECT_EQ(operatorScript.dialogs()[3].kind, Kind::Message);
    EXPECT_TRUE(operatorScript.dialogs()[3].text.contains(QStringLiteral("ya existe")));
    EXPECT_EQ(ui::style::buttons(operatorScript.dialogs()[3].flags), ui::style::YesNo);
    EXPECT_EQ(contentOf(ics), first);
    operatorScript.answerSaveFile(ics).answerMessage(ui::reply::Yes);
    QTest::mouseClick(&button("CmdExportarICalendar"), Qt::LeftButton);
    EXPECT_TRUE(contentOf(ics).contains("DTEND;VALUE=DATE:20250403\r\n"));

    // Cancelling the dialog writes nothing.
    operatorScript.answerSaveFile(std::nullopt);
    QTest::mouseClick(&button("CmdGuardarPdf"), Qt::LeftButton);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

// The README's picture: written only when ESTACIONES_CAPTURA names a file.
TEST_F(ExtrasWindow, captureForTheReadme) {
    const QString target = qEnvironmentVariable("ESTACIONES_CAPTURA");
    if (target.isEmpty()) {
        GTEST_SKIP() << "ESTACIONES_CAPTURA no está definida";
    }
    open();
    chooseYear(2025);
    chooseSeason(2);
    click(QDate(2025, 7, 1));
    click(QDate(2025, 8, 31), Qt::ShiftModifier);
    chooseSeason(1);
    chooseFilter(1);
    click(QDate(2025, 4, 1));
    click(QDate(2025, 6, 30), Qt::ShiftModifier);
    chooseSeason(3);
    click(QDate(2025, 12, 24));
    click(QDate(2025, 12, 25));
    click(QDate(2025, 12, 31));
    EXPECT_TRUE(window->grab().save(target));
    // The printed sheet of the same year, beside the picture.
    QFile::remove(target + QStringLiteral(".pdf")); // replaced without asking
    operatorScript.answerSaveFile(target + QStringLiteral(".pdf"));
    QTest::mouseClick(&button("CmdGuardarPdf"), Qt::LeftButton);
}

} // namespace
} // namespace estaciones::calendar::window
