#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace estaciones::session {

enum class ResultadoInicio {
    Continuar,        // go on (also after an error that ended the start-up early)
    TerminarPrograma, // the main connection could not be opened: end the program
};

// The start-up steps that belong to the session services built on top of the
// connection. Each is called when set; an unset one is skipped.
struct ExtensionesInicio {
    // Statistics login, database and connection; sets gTimeOut (360 otherwise).
    std::function<void()> prepararEstadisticas;
    // Lookup controller (connection string, masks on, the mask file
    // carpeta + "consultas.tsf", written with its default records when missing).
    std::function<void(const QString& carpeta)> configurarConsultas;
    // The session options from the configuration table.
    std::function<void(const QString& carpeta)> cargarConfiguracion;
    // The access log row; an empty form name records the program's own name.
    std::function<void(const QString& formulario)> registrarAcceso;
};
ExtensionesInicio& extensionesInicio();

// Starts the session: the command line (`lineaComandos`, else the process's;
// with `usarIni` an empty one is built from CN000pr.INI), the station key, the
// main connection through the shared DB_Dll (`cadenaConexion` is its
// ConnString, `cursor` its cursor location) and the steps above. Error 5
// skips the failing step; any other error ends the start-up silently. Never
// ends the program itself: TerminarPrograma tells the caller to.
ResultadoInicio IniciarSesion(bool usarIni, const QString& lineaComandos, QString& cadenaConexion,
                              std::int32_t cursor);

} // namespace estaciones::session
