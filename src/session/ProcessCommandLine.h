#pragma once

#include <QString>
#include <QStringList>

namespace estaciones::session {

// The process's command line as one text: the suite hands it over as one
// argument or as several words, so the arguments after the program's name are
// joined with blanks.
QString unirArgumentos(const QStringList& argumentosConPrograma);

// The line IniciarSesion reads when it is given none: the one set here, else
// the application's own arguments.
QString lineaComandosProceso();
void establecerLineaComandosProceso(const QString& linea);
void olvidarLineaComandosProceso();

} // namespace estaciones::session
