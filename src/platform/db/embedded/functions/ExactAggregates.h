#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// SUM and AVG of money and decimal, also as window functions, added in whole
// units of the values' scale rather than in doubles, so that 100,000 times
// 0.01 is exactly 1000.0000:
//   tsql_money_sum(x), tsql_money_avg(x): money; 8115 beyond its range.
//   tsql_decimal_sum(x, scale), tsql_decimal_avg(x, scale): decimal(38, scale)
//   and decimal(38, max(scale, 6)); 8115 beyond 38 digits. tsql_decimal_sum(x)
//   and tsql_decimal_avg(x) (with DISTINCT, which takes one argument) read the
//   scale from the values.
// Each also takes four arguments, (a, b, op, 'type'): the total of a op b,
// op '+', '-' or '*' of result type 'type' (whose scale the total keeps),
// each row worked out exactly as tsql_exact_add and the others do.
// AVG rounds its quotient half away from zero, as money's division does.
void registerExactAggregates(sqlite3* db);

} // namespace estaciones::db::tsql
