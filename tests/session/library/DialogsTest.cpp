#include "platform/core/ErrorHandling.h"
#include "platform/os/Desktop.h"
#include "session/library/ErrorDialog.h"
#include "session/library/SharedObjects.h"
#include "support/ScriptedOperator.h"
#include "support/TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace estaciones;
namespace style = ui::style;
namespace reply = ui::reply;

TEST(ErrorDialog, shouldShowNumberDescriptionAndRoutineWithAbortRetryIgnore) {
    test::ScriptedOperator operatorUi;
    operatorUi.answerMessage(reply::Ignore);
    const int answer = library::textHelper().errorDialog(
        Error(errnum::FileNotFound, " No se encuentra el archivo "), "Ejecutar");

    EXPECT_EQ(answer, answer::Ignore);
    ASSERT_EQ(operatorUi.dialogs().size(), 1u);
    const auto& dialog = operatorUi.dialogs().front();
    EXPECT_EQ(dialog.text, "Ha ocurrido el Siguiente Error (53) No se encuentra el archivo\r\n"
                           "Rutina: Ejecutar");
    EXPECT_EQ(dialog.title, "Ejecutar - Aviso al Operador");
    EXPECT_EQ(style::buttons(dialog.flags), style::AbortRetryIgnore);
    EXPECT_EQ(style::icon(dialog.flags), style::Critical);
}

TEST(ErrorDialog, shouldMapEveryReplyToRetryIgnoreOrAbort) {
    test::ScriptedOperator operatorUi;
    operatorUi.answerMessage(reply::Retry).answerMessage(reply::Abort).answerMessage(reply::Cancel);
    const Error error(errnum::Overflow, "Overflow");
    EXPECT_EQ(library::showErrorDialog(error, ""), 4);
    EXPECT_EQ(library::showErrorDialog(error, ""), 3);
    EXPECT_EQ(library::showErrorDialog(error, ""), 3); // closed with Esc: leave
    EXPECT_EQ(operatorUi.dialogs().back().title, "Aviso al Operador");
}

TEST(ErrorDialog, shouldDriveHandledStepsThroughRetryIgnoreAndLeave) {
    test::ScriptedOperator operatorUi;
    // First step fails twice (Retry, then Ignore); the second fails and the
    // operator aborts, so the third never runs.
    operatorUi.answerMessage(reply::Retry).answerMessage(reply::Ignore).answerMessage(reply::Abort);
    HandledSteps steps(library::errorDialogHandler("Ejecutar"));
    int firstRuns = 0;
    bool thirdRan = false;
    const auto first = [&] {
        ++firstRuns;
        throw Error(errnum::FileNotFound, "falta");
    };
    const auto second = [] { throw Error(errnum::PathNotFound, "ruta"); };
    const auto third = [&] { thirdRan = true; };
    const bool completed = steps.run(first) && steps.run(second) && steps.run(third);
    EXPECT_FALSE(completed);
    EXPECT_EQ(firstRuns, 2);
    EXPECT_FALSE(thirdRan);
    EXPECT_EQ(operatorUi.dialogs().size(), 3u);
}

TEST(FileDialogObject, shouldReportTheChosenFile) {
    test::ScriptedOperator operatorUi;
    operatorUi.answerOpenFile(QString("/datos/empresa.mdb"));
    library::FileDialog dialog;
    dialog.setTitle("Base de datos");
    dialog.setFilter("Access |*.mdb");
    dialog.setInitialFolder("/datos");
    EXPECT_TRUE(dialog.showOpen());
    EXPECT_FALSE(dialog.cancelled());
    EXPECT_EQ(dialog.fileName(), "/datos/empresa.mdb");
    ASSERT_EQ(operatorUi.dialogs().size(), 1u);
    EXPECT_EQ(operatorUi.dialogs()[0].text, "Base de datos");
    // The scripted operator records the filter and the initial folder as one text.
    EXPECT_EQ(operatorUi.dialogs()[0].detail, "Access |*.mdb|/datos");
}

TEST(FileDialogObject, shouldForgetThePreviousChoiceWhenCancelled) {
    test::ScriptedOperator operatorUi;
    operatorUi.answerOpenFile(QString("/datos/a.mdb")).answerOpenFile(std::nullopt);
    library::FileDialog& dialog = library::fileDialog();
    ASSERT_TRUE(dialog.showOpen());
    EXPECT_FALSE(dialog.showOpen());
    EXPECT_TRUE(dialog.cancelled());
    EXPECT_EQ(dialog.fileName(), "");
    EXPECT_EQ(operatorUi.dialogs()[0].text, "Abrir"); // untitled dialogs get a caption
}

TEST(SharedObjects, shouldLiveUntilReleasedAndComeBackFresh) {
    library::FileDialog* first = &library::fileDialog();
    EXPECT_EQ(first, &library::fileDialog());
    library::fileDialog().setTitle("x");
    library::releaseSharedObjects();
    // A fresh dialog: the title set before the release is gone.
    test::ScriptedOperator operatorUi;
    operatorUi.answerOpenFile(std::nullopt);
    library::fileDialog().showOpen();
    EXPECT_EQ(operatorUi.dialogs()[0].text, "Abrir");
}

TEST(SystemInformation, shouldOpenDocumentsThroughTheDesktopWithTheWindowStyle) {
    os::RecordingDesktop recording;
    os::Desktop* previous = os::setDesktop(&recording);
    EXPECT_TRUE(
        library::systemInfo().openDocument("/tmp/Script101010.TXT", os::windowstyle::Minimized));
    recording.setOpenSucceeds(false);
    EXPECT_FALSE(library::systemInfo().openDocument("/tmp/x.txt", os::windowstyle::Hidden));
    os::setDesktop(previous);
    ASSERT_EQ(recording.calls().size(), 2u);
    EXPECT_EQ(recording.calls()[0].target, "/tmp/Script101010.TXT");
    EXPECT_EQ(recording.calls()[0].windowStyle, 6);
    EXPECT_EQ(recording.calls()[1].windowStyle, 0);
}

TEST(SystemInformation, shouldGiveAWritableTemporaryFolder) {
    test::ScopedEnvFolder temp("TEMP");
    EXPECT_EQ(library::systemInfo().temporaryFolder(), temp.path());
    {
        // A TEMP that cannot be written falls back to a folder that can.
        qputenv("TEMP", "/proc/no-se-puede");
        const QString folder = library::systemInfo().temporaryFolder();
        EXPECT_NE(folder, "/proc/no-se-puede");
        EXPECT_TRUE(QDir(folder).exists());
    }
    EXPECT_FALSE(library::systemInfo().machineName().isEmpty());
    EXPECT_FALSE(library::systemInfo().workstationIdentity().isEmpty());
}
