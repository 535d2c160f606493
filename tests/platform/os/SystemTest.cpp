#include "platform/os/System.h"
#include "platform/os/Desktop.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

using namespace estaciones;

TEST(System, temporaryFolderPrefersTempThenTmpThenTmpdir) {
    test::ScopedEnvFolder tmpdir("TMPDIR");
    test::ScopedEnvFolder tmp("TMP");
    test::ScopedEnvFolder temp("TEMP");
    EXPECT_EQ(os::temporaryFolder(), temp.path());
    qunsetenv("TEMP"); // given back when `temp` ends
    EXPECT_EQ(os::temporaryFolder(), tmp.path());
}

TEST(System, programFolderIsTheExecutablesFolder) {
    EXPECT_EQ(os::programFolder(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(os::executableName(), QStringLiteral("test_platform_os"));
    EXPECT_FALSE(os::machineName().isEmpty());
    EXPECT_FALSE(os::userName().isEmpty());
}

TEST(System, anUnwritableProgramFolderFallsBackToThePerUserDataFolder) {
    test::ScopedEnvFolder data("XDG_DATA_HOME");
    test::ScopedEnvFolder program("ESTACIONES_TEST_PROGRAM");
    EXPECT_EQ(os::writableProgramFolder(program.path()), program.path());
    // A folder that does not exist cannot be written (root can write any
    // existing folder, so permissions alone would not show the fallback).
    const QString missing = program.filePath(QStringLiteral("no/existe"));
    EXPECT_EQ(os::writableProgramFolder(missing), data.path() + "/estaciones");
    EXPECT_TRUE(QFileInfo(data.path() + "/estaciones").isDir());
}

TEST(Desktop, commandLinesSplitOnBlanksAndKeepQuotedWords) {
    EXPECT_EQ(os::splitCommandLine(R"(/opt/x/prog "@server=a b;" kelp@)"),
              (QStringList{"/opt/x/prog", "@server=a b;", "kelp@"}));
    EXPECT_EQ(os::splitCommandLine("   "), QStringList());
}

TEST(Desktop, systemDesktopStartsARealProcessAndReportsFailure) {
    test::ScopedEnvFolder folder("ESTACIONES_TEST_OUT");
    const QString marker = folder.filePath("marca");
    os::SystemDesktop desktop;
    const auto pid =
        desktop.startProcess("/usr/bin/touch \"" + marker + "\"", os::windowstyle::Normal);
    EXPECT_GT(pid, 0);
    for (int i = 0; i < 100 && !QFile::exists(marker); ++i) {
        QThread::msleep(20);
    }
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_EQ(desktop.startProcess("/no/existe/programa", os::windowstyle::Normal), 0);
}

TEST(Desktop, recordingDesktopRecordsInsteadOfLaunching) {
    os::RecordingDesktop recording;
    os::Desktop* previous = os::setDesktop(&recording);
    EXPECT_TRUE(os::desktop().openDocument("/tmp/Script101010.TXT", os::windowstyle::Minimized));
    os::setDesktop(previous);
    ASSERT_EQ(recording.calls().size(), 1u);
    EXPECT_EQ(recording.calls()[0].target, "/tmp/Script101010.TXT");
    EXPECT_EQ(recording.calls()[0].windowStyle, 6);
}
