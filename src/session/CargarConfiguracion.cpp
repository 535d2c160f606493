#include "data/SharedDb.h"
#include "data/TextoSql.h"
#include "platform/core/ErrorHandling.h"
#include "platform/os/System.h"
#include "session/Configuracion.h"
#include "session/ConfiguracionLeida.h"
#include "session/OpcionesSesion.h"
#include "session/SessionParameters.h"
#include "session/library/SharedObjects.h"

#include <QDateTime>
#include <QFileInfo>

#include <cstdlib>
#include <functional>
#include <optional>

namespace estaciones::session {

namespace {

bool igual(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// The option rules of the configuration table, one helper per rule.
bool esSi(const QString& valor) {
    return igual(valor, "SI");
}

bool salvoNoOVacio(const QString& valor) {
    return !valor.trimmed().isEmpty() && !igual(valor, "NO");
}

std::int32_t numero(const QString& valor) {
    return library::textHelper().toInteger(valor);
}

const QStringList programasDeVentasPorDefecto{
    QStringLiteral("ventas"),         QStringLiteral("ventasfiscal"),
    QStringLiteral("puntodeventa"),   QStringLiteral("comandas"),
    QStringLiteral("presupuestos"),   QStringLiteral("ordenesdetrabajo"),
    QStringLiteral("ordentrabajo"),   QStringLiteral("facturacion"),
    QStringLiteral("informediferido")};

bool esProgramaDeVentas(const QString& ejecutable) {
    const QString nombre = QFileInfo(ejecutable).completeBaseName();
    for (const QString& programa : programasDeVentas()) {
        if (QFileInfo(programa.trimmed()).completeBaseName().compare(nombre, Qt::CaseInsensitive) ==
            0) {
            return true;
        }
    }
    return false;
}

void leerFilaUsuario(OpcionesSesion& o) {
    data::DB_Dll& db = data::sharedDb();
    db::Recordset rs;
    QString sentencia = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = ") +
                        data::literalSql(gUsuarioLogeado);
    ignoringErrors([&] {
        db.AbrirRecordset(sentencia, rs);
        if (!rs.eof()) {
            o.gUNegocio = library::textHelper()
                              .nullToEmpty(rs[QStringLiteral("UNegocio")].value())
                              .toString();
            if (o.gUsaFacturaProforma) {
                o.gUsaFacturaProforma = rs[QStringLiteral("verproforma")].value().toBool();
            }
        }
    });
    ignoringErrors([&] { db.CierraRecordset(rs); });
    if (o.gUNegocio.isEmpty()) {
        o.gUNegocio = QStringLiteral("   1");
    }
}

// Every key the steps below read: they are read with one statement before
// the steps, which then answer from it (a key missing here is read on its own).
QStringList clavesLeidas() {
    static const char* const claves[] = {
        "MostrarStockenConsultas", "TituloClientes", "TituloProveedores",
        "EXIGECLAVECONSULTALIKEARTICULOS", "UsaConsultaLike", "CantidadDecimales",
        "CantidadDecimalesVentas", "SS_CONFIDENCIALIDAD", "UsaMultilesMonedas",
        "UsaFacturaProforma", "USACCOSTO", "USA_STK_STOCK_UDKG", "UNIDADDEMEDIDA_M3",
        "UNIDADDEMEDIDA_BL", "UNIDADDEMEDIDA_KG", "PERIODO", "RazonSocialPorUneg",
        "VALIDACODIGOBARRA", "CFondo", "CLetra", "ModuloOrdenDeTrabajo", "V_ModificaCPrecio",
        "C_ModificaCPrecio", "MADERERA", "MAD_TIRAS", "MAD_P2", "MAD_ML", "MAD_M2",
        "MAD_HOJAS", "MAD_ML_P2", "MAD_M2_P2", "MAD_ML_M2", "CuentaCtroDist", "MaxDto",
        "MaxDtoProforma", "PideClave_StockNeg", "PideClave_MarkUpBase",
        "PideClave_LimiteCredito", "SS_BloqueoActivo", "UTILIZARFECHADIA",
        "AsignacionAutomaticaDeLoteING", "AsignacionAutomaticaDeLoteINGOP", "CONDIVAEMPRESA",
        "CONDIVA", "Top_Default"};
    QStringList lista;
    for (const char* clave : claves) {
        lista.append(QString::fromLatin1(clave));
    }
    return lista;
}

} // namespace

OpcionesSesion& opciones() {
    static OpcionesSesion valores;
    return valores;
}

QStringList programasDeVentas() {
    const QString lista =
        library::iniFile().read(QStringLiteral("CN000pr.INI"), QStringLiteral("Programas"),
                                QStringLiteral("Ventas"), QString());
    if (lista.trimmed().isEmpty()) {
        return programasDeVentasPorDefecto;
    }
    return lista.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

void CargarConfiguracion(const QString& carpeta) {
    OpcionesSesion& o = opciones();
    auto paso = [](const std::function<void()>& f) { ignoringErrors(f); };
    auto valor = [](const char* clave) { return Cfg(QString::fromLatin1(clave)); };

    // Randomize: the suite's programs draw from the C generator.
    paso([] { std::srand(static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch())); });
    paso([] { gTablaConfiguracion() = QStringLiteral("ta_configuracion"); });
    std::optional<ConfiguracionLeida> leida;
    paso([&] { leida.emplace(data::sharedDb(), clavesLeidas()); });
    std::optional<ConfiguracionLeida::Vigente> vigente;
    if (leida) {
        vigente.emplace(*leida);
    }
    paso([&] { o.gMostrarStockEnConsultas = esSi(valor("MostrarStockenConsultas")); });
    paso([&] { o.gTituloClientes = valor("TituloClientes").trimmed(); });
    paso([&] { o.gTituloProveedores = valor("TituloProveedores").trimmed(); });
    paso([&] { o.gRutaDocTareas = carpeta + QStringLiteral("TSDOCTareas.tsf"); });
    paso([&] {
        o.gExigeClaveConsultaLikeArticulos = esSi(valor("EXIGECLAVECONSULTALIKEARTICULOS"));
    });
    paso([&] { o.gUsaConsultaLike = esSi(valor("UsaConsultaLike")); });
    paso([&] {
        o.gCantidadDecimales = valor("CantidadDecimales");
        if (esProgramaDeVentas(os::executableName())) {
            const QString ventas = valor("CantidadDecimalesVentas");
            if (numero(ventas) > 0) {
                o.gCantidadDecimales = ventas;
            }
        }
    });
    paso([&] { o.gSSConfidencialidad = esSi(valor("SS_CONFIDENCIALIDAD")); });
    paso([&] { o.gUsaMultilesMonedas = esSi(valor("UsaMultilesMonedas")); });
    paso([&] { o.gUsaFacturaProforma = esSi(valor("UsaFacturaProforma")); });
    paso([&] { o.gUsaCCosto = esSi(valor("USACCOSTO")); });
    paso([&] { o.gUsaStkStockUdKg = esSi(valor("USA_STK_STOCK_UDKG")); });
    paso([&] { leerFilaUsuario(o); });
    paso([&] { o.gUnidadDeMedidaM3 = valor("UNIDADDEMEDIDA_M3").trimmed(); });
    paso([&] { o.gUnidadDeMedidaBL = valor("UNIDADDEMEDIDA_BL").trimmed(); });
    paso([&] { o.gUnidadDeMedidaKG = valor("UNIDADDEMEDIDA_KG").trimmed(); });
    paso([&] { o.gPeriodo = static_cast<std::int16_t>(numero(valor("PERIODO"))); });
    paso([&] { o.gRazonSocialPorUneg = esSi(valor("RazonSocialPorUneg").trimmed()); });
    paso([&] {
        const QString v = valor("VALIDACODIGOBARRA").trimmed();
        o.gValidaCodigoBarra = !v.isEmpty() && esSi(v);
    });
    paso([&] {
        const std::int32_t fondo = numero(valor("CFondo"));
        gColorFondo = fondo == 0 ? 0xFFFF00 : fondo;
    });
    paso([&] { gColorLetra = numero(valor("CLetra")); });
    paso([&] { o.gModuloOrdenDeTrabajo = !igual(valor("ModuloOrdenDeTrabajo").trimmed(), "NO"); });
    paso([&] { o.gVModificaCPrecio = salvoNoOVacio(valor("V_ModificaCPrecio")); });
    paso([&] { o.gCModificaCPrecio = salvoNoOVacio(valor("C_ModificaCPrecio")); });
    paso([&] { o.gMaderera = salvoNoOVacio(valor("MADERERA")); });
    paso([&] { o.gMadTiras = valor("MAD_TIRAS").trimmed(); });
    paso([&] { o.gMadP2 = valor("MAD_P2").trimmed(); });
    paso([&] { o.gMadML = valor("MAD_ML").trimmed(); });
    paso([&] { o.gMadM2 = valor("MAD_M2").trimmed(); });
    paso([&] { o.gMadHojas = valor("MAD_HOJAS").trimmed(); });
    paso([&] { o.gMadMLP2 = valor("MAD_ML_P2").trimmed(); });
    paso([&] { o.gMadM2P2 = valor("MAD_M2_P2").trimmed(); });
    paso([&] { o.gMadMLM2 = valor("MAD_ML_M2").trimmed(); });
    paso([&] { o.gCuentaCtroDist = valor("CuentaCtroDist").trimmed(); });
    paso([&] { o.gMaxDto = library::textHelper().toDecimal(valor("MaxDto").trimmed()); });
    paso([&] {
        o.gMaxDtoProforma = library::textHelper().toDecimal(valor("MaxDtoProforma").trimmed());
    });
    paso([&] { o.gPideClaveStockNeg = salvoNoOVacio(valor("PideClave_StockNeg")); });
    paso([&] { o.gPideClaveMarkUpBase = salvoNoOVacio(valor("PideClave_MarkUpBase")); });
    paso([&] { o.gPideClaveLimiteCredito = salvoNoOVacio(valor("PideClave_LimiteCredito")); });
    paso([&] { o.gSSBloqueoActivo = esSi(valor("SS_BloqueoActivo")); });
    paso([&] { o.gUtilizarFechaDia = esSi(valor("UTILIZARFECHADIA")); });
    paso([&] { o.gAsignacionAutomaticaDeLoteING = esSi(valor("AsignacionAutomaticaDeLoteING")); });
    paso([&] {
        o.gAsignacionAutomaticaDeLoteINGOP = esSi(valor("AsignacionAutomaticaDeLoteINGOP"));
    });
    paso([&] {
        std::int32_t condicion = numero(valor("CONDIVAEMPRESA"));
        if (condicion == 0) {
            condicion = numero(valor("CONDIVA"));
        }
        o.gCondIvaEmpresa = static_cast<std::int16_t>(condicion == 0 ? 1 : condicion);
    });
    paso([&] {
        o.gTopDefault = valor("Top_Default");
        if (o.gTopDefault.trimmed().isEmpty()) {
            o.gTopDefault = QStringLiteral("1000");
        }
    });
}

} // namespace estaciones::session
