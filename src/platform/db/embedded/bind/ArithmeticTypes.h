#pragma once

#include <QString>

#include <optional>

namespace estaciones::db::sqlite {

// The type of a SQL Server arithmetic expression from its operands' types:
// the operand of higher precedence decides (money * int is money, money *
// float is float), and decimals get the precision and scale SQL Server
// computes for each operator.
class NumericType {
public:
    // Lowest precedence first.
    enum class Kind {
        Bit,
        TinyInt,
        SmallInt,
        Int,
        BigInt,
        SmallMoney,
        Money,
        Decimal,
        Real,
        Float
    };

    // A column declaration ("money", "decimal(10,3)", "int"); nothing when
    // it is not a number (text, dates).
    static std::optional<NumericType> fromDeclaration(const QString& declaration);
    // A numeric literal as SQL Server types it: 5 int, 1.50 decimal(3,2), 1e3 float.
    static std::optional<NumericType> fromLiteral(const QString& literal);

    // a <op> b, op one of + - * / %.
    static NumericType combine(const NumericType& a, QChar op, const NumericType& b);
    // -a, +a.
    static NumericType withSign(const NumericType& a);
    // The type of a value that is either a or b (CASE, COALESCE, UNION): the
    // higher precedence; two decimals keep the larger whole part and scale.
    static NumericType unite(const NumericType& a, const NumericType& b);

    Kind kind() const { return m_kind; }
    // Whether the value's text depends on its type, which a double does not
    // carry: money (two decimals), a decimal (its scale), float and real (six
    // digits at most).
    bool hasTypedText() const { return m_kind >= Kind::SmallMoney; }
    // Integer kinds, whose division drops the fraction.
    bool isWhole() const { return m_kind <= Kind::BigInt; }
    // Of a decimal; of an int literal, its digits (0 for other ints).
    int precision() const { return m_precision; }
    int scale() const { return m_scale; }
    // As a column declaration, for columnInfoFromDeclaration.
    QString declaration() const;

private:
    NumericType(Kind kind, int precision = 0, int scale = 0)
        : m_kind(kind), m_precision(precision), m_scale(scale) {}
    // The decimal an operand becomes when it meets a decimal.
    NumericType asDecimal() const;
    // decimal(precision, scale) cut to 38 digits, the scale giving way first.
    static NumericType withinMaximum(int precision, int scale);

    Kind m_kind;
    int m_precision;
    int m_scale;
};

} // namespace estaciones::db::sqlite
