// A database file of format 0, as the engine made it before dates had one
// width and money was rounded on write, converted when a station opens it:
// the copy beside it, every value intact, the version, the indexes, and a
// conversion that happens once. New files start at the current format.
#include "platform/db/embedded/EmbeddedFixture.h"
#include "platform/db/embedded/storage/RawFile.h"

#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/sqlite/FormatConversion.h"
#include "platform/db/embedded/storage/FormatVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace estaciones::db::sqlite::test {

namespace {

const QString sample = QString::fromUtf8(ESTACIONES_MUESTRA_V0);

const char* storedArticles =
    "SELECT id, nombre, precio, importe, tasa, alta, dia FROM articulos ORDER BY id";
const char* storedSeasons = "SELECT codigo, desde, hasta FROM temporadas ORDER BY codigo";

class FormatConversionTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        ASSERT_TRUE(QFile::copy(sample, file));
    }

    void openSample() { engine->useDatabase(QStringLiteral("ALMACEN")); }

    QStringList copiesBeside() const {
        return QDir(data.path()).entryList({QStringLiteral("ALMACEN*.bak")}, QDir::Files);
    }

    QString file = data.filePath(QStringLiteral("ALMACEN.db"));
};

TEST_F(FormatConversionTest, shouldConvertAnOldFileOnceKeepingACopyBeside) {
    const std::string oldArticles = RawFile(file).rows(storedArticles);
    openSample();
    ASSERT_EQ(copiesBeside(), QStringList{QStringLiteral("ALMACEN.v0.bak")});
    {
        RawFile copy(data.filePath(QStringLiteral("ALMACEN.v0.bak")));
        EXPECT_EQ(copy.rows("PRAGMA user_version"), "0;");
        EXPECT_EQ(copy.rows(storedArticles), oldArticles);
    }
    RawFile converted(file);
    EXPECT_EQ(converted.rows("PRAGMA user_version"), std::to_string(currentFormatVersion) + ";");
    // Each date type at its own width; money and decimals at their scale.
    EXPECT_EQ(converted.rows(storedArticles),
              "1|Ñandú|12.5|1234.56|0.1234|2024-01-07 10:20:30.123|2024-01-07;"
              "2|café|-3.25|-0.01|12.5|2024-02-29 13:45:00.000|2024-02-29;"
              "3|Árbol|0.0001|99999.99|-1.0001|1999-12-31 23:59:59.000|1999-12-31;"
              "4|zorro|NULL|NULL|NULL|NULL|NULL;");
    EXPECT_EQ(converted.rows(storedSeasons),
              "AL|2024-10-01 00:00:00.000|2025-05-31 00:00:00;"
              "BA|2025-06-01 00:00:00.000|2025-09-30 12:00:00;");
    EXPECT_EQ(converted.rows("PRAGMA integrity_check"), "ok;");
    // A comparison with a literal seeks the date index.
    const std::string plan = converted.rows(
        "EXPLAIN QUERY PLAN SELECT id FROM articulos WHERE alta >= '2024-01-01'");
    EXPECT_NE(plan.find("ix_articulos_alta (alta>?)"), std::string::npos) << plan;

    // A second open finds nothing to do.
    engine.reset();
    engine = createEmbeddedEngine();
    engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
    openSample();
    EXPECT_EQ(copiesBeside(), QStringList{QStringLiteral("ALMACEN.v0.bak")});
    EXPECT_EQ(RawFile(file).rows(storedArticles), converted.rows(storedArticles));
}

TEST_F(FormatConversionTest, shouldReadEveryValueOfAConvertedFileAsBefore) {
    openSample();
    const auto all = rows(QStringLiteral(
        "SELECT nombre, precio, importe, tasa, alta, dia FROM articulos ORDER BY id"));
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0][0].toString(), QStringLiteral("Ñandú"));
    EXPECT_EQ(all[0][1].toString(), Variant(Currency::fromDouble(12.5)).toString());
    EXPECT_DOUBLE_EQ(all[1][2].toDouble(), -0.01);
    EXPECT_DOUBLE_EQ(all[2][3].toDouble(), -1.0001);
    EXPECT_EQ(all[0][4].toDate(),
              (DateTimeValue{QDate(2024, 1, 7), QTime(10, 20, 30, 123)}));
    EXPECT_EQ(all[1][5].toDate(), (DateTimeValue{QDate(2024, 2, 29), QTime(0, 0)}));
    EXPECT_TRUE(all[3][4].isNull());
    // Literals in the session's order still find the stored dates.
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM articulos WHERE dia = '29/02/2024'")),
              Variant(1LL));
    EXPECT_EQ(scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM articulos WHERE alta BETWEEN '1/1/2024' AND '29/2/2024 13:45'")),
              Variant(2LL));
    EXPECT_EQ(scalar(QStringLiteral("SELECT MAX(desde) FROM temporadas")).toDate(),
              (DateTimeValue{QDate(2025, 6, 1), QTime(0, 0)}));
}

TEST_F(FormatConversionTest, shouldKeepTextRulesOnAConvertedFile) {
    openSample();
    // Case and trailing blanks do not count, accents do.
    EXPECT_EQ(nativeErrorOf(QStringLiteral("INSERT INTO articulos (nombre) VALUES (N'ñandú   ')")),
              2601); // a unique index's duplicate
    EXPECT_EQ(nativeErrorOf(QStringLiteral("INSERT INTO articulos (nombre) VALUES (N'Nandu')")), 0);
    RawFile copy(data.filePath(QStringLiteral("ALMACEN.v0.bak")));
    const std::string before =
        copy.rows("SELECT nombre FROM articulos WHERE nombre <> 'Nandu' ORDER BY nombre");
    EXPECT_EQ(RawFile(file).rows(
                  "SELECT nombre FROM articulos WHERE nombre <> 'Nandu' ORDER BY nombre"),
              before);
    // New rows of the converted file get the stored forms too.
    run(QStringLiteral("INSERT INTO articulos (nombre, precio, alta) VALUES (N'ñu', 1.23456, "
                       "'5/3/2024 10:20:30.002')"));
    EXPECT_EQ(RawFile(file).rows("SELECT precio, alta FROM articulos WHERE nombre = 'ñu'"),
              "1.2346|2024-03-05 10:20:30.003;");
}

TEST_F(FormatConversionTest, shouldRefuseAFileOfANewerFormat) {
    RawFile(file).rows("PRAGMA user_version = 7");
    try {
        openSample();
        FAIL() << "a file of a newer format was opened";
    } catch (const ProviderFailure& failure) {
        const QString text = failure.records().front().description;
        EXPECT_TRUE(text.contains(QStringLiteral("formato 7"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("formato %1").arg(currentFormatVersion)))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("actualice el programa"))) << text.toStdString();
    }
    EXPECT_TRUE(copiesBeside().isEmpty());
    EXPECT_EQ(RawFile(file).rows("PRAGMA user_version"), "7;");
}

TEST_F(FormatConversionTest, shouldMakeNewDatabasesAtTheCurrentFormatWithoutACopy) {
    engine.reset(); // the fixture's PRUEBA, closed
    RawFile made(data.filePath(QStringLiteral("PRUEBA.db")));
    EXPECT_EQ(made.rows("PRAGMA user_version"), std::to_string(currentFormatVersion) + ";");
    EXPECT_TRUE(QDir(data.path()).entryList({QStringLiteral("PRUEBA*.bak")}).isEmpty());
}

} // namespace

} // namespace estaciones::db::sqlite::test
