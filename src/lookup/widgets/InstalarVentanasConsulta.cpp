#include "lookup/widgets/InstalarVentanasConsulta.h"

#include "lookup/widgets/Lib_FrmCons3.h"
#include "lookup/widgets/Lib_FrmCons3Tree.h"

namespace estaciones::lookup::widgets {

void instalarVentanasConsulta() {
    fabricaVentanaLista() = [] { return std::make_unique<Lib_FrmCons3>(); };
    fabricaVentanaArbol() = [] { return std::make_unique<Lib_FrmCons3Tree>(); };
}

} // namespace estaciones::lookup::widgets
