#pragma once

#include <QString>

namespace estaciones::db {

// A real (four bytes) value, carried as the double of its single precision
// value, by the fewest digits that give that single back: 0.1 where the
// double would show 0.100000001490116.
QString realCellText(double value);

} // namespace estaciones::db
