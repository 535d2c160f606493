#include "platform/db/embedded/functions/MathFunctions.h"

#include <QMutex>

#include <random>

namespace estaciones::db::tsql {

namespace {

// The argument as a float, NULL staying NULL; text that is no number fails
// as its conversion to float does.
std::optional<double> floatArgument(const Call& c, size_t i) {
    if (c.arg(i).isNull())
        return std::nullopt;
    const auto number = valueAsNumber(c.arg(i));
    if (!number)
        failNumberConversion(QStringLiteral("varchar"), QStringLiteral("float"));
    return number->toReal();
}

// A result the server refuses to give (COT(0), a square beyond float): 3623.
SqlValue finite(double value) {
    if (!std::isfinite(value))
        throw ConversionError(3623, QStringLiteral("An invalid floating point operation occurred."));
    return SqlValue::of(value);
}

SqlValue squareFunction(const Call& c) {
    const auto x = floatArgument(c, 0);
    return x ? finite(*x * *x) : SqlValue{};
}

SqlValue atn2Function(const Call& c) {
    const auto y = floatArgument(c, 0);
    const auto x = floatArgument(c, 1);
    return x && y ? finite(std::atan2(*y, *x)) : SqlValue{};
}

SqlValue cotFunction(const Call& c) {
    const auto x = floatArgument(c, 0);
    return x ? finite(1.0 / std::tan(*x)) : SqlValue{};
}

// One sequence for the process: RAND(seed) starts it again at that seed, so
// the same seed gives the same value and the calls after it the same run.
struct RandomSequence {
    QMutex mutex;
    std::mt19937_64 engine{std::random_device{}()};
};

RandomSequence& randomSequence() {
    static RandomSequence sequence;
    return sequence;
}

// The next value of the sequence, started again at `seed` when there is one.
SqlValue randomDraw(const Call& c, bool seeded) {
    RandomSequence& sequence = randomSequence();
    const QMutexLocker lock(&sequence.mutex);
    if (seeded && !c.arg(0).isNull())
        sequence.engine.seed(static_cast<std::uint64_t>(c.integer(0)));
    return SqlValue::of(std::uniform_real_distribution<double>(0.0, 1.0)(sequence.engine));
}

// rand() and rand(seed), as files written before call them.
SqlValue randFunction(const Call& c) {
    return randomDraw(c, !c.args.empty());
}

// tsql_rand(reference) and tsql_rand(seed, reference): the translator's
// RAND() and RAND(seed), read once per run while their first argument is
// constant; a seed read from each row seeds each row.
SqlValue unseededRandFunction(const Call& c) {
    return randomDraw(c, false);
}

SqlValue seededRandFunction(const Call& c) {
    return randomDraw(c, true);
}

const FunctionSpec mathSpecs[] = {
    {"square", 1, squareFunction, true},
    {"atn2", 2, atn2Function, true},
    {"cot", 1, cotFunction, true},
    {"tsql_rand", 1, unseededRandFunction, false, nullptr, true},
    {"tsql_rand", 2, seededRandFunction, false, nullptr, true},
    {"rand", 0, randFunction, false},
    {"rand", 1, randFunction, false},
};

} // namespace

std::span<const FunctionSpec> mathFunctions() {
    return mathSpecs;
}

} // namespace estaciones::db::tsql
