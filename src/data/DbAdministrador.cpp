#include "data/DB_Dll.h"

#include "data/ValorNumerico.h"

namespace estaciones::data {

void DB_Dll::validarAdministrador(HandledSteps& pasos, bool ValidaAdmin, bool MuestraError) {
    if (!ValidaAdmin) {
        gEsAdmin = true;
        return;
    }
    // Without a database or a users table gEsAdmin keeps its value.
    if (gDBName.trimmed().isEmpty()) {
        return;
    }
    if (!pasos.run([&] { gCnn.setDefaultDatabase(gDBName); })) {
        return;
    }
    bool existe = false;
    if (!pasos.run([&] { existe = ExisteTablaDB(QStringLiteral("TA_USUARIOS")); }) || !existe) {
        return;
    }
    if (!MuestraError) {
        gEsAdmin = true;
        return;
    }
    pasos.run([&] {
        const Variant administrador =
            DatosTabla(QStringLiteral("ta_usuarios"), gUsuario, QStringLiteral("Administrador"),
                       QStringLiteral("nombre"));
        gEsAdmin = valorNumerico(administrador.toString()) == 1.0;
    });
}

} // namespace estaciones::data
