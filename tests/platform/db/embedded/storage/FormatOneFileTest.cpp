// A database file of format 1, made by the engine that kept money and
// decimals as doubles rounded to their scale, opens as it is: the exact
// reading gives every value back, by value in comparisons, indexes and sums.
#include "platform/db/embedded/EmbeddedFixture.h"
#include "platform/db/embedded/storage/RawFile.h"

#include <QDir>
#include <QFile>

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
    EXPECT_TRUE(QDir(data.path()).entryList({QStringLiteral("CAJA*.bak")}, QDir::Files).isEmpty());
    EXPECT_EQ(RawFile(file).rows("PRAGMA user_version"), "1;");
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

} // namespace

} // namespace estaciones::db::sqlite::test
