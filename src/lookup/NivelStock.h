#pragma once

namespace estaciones::lookup {

// The stock level (1 to 4) of an article row, from its reorder point and
// stock: 1 no reorder point and stock left, 2 above the reorder point,
// 3 below it, 4 anything else (at the reorder point, nothing left).
int nivelStock(double puntoPedido, double stock);

} // namespace estaciones::lookup
