#include "lookup/VentanasConsulta.h"

namespace estaciones::lookup {

FabricaVentanaLista& fabricaVentanaLista() {
    static FabricaVentanaLista fabrica;
    return fabrica;
}

FabricaVentanaArbol& fabricaVentanaArbol() {
    static FabricaVentanaArbol fabrica;
    return fabrica;
}

} // namespace estaciones::lookup
