#pragma once

#include <QString>

namespace estaciones::session {

// The fields of the suite's command line
// ("@server=SRV; @dbname=DB; @usuario=U; @Password=P; ...;kelp@").
struct LineaComandos {
    QString parametroAdicional;
    QString menu;
    QString servidor;
    QString baseDeDatos;
    QString usuario;
    QString password;
    QString usuarioLogeado;
    QString caja = QStringLiteral("1");
};

// The value of `clave` ("@Server") in `linea`: the first occurrence of the key,
// searched from the start ignoring case (so "@Usuario" also finds
// "@UsuarioLogeado"), up to the next ";" — or to the end of the line when no
// ";" follows —, with every "=" removed and blanks trimmed. Empty when the key
// is absent.
QString valorClave(const QString& linea, const QString& clave);

// Every field of `linea`; an absent "@Caja" gives "1".
LineaComandos analizarLineaComandos(const QString& linea);

// The command line the INI fallback builds from the four database values
// (each without any "|").
QString lineaComandosPorDefecto(const QString& servidor, const QString& baseDeDatos,
                                const QString& usuario, const QString& password);

} // namespace estaciones::session
