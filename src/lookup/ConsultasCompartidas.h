#pragma once

#include "lookup/Lib_ClsCons3.h"

#include <QString>

namespace estaciones::lookup {

// The program's shared lookup controller: created on first use (it reads the
// configuration then), living until liberarConsultas() (shutdown, tests).
Lib_ClsCons3& consultas();
void liberarConsultas();

// Start-up's lookup step: the shared controller gets the data access
// object's connection string, masks switched on and the mask file in
// `carpetaPrograma` (written with its default records when missing).
void configurarConsultas(const QString& carpetaPrograma);

} // namespace estaciones::lookup
