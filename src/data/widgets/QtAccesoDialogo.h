#pragma once

#include "data/AccesoDialogo.h"

namespace estaciones::data {

// The program's access dialog: a fresh frmAcceso for each request, shown
// modally and read back after it was hidden.
class QtAccesoDialogo : public AccesoDialogo {
public:
    std::optional<DatosAcceso> pedirDatos(const DatosAcceso& datos) override;
};

} // namespace estaciones::data
