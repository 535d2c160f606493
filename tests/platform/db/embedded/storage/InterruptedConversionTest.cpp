// A conversion killed with SIGKILL at points spread over its whole run leaves
// the old file or the new one, never a mix, and a sound file; the next open
// finishes the job.
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/sqlite/FormatConversion.h"
#include "platform/db/embedded/storage/FormatVersion.h"
#include "platform/db/embedded/storage/RawFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>
#include <sqlite3.h>

namespace estaciones::db::sqlite::test {

namespace {

const QString child = QString::fromUtf8(ESTACIONES_CONVERSION_CHILD);

// A file of an older format and what to read of it: its rows and the
// declarations of its columns (from format 1 only the declarations change).
struct Sample {
    const char* file;
    const char* version;
    std::vector<const char*> queries;
};

std::ostream& operator<<(std::ostream& out, const Sample& sample) {
    return out << sample.file;
}

const Sample samples[] = {
    {ESTACIONES_MUESTRA_V0,
     "0;",
     {"SELECT id, nombre, precio, importe, tasa, alta, dia FROM articulos ORDER BY id",
      "SELECT codigo, desde, hasta FROM temporadas ORDER BY codigo",
      "SELECT name, type FROM pragma_table_info('articulos')"}},
    {ESTACIONES_MUESTRA_V1_TIENDA,
     "1;",
     {"SELECT * FROM articulos ORDER BY codigo", "SELECT * FROM historial ORDER BY id",
      "SELECT name, type FROM pragma_table_info('articulos')",
      "SELECT name FROM sqlite_master WHERE type = 'trigger' ORDER BY name"}},
};

// What the file holds, and its version and soundness.
struct FileState {
    std::string version;
    std::string rows;
    std::string integrity;
};

FileState stateOf(const Sample& sample, const QString& file, bool finish = false) {
    RawFile db(file);
    if (finish)
        bringToCurrentFormat(db.handle(), file, QStringLiteral("ALMACEN"));
    FileState state{db.rows("PRAGMA user_version"), {}, db.rows("PRAGMA integrity_check")};
    for (const char* query : sample.queries)
        state.rows += db.rows(query);
    return state;
}

struct ChildRun {
    bool killed = false;
    QString output;
};

ChildRun runChild(const QString& file, long long step) {
    QProcess process;
    process.start(child, {file, QString::number(step)});
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::CrashExit,
            QString::fromUtf8(process.readAllStandardOutput()).trimmed()};
}

class InterruptedConversionTest : public ::testing::TestWithParam<Sample> {};

TEST_P(InterruptedConversionTest, shouldLeaveTheOldOrTheNewFileWhereverItIsKilled) {
    const Sample& sample = GetParam();
    QTemporaryDir folder;
    const auto freshCopy = [&](const QString& name) {
        const QString file = folder.filePath(name);
        QFile::remove(file);
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(sample.file), file));
        QFile(file).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return file;
    };
    const FileState before = stateOf(sample, freshCopy(QStringLiteral("ANTES.db")));
    const QString whole = freshCopy(QStringLiteral("ENTERO.db"));
    const ChildRun full = runChild(whole, 0);
    ASSERT_FALSE(full.killed);
    const long long steps = full.output.toLongLong();
    ASSERT_GT(steps, 20);
    const FileState after = stateOf(sample, whole);
    ASSERT_EQ(after.version, std::to_string(currentFormatVersion) + ";");
    ASSERT_NE(after.rows, before.rows);

    int old = 0;
    int converted = 0;
    for (int point = 0; point < 20; ++point) {
        // One point at random inside each twentieth of the run.
        const long long from = steps * point / 20 + 1;
        const long long to = steps * (point + 1) / 20;
        const long long step = from + QRandomGenerator::global()->bounded(to - from + 1);
        const QString file = freshCopy(QStringLiteral("ALMACEN%1.db").arg(point));
        const ChildRun run = runChild(file, step);
        ASSERT_TRUE(run.killed) << "step " << step << " of " << steps;
        const FileState left = stateOf(sample, file);
        EXPECT_EQ(left.integrity, "ok;") << "step " << step;
        if (left.version == sample.version) {
            ++old;
            EXPECT_EQ(left.rows, before.rows) << "step " << step;
        } else {
            ++converted;
            EXPECT_EQ(left.version, after.version) << "step " << step;
            EXPECT_EQ(left.rows, after.rows) << "step " << step;
        }
        // The next open finishes the job.
        const FileState finished = stateOf(sample, file, true);
        EXPECT_EQ(finished.version, after.version);
        EXPECT_EQ(finished.rows, after.rows);
        EXPECT_EQ(finished.integrity, "ok;");
    }
    EXPECT_EQ(old + converted, 20);
    EXPECT_GT(old, 0); // the kills fell inside the conversion, not only after it
}

INSTANTIATE_TEST_SUITE_P(FromEachOlderFormat, InterruptedConversionTest,
                         ::testing::ValuesIn(samples));

} // namespace

} // namespace estaciones::db::sqlite::test
