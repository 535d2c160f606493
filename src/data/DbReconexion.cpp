#include "data/DB_Dll.h"

namespace estaciones::data {

void DB_Dll::ReintentaConectar() {
    gOpenFlag = false;
    // Closing an already closed connection (3704) is expected; a provider's
    // E_FAIL (the link is gone) ends the attempt without a dialog.
    HandledSteps pasos(
        [this](const Error& error) {
            gOpenFlag = false;
            if (error.number() == errnum::E_FAIL) {
                return 0;
            }
            return TratamientoErrores(error, std::nullopt, QStringLiteral("AbrirRecordset"));
        },
        {errnum::ObjectClosed});

    if (!pasos.run([&] { gCnn.setCommandTimeout(5); }) || !pasos.run([&] { gCnn.close(); })) {
        return;
    }
    // This object's own user and password: the original took the shared
    // object's, which logged a second connection (statistics) in as the main user.
    if (!pasos.run([&] {
            gCnn.open(gCnn.connectionString(), gUsuario, gUserPassWord, db::adOptionUnspecified);
        })) {
        return;
    }
    // An ignored failure of the open must not read as success.
    gOpenFlag = gCnn.state() == db::adStateOpen;
}

} // namespace estaciones::data
