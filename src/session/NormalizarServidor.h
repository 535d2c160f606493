#pragma once

#include <QString>

namespace estaciones::session {

// The server name without protocol and port: "tcp/SRV01:1433" is "SRV01",
// "SRV01:1433" is "SRV01", "SRV01\INST" and "(local)" stay as they are.
QString NormalizarServidor(const QString& servidor);

} // namespace estaciones::session
