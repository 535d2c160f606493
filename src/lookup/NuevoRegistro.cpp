#include "lookup/NuevoRegistro.h"

#include "data/DB_Dll.h"
#include "session/library/SharedObjects.h"
#include "session/routines/MenuExes.h"

#include <cmath>

namespace estaciones::lookup {

namespace {
bool esTabla(const QString& tabla, const char* nombre) {
    return tabla.trimmed().compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

QString shell(const QString& programa) {
    return QStringLiteral("SHELL:") + programa;
}
} // namespace

ProgramasMantenimiento programasMantenimientoDesdeIni(const library::IniFile& ini) {
    ProgramasMantenimiento programas;
    const auto leer = [&](const char* clave, QString& programa) {
        const QString valor = ini.read(QStringLiteral("CN000pr.INI"), QStringLiteral("Programas"),
                                       QLatin1String(clave), QString())
                                  .trimmed();
        if (!valor.isEmpty()) {
            programa = valor;
        }
    };
    leer("MantenimientoTablas", programas.tablasGenerales);
    leer("MantenimientoClientes", programas.clientesProveedores);
    leer("MantenimientoTecnicos", programas.tecnicos);
    leer("MantenimientoVendedores", programas.vendedores);
    leer("MantenimientoArticulos", programas.articulos);
    return programas;
}

ProgramasMantenimiento& programasMantenimiento() {
    static ProgramasMantenimiento programas = programasMantenimientoDesdeIni(library::iniFile());
    return programas;
}

AccionNuevo accionNuevo(const QString& tabla, bool altaAutomatica) {
    const ProgramasMantenimiento& programas = programasMantenimiento();
    if (esTabla(tabla, "VT_CLIENTES")) {
        return {false, shell(programas.clientesProveedores), QStringLiteral("1")};
    }
    if (esTabla(tabla, "VT_PROVEEDORES")) {
        return {false, shell(programas.clientesProveedores), QStringLiteral("0")};
    }
    if (esTabla(tabla, "V_TA_Tecnicos")) {
        return {false, shell(programas.tecnicos), QString()};
    }
    if (esTabla(tabla, "V_TA_VENDEDORES")) {
        return {false, shell(programas.vendedores), QString()};
    }
    if (esTabla(tabla, "V_MA_ARTICULOS") || esTabla(tabla, "VT_MA_ARTICULOS")) {
        if (altaAutomatica) {
            return {true, QString(), QString()};
        }
        return {false, shell(programas.articulos), QString()};
    }
    // V_TA_RUBROS, V_TA_UNIDAD and any other table: the general maintenance.
    return {false, shell(programas.tablasGenerales), tabla.trimmed()};
}

LanzadorPrograma& lanzadorProgramas() {
    static LanzadorPrograma lanzador = [](const QString& programa, const QString& parametro) {
        std::int32_t proceso = 0;
        session::MenuExes(programa, parametro, proceso);
    };
    return lanzador;
}

AltaRapidaArticulo& altaRapidaArticulo() {
    static AltaRapidaArticulo alta;
    return alta;
}

QString codigoArticuloPropuesto(data::DB_Dll& db) {
    const Variant mayor =
        db.BuscaMaximo(QStringLiteral("v_ma_articulos"), QStringLiteral("idarticulo"), Variant(),
                       QStringLiteral("  SUBSTRING(IDARTICULO,1,1) = ' '"));
    return QString::number(static_cast<qint64>(std::llround(mayor.toDouble())) + 1);
}

} // namespace estaciones::lookup
