#include "platform/db/embedded/functions/StatisticalAggregates.h"

#include "platform/core/Error.h"

#include <QString>

#include <sqlite3.h>

#include <cmath>
#include <cstdint>

namespace estaciones::db::tsql {

namespace {

// Sums of the values less the first one seen, which keeps a spread of large
// values near each other exact enough (no cancellation of two huge squares).
// Doubles only: SQLite's aggregate memory is aligned for 8 bytes, not for
// a long double's 16.
struct Moments {
    std::int64_t count = 0;
    bool shifted = false;
    double shift = 0;
    double sum = 0;
    double squares = 0;
};

enum class Spread { SampleDeviation, PopulationDeviation, SampleVariance, PopulationVariance };

Moments* momentsOf(sqlite3_context* ctx, bool create) {
    return static_cast<Moments*>(sqlite3_aggregate_context(ctx, create ? sizeof(Moments) : 0));
}

void add(sqlite3_context* ctx, sqlite3_value** argv, int sign) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    Moments* m = momentsOf(ctx, true);
    if (!m)
        return sqlite3_result_error_nomem(ctx);
    const double x = sqlite3_value_double(argv[0]);
    if (!m->shifted) {
        m->shift = x;
        m->shifted = true;
    }
    const double d = x - m->shift;
    m->count += sign;
    m->sum += sign * d;
    m->squares += sign * d * d;
}

void step(sqlite3_context* ctx, int, sqlite3_value** argv) {
    add(ctx, argv, 1);
}

void inverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
    add(ctx, argv, -1);
}

void value(sqlite3_context* ctx) {
    const Moments* m = momentsOf(ctx, false);
    const auto spread = static_cast<Spread>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(ctx)));
    const bool sample = spread == Spread::SampleDeviation || spread == Spread::SampleVariance;
    const std::int64_t least = sample ? 2 : 1;
    if (!m || m->count < least)
        return sqlite3_result_null(ctx);
    // n·Σd² − (Σd)² over n(n − 1) or n²: whole values give a whole numerator.
    const double n = static_cast<double>(m->count);
    const double numerator = std::max(0.0, n * m->squares - m->sum * m->sum);
    const double variance = numerator / (n * (sample ? n - 1 : n));
    const bool deviation =
        spread == Spread::SampleDeviation || spread == Spread::PopulationDeviation;
    sqlite3_result_double(ctx, deviation ? std::sqrt(variance) : variance);
}

void registerSpread(sqlite3* db, const char* name, Spread spread) {
    if (sqlite3_create_window_function(
            db, name, 1, SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC,
            reinterpret_cast<void*>(static_cast<std::intptr_t>(spread)), step, value, value,
            inverse, nullptr) != SQLITE_OK)
        throw Error(errnum::E_FAIL, QStringLiteral("Cannot register %1: %2")
                                        .arg(QString::fromUtf8(name),
                                             QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace

void registerStatisticalAggregates(sqlite3* db) {
    registerSpread(db, "stdev", Spread::SampleDeviation);
    registerSpread(db, "stdevp", Spread::PopulationDeviation);
    registerSpread(db, "var", Spread::SampleVariance);
    registerSpread(db, "varp", Spread::PopulationVariance);
}

} // namespace estaciones::db::tsql
