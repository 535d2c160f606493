#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace estaciones::data {

// What decides the synonym rewrite of one statement.
struct EntornoSinonimos {
    bool esAdministrador = false;
    // Whether "SS_CONFIDENCIALIDAD" is "SI"; asked only for statements that
    // mention MV_ASIENTOS, since it costs a query.
    std::function<bool()> confidencialidad;
    // The running program reads the real V_TA_DEPOSITO / V_TA_FAMILIAS.
    bool exentoDeposito = false;
    bool exentoFamilias = false;
};

// Redirects a non-administrator's statement to the restricted "SS_" views
// (MA_CUENTAS to SS_MA_CUENTAS, ...) and drops the "@Admin_" prefix. A name
// is redirected only where it stands as a table name: after a blank or "("
// and before a blank, the end of the text or "."; after "," before "."; and
// MA_CUENTAS also after "{" before ".". "@Admin_MA_CUENTAS" names the real
// table on purpose and keeps it.
QString reescribirSinonimos(const QString& sentencia, const EntornoSinonimos& entorno);

// The programs that read the real tables instead of the synonym views. They
// come from the "[Sinonimos]" section of CN000pr.INI, keys "ExentosDeposito"
// (the stock reports, which must see every warehouse) and "ExentosFamilias"
// (the price list and catalogue, which must see every family), each a list
// of executable names separated by "," or ";" (".exe" optional); without the
// keys the suite's usual names apply.
struct ProgramasExentos {
    QStringList deposito;
    QStringList familias;

    static ProgramasExentos configurados();
    // Whether `programa` (an executable name, with or without ".exe") is in `lista`.
    static bool incluye(const QStringList& lista, const QString& programa);
};

} // namespace estaciones::data
