#pragma once

#include "platform/core/Variant.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace estaciones::session {

// The session options: module-wide values loaded once from the configuration
// table by CargarConfiguracion. Names as the suite's other programs know them.
struct OpcionesSesion {
    bool gMostrarStockEnConsultas = false;
    QString gTituloClientes;
    QString gTituloProveedores;
    QString gRutaDocTareas;
    bool gExigeClaveConsultaLikeArticulos = false;
    bool gUsaConsultaLike = false;
    QString gCantidadDecimales;
    bool gSSConfidencialidad = false;
    bool gUsaMultilesMonedas = false;
    bool gUsaFacturaProforma = false;
    bool gUsaCCosto = false;
    bool gUsaStkStockUdKg = false;
    QString gUNegocio;
    QString gUnidadDeMedidaM3;
    QString gUnidadDeMedidaBL;
    QString gUnidadDeMedidaKG;
    std::int16_t gPeriodo = 0;
    bool gRazonSocialPorUneg = false;
    bool gValidaCodigoBarra = false;
    bool gModuloOrdenDeTrabajo = true;
    bool gVModificaCPrecio = false;
    bool gCModificaCPrecio = false;
    bool gMaderera = false;
    QString gMadTiras;
    QString gMadP2;
    QString gMadML;
    QString gMadM2;
    QString gMadHojas;
    QString gMadMLP2;
    QString gMadM2P2;
    QString gMadMLM2;
    QString gCuentaCtroDist;
    Currency gMaxDto;
    Currency gMaxDtoProforma;
    bool gPideClaveStockNeg = false;
    bool gPideClaveMarkUpBase = false;
    bool gPideClaveLimiteCredito = false;
    bool gSSBloqueoActivo = false;
    bool gUtilizarFechaDia = false;
    bool gAsignacionAutomaticaDeLoteING = false;
    bool gAsignacionAutomaticaDeLoteINGOP = false;
    std::int16_t gCondIvaEmpresa = 0;
    QString gTopDefault;
};

OpcionesSesion& opciones();

// The executable names of the suite's sales-side programs, which take their
// number of decimals from "CantidadDecimalesVentas" (compared ignoring case
// and without extension). Read from the INI file "CN000pr.INI", section
// "Programas", key "Ventas" (names separated by ";"), with a default list.
QStringList programasDeVentas();

// Loads the session options from the configuration table; `carpeta` is the
// program folder ending in a separator. Every option is read on its own: an
// error in one leaves it at its previous value and the next is read.
void CargarConfiguracion(const QString& carpeta);

} // namespace estaciones::session
