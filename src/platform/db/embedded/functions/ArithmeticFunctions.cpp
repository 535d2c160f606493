#include "platform/db/embedded/functions/ArithmeticFunctions.h"

#include "platform/db/embedded/functions/SqliteArguments.h"

#include "platform/db/embedded/functions/ExactArithmetic.h"

#include "platform/db/embedded/storage/BinaryValues.h"
#include "platform/db/embedded/storage/ExactNumbers.h"
#include "platform/db/embedded/storage/NumericErrors.h"

#include <sqlite3.h>

#include <limits>

namespace estaciones::db::tsql {

namespace {

const ExactType moneyType{ExactType::Kind::Money, 19, 4};

// An operand of '/' or '%': a number, or text that reads as one (the server
// converts the text to the number's type).
SqlValue numericOperand(const Call& c, size_t i) {
    const auto n = valueAsNumber(c.arg(i));
    if (!n)
        failIntegerConversion(c.arg(i).toText(), QStringLiteral("int"));
    return *n;
}

bool isZero(const SqlValue& n) {
    return n.kind == SqlValue::Kind::Integer ? n.integer == 0 : n.real == 0;
}

struct Operands {
    SqlValue dividend;
    SqlValue divisor;
    bool whole() const {
        return dividend.kind == SqlValue::Kind::Integer && divisor.kind == SqlValue::Kind::Integer;
    }
};

// Both operands of a division, or nothing when one is NULL; 8134 by zero.
std::optional<Operands> divisionOperands(const Call& c) {
    if (c.anyNull())
        return std::nullopt;
    Operands operands{numericOperand(c, 0), numericOperand(c, 1)};
    if (isZero(operands.divisor))
        failDivideByZero();
    return operands;
}

// The one quotient of whole numbers that does not fit them.
void checkWholeQuotient(const Operands& o) {
    if (o.dividend.integer == std::numeric_limits<qint64>::min() && o.divisor.integer == -1)
        failOverflow(QStringLiteral("bigint"));
}

// a / b: whole numbers divide dropping the fraction, as the server's integers.
SqlValue divideFunction(const Call& c) {
    const auto o = divisionOperands(c);
    if (!o)
        return {};
    if (o->whole()) {
        checkWholeQuotient(*o);
        return SqlValue::of(o->dividend.integer / o->divisor.integer);
    }
    return SqlValue::of(o->dividend.toReal() / o->divisor.toReal());
}

// '/' of operands the server divides with a fraction (money, decimal) that
// SQLite may hold as whole numbers.
SqlValue fractionalDivideFunction(const Call& c) {
    const auto o = divisionOperands(c);
    if (!o)
        return {};
    return SqlValue::of(o->dividend.toReal() / o->divisor.toReal());
}

// '/' whose result is money: kept to the ten-thousandth at each step, so
// that $1 / 3 * 3 is 0.9999; worked out on the exact digits.
SqlValue moneyDivideFunction(const Call& c) {
    if (!divisionOperands(c))
        return {};
    return carriedNumber(exactResult(ExactOperator::Divide, c.arg(0), c.arg(1), moneyType), false);
}

// a % b: the remainder takes the dividend's sign, as in C++.
SqlValue moduloFunction(const Call& c) {
    const auto o = divisionOperands(c);
    if (!o)
        return {};
    if (o->whole()) {
        checkWholeQuotient(*o);
        return SqlValue::of(o->dividend.integer % o->divisor.integer);
    }
    return SqlValue::of(std::fmod(o->dividend.toReal(), o->divisor.toReal()));
}

// A date as the file keeps it ('yyyy-mm-dd ...'), which '+' and '-' move by days.
std::optional<PreciseDateTime> storedDateOperand(const SqlValue& value) {
    if (value.kind != SqlValue::Kind::Text || value.text.size() < 10 ||
        value.text[4] != QLatin1Char('-'))
        return std::nullopt;
    return parseDateText(value.text, DateOrder::YMD);
}

// An operand of '+' or '-' that may be text, read beside `other`: blank text
// beside a whole number is 0, as CAST('' AS int) is.
std::optional<SqlValue> operandBeside(const SqlValue& value, const SqlValue& other) {
    if (value.kind == SqlValue::Kind::Text && other.kind == SqlValue::Kind::Integer &&
        value.text.trimmed().isEmpty())
        return SqlValue::of(qint64(0));
    return valueAsNumber(value);
}

SqlValue wholeSum(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        failOverflow(QStringLiteral("bigint"));
    return SqlValue::of(sum);
}

// '+' whose operand types are known only at run time: text + text joins,
// numbers add, text that reads as a number adds, a date plus a number adds days.
SqlValue addFunction(const Call& c) {
    if (c.anyNull()) {
        // CONCAT_NULL_YIELDS_NULL OFF: a NULL joined to a text is the empty text.
        for (int i = 0; i < 2 && !c.settings.concatNullYieldsNull; ++i) {
            if (c.arg(i).kind == SqlValue::Kind::Text && c.arg(1 - i).isNull())
                return c.arg(i);
        }
        return {};
    }
    const SqlValue& a = c.arg(0);
    const SqlValue& b = c.arg(1);
    // Two binary values join into one; with text, the text's type is the higher.
    if (a.kind == SqlValue::Kind::Blob && b.kind == SqlValue::Kind::Blob)
        return SqlValue::bytes(a.blob + b.blob);
    const bool aText = a.kind == SqlValue::Kind::Text || a.kind == SqlValue::Kind::Blob;
    const bool bText = b.kind == SqlValue::Kind::Text || b.kind == SqlValue::Kind::Blob;
    if (aText && bText)
        return SqlValue::of(a.toText() + b.toText());
    if (!aText && !bText) {
        if (a.kind == SqlValue::Kind::Integer && b.kind == SqlValue::Kind::Integer)
            return wholeSum(a.integer, b.integer);
        return SqlValue::of(a.toReal() + b.toReal());
    }
    const SqlValue& text = aText ? a : b;
    const SqlValue& number = aText ? b : a;
    if (const auto n = operandBeside(text, number)) {
        if (n->kind == SqlValue::Kind::Integer && number.kind == SqlValue::Kind::Integer)
            return wholeSum(n->integer, number.integer);
        return SqlValue::of(n->toReal() + number.toReal());
    }
    if (const auto date = storedDateOperand(text)) {
        const double days = number.toReal();
        return SqlValue::of(formatStoredDate(date->at.addMSecs(std::llround(days * 86400000.0))));
    }
    // Binary data is no text that failed to read as a number.
    if (text.kind == SqlValue::Kind::Blob)
        failNotSupported(QStringLiteral("'+' of binary data and a number"));
    failIntegerConversion(text.toText(), QStringLiteral("int"));
}

// '-' whose operand types are known only at run time: numbers subtract, text
// that reads as a number subtracts, a date minus a number goes back that many
// days, and a date minus a date is the time between them counted from day zero.
SqlValue subtractFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const SqlValue& a = c.arg(0);
    const auto leftDate = storedDateOperand(a);
    const auto rightDate = storedDateOperand(c.arg(1));
    if (leftDate && rightDate) {
        const qint64 ms = rightDate->at.msecsTo(leftDate->at);
        return SqlValue::of(formatStoredDate(dayZero().addMSecs(ms)));
    }
    const auto b = operandBeside(c.arg(1), a);
    if (!b)
        failIntegerConversion(c.arg(1).toText(), QStringLiteral("int"));
    if (leftDate)
        return SqlValue::of(
            formatStoredDate(leftDate->at.addMSecs(-std::llround(b->toReal() * 86400000.0))));
    const auto n = operandBeside(a, c.arg(1));
    if (!n)
        failIntegerConversion(a.toText(), QStringLiteral("int"));
    if (n->kind == SqlValue::Kind::Integer && b->kind == SqlValue::Kind::Integer) {
        qint64 difference = 0;
        if (__builtin_sub_overflow(n->integer, b->integer, &difference))
            failOverflow(QStringLiteral("bigint"));
        return SqlValue::of(difference);
    }
    return SqlValue::of(n->toReal() - b->toReal());
}

// The value of whole-number arithmetic, within the range of its type (int,
// or the one named second: smallint, tinyint).
SqlValue intResultFunction(const Call& c) {
    const SqlValue& value = c.arg(0);
    const QString type = c.args.size() > 1 ? c.arg(1).toText() : QStringLiteral("int");
    // An expression's overflow is 8115 for every type (220 is a value's
    // conversion to tinyint or smallint).
    qint64 lowest = std::numeric_limits<qint32>::min();
    qint64 highest = std::numeric_limits<qint32>::max();
    if (type == QLatin1String("tinyint")) {
        lowest = 0;
        highest = 255;
    } else if (type == QLatin1String("smallint")) {
        lowest = std::numeric_limits<qint16>::min();
        highest = std::numeric_limits<qint16>::max();
    }
    // A Real is SQLite's own answer to a 64-bit overflow, or a whole value a
    // column keeps as a real number: its value decides.
    const bool outside =
        (value.kind == SqlValue::Kind::Integer && (value.integer < lowest || value.integer > highest)) ||
        (value.kind == SqlValue::Kind::Real &&
         !(value.real >= double(lowest) && value.real <= double(highest)));
    if (outside)
        failOverflow(type);
    return value;
}

// An operand of & | ^: a whole number, or a binary value read as the whole
// number its last bytes spell (four of them beside an int, eight beside a
// larger number); nothing for other values.
std::optional<qint64> bitwiseOperand(const SqlValue& value, const SqlValue& other) {
    if (value.kind == SqlValue::Kind::Blob) {
        const bool wide = other.kind == SqlValue::Kind::Integer &&
                          (other.integer < INT32_MIN || other.integer > INT32_MAX);
        return binaryAsInteger(value.blob, wide ? 8 : 4);
    }
    const auto n = valueAsNumber(value);
    if (!n)
        failIntegerConversion(value.toText(), QStringLiteral("int"));
    if (n->kind != SqlValue::Kind::Integer)
        return std::nullopt;
    return n->integer;
}

QString bitwiseTypeName(const SqlValue& value) {
    return value.kind == SqlValue::Kind::Blob      ? QStringLiteral("varbinary")
           : value.kind == SqlValue::Kind::Integer ? QStringLiteral("int")
                                                   : QStringLiteral("float");
}

// a & b, a | b, a ^ b: of whole numbers (bit among them) and at most one
// binary value, as the server's bitwise operators; 402 for other operands.
template <char Op> SqlValue bitwiseFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const SqlValue& left = c.arg(0);
    const SqlValue& right = c.arg(1);
    const bool bothBinary =
        left.kind == SqlValue::Kind::Blob && right.kind == SqlValue::Kind::Blob;
    const std::optional<qint64> a = bothBinary ? std::nullopt : bitwiseOperand(left, right);
    const std::optional<qint64> b = bothBinary ? std::nullopt : bitwiseOperand(right, left);
    if (!a || !b)
        throw ConversionError(402, QStringLiteral("The data types %1 and %2 are incompatible in "
                                                  "the '%3' operator.")
                                       .arg(bitwiseTypeName(left), bitwiseTypeName(right),
                                            QString(QLatin1Char(Op))));
    return SqlValue::of(Op == '&' ? (*a & *b) : Op == '|' ? (*a | *b) : (*a ^ *b));
}

// ---- shortcuts for numbers --------------------------------------------------

bool bothWhole(sqlite3_value** argv) {
    return sqlite3_value_type(argv[0]) == SQLITE_INTEGER &&
           sqlite3_value_type(argv[1]) == SQLITE_INTEGER;
}

bool addShortcut(sqlite3_context* ctx, sqlite3_value** argv) {
    if (!isNumberValue(argv[0]) || !isNumberValue(argv[1]))
        return false;
    if (bothWhole(argv)) {
        sqlite3_int64 sum = 0;
        if (__builtin_add_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]),
                                   &sum))
            return false; // the body raises the overflow
        sqlite3_result_int64(ctx, sum);
        return true;
    }
    sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) + sqlite3_value_double(argv[1]));
    return true;
}

bool subtractShortcut(sqlite3_context* ctx, sqlite3_value** argv) {
    if (!isNumberValue(argv[0]) || !isNumberValue(argv[1]))
        return false;
    if (bothWhole(argv)) {
        sqlite3_int64 difference = 0;
        if (__builtin_sub_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]),
                                   &difference))
            return false; // the body raises the overflow
        sqlite3_result_int64(ctx, difference);
        return true;
    }
    sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) - sqlite3_value_double(argv[1]));
    return true;
}

// Numbers with a divisor that is not zero (zero is the body's error).
bool dividable(sqlite3_value** argv) {
    return isNumberValue(argv[0]) && isNumberValue(argv[1]) && sqlite3_value_double(argv[1]) != 0;
}

bool divideShortcut(sqlite3_context* ctx, sqlite3_value** argv) {
    if (!dividable(argv))
        return false;
    if (bothWhole(argv)) {
        const sqlite3_int64 divisor = sqlite3_value_int64(argv[1]);
        if (divisor == -1)
            return false; // the one quotient that may overflow
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]) / divisor);
        return true;
    }
    sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) / sqlite3_value_double(argv[1]));
    return true;
}

bool fractionalDivideShortcut(sqlite3_context* ctx, sqlite3_value** argv) {
    if (!dividable(argv))
        return false;
    sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) / sqlite3_value_double(argv[1]));
    return true;
}

// Money by a whole number, in whole ten-thousandths (unitsFromDoubles).
bool moneyDivideShortcut(sqlite3_context* ctx, sqlite3_value** argv) {
    static const ExactResultType money = *ExactResultType::of(u"money");
    if (!dividable(argv) || sqlite3_value_type(argv[1]) != SQLITE_INTEGER)
        return false;
    const auto units = unitsFromDoubles(ExactOperator::Divide, sqlite3_value_double(argv[0]),
                                        sqlite3_value_double(argv[1]), money);
    if (!units)
        return false;
    sqlite3_result_double(ctx, static_cast<double>(*units) / 10000.0);
    return true;
}

const FunctionSpec arithmeticTable[] = {
    {"tsql_int_result", 1, intResultFunction, true},
    {"tsql_int_result", 2, intResultFunction, true},
    {"tsql_add", 2, addFunction, true, addShortcut},
    {"tsql_subtract", 2, subtractFunction, true, subtractShortcut},
    {"tsql_divide", 2, divideFunction, true, divideShortcut},
    {"tsql_fractional_divide", 2, fractionalDivideFunction, true, fractionalDivideShortcut},
    {"tsql_money_divide", 2, moneyDivideFunction, true, moneyDivideShortcut},
    {"tsql_modulo", 2, moduloFunction, true},
    {"tsql_bitwise_xor", 2, bitwiseFunction<'^'>, true},
    {"tsql_bitwise_and", 2, bitwiseFunction<'&'>, true},
    {"tsql_bitwise_or", 2, bitwiseFunction<'|'>, true},
};

} // namespace

std::span<const FunctionSpec> arithmeticFunctions() {
    return arithmeticTable;
}

} // namespace estaciones::db::tsql
