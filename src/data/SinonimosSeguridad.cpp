#include "data/SinonimosSeguridad.h"

#include "session/library/SharedObjects.h"

#include <QRegularExpression>

#include <optional>

namespace estaciones::data {

namespace {


const QString prefijoAdministracion = QStringLiteral("@Admin_");

bool esBlanco(QChar c) {
    // Line breaks and tabs separate names as well as blanks do: a name
    // followed by one must not escape the rewrite.
    return c.isSpace();
}

// Whether the characters around a name make it a table name. `despues` is
// empty at the end of the text, which counts as a blank.
bool enContexto(QChar antes, std::optional<QChar> despues, bool admiteLlave) {
    const bool finDeNombre = !despues || esBlanco(*despues);
    const bool antesDePunto = despues && *despues == QLatin1Char('.');
    if (esBlanco(antes) || antes == QLatin1Char('(')) {
        return finDeNombre || antesDePunto;
    }
    if (antes == QLatin1Char(',')) {
        return antesDePunto;
    }
    return admiteLlave && antes == QLatin1Char('{') && antesDePunto;
}

void redirigir(QString& texto, const QString& base, const QString& restringido,
               bool admiteLlave = false) {
    qsizetype desde = 0;
    for (;;) {
        const qsizetype posicion = texto.indexOf(base, desde, Qt::CaseInsensitive);
        if (posicion < 0) {
            return;
        }
        const qsizetype fin = posicion + base.size();
        const std::optional<QChar> despues =
            fin < texto.size() ? std::optional<QChar>(texto.at(fin)) : std::nullopt;
        if (posicion > 0 && enContexto(texto.at(posicion - 1), despues, admiteLlave)) {
            texto.replace(posicion, base.size(), restringido);
            desde = posicion + restringido.size();
        } else {
            desde = posicion + 1;
        }
    }
}

QString sinPrefijo(QString texto) {
    return texto.remove(prefijoAdministracion, Qt::CaseInsensitive);
}

QStringList listaDeProgramas(const QString& texto) {
    static const QRegularExpression separador(QStringLiteral("[,;]"));
    QStringList programas;
    for (const QString& nombre : texto.split(separador)) {
        if (!nombre.trimmed().isEmpty()) {
            programas << nombre.trimmed();
        }
    }
    return programas;
}

QString sinExtension(QString nombre) {
    nombre = nombre.trimmed();
    if (nombre.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        nombre.chop(4);
    }
    return nombre;
}

} // namespace

QString reescribirSinonimos(const QString& sentencia, const EntornoSinonimos& entorno) {
    if (entorno.esAdministrador) {
        return sinPrefijo(sentencia);
    }
    if (sentencia.contains(QLatin1String("MV_ASIENTOS"), Qt::CaseInsensitive) &&
        !(entorno.confidencialidad && entorno.confidencialidad())) {
        return sinPrefijo(sentencia);
    }
    QString texto = sentencia;
    redirigir(texto, QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"), true);
    texto.replace(prefijoAdministracion + QStringLiteral("MA_CUENTAS"),
                  QStringLiteral("MA_CUENTAS"), Qt::CaseInsensitive);
    if (!entorno.exentoDeposito) {
        redirigir(texto, QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("SS_V_TA_DEPOSITO"));
    }
    redirigir(texto, QStringLiteral("MV_ASIENTOS"), QStringLiteral("SS_MV_ASIENTOS"));
    if (!entorno.exentoFamilias) {
        redirigir(texto, QStringLiteral("V_TA_FAMILIAS"), QStringLiteral("SS_V_TA_FAMILIAS"));
    }
    redirigir(texto, QStringLiteral("V_TA_CAJAS"), QStringLiteral("SS_V_TA_CAJAS"));
    redirigir(texto, QStringLiteral("AC_CUENTASDIARIO"), QStringLiteral("SS_AC_CUENTASDIARIO"));
    // The restricted view of this one is spelled with "CUENTAS_DIARIO".
    redirigir(texto, QStringLiteral("AC_CUENTASDIARIO_CCOSTO"),
              QStringLiteral("SS_AC_CUENTAS_DIARIO_CCOSTO"));
    return sinPrefijo(texto);
}

ProgramasExentos ProgramasExentos::configurados() {
    const library::IniFile& ini = library::iniFile();
    const QString archivo = QStringLiteral("CN000pr.INI");
    const QString seccion = QStringLiteral("Sinonimos");
    ProgramasExentos exentos;
    exentos.deposito =
        listaDeProgramas(ini.read(archivo, seccion, QStringLiteral("ExentosDeposito"),
                                  QStringLiteral("InformesStock,ListadoStock")));
    exentos.familias =
        listaDeProgramas(ini.read(archivo, seccion, QStringLiteral("ExentosFamilias"),
                                  QStringLiteral("ListaPrecios,CatalogoArticulos")));
    return exentos;
}

bool ProgramasExentos::incluye(const QStringList& lista, const QString& programa) {
    const QString nombre = sinExtension(programa);
    if (nombre.isEmpty()) {
        return false;
    }
    for (const QString& exento : lista) {
        if (sinExtension(exento).compare(nombre, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace estaciones::data
