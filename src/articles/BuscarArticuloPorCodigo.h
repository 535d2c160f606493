#pragma once

#include "platform/db/Recordset.h"

#include <QString>

namespace estaciones::articulos {

// Resolves what the operator typed or scanned in an article field into one
// row of V_MA_ARTICULOS on the shared connection: an article code, a barcode
// of any of the five barcode columns, a packaging (DUN) barcode, a supplier's
// code, a quantity prefix ("3*code"), a lot prefix ("12A code", with
// automatic lot assignment) or a weighed-item barcode (AjustesBusquedaArticulo).
// Returns true when an article was found.
//
// Codigo          in: what was typed; out: the article's IdArticulo, or the
//                 code as last looked up when nothing was found
// Rs              when given, receives the open recordset on the article
// SoloLectura     forward-only read-only; else dynamic cursor, optimistic lock
// PorCodigoBarra  look in the barcode column first (never for codes of three
//                 characters or fewer)
// Descripcion, UdBase   out: the article's description and base unit
// CuentaProveedor, ListaPrecios   in: enable the supplier-code lookups
// Cantidad, Importe, Lote   out: decoded from prefixes and weighed barcodes
//                 (left as they were when the code carries none)
// TipoDocumento   the current document type ("FP", "NCFP", "NP" skip the
//                 business-unit check)
// ModoUNegocio    0: an article of another business unit is refused with a
//                 message; 1: it is kept and the mode becomes 2
//
// Values typed by the operator reach the statements with apostrophes doubled.
// Database errors are treated by AbrirRecordset.
bool BuscarArticuloPorCodigo(QString& Codigo, db::Recordset* Rs, bool SoloLectura,
                             bool PorCodigoBarra, QString& Descripcion,
                             const QString& CuentaProveedor, QString& UdBase,
                             const QString& ListaPrecios, double& Cantidad, double& Importe,
                             QString& Lote, const QString& TipoDocumento, int& ModoUNegocio);

// The common case: only the code, read-only, outputs discarded.
bool BuscarArticuloPorCodigo(QString& Codigo, bool PorCodigoBarra = false);

} // namespace estaciones::articulos
