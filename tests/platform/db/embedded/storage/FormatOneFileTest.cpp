// A database file of format 1, made by the engine that kept money and
// decimals as doubles rounded to their scale in columns of numeric affinity,
// is converted when opened: its columns lose the affinity, its values stay,
// and the exact reading gives every one back, by value in comparisons,
// indexes and sums; a value the file cannot keep is refused from then on.
#include "platform/db/embedded/EmbeddedFixture.h"
#include "platform/db/embedded/bind/TextComparedWithExactColumns.h"
#include "platform/db/embedded/storage/RawFile.h"

#include <QDir>
#include <QFile>

#include <limits>

namespace estaciones::db::sqlite::test {

namespace {

// Helpers as members: the file may be compiled together with others.
class FormatOneFileTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(ESTACIONES_MUESTRA_V1), file));
        engine->useDatabase(QStringLiteral("CAJA"));
    }

    static Variant money(std::int64_t tenThousandths) { return Currency{tenThousandths}; }
    static QString decimalText(const Variant& value) {
        return value.isNull() ? QStringLiteral("NULL") : value.toDecimal().toString();
    }

    QString file = data.filePath(QStringLiteral("CAJA.db"));
};

TEST_F(FormatOneFileTest, EveryValueComesBackAtItsType) {
    EXPECT_EQ(QDir(data.path()).entryList({QStringLiteral("CAJA*.bak")}, QDir::Files),
              QStringList{QStringLiteral("CAJA.v1.bak")});
    EXPECT_EQ(RawFile(data.filePath(QStringLiteral("CAJA.v1.bak"))).rows("PRAGMA user_version"),
              "1;");
    EXPECT_EQ(RawFile(file).rows("PRAGMA user_version"), "2;");
    EXPECT_EQ(RawFile(file).rows("SELECT name, type FROM pragma_table_info('cobros')"),
              "id|INT;importe|money blob;propina|smallmoney blob;cantidad|decimal(18,2) blob;"
              "tasa|decimal(10,4) blob;entero|decimal(12,0) blob;");
    EXPECT_EQ(RawFile(file).rows("PRAGMA integrity_check"), "ok;");
    const auto values =
        rows("SELECT importe, propina, cantidad, tasa, entero FROM cobros ORDER BY id");
    ASSERT_EQ(values.size(), 7u);
    const std::int64_t importes[] = {125000, -32500, 1, 99999999999, -99999999999, 0, 26750};
    const std::int64_t propinas[] = {100, -2147483648, 2147483647, 15000, 0, 0, 26750};
    const char* cantidades[] = {"1234.56", "-0.01", "99999999.99", "-99999999.99",
                                "0.10",    "NULL",  "2.68"};
    const char* tasas[] = {"0.1234",       "12.5000", "-1.0001", "999999.9999",
                           "-999999.9999", "NULL",    "2.6755"};
    const char* enteros[] = {"42", "-99999999999", "99999999999", "0", "1", "NULL", "3"};
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const auto& row = values[i];
        if (i == 5) {
            EXPECT_TRUE(row.at(0).isNull());
        } else {
            EXPECT_EQ(row.at(0), money(importes[i]));
        }
        if (i == 4 || i == 5) {
            EXPECT_TRUE(row.at(1).isNull());
        } else {
            EXPECT_EQ(row.at(1), money(propinas[i]));
        }
        EXPECT_EQ(decimalText(row.at(2)), QString::fromLatin1(cantidades[i]));
        EXPECT_EQ(decimalText(row.at(3)), QString::fromLatin1(tasas[i]));
        EXPECT_EQ(decimalText(row.at(4)), QString::fromLatin1(enteros[i]));
    }
}

TEST_F(FormatOneFileTest, StoredValuesCompareAndSumByValue) {
    // Through the index on importe, in its order.
    const auto ordered = rows("SELECT id FROM cobros WHERE importe IS NOT NULL ORDER BY importe");
    std::vector<int> ids;
    for (const auto& row : ordered)
        ids.push_back(row.at(0).toInt32());
    EXPECT_EQ(ids, (std::vector<int>{5, 2, 3, 7, 1, 4}));
    EXPECT_EQ(scalar("SELECT id FROM cobros WHERE importe = 9999999.9999").toInt32(), 4);
    EXPECT_EQ(
        scalar("SELECT id FROM cobros WHERE propina = CAST(-214748.3648 AS smallmoney)").toInt32(),
        2);
    EXPECT_EQ(scalar("SELECT SUM(importe) FROM cobros"), money(119251));
    EXPECT_EQ(decimalText(scalar("SELECT SUM(cantidad) FROM cobros")), QStringLiteral("1237.33"));
}

TEST_F(FormatOneFileTest, AConvertedFileRefusesWhatItCannotKeepAndWritesNothing) {
    const std::string before = RawFile(file).rows("SELECT * FROM cobros ORDER BY id");
    // 19 and 16 significant digits: the nearest doubles would be kept.
    EXPECT_EQ(nativeErrorOf("INSERT INTO cobros (id, importe) VALUES (8, 922337203685477.5807)"),
              40517);
    ASSERT_FALSE(lastFailure.empty());
    const QString text = lastFailure.front().description;
    EXPECT_TRUE(text.contains(QLatin1String("money value 922337203685477.5807"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("up to 15 significant digits"))) << text.toStdString();
    EXPECT_EQ(nativeErrorOf("INSERT INTO cobros (id, importe) VALUES (8, 1), (9, 123456789012345.67)"),
              40517)
        << "one refused row takes the statement's others with it";
    try {
        // A bound value, as a recordset's edit writes it.
        run("INSERT INTO cobros (id, importe) VALUES (9, ?)",
            {Variant(Currency{std::numeric_limits<std::int64_t>::min()})});
        ADD_FAILURE() << "the lowest money was stored";
    } catch (const ProviderFailure& failure) {
        EXPECT_EQ(failure.nativeError(), 40517);
    }
    EXPECT_EQ(nativeErrorOf("UPDATE cobros SET cantidad = cantidad + 10000000000000"), 40517);
    EXPECT_EQ(nativeErrorOf("UPDATE cobros SET tasa = 0.5, cantidad = '1234567890123456.78' "
                            "WHERE id = 1"),
              40517);
    EXPECT_EQ(RawFile(file).rows("SELECT * FROM cobros ORDER BY id"), before);

    // Fifteen digits are kept exactly, as text or as a number.
    run("INSERT INTO cobros (id, importe, cantidad, entero) VALUES "
        "(8, 99999999999.9999, '9999999999999.99', 999999999999)");
    const auto kept = rows("SELECT importe, cantidad, entero FROM cobros WHERE id = 8");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0][0], money(999999999999999));
    EXPECT_EQ(decimalText(kept[0][1]), QStringLiteral("9999999999999.99"));
    EXPECT_EQ(decimalText(kept[0][2]), QStringLiteral("999999999999"));
    EXPECT_EQ(RawFile(file).rows("SELECT typeof(cantidad) FROM cobros WHERE id = 8"), "real;");
}

TEST_F(FormatOneFileTest, ATableMadeFromAQueryRefusesWhatItCannotKeep) {
    // SELECT ... INTO copies the types, and with them the store triggers.
    run("SELECT id, importe, importe * 2 AS doble INTO copia FROM cobros WHERE id < 3");
    EXPECT_EQ(RawFile(file).rows("SELECT type FROM pragma_table_info('copia') ORDER BY cid"),
              "INT;money blob;money blob;");
    EXPECT_EQ(nativeErrorOf("UPDATE copia SET doble = 123456789012345.6"), 40517);
    EXPECT_EQ(scalar("SELECT SUM(doble) FROM copia"), money(2 * (125000 - 32500)));
}

// A file of format 1 made by the engine of the day before format 2
// (datos-v1/TIENDA.sql made it): a table of articles with an index on their
// price, a view over it and a T-SQL trigger that keeps a price history.
class TodaysFormatOneFileTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(ESTACIONES_MUESTRA_V1_TIENDA), file));
        QFile(file).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        before = RawFile(file).rows(storedRows);
        engine->useDatabase(QStringLiteral("TIENDA"));
    }

    QStringList codes(const QString& query) {
        QStringList found;
        for (const auto& row : rows(query))
            found << row.at(0).toString();
        return found;
    }

    static constexpr const char* storedRows = "SELECT * FROM articulos ORDER BY codigo";
    QString file = data.filePath(QStringLiteral("TIENDA.db"));
    std::string before;
};

TEST_F(TodaysFormatOneFileTest, ConvertsKeepingEveryValueAndTheIndexOrder) {
    RawFile converted(file);
    EXPECT_EQ(converted.rows("PRAGMA user_version"), "2;");
    EXPECT_EQ(converted.rows(storedRows), before);
    EXPECT_EQ(converted.rows("PRAGMA integrity_check"), "ok;");
    EXPECT_EQ(RawFile(data.filePath(QStringLiteral("TIENDA.v1.bak"))).rows(storedRows), before);
    EXPECT_EQ(converted.rows("SELECT type FROM pragma_table_info('articulos') ORDER BY cid"),
              "varchar(25);nvarchar(50);money blob;smallmoney blob;decimal(9,3) blob;"
              "numeric(15,0) blob;datetime text;");
    // The store triggers were made anew, the others are as they were.
    EXPECT_EQ(converted.rows("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND "
                             "sql LIKE '%tsql_store_number(%'"),
              "12;");
    EXPECT_EQ(converted.rows("SELECT count(*) FROM sqlite_master WHERE name LIKE 'tsql_store_%' "
                             "AND sql LIKE '%tsql_convert(%'"),
              "0;");

    // By value, negatives first, through the price index.
    EXPECT_EQ(codes("SELECT codigo FROM articulos ORDER BY precio"),
              QStringList({"D4", "B2", "E5", "A1", "C3"}));
    const std::string plan = converted.rows(
        "EXPLAIN QUERY PLAN SELECT codigo FROM articulos WHERE precio = 99999999999.9999");
    EXPECT_NE(plan.find("ix_articulos_precio (precio=?)"), std::string::npos) << plan;
    EXPECT_EQ(codes("SELECT codigo FROM articulos WHERE precio = 99999999999.9999"),
              QStringList{"C3"});
    // A quoted constant converts to money once, before the search: the index still serves.
    const QString quoted = withTextComparedAsNumbers(
        converted.handle(),
        QStringLiteral("SELECT codigo FROM articulos WHERE precio = '99999999999.9999'"));
    const std::string quotedPlan =
        converted.rows(("EXPLAIN QUERY PLAN " + quoted).toUtf8().constData());
    EXPECT_NE(quotedPlan.find("ix_articulos_precio (precio=?)"), std::string::npos) << quotedPlan;
    EXPECT_EQ(codes("SELECT codigo FROM articulos WHERE precio = '99999999999.9999'"),
              QStringList{"C3"});
    EXPECT_EQ(codes("SELECT codigo FROM articulos WHERE precio < 0 ORDER BY precio DESC"),
              QStringList({"B2", "D4"}));
    EXPECT_EQ(scalar("SELECT SUM(precio) FROM articulos"), Variant(Currency{92500}));
    EXPECT_EQ(scalar("SELECT MIN(coste) FROM articulos"), Variant(Currency{-2147483648LL}));
    EXPECT_EQ(scalar("SELECT MAX(stock) FROM articulos").toDecimal().toString(),
              QStringLiteral("999999999999999"));
    EXPECT_EQ(codes("SELECT codigo FROM v_caros ORDER BY doble"), QStringList({"A1", "C3"}));
}

TEST_F(TodaysFormatOneFileTest, TriggersSeeTheTrueValuesAndARefusalWritesNothing) {
    run("UPDATE articulos SET precio = precio + 1 WHERE codigo = 'A1'");
    const auto history = rows("SELECT codigo, antes, despues FROM historial");
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0][1], Variant(Currency{125000}));
    EXPECT_EQ(history[0][2], Variant(Currency{135000}));

    // 100000000000.9999 has 16 significant digits: neither the row nor the
    // history the trigger would write is kept.
    const std::string afterFirst = RawFile(file).rows(storedRows);
    EXPECT_EQ(nativeErrorOf("UPDATE articulos SET precio = precio + 1 WHERE codigo = 'C3'"), 40517);
    EXPECT_EQ(RawFile(file).rows(storedRows), afterFirst);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM historial"), Variant(1LL));
    EXPECT_EQ(nativeErrorOf("INSERT INTO articulos (codigo, nombre, peso) VALUES ('F6', 'x', "
                            "123456.0005)"),
              0) << "rounded to the column's scale first, as the server does";
    EXPECT_EQ(scalar("SELECT peso FROM articulos WHERE codigo = 'F6'").toDecimal().toString(),
              QStringLiteral("123456.001"));
}

// The file kept no note of which constraint names the engine gave: its
// constraints read as named by their makers, and those made now are noted.
TEST_F(FormatOneFileTest, OlderConstraintsReadAsNamedAndNewOnesAsTheyWereMade) {
    EXPECT_EQ(scalar("SELECT is_system_named FROM sys.key_constraints WHERE parent_object_id = "
                     "OBJECT_ID('cobros')")
                  .toInt64(),
              0);
    run(QStringLiteral("ALTER TABLE cobros ADD CHECK (id > 0), CONSTRAINT ck_cobros_tasa CHECK "
                       "(tasa < 1000000)"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.check_constraints WHERE parent_object_id = "
                     "OBJECT_ID('cobros') AND is_system_named = 1")
                  .toInt64(),
              1);
    EXPECT_EQ(scalar("SELECT is_system_named FROM sys.check_constraints WHERE name = "
                     "'ck_cobros_tasa'")
                  .toInt64(),
              0);
    EXPECT_EQ(nativeErrorOf(QStringLiteral("INSERT INTO cobros (id) VALUES (-1)")), 547);
}

// Nobody noted when the file's objects were made: they have no dates, and
// those made now have theirs.
TEST_F(FormatOneFileTest, OlderObjectsHaveNoDatesAndNewOnesHaveTheirs) {
    EXPECT_TRUE(scalar("SELECT create_date FROM sys.objects WHERE name = 'cobros'").isNull());
    run(QStringLiteral("CREATE TABLE nueva (id int)"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.objects WHERE name = 'nueva' AND create_date = "
                     "modify_date AND create_date <= GETDATE()")
                  .toInt64(),
              1);
    run(QStringLiteral("DROP TABLE nueva"));
    run(QStringLiteral("CREATE TABLE nueva (id int, nota varchar(5))"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.objects WHERE name = 'nueva'").toInt64(), 1);
    EXPECT_TRUE(scalar("SELECT create_date FROM sys.objects WHERE name = 'cobros'").isNull());
}

} // namespace

} // namespace estaciones::db::sqlite::test
