#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"
#include "platform/db/embedded/storage/ExactNumbers.h"

#include <span>

namespace estaciones::db::tsql {

// tsql_exact_add, tsql_exact_subtract, tsql_exact_multiply(a, b, 'type'):
// + - * whose result the server types money, smallmoney or decimal(p,s)
// ('type'), exact to the last digit and rounded to the type's scale; 8115
// when the result does not fit the type. SQLite's own operators work in
// doubles, which lose the digits beyond the fifteenth. tsql_exact_divide
// (a, b, 'decimal(p,s)'): a decimal quotient the same way, 8134 for zero.
std::span<const FunctionSpec> exactArithmeticFunctions();

// The same operations for the exact totals, which work them out row by row.
// Divide only of money: kept to the ten-thousandth at each step, so that
// $1 / 3 * 3 is 0.9999.
enum class ExactOperator { Add, Subtract, Multiply, Divide };
// '+', '-', '*' or '/'.
std::optional<ExactOperator> exactOperatorOf(QStringView symbol);

// A result type with what working in doubles needs of it.
struct ExactResultType {
    ExactType type;
    double unit;         // 10^scale
    double operandLimit; // operands below it in magnitude
    double unitsLimit;   // results below it in units of the scale
    static std::optional<ExactResultType> of(QStringView declaration);
};

// a op b in whole units of the type's scale, when two doubles give it
// exactly (operands that are the nearest doubles to their digits, within
// ten significant digits to spare); nothing when only the digits can tell.
std::optional<std::int64_t> unitsFromDoubles(ExactOperator op, double a, double b,
                                             const ExactResultType& type);
// a op b on the operands' exact digits, fitted to the type; throws the
// server's 8115 (8114 for text that is no number, 8134 dividing by zero)
// as ConversionError.
Decimal exactResult(ExactOperator op, const SqlValue& a, const SqlValue& b, const ExactType& type);

} // namespace estaciones::db::tsql
