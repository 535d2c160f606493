// build/estaciones-sql run as a process, on the SQLite ODBC driver and on the
// embedded engine (when built), and as the second process of a concurrency test.

#include "DbBackends.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "support/PicoMemoria.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::db;

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ESTACIONES_HAS_ASAN 1
#endif
#endif
#ifndef ESTACIONES_HAS_ASAN
#define ESTACIONES_HAS_ASAN 0
#endif

namespace {

struct CompanionRun {
    int exitCode = -1;
    QString out;
    QString err;
};

QString companionPath() {
    const QString dir = qEnvironmentVariable("ESTACIONES_BUILD_DIR");
    return QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
        .filePath(QStringLiteral("estaciones-sql"));
}

QProcess* startCompanion(const QStringList& args, const QString& datos = {}) {
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!datos.isEmpty()) {
        env.insert(QStringLiteral("ESTACIONES_DATOS"), datos);
    }
    p->setProcessEnvironment(env);
    p->start(companionPath(), args);
    return p;
}

CompanionRun runCompanion(const QStringList& args, const QString& datos = {}) {
    std::unique_ptr<QProcess> p(startCompanion(args, datos));
    CompanionRun r;
    if (!p->waitForStarted(10000)) {
        ADD_FAILURE() << "cannot start " << companionPath().toStdString();
        return r;
    }
    p->waitForFinished(120000);
    r.exitCode = p->exitCode();
    r.out = QString::fromUtf8(p->readAllStandardOutput());
    r.err = QString::fromUtf8(p->readAllStandardError());
    return r;
}

class CompanionOdbc : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(companionPath())) {
            GTEST_SKIP() << "estaciones-sql not built at " << companionPath().toStdString();
        }
        cadena =
            QStringLiteral("Driver=SQLite3;Database=%1").arg(dir.filePath(QStringLiteral("c.db")));
    }
    QTemporaryDir dir;
    QString cadena;
};

TEST_F(CompanionOdbc, shouldCreateInsertAndSelectThroughACadena) {
    CompanionRun r = runCompanion(
        {QStringLiteral("--cadena"), cadena, QStringLiteral("-Q"),
         QStringLiteral("CREATE TABLE t (a int, b varchar(10)); INSERT INTO t VALUES (1, 'uno'); "
                        "INSERT INTO t VALUES (2, 'dos');")});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    r = runCompanion({QStringLiteral("--cadena"), cadena, QStringLiteral("-W"),
                      QStringLiteral("-s"), QStringLiteral(";"), QStringLiteral("-Q"),
                      QStringLiteral("SELECT a, b FROM t ORDER BY a")});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("a;b\n-;-\n1;uno\n2;dos\n\n(2 rows affected)\n"));
    r = runCompanion({QStringLiteral("--cadena"), cadena, QStringLiteral("-h"),
                      QStringLiteral("-1"), QStringLiteral("-W"), QStringLiteral("-Q"),
                      QStringLiteral("SELECT b FROM t WHERE a = 2")});
    EXPECT_EQ(r.out, QStringLiteral("dos\n"));
}

TEST_F(CompanionOdbc, shouldRunAScriptSplitAtGoLinesInWindows1252) {
    const QString script = dir.filePath(QStringLiteral("guion.sql"));
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // "Año" in Windows-1252, CR LF line ends, "go" in lower case, "GO 2" repeating.
    f.write("CREATE TABLE n (x varchar(20))\r\ngo\r\nINSERT INTO n VALUES ('A\xf1o')\r\nGO 2\r\n"
            "  Go  \r\nSELECT COUNT(*) AS c FROM n WHERE x = 'A\xf1o'\r\n");
    f.close();
    QFile utf8(dir.filePath(QStringLiteral("leer.sql")));
    ASSERT_TRUE(utf8.open(QIODevice::WriteOnly));
    utf8.write("SELECT x FROM n LIMIT 1\n");
    utf8.close();
    CompanionRun r = runCompanion({QStringLiteral("--cadena"), cadena, QStringLiteral("-h"),
                                   QStringLiteral("-1"), QStringLiteral("-W"), QStringLiteral("-i"),
                                   script, QStringLiteral("-i"), utf8.fileName()});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    // Two inserts (GO 2) of "Año" read from Windows-1252, then the UTF-8 script.
    EXPECT_EQ(r.out, QStringLiteral("2\nAño\n"));
}

TEST_F(CompanionOdbc, shouldPrintErrorsAsSqlcmdAndExitOneWithB) {
    CompanionRun r =
        runCompanion({QStringLiteral("--cadena"), cadena, QStringLiteral("-b"),
                      QStringLiteral("-Q"), QStringLiteral("SELECT * FROM no_hay_tal_tabla")});
    EXPECT_EQ(r.exitCode, 1);
    static const QRegularExpression header(
        QStringLiteral("^Msg -?\\d+, Level \\d+, State \\d+, Line \\d+\\n"));
    EXPECT_TRUE(header.match(r.out).hasMatch()) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("no_hay_tal_tabla"))) << r.out.toStdString();
    // Without -b the run goes on and ends with 0.
    r = runCompanion({QStringLiteral("--cadena"), cadena, QStringLiteral("-Q"),
                      QStringLiteral("SELEC 1"), QStringLiteral("-Q"),
                      QStringLiteral("SELECT 7 AS siete")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("siete"))) << r.out.toStdString();
}

TEST_F(CompanionOdbc, shouldNeverPrintThePassword) {
    const QString secret = QStringLiteral("ClaveMuySecreta99");
    CompanionRun r = runCompanion({QStringLiteral("-S"), QStringLiteral("127.0.0.1,1"),
                                   QStringLiteral("-d"), QStringLiteral("X"), QStringLiteral("-U"),
                                   QStringLiteral("sa"), QStringLiteral("-P"), secret,
                                   QStringLiteral("-Q"), QStringLiteral("SELECT 1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.out.contains(secret)) << r.out.toStdString();
    EXPECT_FALSE(r.err.contains(secret)) << r.err.toStdString();
    r = runCompanion({QStringLiteral("--cadena"),
                      QStringLiteral("DSN=NoExiste;UID=u;PWD=") + secret, QStringLiteral("-Q"),
                      QStringLiteral("SELECT 1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.out.contains(secret)) << r.out.toStdString();
    EXPECT_FALSE(r.err.contains(secret)) << r.err.toStdString();
}

#ifdef ESTACIONES_HAVE_EMBEDDED_ENGINE

class CompanionEmbedded : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(companionPath())) {
            GTEST_SKIP() << "estaciones-sql not built";
        }
    }
    QTemporaryDir datos;
};

TEST_F(CompanionEmbedded, shouldWorkOnDemoAndOnANewDatabaseOfAFreshDataFolder) {
    const QStringList local{QStringLiteral("-S"), QStringLiteral("(local)")};
    CompanionRun r = runCompanion(
        local + QStringList{QStringLiteral("-d"), QStringLiteral("DEMO"), QStringLiteral("-Q"),
                            QStringLiteral("CREATE TABLE prueba_sql (a int, b varchar(10))")},
        datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    r = runCompanion(
        local + QStringList{QStringLiteral("-d"), QStringLiteral("DEMO"), QStringLiteral("-Q"),
                            QStringLiteral("INSERT INTO prueba_sql VALUES (1, 'uno')"),
                            QStringLiteral("-Q"),
                            QStringLiteral("INSERT INTO prueba_sql VALUES (2, 'dos')")},
        datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    r = runCompanion(local + QStringList{QStringLiteral("-d"), QStringLiteral("DEMO"),
                                         QStringLiteral("-h"), QStringLiteral("-1"),
                                         QStringLiteral("-W"), QStringLiteral("-Q"),
                                         QStringLiteral("SELECT b FROM prueba_sql ORDER BY a")},
                     datos.path());
    EXPECT_EQ(r.out, QStringLiteral("uno\ndos\n"));

    r = runCompanion(local + QStringList{QStringLiteral("-d"), QStringLiteral("DEMO"),
                                         QStringLiteral("-b"), QStringLiteral("-Q"),
                                         QStringLiteral("CREATE DATABASE OTRA")},
                     datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    r = runCompanion(
        local +
            QStringList{QStringLiteral("-d"), QStringLiteral("OTRA"), QStringLiteral("-b"),
                        QStringLiteral("-h"), QStringLiteral("-1"), QStringLiteral("-W"),
                        QStringLiteral("-Q"),
                        QStringLiteral(
                            "CREATE TABLE x (a int); INSERT INTO x VALUES (5); SELECT a FROM x")},
        datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("5"));
    // Every result of a batch is printed, in order.
    r = runCompanion(local + QStringList{QStringLiteral("-d"), QStringLiteral("OTRA"),
                                         QStringLiteral("-h"), QStringLiteral("-1"),
                                         QStringLiteral("-W"), QStringLiteral("-Q"),
                                         QStringLiteral("SELECT a FROM x; SELECT a + 1 FROM x")},
                     datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("5\n6\n"));
    // A database that does not exist fails as on SQL Server (4060).
    r = runCompanion(local + QStringList{QStringLiteral("-d"), QStringLiteral("NO_EXISTE"),
                                         QStringLiteral("-Q"), QStringLiteral("SELECT 1")},
                     datos.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Msg 4060,"))) << r.out.toStdString();
}

// A real prints by the digits of its four bytes; a float of the same value in full.
TEST_F(CompanionEmbedded, shouldPrintARealByItsFourBytes) {
    const QStringList local{QStringLiteral("-S"), QStringLiteral("(local)")};
    CompanionRun r = runCompanion(local + QStringList{QStringLiteral("-b"), QStringLiteral("-Q"),
                                                      QStringLiteral("CREATE DATABASE REALES")},
                                  datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    r = runCompanion(local + QStringList{QStringLiteral("-d"), QStringLiteral("REALES"),
                                         QStringLiteral("-h"), QStringLiteral("-1"),
                                         QStringLiteral("-W"), QStringLiteral("-s"),
                                         QStringLiteral("|"), QStringLiteral("-Q"),
                                         QStringLiteral("SELECT CAST(0.1 AS real), "
                                                        "CAST(1e0 / 3 AS real), "
                                                        "CAST(CAST(0.1 AS real) AS float)")},
                     datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("0.1|0.33333334|0.100000001490116\n"));
}

// A GO count that does not fit an int runs its batch not once but never.
TEST_F(CompanionEmbedded, shouldRefuseAGoCountThatIsNoInt) {
    const QString script = datos.path() + QStringLiteral("/cuenta.sql");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("CREATE TABLE veces (n int)\nGO\nINSERT INTO veces VALUES (1)\nGO 99999999999\n"
            "SELECT COUNT(*) FROM veces\nGO\n");
    f.close();
    const CompanionRun r =
        runCompanion({QStringLiteral("-S"), QStringLiteral("(local)"), QStringLiteral("-d"),
                      QStringLiteral("DEMO"), QStringLiteral("-h"), QStringLiteral("-1"),
                      QStringLiteral("-W"), QStringLiteral("-i"), script},
                     datos.path());
    EXPECT_TRUE(r.out.contains(QStringLiteral("Sqlcmd: Error: Syntax error at line 4 near "
                                              "command 'GO'")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.trimmed().endsWith(QStringLiteral("0"))) << r.out.toStdString();
}

// A script that ends inside a transaction has its work undone when the
// connection ends: the tool says so and fails, never reports it as done.
TEST_F(CompanionEmbedded, shouldFailAndSaySoWhenAScriptEndsWithAnOpenTransaction) {
    const QStringList otra{QStringLiteral("-S"), QStringLiteral("(local)"), QStringLiteral("-d"),
                           QStringLiteral("OTRA")};
    CompanionRun r = runCompanion({QStringLiteral("-S"), QStringLiteral("(local)"),
                                   QStringLiteral("-d"), QStringLiteral("DEMO"),
                                   QStringLiteral("-Q"), QStringLiteral("CREATE DATABASE OTRA")},
                                  datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    r = runCompanion(
        otra + QStringList{QStringLiteral("-Q"), QStringLiteral("CREATE TABLE x (a int)")},
        datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    r = runCompanion(otra + QStringList{QStringLiteral("-Q"),
                                        QStringLiteral("BEGIN TRAN INSERT INTO x VALUES (1)")},
                     datos.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("transaccion(es) abierta(s)")))
        << r.err.toStdString();
    r = runCompanion(otra + QStringList{QStringLiteral("-h"), QStringLiteral("-1"),
                                        QStringLiteral("-W"), QStringLiteral("-Q"),
                                        QStringLiteral("SELECT COUNT(*) FROM x")},
                     datos.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("0"));
}

// As sqlcmd: every result set and message of a batch in order, those before
// an error included; PRINT and informational RAISERROR as their text; money
// and decimal at their scale.
TEST_F(CompanionEmbedded, shouldPrintEveryResultAndMessageOfABatchInOrder) {
    const QStringList local{QStringLiteral("-S"), QStringLiteral("(local)")};
    CompanionRun r = runCompanion(
        local + QStringList{QStringLiteral("-Q"), QStringLiteral("CREATE DATABASE CONSOLA")},
        datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QStringList quiet =
        local + QStringList{QStringLiteral("-d"), QStringLiteral("CONSOLA"), QStringLiteral("-h"),
                            QStringLiteral("-1"), QStringLiteral("-W"),      QStringLiteral("-Q")};
    r = runCompanion(quiet +
                         QStringList{QStringLiteral("SET NOCOUNT ON\n"
                                                    "CREATE TABLE v (m money, d decimal(10,4))\n"
                                                    "INSERT INTO v VALUES (0, 1)\n"
                                                    "PRINT 'hola'\n"
                                                    "SELECT m, d FROM v\n"
                                                    "RAISERROR('aviso %s', 10, 1, 'x')\n"
                                                    "SELECT * FROM no_existe\n"
                                                    "SELECT 2")},
                     datos.path());
    static const QRegularExpression missing(QStringLiteral(
        "^hola\\n0\\.0000 1\\.0000\\naviso x\\nMsg 208, Level 16, State 1, Line \\d+\\n"
        "Invalid object name 'no_existe'\\.\\n$"));
    EXPECT_TRUE(missing.match(r.out).hasMatch()) << r.out.toStdString();

    // An error that ends only its statement: what follows it runs and prints.
    r = runCompanion(quiet + QStringList{QStringLiteral("CREATE TABLE k (id int PRIMARY KEY)\n"
                                                        "INSERT INTO k VALUES (1)\n"
                                                        "SELECT 1\n"
                                                        "INSERT INTO k VALUES (1)\n"
                                                        "SELECT 2")},
                     datos.path());
    const qsizetype one = r.out.indexOf(QStringLiteral("1\n"));
    const qsizetype duplicate = r.out.indexOf(QStringLiteral("Msg 2627,"));
    const qsizetype two = r.out.lastIndexOf(QStringLiteral("2\n"));
    EXPECT_TRUE(one >= 0 && duplicate > one && two > duplicate) << r.out.toStdString();

    // With headers: each statement's count where it happened.
    r = runCompanion(local + QStringList{QStringLiteral("-d"), QStringLiteral("CONSOLA"),
                                         QStringLiteral("-W"), QStringLiteral("-Q"),
                                         QStringLiteral("INSERT INTO k VALUES (2)\n"
                                                        "SELECT COUNT(*) AS n FROM k")},
                     datos.path());
    EXPECT_EQ(r.out, QStringLiteral("(1 rows affected)\nn\n-\n2\n\n(1 rows affected)\n"));

    // A change with OUTPUT: its rows, then its one count.
    r = runCompanion(local + QStringList{QStringLiteral("-d"), QStringLiteral("CONSOLA"),
                                         QStringLiteral("-W"), QStringLiteral("-Q"),
                                         QStringLiteral("UPDATE k SET id = id + 10 OUTPUT "
                                                        "inserted.id WHERE id = 2")},
                     datos.path());
    EXPECT_EQ(r.out, QStringLiteral("id\n--\n12\n\n(1 rows affected)\n"));
}

// Each date type prints in its own default form: date without a time,
// time and datetime2 at their scale, smalldatetime to the second, datetime
// to the millisecond.
TEST_F(CompanionEmbedded, shouldPrintEachDateTypeInItsOwnForm) {
    const CompanionRun r = runCompanion(
        {QStringLiteral("-S"), QStringLiteral("(local)"), QStringLiteral("-d"),
         QStringLiteral("DEMO"), QStringLiteral("-h"), QStringLiteral("-1"), QStringLiteral("-W"),
         QStringLiteral("-s"), QStringLiteral("|"), QStringLiteral("-Q"),
         QStringLiteral("SELECT CAST('2007-05-08 12:35:29.1234567' AS date), "
                        "CAST('12:35:29.1234567' AS time), CAST('12:35:29.1234567' AS time(2)), "
                        "CAST('2007-05-08 12:35:29.1234567' AS datetime2), "
                        "CAST('2007-05-08 12:35:29.1234567' AS datetime2(4)), "
                        "CAST('2007-05-08 12:35:29' AS smalldatetime), "
                        "CAST('2007-05-08 12:35:29.123' AS datetime)")},
        datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("2007-05-08|12:35:29.1234567|12:35:29.12|"
                                    "2007-05-08 12:35:29.1234567|2007-05-08 12:35:29.1235|"
                                    "2007-05-08 12:35:00|2007-05-08 12:35:29.123\n"));
}

// Binary values print as sqlcmd shows them: 0x and upper-case hex digits.
TEST_F(CompanionEmbedded, shouldPrintBinaryValuesAsUpperCaseHex) {
    const CompanionRun r = runCompanion(
        {QStringLiteral("-S"), QStringLiteral("(local)"), QStringLiteral("-d"),
         QStringLiteral("DEMO"), QStringLiteral("-h"), QStringLiteral("-1"), QStringLiteral("-W"),
         QStringLiteral("-s"), QStringLiteral("|"), QStringLiteral("-Q"),
         QStringLiteral("SELECT 0x0aFf, CONVERT(varbinary(4), 'Name'), 0x")},
        datos.path());
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("0x0AFF|0x4E616D65|0x\n"));
}

// Two processes updating different rows of one embedded database at once:
// neither loses an update (WAL and a busy time-out).
TEST_F(CompanionEmbedded, shouldLoseNoUpdateWhenTwoProcessesWriteDifferentRows) {
    estaciones::test::DbScratch scratch(estaciones::test::DbBackend::Embedded);
    Connection cnn = scratch.open();
    cnn.execute(
        QStringLiteral("CREATE TABLE contadores (id int NOT NULL PRIMARY KEY, n int NOT NULL)"));
    cnn.execute(QStringLiteral("INSERT INTO contadores VALUES (1, 0)"));
    cnn.execute(QStringLiteral("INSERT INTO contadores VALUES (2, 0)"));

    constexpr int kUpdates = 150;
    const QString script = scratch.folder() + QStringLiteral("/incrementa.sql");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("UPDATE contadores SET n = n + 1 WHERE id = 2\nGO %1\n")
                .arg(kUpdates)
                .toUtf8());
    f.close();
    std::unique_ptr<QProcess> other(startCompanion(
        {QStringLiteral("-S"), QStringLiteral("(local)"), QStringLiteral("-d"),
         QStringLiteral("PRUEBA"), QStringLiteral("-b"), QStringLiteral("-i"), script},
        scratch.folder()));
    ASSERT_TRUE(other->waitForStarted(10000));
    for (int i = 0; i < kUpdates; ++i) {
        // Row 1 through a recordset, row 2 from the other process.
        Recordset rs;
        rs.open(QStringLiteral("SELECT id, n FROM contadores WHERE id = 1"), cnn, adOpenStatic,
                adLockOptimistic);
        rs["n"] = Variant(rs["n"].value().toInt32() + 1);
        rs.update();
        rs.close();
    }
    ASSERT_TRUE(other->waitForFinished(120000));
    EXPECT_EQ(other->exitCode(), 0) << other->readAllStandardOutput().toStdString();
    Recordset rs = cnn.execute(QStringLiteral("SELECT id, n FROM contadores ORDER BY id"));
    EXPECT_EQ(rs["n"].value().toInt32(), kUpdates);
    rs.moveNext();
    EXPECT_EQ(rs["n"].value().toInt32(), kUpdates);
    cnn.close();
}

// A script is read a batch at a time: ten times the batches cost no more
// memory than a script's size, where reading it whole cost several times it.
TEST_F(CompanionEmbedded, shouldRunAScriptInMemoryThatDoesNotGrowWithItsSize) {
#if defined(__SANITIZE_ADDRESS__) || ESTACIONES_HAS_ASAN
    // AddressSanitizer keeps freed memory in quarantine: the peak measures it, not the program.
    GTEST_SKIP() << "la memoria no se mide bajo AddressSanitizer";
#endif
    estaciones::test::DbScratch scratch(estaciones::test::DbBackend::Embedded);
    {
        Connection cnn = scratch.open();
        cnn.execute(QStringLiteral("CREATE TABLE carga (a int, b varchar(100))"));
        cnn.close();
    }
    auto escribirGuion = [&](const QString& nombre, int lotes) {
        const QString ruta = scratch.folder() + QLatin1Char('/') + nombre;
        QFile f(ruta);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray relleno(90, 'x');
        for (int lote = 0; lote < lotes; ++lote) {
            QByteArray texto = "INSERT INTO carga (a, b) VALUES ";
            for (int fila = 0; fila < 20; ++fila) {
                texto +=
                    (fila > 0 ? ",(" : "(") + QByteArray::number(lote) + ", '" + relleno + "')";
            }
            f.write(texto + "\nGO\n");
        }
        return std::pair{ruta, f.size()};
    };
    const auto [chico, bytesChico] = escribirGuion(QStringLiteral("chico.sql"), 200);
    const auto [grande, bytesGrande] = escribirGuion(QStringLiteral("grande.sql"), 2000);
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("ESTACIONES_DATOS"), scratch.folder());
    auto medir = [&](const QString& guion) {
        return estaciones::test::ejecutarMidiendoMemoria(
            companionPath(),
            {QStringLiteral("-S"), QStringLiteral("(local)"), QStringLiteral("-d"),
             QStringLiteral("PRUEBA"), QStringLiteral("-b"), QStringLiteral("-i"), guion},
            entorno);
    };
    const auto corrida = medir(chico);
    const auto larga = medir(grande);
    ASSERT_TRUE(corrida && larga);
    ASSERT_EQ(corrida->codigo, 0);
    ASSERT_EQ(larga->codigo, 0);
    const long crecimientoKiB = larga->picoKiB - corrida->picoKiB;
    EXPECT_LT(crecimientoKiB, (bytesGrande - bytesChico) / 1024 / 4)
        << "peak " << corrida->picoKiB << " KiB for " << bytesChico << " bytes, " << larga->picoKiB
        << " KiB for " << bytesGrande << " bytes";
}

#endif

} // namespace
