// SQL Server's rules for the type of an arithmetic result.
#include "platform/db/embedded/bind/ArithmeticTypes.h"

#include <gtest/gtest.h>

namespace estaciones::db::sqlite::test {

namespace {

QString combined(const QString& a, QChar op, const QString& b) {
    const auto left = NumericType::fromDeclaration(a);
    const auto right = NumericType::fromDeclaration(b);
    if (!left || !right) {
        ADD_FAILURE() << "not a number type: " << a.toStdString() << " / " << b.toStdString();
        return {};
    }
    return NumericType::combine(*left, op, *right).declaration();
}

QString literal(const QString& text) {
    const auto type = NumericType::fromLiteral(text);
    return type ? type->declaration() : QStringLiteral("-");
}

} // namespace

TEST(ArithmeticTypes, PrecedenceBetweenKinds) {
    EXPECT_EQ(combined("money", '*', "int"), "money");
    EXPECT_EQ(combined("smallint", '+', "money"), "money");
    EXPECT_EQ(combined("money", '/', "float"), "float");
    EXPECT_EQ(combined("real", '-', "int"), "real");
    EXPECT_EQ(combined("int", '/', "int"), "int");
    EXPECT_EQ(combined("tinyint", '+', "bigint"), "bigint");
    EXPECT_EQ(combined("bit", '+', "int"), "int");
    EXPECT_EQ(NumericType::withSign(*NumericType::fromDeclaration("money")).declaration(), "money");
    EXPECT_EQ(combined("smallmoney", '*', "money"), "money");
}

TEST(ArithmeticTypes, DecimalPrecisionAndScalePerOperator) {
    EXPECT_EQ(combined("decimal(10,3)", '+', "decimal(5,1)"), "decimal(11,3)");
    EXPECT_EQ(combined("decimal(10,3)", '-', "money"), "decimal(20,4)");
    EXPECT_EQ(combined("decimal(10,3)", '*', "decimal(5,1)"), "decimal(16,4)");
    EXPECT_EQ(combined("decimal(10,3)", '/', "decimal(5,1)"), "decimal(17,9)");
    EXPECT_EQ(combined("decimal(10,3)", '%', "int"), "decimal(10,3)");
    EXPECT_EQ(combined("int", '/', "decimal(2,1)"), "decimal(17,6)");
    EXPECT_EQ(combined("numeric", '*', "numeric(18,2)"), "decimal(37,2)");
    // Beyond 38 digits the whole part stays and the scale gives way, to six.
    EXPECT_EQ(combined("decimal(38,10)", '*', "decimal(38,10)"), "decimal(38,6)");
    EXPECT_EQ(combined("decimal(18,4)", '/', "decimal(18,4)"), "decimal(38,20)");
    EXPECT_EQ(combined("decimal(20,2)", '+', "decimal(20,2)"), "decimal(21,2)");
    // The two examples of the rules: a whole part under 32 digits keeps its
    // places; over 32 the scale drops to six.
    EXPECT_EQ(combined("decimal(30,20)", '*', "decimal(30,20)"), "decimal(38,17)");
    EXPECT_EQ(combined("decimal(30,10)", '*', "decimal(30,10)"), "decimal(38,6)");
    // A product over 32 whole digits keeps a scale under six as it is.
    EXPECT_EQ(combined("decimal(38,2)", '*', "decimal(10,2)"), "decimal(38,4)");
    EXPECT_EQ(combined("decimal(38,0)", '/', "decimal(1,0)"), "decimal(38,6)");
}

// + and - beyond 38 digits: the whole part keeps max(p1 - s1, p2 - s2)
// places and the scale takes the rest, without the floor of six.
TEST(ArithmeticTypes, SumsBeyondThirtyEightDigitsGiveTheScaleWhatTheWholePartLeaves) {
    EXPECT_EQ(combined("decimal(38,10)", '+', "decimal(38,10)"), "decimal(38,10)");
    EXPECT_EQ(combined("decimal(38,2)", '-', "decimal(38,30)"), "decimal(38,2)");
    EXPECT_EQ(combined("decimal(38,0)", '+', "decimal(38,38)"), "decimal(38,0)");
    EXPECT_EQ(combined("decimal(37,3)", '+', "decimal(36,0)"), "decimal(38,2)");
}

// An int literal meets a decimal as a decimal of its own digits.
TEST(ArithmeticTypes, IntLiteralsCountTheirDigitsAgainstDecimals) {
    const auto two = *NumericType::fromLiteral("2");
    const auto sevenPointZero = *NumericType::fromLiteral("7.0");
    const auto big = *NumericType::fromLiteral("2147483649");
    EXPECT_EQ(NumericType::combine(sevenPointZero, '/', two).declaration(), "decimal(7,6)");
    EXPECT_EQ(NumericType::combine(big, '/', two).declaration(), "decimal(16,6)");
    EXPECT_EQ(NumericType::combine(two, '+', two).declaration(), "int");
}

TEST(ArithmeticTypes, LiteralsAndDeclarationsThatAreNoNumbers) {
    EXPECT_EQ(literal("5"), "int");
    EXPECT_EQ(literal("1.50"), "decimal(3,2)");
    EXPECT_EQ(literal("0.5"), "decimal(1,1)");
    EXPECT_EQ(literal("3000000000"), "decimal(10,0)");
    EXPECT_EQ(literal("1e3"), "float");
    EXPECT_EQ(literal("x1"), "-");
    EXPECT_FALSE(NumericType::fromDeclaration("varchar(10)"));
    EXPECT_FALSE(NumericType::fromDeclaration("datetime"));
    EXPECT_FALSE(NumericType::fromDeclaration(""));
    EXPECT_EQ(NumericType::fromDeclaration("DECIMAL (18, 2)")->scale(), 2);
    EXPECT_EQ(NumericType::fromDeclaration("float")->kind(), NumericType::Kind::Float);
}

} // namespace estaciones::db::sqlite::test
