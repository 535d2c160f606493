#include "session/access/NombresProgramas.h"

#include "session/library/IniFile.h"
#include "session/library/SharedObjects.h"

#include <QRegularExpression>

namespace estaciones::session {

namespace {

ReglasNombresProgramas reglasPorDefecto() {
    ReglasNombresProgramas r;
    auto lista = [](std::initializer_list<const char*> nombres) {
        QStringList l;
        for (const char* n : nombres) {
            l << QString::fromLatin1(n);
        }
        return l;
    };
    r.alias = {
        // The sales program's variants, and one variant of a variant.
        {lista({"VENTASA", "VENTASB", "VENTASC", "VENTASD"}), QStringLiteral("VENTAS")},
        {lista({"VENTASE"}), QStringLiteral("VENTASA")},
        {lista({"COMANDASB"}), QStringLiteral("COMANDAS")},
        // Second editions logged as the first ones.
        {lista({"PLANILLAA2"}), QStringLiteral("PLANILLAA")},
        {lista({"PLANILLAB2"}), QStringLiteral("PLANILLAB")},
        {lista({"PRECIOS2"}), QStringLiteral("PRECIOS")},
        {lista({"ARTICULOS2"}), QStringLiteral("ARTICULOS")},
        {lista({"FISCALB"}), QStringLiteral("FISCAL")},
        {lista({"MANTENIMIENTO"}), QStringLiteral("SERVICIOS")},
    };
    r.sinBusquedaDeTarea =
        lista({"FISCAL", "FISCALB", "FISCALC", "FISCALD", "LIQUIDACION", "INTERFAZART",
               "UTILIDADES", "INTERFAZCTB", "INTERFAZBCO", "EXPORTADOR", "IMPORTADOR"});
    r.silencioso = QStringLiteral("RESPALDO");
    return r;
}

} // namespace

ReglasNombresProgramas reglasNombresProgramasDesdeIni(const library::IniFile& ini) {
    ReglasNombresProgramas reglas = reglasPorDefecto();
    const auto leer = [&](const char* clave) {
        return ini
            .read(QStringLiteral("CN000pr.INI"), QStringLiteral("Programas"), QLatin1String(clave),
                  QString())
            .trimmed();
    };
    const QString sinBusqueda = leer("SinBusquedaDeTarea");
    if (!sinBusqueda.isEmpty()) {
        reglas.sinBusquedaDeTarea.clear();
        for (const QString& nombre :
             sinBusqueda.split(QRegularExpression(QStringLiteral("[,;]")), Qt::SkipEmptyParts)) {
            reglas.sinBusquedaDeTarea << nombre.trimmed();
        }
    }
    const QString silencioso = leer("SinRegistroDeAcceso");
    if (!silencioso.isEmpty()) {
        reglas.silencioso = silencioso;
    }
    return reglas;
}

ReglasNombresProgramas& reglasNombresProgramas() {
    static ReglasNombresProgramas reglas = reglasNombresProgramasDesdeIni(library::iniFile());
    return reglas;
}

QString nombreRegistrado(const ReglasNombresProgramas& reglas, const QString& nombre) {
    for (const ReglasNombresProgramas::Alias& regla : reglas.alias) {
        if (regla.nombres.contains(nombre, Qt::CaseInsensitive)) {
            return regla.registrado;
        }
    }
    return nombre;
}

} // namespace estaciones::session
