// Column declarations as ADO types, stored dates, and variables' typing.
#include "platform/db/embedded/storage/StoredValues.h"
#include "platform/db/embedded/execute/VariableScope.h"

#include <gtest/gtest.h>

#include <limits>

namespace estaciones::db::sqlite::test {

TEST(ColumnTypes, DeclarationsGiveAdoTypesAndSizes) {
    struct Case {
        const char* declaration;
        int type;
        std::int64_t size;
    };
    const Case cases[] = {
        {"varchar(50)", adtype::VarChar, 50},
        {"VARCHAR ( 7 )", adtype::VarChar, 7},
        {"char(3)", adtype::Char, 3},
        {"nvarchar(20)", adtype::VarWChar, 20},
        {"nchar(2)", adtype::WChar, 2},
        {"int", adtype::Integer, 4},
        {"INTEGER", adtype::Integer, 4},
        {"smallint", adtype::SmallInt, 2},
        {"tinyint", adtype::UnsignedTinyInt, 1},
        {"bigint", adtype::BigInt, 8},
        {"bit", adtype::Boolean, 2},
        {"money", adtype::Currency, 8},
        {"float", adtype::Double, 8},
        {"real", adtype::Single, 4},
        {"datetime", adtype::DBTimeStamp, 8},
        {"smalldatetime", adtype::DBTimeStamp, 4},
        {"image", adtype::LongVarBinary, std::numeric_limits<std::int32_t>::max()},
        {"varchar(max)", adtype::VarChar, std::numeric_limits<std::int32_t>::max()},
        {"mediumint", adtype::Integer, 4},
        {"geography", adtype::VarChar, 8000},
    };
    for (const Case& c : cases) {
        const ColumnInfo info = columnInfoFromDeclaration("c", c.declaration);
        EXPECT_EQ(info.type, c.type) << c.declaration;
        EXPECT_EQ(info.definedSize, c.size) << c.declaration;
    }
    const ColumnInfo decimal = columnInfoFromDeclaration("c", "decimal(18, 4)");
    EXPECT_EQ(decimal.type, adtype::Numeric);
    EXPECT_EQ(decimal.precision, 18);
    EXPECT_EQ(decimal.numericScale, 4);
    EXPECT_EQ(columnInfoFromDeclaration("c", "numeric").precision, 18);
}

TEST(ColumnTypes, StoredDatesReadBack) {
    EXPECT_EQ(parseStoredDate("2024-03-05"), (DateTimeValue{QDate(2024, 3, 5), QTime(0, 0)}));
    EXPECT_EQ(parseStoredDate("2024-03-05 13:07:09.250"),
              (DateTimeValue{QDate(2024, 3, 5), QTime(13, 7, 9, 250)}));
    EXPECT_EQ(parseStoredDate("2024-02-30"), std::nullopt);
    EXPECT_EQ(parseStoredDate("5/3/2024"), std::nullopt);
    EXPECT_EQ(storedDate(DateTimeValue{QDate(2024, 3, 5), QTime(0, 0)}), "2024-03-05");
    EXPECT_EQ(storedDate(DateTimeValue{QDate(2024, 3, 5), QTime(8, 0, 1)}), "2024-03-05 08:00:01");
}

TEST(VariableScope, AssignmentKeepsTheDeclaredType) {
    VariableScope scope;
    scope.declare("@Texto", "varchar(4)");
    scope.declare("@n", "int");
    scope.declare("@f", "datetime");
    scope.declare("@m", "money");
    EXPECT_TRUE(scope.value("@texto").isNull());
    scope.assign("@texto", "abcdefg");
    scope.assign("@N", "42");
    scope.assign("@f", "5/3/2024");
    scope.assign("@m", 2);
    EXPECT_EQ(scope.value("@TEXTO"), Variant("abcd"));
    EXPECT_EQ(scope.value("@n"), Variant(42));
    EXPECT_EQ(scope.value("@f"), Variant(QDate(2024, 3, 5)));
    scope.assign("@f", "3/5/2024", tsql::DateOrder::MDY);
    EXPECT_EQ(scope.value("@f"), Variant(QDate(2024, 3, 5)));
    scope.assign("@n", 7.9);
    EXPECT_EQ(scope.value("@n"), Variant(7));
    EXPECT_EQ(scope.value("@m").toDouble(), 2.0);

    EXPECT_THROW(scope.declare("@N", "int"), ProviderFailure);
    EXPECT_THROW(scope.assign("@otra", 1), ProviderFailure);
    EXPECT_THROW(scope.value("@otra"), ProviderFailure);
}

TEST(VariableScope, LiteralsQuoteText) {
    EXPECT_EQ(literalOf("O'Brien"), "'O''Brien'");
    EXPECT_EQ(literalOf(Variant::null()), "NULL");
    EXPECT_EQ(literalOf(-3), "-3");
    EXPECT_EQ(literalOf(Variant(QDate(2024, 1, 7))), "'2024-01-07'");
}

} // namespace estaciones::db::sqlite::test
