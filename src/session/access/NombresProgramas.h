#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace estaciones::session {

// How the access log names the suite's programs. Names compare ignoring case.
struct ReglasNombresProgramas {
    struct Alias {
        QStringList nombres; // executable names...
        QString registrado;  // ...logged and looked up under this one
    };
    std::vector<Alias> alias;
    QStringList sinBusquedaDeTarea; // logged without the task lookup
    QString silencioso;             // writes no log row at all
};

// The installation's rules (the suite's defaults until changed).
ReglasNombresProgramas& reglasNombresProgramas();

// `nombre` after the first alias rule that names it; unchanged otherwise.
QString nombreRegistrado(const ReglasNombresProgramas& reglas, const QString& nombre);

} // namespace estaciones::session
