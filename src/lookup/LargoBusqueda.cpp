#include "lookup/LargoBusqueda.h"

#include "platform/db/Engine.h"

#include <algorithm>

namespace estaciones::lookup {

namespace {
// A line edit holds no more than this; "(max)" columns report far more.
constexpr std::int64_t LargoMaximoCaja = 32767;

bool esTexto(int tipo) {
    return tipo == db::adtype::Char || tipo == db::adtype::WChar || tipo == db::adtype::VarChar ||
           tipo == db::adtype::VarWChar || tipo == db::adtype::LongVarChar ||
           tipo == db::adtype::LongVarWChar;
}
} // namespace

int largoBusqueda(const db::Field& campo) {
    if (!esTexto(campo.type())) {
        return LargoValorNoTexto;
    }
    const std::int64_t largo = campo.definedSize();
    return static_cast<int>(largo > 0 ? std::min(largo, LargoMaximoCaja) : LargoMaximoCaja);
}

} // namespace estaciones::lookup
