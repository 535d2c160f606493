#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::library {
class IniFile;
}

// "N&uevo" in the list lookup: which maintenance program starts for the
// looked-up table, or whether the article quick registration opens.
namespace estaciones::lookup {

// Executable names of the suite's maintenance programs (in the program
// folder). The program may change them at start-up.
struct ProgramasMantenimiento {
    QString tablasGenerales = QStringLiteral("tablas");
    QString clientesProveedores = QStringLiteral("clientes");
    QString tecnicos = QStringLiteral("tecnicos");
    QString vendedores = QStringLiteral("vendedores");
    QString articulos = QStringLiteral("articulos");
};
// The installation's names (section "Programas" of the INI file), read once.
ProgramasMantenimiento& programasMantenimiento();
// The names that `ini` gives; an absent key keeps the default.
ProgramasMantenimiento programasMantenimientoDesdeIni(const library::IniFile& ini);

struct AccionNuevo {
    bool altaRapida = false; // the article quick registration, no program
    QString programa;        // "SHELL:" + executable name
    QString parametro;
};

// The action for `tabla` (letter case ignored); `altaAutomatica` is whether
// "ArticulosPermitealtaAutomatica" is "SI".
AccionNuevo accionNuevo(const QString& tabla, bool altaAutomatica);

// Starts a maintenance program with the session's command line. By default
// the session's launcher; tests put their own.
using LanzadorPrograma = std::function<void(const QString& programa, const QString& parametro)>;
LanzadorPrograma& lanzadorProgramas();

// The article quick registration, set by the program at start-up: shown
// modally over `parent` with `codigoPropuesto` as the new code; gives the
// new article's code when it was registered. Unset: the article maintenance
// program starts instead.
using AltaRapidaArticulo =
    std::function<std::optional<QString>(QWidget* parent, const QString& codigoPropuesto)>;
AltaRapidaArticulo& altaRapidaArticulo();

// The code proposed to the quick registration: the highest blank-led
// (numeric) article code plus one.
QString codigoArticuloPropuesto(data::DB_Dll& db);

} // namespace estaciones::lookup
