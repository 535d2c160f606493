// A database file the program may read but not write (a copy on a read-only
// share), made before the engine kept some of its own tables: it opens, its
// catalogue reads as it holds, and a write is refused as the server refuses
// one on a read-only database. File permissions do not bind root, so the
// reading side runs in a child process as an unprivileged user when the
// tests run as root.
#include "platform/db/embedded/EmbeddedFixture.h"

#include <QFile>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace estaciones::db::sqlite::test {
namespace {

class ReadOnlyFileTest : public EmbeddedFixture {
protected:
    // Runs `check` in a child that may read `files` and the data folder but
    // write neither; its failures come back as the child's exit status.
    void expectInReadOnlyChild(const QStringList& files, const std::function<int()>& check) {
        const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        for (const QString& file : files) {
            ASSERT_TRUE(QFile::setPermissions(data.filePath(file), readOnly));
        }
        ASSERT_TRUE(QFile::setPermissions(data.path(), readOnly | QFile::ExeOwner |
                                                           QFile::ExeGroup | QFile::ExeOther));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
                _exit(90);
            }
            _exit(check());
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the first check that failed, counted from 1";
        // Writable again, so that the folder can be removed.
        QFile::setPermissions(data.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const QString& file : files) {
            QFile::setPermissions(data.filePath(file), QFile::ReadOwner | QFile::WriteOwner);
        }
    }

    void openEngine() {
        engine = createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
    }

    void pastTheEngineOn(const QString& file, const char* sql) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(data.filePath(file).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr);
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close_v2(db);
    }
};

TEST_F(ReadOnlyFileTest, shouldReadAnOlderFileItCannotWriteAndRefuseItsWrites) {
    run(QStringLiteral("CREATE TABLE t (a int CONSTRAINT pk_t PRIMARY KEY, b AS a * 2); "
                       "INSERT INTO t (a) VALUES (1)"));
    engine.reset();
    // As an older engine left it: without the tables and columns kept since,
    // and in the rollback journal, which a reader needs no shared memory for.
    pastTheEngineOn(QStringLiteral("PRUEBA.db"),
                    "DROP TABLE estaciones_disparadores; DROP TABLE estaciones_columnas_calculadas; "
                    "DROP TABLE estaciones_fechas_objetos; DROP TABLE estaciones_secuencias; "
                    "ALTER TABLE estaciones_constraints DROP COLUMN system_named; "
                    "PRAGMA journal_mode=DELETE");
    pastTheEngineOn(QStringLiteral("master.db"), "PRAGMA journal_mode=DELETE");

    expectInReadOnlyChild({QStringLiteral("PRUEBA.db"), QStringLiteral("master.db")}, [this] {
        try {
            openEngine();
            engine->useDatabase(QStringLiteral("PRUEBA"));
            const auto text = [this](const QString& query) {
                const auto result = rows(query);
                return result.empty() ? QString() : result.front().front().toString();
            };
            if (text(QStringLiteral("SELECT b FROM t WHERE a = 1")) != QLatin1String("2"))
                return 1;
            if (text(QStringLiteral("SELECT name + ':' + CAST(is_system_named AS varchar) FROM "
                                    "sys.key_constraints")) != QLatin1String("pk_t:0"))
                return 2;
            if (text(QStringLiteral("SELECT COUNT(*) FROM sys.triggers")) != QLatin1String("0"))
                return 3;
            if (text(QStringLiteral("SELECT name FROM sys.computed_columns")) !=
                QLatin1String("b"))
                return 4;
            if (nativeErrorOf(QStringLiteral("INSERT INTO t (a) VALUES (2)")) != 3906 ||
                lastFailure.front().description !=
                    QLatin1String(
                        "Failed to update database \"PRUEBA\" because the database is read-only."))
                return 5;
            if (text(QStringLiteral("SELECT COUNT(*) FROM t")) != QLatin1String("1"))
                return 6;
        } catch (const ProviderFailure& failure) {
            std::fprintf(stderr, "%s\n", failure.records().front().description.toUtf8().constData());
            return 7;
        }
        return 0;
    });
}

// A WAL file's readers need its shared-memory file: where it is missing and
// cannot be made, the open says the file cannot be read, not that its
// format could not be converted.
TEST_F(ReadOnlyFileTest, shouldSayAWalFileItCannotReadCannotBeRead) {
    run(QStringLiteral("CREATE TABLE t (a int)"));
    engine.reset();
    pastTheEngineOn(QStringLiteral("master.db"), "PRAGMA journal_mode=DELETE");
    QFile::remove(data.filePath(QStringLiteral("PRUEBA.db-shm")));
    QFile::remove(data.filePath(QStringLiteral("PRUEBA.db-wal")));
    expectInReadOnlyChild({QStringLiteral("PRUEBA.db")}, [this] {
        try {
            openEngine();
        } catch (const ProviderFailure&) {
            return 1; // master.db is readable: the login itself succeeds
        }
        try {
            engine->useDatabase(QStringLiteral("PRUEBA"));
        } catch (const ProviderFailure& failure) {
            const QString text = failure.records().front().description;
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
            return failure.nativeError() == 4060 &&
                           text.startsWith(QLatin1String("No se puede leer la base de datos PRUEBA"))
                       ? 0
                       : 2;
        }
        return 3;
    });
}

} // namespace
} // namespace estaciones::db::sqlite::test
