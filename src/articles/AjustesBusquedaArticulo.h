#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace estaciones::articulos {

// The module settings the article lookup by code reads besides the session
// options (lot assignment, business-unit mode and the selected unit come from
// session::opciones()). This program's start-up leaves the weighed-barcode
// settings off; a program that wants them calls CargarAjustesBalanza() or
// sets them.
struct AjustesBusquedaArticulo {
    QString patronBalanza; // one of patronesBalanza(); empty: not decoded
    int decimalesBalanza = 0;
    // The running program's name as the lookup compares it; nothing means
    // the executable's name.
    std::optional<QString> programa;
    // The sales programs that check the business unit; nothing means the
    // INI list (or the default one).
    std::optional<QStringList> programasVenta;
};

AjustesBusquedaArticulo& ajustesBusquedaArticulo();

// Reads the weighed-barcode settings from "CN000pr.INI", section "Balanza",
// keys "Patron" and "Decimales" (absent keys leave the settings as they are).
void CargarAjustesBalanza();

// The running program's name without folder and extension.
QString programaEnCurso();

// The sales programs whose article lookups check the business unit: the
// sales program, its two fiscal variants and the invoicing of pending
// delivery notes. "CN000pr.INI", section "Programas", key "VentasUnidadNegocio"
// (names separated by ";"), else a default list.
QStringList programasVentaConUnidadNegocio();

// Whether `programa` is one of `lista`, ignoring case, folder and extension.
bool esPrograma(const QString& programa, const QStringList& lista);

} // namespace estaciones::articulos
