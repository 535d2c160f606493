#pragma once

#include "platform/core/Variant.h"

#include <QString>

namespace estaciones::session {

// The configuration table's name (CargarConfiguracion sets "ta_configuracion";
// the readers fall back to "TA_CONFIGURACION" when it is blank).
QString& gTablaConfiguracion();

// The value stored under `Clave` in the configuration table, through the
// main connection; ValorAux receives the auxiliary value. A key without a
// row reads " " (one blank) with an empty ValorAux; before the connection is
// open the result is "". Errors go to MostrarError ("Cfg").
QString Cfg(const QString& Clave, QString& ValorAux);
QString Cfg(const QString& Clave);
// The same through the statistics connection (errors: "CfgTS").
QString CfgTS(const QString& Clave, QString& ValorAux);
QString CfgTS(const QString& Clave);

// Inserts or overwrites the key. An empty ValorAux keeps the stored one.
// Every step runs on its own and errors are ignored: the caller is not told.
void GrabaCfg(const QString& Clave, const Variant& Valor, const QString& ValorAux,
              bool PoliticaNegocio, const QString& Grupo, bool RecortaValor);
void GrabaCfgTS(const QString& Clave, const Variant& Valor, const QString& ValorAux,
                bool PoliticaNegocio, const QString& Grupo, bool RecortaValor);

} // namespace estaciones::session
