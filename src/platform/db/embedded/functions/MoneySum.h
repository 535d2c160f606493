#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// tsql_money_sum(x): SUM of money, also as a window function, in whole
// ten-thousandths rather than doubles, so that 100,000 times 0.01 is exactly
// 1000.0000; 8115 when the total leaves money's range.
void registerMoneySum(sqlite3* db);

} // namespace estaciones::db::tsql
