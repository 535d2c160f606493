#include "lookup/NivelStock.h"

namespace estaciones::lookup {

int nivelStock(double puntoPedido, double stock) {
    if (puntoPedido == 0 && stock > 0) {
        return 1;
    }
    if (puntoPedido > 0 && stock > puntoPedido) {
        return 2;
    }
    if (puntoPedido > 0 && stock < puntoPedido) {
        return 3;
    }
    return 4;
}

} // namespace estaciones::lookup
