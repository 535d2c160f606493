#include "calendar/VerVistas.h"

#include "session/library/ErrorDialog.h"

namespace estaciones::calendar {

session::ResultadoScript VerVistas(const QString& Archivo, const QString& Solo, bool& PermiteDrop) {
    session::ReglasScript reglas;
    reglas.mayusculas = Qt::CaseInsensitive;
    reglas.errorPreparacion = library::errorDialogHandler(QStringLiteral("Ejecutar"));
    return session::ejecutarScript(Archivo, Solo, PermiteDrop, reglas);
}

} // namespace estaciones::calendar
