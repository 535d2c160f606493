#pragma once

#include "lookup/MascaraConsultas.h"

#include <QString>
#include <QStringList>

#include <optional>

// The pieces of the lookup controller's statement resolution that need no
// database: each turns a caller's request into statement text.
namespace estaciones::lookup {

// The row limit of built statements: the configured "TopConsArt" as a number,
// 1000 when it is empty, 0 or not a number.
int limiteFilas(const QString& topConsArt);

// A filter longer than one character that does not open with "(" (nor with
// the word WHERE) is framed as " (" + filter + ") ", so that the caller's OR
// cannot escape it.
void normalizarWhere(QString& Where);

// Whether SQL is a finished statement rather than a table name (it contains
// the word SELECT in any letter case, even inside a name).
bool esSentenciaCompleta(const QString& SQL);

// A caller's finished statement: V_MA_ARTICULOS read as VT_MA_ARTICULOS and
// the filter appended (" WHERE " put in front of it unless it has one; the
// caller's Where keeps that change). No limit, no ordering.
QString completarSentencia(const QString& SQL, QString& Where);

// The statement of a mask record. CampoBusqueda is filled in when empty;
// nothing comes back when the record lists a single column and no search
// field is known (the lookup must be configured first).
std::optional<QString> sentenciaDeMascara(const RegistroMascara& registro, const QString& tabla,
                                          int limite, QString& CampoBusqueda, const QString& Where);

// Columns chosen from a table's fields (first to last): ID and the stamp
// columns are left out (except in v_mv_mutuales), each taken field goes in
// front of the others, and DESCRIPCION / NOMBRE / DETALLE (else the first
// taken field) becomes the search field. Nothing taken: empty texts.
struct ColumnasDescubiertas {
    QString columnas;
    QString campoBusqueda;
};
ColumnasDescubiertas descubrirColumnas(const QString& tabla, const QStringList& campos);

// The columns and search field fixed for a table, when it has them
// (V_TA_DEPOSITO).
std::optional<ColumnasDescubiertas> columnasFijas(const QString& tabla);

// The default statement of a table: " * " when no column is known; no
// " ORDER BY " without a search field (the statement would not run).
QString sentenciaPorDefecto(const QString& tabla, int limite, const QString& columnas,
                            const QString& campoBusqueda, const QString& Where);

} // namespace estaciones::lookup
