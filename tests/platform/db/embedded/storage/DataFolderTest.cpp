// The data folder as a server: databases as files, USE, CREATE DATABASE,
// SQL Server's refusals, and databases created from their seed.
#include "platform/db/embedded/EmbeddedFixture.h"

#include "platform/db/embedded/DatabaseSeeder.h"
#include "platform/db/embedded/storage/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

namespace estaciones::db::sqlite::test {

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

int openFailure(Engine& engine, const QString& connectionString) {
    try {
        engine.open(connectionString, {}, {});
    } catch (const ProviderFailure& failure) {
        EXPECT_EQ(failure.sqlState(), "42000");
        EXPECT_EQ(failure.description(),
                  "Cannot open database \"NOHAY\" requested by the login. The login failed.");
        return failure.nativeError();
    }
    return 0;
}

// A seed of two scripts: a table of articles and a view over it.
void writeArticlesSeed(const QDir& seeds, const QByteArray& data) {
    writeFile(seeds.filePath("SEMBRADA.semilla"), "esquema.sql\n\ndatos.sql\n");
    writeFile(seeds.filePath("esquema.sql"),
              "CREATE TABLE Articulos (Codigo varchar(10) PRIMARY KEY)\ngo\n"
              "CREATE VIEW V_Articulos AS SELECT Codigo FROM Articulos\n  GO  \n");
    writeFile(seeds.filePath("datos.sql"), data);
}

// Marks a prebuilt database, so that a test tells a copy of it from a
// database its scripts built.
void markPrebuilt(const QString& file) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE Marca (x int); INSERT INTO Marca VALUES (7);", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}

QStringList codes(Engine& engine) {
    const ExecutionResult read = engine.execute("SELECT Codigo FROM V_Articulos ORDER BY 1", {}, 0);
    QStringList result;
    for (const auto& row : read.resultSets.at(0).rows) {
        result << row[0].toString();
    }
    return result;
}

} // namespace

using DataFolderTest = EmbeddedFixture;

TEST_F(DataFolderTest, PrebuiltDatabaseOfTheSeedAsItIsIsCopiedInsteadOfRunningIt) {
    writeArticlesSeed(QDir(seeds.path()), "INSERT INTO Articulos VALUES ('A1')\nGO");
    const QString seed = seeds.filePath("SEMBRADA.semilla");
    prebuildSeed(seed, prebuiltOf(seed));
    ASSERT_TRUE(QFileInfo::exists(prebuiltOf(seed)));
    ASSERT_TRUE(QFileInfo::exists(prebuiltFingerprintOf(seed)));
    markPrebuilt(prebuiltOf(seed));
    // Installed in a folder the user cannot write: the copy is still the user's.
    ASSERT_TRUE(QFile::setPermissions(prebuiltOf(seed), QFile::ReadOwner | QFile::ReadOther));

    auto seeded = createEmbeddedEngine();
    seeded->open("Provider=SQLOLEDB;Server=(local);Database=SEMBRADA", {}, {});
    EXPECT_EQ(codes(*seeded), QStringList{"A1"});
    const auto copy = DataFolder(data.path()).databaseFile("SEMBRADA");
    ASSERT_TRUE(copy.has_value());
    EXPECT_TRUE(QFileInfo(*copy).permissions().testFlag(QFile::WriteOwner));
    seeded->execute("INSERT INTO Articulos VALUES ('C3')", {}, 0);
    EXPECT_EQ(codes(*seeded), (QStringList{"A1", "C3"}));
    const auto marked = seeded->execute("SELECT x FROM Marca", {}, 0);
    ASSERT_EQ(marked.resultSets.size(), 1u);
    EXPECT_EQ(marked.resultSets[0].rows.at(0)[0].toInt64(), 7); // the copy, not a new build
    EXPECT_TRUE(QDir(data.path()).entryList({"*semilla*"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(DataFolderTest, PrebuiltDatabaseIsPassedOverWhenItsSeedChangedOrTheNameDiffers) {
    writeArticlesSeed(QDir(seeds.path()), "INSERT INTO Articulos VALUES ('A1')\nGO");
    const QString seed = seeds.filePath("SEMBRADA.semilla");
    prebuildSeed(seed, prebuiltOf(seed));
    markPrebuilt(prebuiltOf(seed));
    const QString before = seedFingerprint(seed);
    // One script changed after the build: its rows are what the seed gives now.
    writeArticlesSeed(QDir(seeds.path()), "INSERT INTO Articulos VALUES ('B2')\nGO");
    EXPECT_NE(seedFingerprint(seed), before);

    auto seeded = createEmbeddedEngine();
    seeded->open("Provider=SQLOLEDB;Server=(local);Database=SEMBRADA", {}, {});
    EXPECT_EQ(codes(*seeded), QStringList{"B2"});
    try {
        seeded->execute("SELECT x FROM Marca", {}, 0);
        FAIL() << "the stale prebuilt database was copied";
    } catch (const ProviderFailure& failure) {
        EXPECT_EQ(failure.nativeError(), 208);
    }

    // Built for "SEMBRADA": a database asked for as "sembrada" is built by its scripts.
    writeArticlesSeed(QDir(seeds.path()), "INSERT INTO Articulos VALUES ('A1')\nGO");
    ASSERT_EQ(seedFingerprint(seed), before);
    auto other = createEmbeddedEngine();
    ::estaciones::test::ScopedEnvFolder otherData{"ESTACIONES_DATOS"};
    other->open("Provider=SQLOLEDB;Server=(local);Database=sembrada", {}, {});
    EXPECT_EQ(codes(*other), QStringList{"A1"});
    EXPECT_THROW(other->execute("SELECT x FROM Marca", {}, 0), ProviderFailure);
}

TEST_F(DataFolderTest, SeedFingerprintCoversTheListTheScriptsAndTheirOrder) {
    writeArticlesSeed(QDir(seeds.path()), "INSERT INTO Articulos VALUES ('A1')\nGO");
    const QString seed = seeds.filePath("SEMBRADA.semilla");
    const QString first = seedFingerprint(seed);
    EXPECT_EQ(seedFingerprint(seed), first);
    writeFile(seed, "datos.sql\nesquema.sql\n");
    EXPECT_NE(seedFingerprint(seed), first);
    writeFile(seed, "esquema.sql\nfalta.sql\n");
    EXPECT_ANY_THROW(seedFingerprint(seed));
}

TEST_F(DataFolderTest, MissingDatabaseRefusesTheConnectionWith4060) {
    auto other = createEmbeddedEngine();
    EXPECT_EQ(openFailure(*other, "Provider=SQLOLEDB;Server=(local);Database = NOHAY;UID=x"), 4060);
    EXPECT_FALSE(other->isOpen());
    EXPECT_FALSE(QFile::exists(QDir(data.path()).filePath("NOHAY.db")));
}

TEST_F(DataFolderTest, CreateDatabaseMakesAnEmptyDatabaseFoundIgnoringCase) {
    EXPECT_TRUE(QFile::exists(QDir(data.path()).filePath("PRUEBA.db")));
    EXPECT_EQ(engine->currentDatabase(), "PRUEBA");
    EXPECT_EQ(nativeErrorOf("CREATE DATABASE prueba"), 1801);

    auto other = createEmbeddedEngine();
    other->open("Provider=SQLOLEDB;Server=(local);Initial Catalog=prueba", "ana", "secreto");
    EXPECT_EQ(other->userName(), "ana");
    EXPECT_TRUE(other->openSchema(adschema::Tables, {}).rows.empty());
}

TEST_F(DataFolderTest, UseSwitchesDatabasesAndRefusesAMissingOne) {
    run("CREATE TABLE SoloPrueba (id int)\nCREATE DATABASE OTRA");
    run("USE OTRA\nCREATE TABLE SoloOtra (id int)");
    EXPECT_EQ(engine->currentDatabase(), "OTRA");
    EXPECT_EQ(nativeErrorOf("SELECT * FROM SoloPrueba"), 208);
    engine->useDatabase("Prueba");
    EXPECT_EQ(nativeErrorOf("SELECT * FROM SoloOtra"), 208);
    EXPECT_EQ(nativeErrorOf("USE NOHAY"), 911);
    EXPECT_EQ(engine->currentDatabase(), "PRUEBA");
}

// A delimited name may hold '/', '\\', '.' and '%': the database is still a
// file of the folder, and its name comes back as written.
TEST_F(DataFolderTest, NamesWithPathCharactersStayInsideTheFolder) {
    const QDir folder(data.path());
    QDir outside(folder);
    ASSERT_TRUE(outside.cdUp());
    run("CREATE DATABASE [../fuera]\nCREATE DATABASE [a\\b/c]\nCREATE DATABASE [.oculta]\n"
        "CREATE DATABASE [100%]");
    EXPECT_FALSE(QFile::exists(outside.filePath("fuera.db")));
    for (const QString name : {"../fuera", "a\\b/c", ".oculta", "100%"}) {
        SCOPED_TRACE(name.toStdString());
        run("USE [" + name + "]\nCREATE TABLE T (id int)");
        EXPECT_EQ(engine->currentDatabase(), name);
        EXPECT_EQ(nativeErrorOf("CREATE DATABASE [" + name + "]"), 1801);
    }
    const QStringList files = folder.entryList({"*.db"}, QDir::Files | QDir::Hidden);
    EXPECT_EQ(files.filter(QRegularExpression("^\\.")), QStringList());
    EXPECT_EQ(files.filter("/"), QStringList());
    QStringList names = DataFolder(data.path()).databaseNames();
    names.sort();
    EXPECT_EQ(names.filter(QRegularExpression("[/\\\\%.]")),
              QStringList({"../fuera", ".oculta", "100%", "a\\b/c"}));
}

TEST_F(DataFolderTest, AccentInsensitiveCollationIsRemembered) {
    run("CREATE DATABASE ESTAD COLLATE Latin1_General_CI_AI");
    run("USE ESTAD\nCREATE TABLE T (nombre varchar(20))\nINSERT INTO T VALUES ('Camión')");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T WHERE nombre = 'CAMION'").toInt32(), 1);
    run("USE PRUEBA\nCREATE TABLE T (nombre varchar(20))\nINSERT INTO T VALUES ('Camión')");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T WHERE nombre = 'CAMION'").toInt32(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T WHERE nombre = 'CAMIÓN '").toInt32(), 1);
}

TEST_F(DataFolderTest, MissingDatabaseWithASeedIsCreatedFromItsScripts) {
    writeFile(seeds.filePath("SEMBRADA.semilla"), "esquema.sql\n\ndatos.sql\n");
    writeFile(seeds.filePath("esquema.sql"),
              "\xEF\xBB\xBF"
              "CREATE TABLE Articulos (Codigo varchar(10) PRIMARY KEY)\ngo\n"
              "CREATE VIEW V_Articulos AS SELECT Codigo FROM Articulos\n  GO  \n");
    writeFile(seeds.filePath("datos.sql"), "INSERT INTO Articulos VALUES ('A1')\n"
                                           "INSERT INTO Articulos VALUES ('Ñandú')\nGO");
    auto seeded = createEmbeddedEngine();
    seeded->open("Provider=SQLOLEDB;Server=(local);Database=sembrada", {}, {});
    const ExecutionResult result =
        seeded->execute("SELECT Codigo FROM V_Articulos ORDER BY 1", {}, 0);
    ASSERT_EQ(result.resultSets.size(), 1u);
    ASSERT_EQ(result.resultSets[0].rows.size(), 2u);
    EXPECT_EQ(result.resultSets[0].rows[1][0].toString(), "Ñandú");
    // Only the finished database is left in the folder, no temporary file.
    EXPECT_TRUE(QDir(data.path()).entryList({"*semilla*"}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(
        DataFolder(data.path()).databaseNames().filter("sembrada", Qt::CaseInsensitive).size(), 1);
}

TEST_F(DataFolderTest, FailedSeedLeavesNoDatabaseBehind) {
    writeFile(seeds.filePath("ROTA.semilla"), "roto.sql\n");
    writeFile(seeds.filePath("roto.sql"), "CREATE TABLE A (id int)\nGO\nSELECT * FROM NoExiste\n");
    auto seeded = createEmbeddedEngine();
    try {
        seeded->open("Provider=SQLOLEDB;Server=(local);Database=ROTA", {}, {});
        FAIL() << "the broken seed opened";
    } catch (const ProviderFailure& failure) {
        EXPECT_EQ(failure.nativeError(), 208);
    }
    EXPECT_FALSE(DataFolder(data.path()).hasDatabase("ROTA"));
    EXPECT_TRUE(QDir(data.path()).entryList({"ROTA*"}, QDir::Files).isEmpty());
}

} // namespace estaciones::db::sqlite::test
