#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace estaciones::library {
class IniFile;
}

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

// The installation's rules: the suite's defaults, with the no-lookup list and
// the silent program replaced by section "Programas" of the INI file
// ("SinBusquedaDeTarea", "SinRegistroDeAcceso") when given. Read once.
ReglasNombresProgramas& reglasNombresProgramas();
ReglasNombresProgramas reglasNombresProgramasDesdeIni(const library::IniFile& ini);

// `nombre` after the first alias rule that names it; unchanged otherwise.
QString nombreRegistrado(const ReglasNombresProgramas& reglas, const QString& nombre);

} // namespace estaciones::session
