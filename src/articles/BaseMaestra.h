#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace estaciones::articulos {

// Where the barcode master service lives. The base address comes from the
// configuration value "BaseMaestraURL", else from "CN000pr.INI", section
// "BaseMaestra", key "URL"; the time-out (seconds) from "BaseMaestraTimeOut"
// or the INI key "TimeOut", 10 seconds when neither is set. Only the path
// "ws/inicio.php" and the query keys are fixed.
struct DireccionBaseMaestra {
    QString base; // "" when not configured
    std::chrono::milliseconds espera{10000};
};
DireccionBaseMaestra direccionBaseMaestra();

// The outcome of asking the master service for a barcode.
struct ConsultaMaestra {
    bool error = true;
    QString descripcion;        // the master's description when found
    QString mensaje;            // the operator's explanation when not
    bool servicioFallo = false; // not configured, unreachable, slow or answering an error
};

// GET ws/inicio.php?opcion=GetCodigo&codigo=<code trimmed, URL-encoded>.
// Never throws; every failure comes back as a Spanish message.
ConsultaMaestra consultarCodigoMaestra(const QString& codigo);

// GET ws/inicio.php?opcion=InsCodigo&codigo=...&desc=... (values URL-encoded);
// the answer's content is ignored. Nothing on success, else the reason.
std::optional<QString> informarCodigoMaestra(const QString& codigo, const QString& descripcion);

// The "Descripcion" of a master answer: an object, or an array whose first
// object is taken. "" when the answer holds none.
QString descripcionDeRespuesta(const QString& respuesta);

} // namespace estaciones::articulos
