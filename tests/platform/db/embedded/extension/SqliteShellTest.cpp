// A company file made by the engine can be checked, dumped and recovered by
// the stock sqlite3 shell once it loads the engine's extension: the schema
// calls the engine's functions and collations, which the shell lacks.
#include "platform/db/embedded/EmbeddedFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace estaciones::db::sqlite::test {

namespace {

// The extension as administrators load it: the path without ".so", so
// SQLite finds the file and derives the entry point from its name.
const QString extension = QString::fromUtf8(ESTACIONES_TSQL_EXTENSION).chopped(3);

struct ShellRun {
    int exitCode = -1;
    QString output;
    QString errors;
};

class SqliteShellTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        ASSERT_FALSE(shell.isEmpty()) << "the sqlite3 shell is not installed";
        EmbeddedFixture::SetUp();
        run("CREATE TABLE clientes (codigo varchar(10) PRIMARY KEY, nombre varchar(40) NOT NULL,"
            " alta datetime NULL, saldo money NULL)\n"
            "CREATE UNIQUE INDEX ix_clientes_nombre ON clientes (nombre)\n"
            "CREATE TABLE temporadas (id int IDENTITY(1,1) PRIMARY KEY, desde datetime NOT NULL,"
            " hasta datetime NOT NULL, nota varchar(20) NULL)\n"
            "CREATE INDEX ix_temporadas_desde ON temporadas (desde)");
        run("INSERT INTO clientes VALUES ('C1', 'Ñandú', '20240107', 12.5)\n"
            "INSERT INTO clientes VALUES ('c2', 'ñu  ', '29/02/2024 13:45', -3)\n"
            "INSERT INTO clientes VALUES ('C3', 'Zorro', NULL, NULL)\n"
            "INSERT INTO clientes VALUES ('C4', 'alce', '31/12/1999', 0.01)\n"
            "INSERT INTO temporadas (desde, hasta, nota) VALUES ('01/06/2025', '30/09/2025', 'alta')\n"
            "INSERT INTO temporadas (desde, hasta, nota) VALUES ('20241001', '20250531', NULL)\n"
            "INSERT INTO temporadas (desde, hasta, nota) VALUES ('15/03/2024', '16/03/2024', 'Año')");
        // Closed, so that the shell reads one file with nothing left in its log.
        engine.reset();
        file = data.filePath(QStringLiteral("PRUEBA.db"));
        ASSERT_TRUE(QFileInfo::exists(file));
    }

    ShellRun sqlite(const QStringList& arguments, bool withExtension = true) {
        QStringList all;
        if (withExtension) {
            all << QStringLiteral("-cmd") << QStringLiteral(".load ") + extension;
        }
        QProcess process;
        process.start(shell, all + arguments);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // `command` of one shell piped into a second shell that writes `target`,
    // both with the extension, as an administrator copies a file.
    void pipeInto(const QString& command, const QString& target) {
        const QStringList load{QStringLiteral("-cmd"), QStringLiteral(".load ") + extension};
        QProcess reader;
        QProcess writer;
        reader.setStandardOutputProcess(&writer);
        writer.start(shell, load + QStringList{target});
        reader.start(shell, load + QStringList{file, command});
        ASSERT_TRUE(reader.waitForFinished(60000));
        ASSERT_TRUE(writer.waitForFinished(60000));
        EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().constData();
        EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().constData();
    }

    // Every row of both tables, as the shell prints them.
    std::string rowsOf(const QString& database) {
        const ShellRun result = sqlite(
            {database, QStringLiteral("SELECT * FROM clientes ORDER BY codigo;"
                                      "SELECT * FROM temporadas ORDER BY id;")});
        EXPECT_EQ(result.exitCode, 0) << result.errors.toStdString();
        return result.output.toStdString();
    }

    // A copy of an older file, `database` in the data folder, converted by an
    // engine that opens it and closes again.
    QString convertedCopy(const char* sample, const QString& database) {
        const QString copy = data.filePath(database + QStringLiteral(".db"));
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(sample), copy));
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        engine = createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
        engine->useDatabase(database);
        engine.reset();
        return copy;
    }

    // .dump of `database` loads into a sound copy that answers `rows` the same.
    void expectDumpedWhole(const QString& database, const QString& rows) {
        const QString copy = database + QStringLiteral(".copia");
        file = database; // the file pipeInto reads
        pipeInto(QStringLiteral(".dump"), copy);
        expectSound(copy);
        EXPECT_EQ(sqlite({copy, rows}).output.toStdString(),
                  sqlite({database, rows}).output.toStdString());
    }

    void expectSound(const QString& database) {
        const ShellRun check = sqlite({database, QStringLiteral("PRAGMA integrity_check")});
        EXPECT_EQ(check.exitCode, 0) << check.errors.toStdString();
        EXPECT_EQ(check.output.trimmed().toStdString(), "ok");
    }

    QString shell;
    QString file;
};

} // namespace

TEST_F(SqliteShellTest, WithoutTheExtensionTheShellCannotCheckTheFile) {
    const ShellRun check = sqlite({file, QStringLiteral("PRAGMA integrity_check")}, false);
    EXPECT_NE(check.exitCode, 0);
    EXPECT_TRUE(check.errors.contains(QLatin1String("tsql_"))) << check.errors.toStdString();
}

TEST_F(SqliteShellTest, TheExtensionChecksTheFileAndItsIndexesAsTheEngineOrdersThem) {
    expectSound(file);
    // The collations answer as the engine's: case and trailing blanks do not
    // count, accents do, and dates compare by date.
    const ShellRun found = sqlite(
        {file, QStringLiteral("SELECT codigo FROM clientes WHERE nombre = 'ÑU' COLLATE tsql_text;"
                              "SELECT COUNT(*) FROM clientes WHERE nombre = 'nandu' COLLATE tsql_text;"
                              "SELECT nota FROM temporadas ORDER BY desde;")});
    EXPECT_EQ(found.output.toStdString(), "c2\n0\nAño\n\nalta\n") << found.errors.toStdString();
}

TEST_F(SqliteShellTest, AnAccentInsensitiveFileIsCheckedWithItsOwnCollation) {
    // 'á' and 'a' are equal keys there, so the index keeps them in the order
    // they came; compared with accents they would be out of order.
    engine = createEmbeddedEngine();
    engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
    run("CREATE DATABASE ESTAD COLLATE Latin1_General_CI_AI");
    engine->useDatabase(QStringLiteral("ESTAD"));
    run("CREATE TABLE visitas (id int PRIMARY KEY, nombre varchar(20) NOT NULL)\n"
        "CREATE INDEX ix_visitas_nombre ON visitas (nombre)\n"
        "INSERT INTO visitas VALUES (1, 'á'), (2, 'a'), (3, 'Á'), (4, 'b'), (5, 'A')");
    engine.reset();
    const QString accentInsensitive = data.filePath(QStringLiteral("ESTAD.db"));
    expectSound(accentInsensitive);
    const ShellRun found = sqlite(
        {accentInsensitive, QStringLiteral("SELECT COUNT(*) FROM visitas WHERE nombre = 'a';")});
    EXPECT_EQ(found.output.toStdString(), "4\n") << found.errors.toStdString();
}

TEST_F(SqliteShellTest, ADumpLoadsIntoACopyWithTheSameRows) {
    const QString copy = data.filePath(QStringLiteral("copia.db"));
    pipeInto(QStringLiteral(".dump"), copy);
    expectSound(copy);
    EXPECT_EQ(rowsOf(copy), rowsOf(file));
    EXPECT_NE(rowsOf(file).find("Ñandú"), std::string::npos);
}

TEST_F(SqliteShellTest, RecoverGivesTheSameRows) {
    // .recover reads the pages through sqlite_dbpage, which some builds of
    // SQLite leave out (Debian 12's among them): then it fails on any file.
    const ShellRun pages = sqlite({file, QStringLiteral("SELECT COUNT(*) FROM sqlite_dbpage")});
    if (pages.errors.contains(QLatin1String("no such table: sqlite_dbpage"))) {
        GTEST_SKIP() << "this SQLite has no sqlite_dbpage, so .recover cannot run on any file";
    }
    const QString recovered = data.filePath(QStringLiteral("recuperada.db"));
    pipeInto(QStringLiteral(".recover"), recovered);
    expectSound(recovered);
    EXPECT_EQ(rowsOf(recovered), rowsOf(file));
}

TEST_F(SqliteShellTest, AConvertedOldFileIsCheckedAndDumpedLikeANewOne) {
    const QString converted = convertedCopy(ESTACIONES_MUESTRA_V0, QStringLiteral("ALMACEN"));
    expectSound(converted);
    const ShellRun found = sqlite(
        {converted, QStringLiteral("PRAGMA user_version;"
                                   "SELECT nombre FROM articulos WHERE alta >= '2024-01-01' "
                                   "ORDER BY alta;")});
    EXPECT_EQ(found.output.toStdString(), "2\nÑandú\ncafé\n") << found.errors.toStdString();
    expectDumpedWhole(converted, QStringLiteral("SELECT * FROM articulos ORDER BY id;"));
}

TEST_F(SqliteShellTest, AConvertedFormatOneFileIsCheckedDumpedAndWrittenLikeANewOne) {
    const QString converted = convertedCopy(ESTACIONES_MUESTRA_V1_TIENDA, QStringLiteral("TIENDA"));
    expectSound(converted);
    const ShellRun ordered = sqlite(
        {converted, QStringLiteral("SELECT codigo FROM articulos WHERE precio > -5 ORDER BY precio;")});
    EXPECT_EQ(ordered.output.toStdString(), "B2\nE5\nA1\nC3\n") << ordered.errors.toStdString();
    // The store triggers run in the shell too: rounded to the scale, and a
    // value the file cannot keep refused by name.
    const ShellRun written = sqlite(
        {converted, QStringLiteral("UPDATE articulos SET precio = 1.23456 WHERE codigo = 'E5';"
                                   "SELECT precio FROM articulos WHERE codigo = 'E5';"
                                   "UPDATE articulos SET precio = '123456789012345.67';")});
    EXPECT_EQ(written.output.toStdString(), "1.2346\n") << written.errors.toStdString();
    EXPECT_TRUE(written.errors.contains(QLatin1String("tsql 40517"))) << written.errors.toStdString();
    expectDumpedWhole(converted, QStringLiteral("SELECT * FROM articulos ORDER BY codigo;"));
}

TEST(SqliteExtensionLinkTest, CallsSqliteOnlyThroughTheLoadingProgram) {
    // A direct call would bind to whatever SQLite the loader finds, not the
    // shell's own one (a statically built shell has none to share).
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--undefined-only"),
                                    QString::fromUtf8(ESTACIONES_TSQL_EXTENSION)});
    ASSERT_TRUE(nm.waitForFinished(60000));
    ASSERT_EQ(nm.exitCode(), 0);
    const QString undefined = QString::fromUtf8(nm.readAllStandardOutput());
    EXPECT_FALSE(undefined.contains(QLatin1String("sqlite3_"))) << undefined.toStdString();
}

} // namespace estaciones::db::sqlite::test
