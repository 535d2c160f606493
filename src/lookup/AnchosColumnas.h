#pragma once

#include <QList>
#include <QString>

#include <optional>

// The saved column widths of the list lookups: "CONSULTASLEN.TSF", one line
// per table in the sequential "write" format ("TABLE","1200|800|"), widths in
// twips; "CONSULTASLEN.AUX" is the copy while the file is rewritten.
namespace estaciones::lookup {

// The saved widths of `tabla` in `carpeta`, in column order; nothing when the
// file or the table's line is missing. Stk_ma_articulos reads the widths of
// VT_MA_ARTICULOS.
std::optional<QList<int>> leerAnchosColumnas(const QString& carpeta, const QString& tabla);

// Rewrites the file with `anchosTwips` as the line of `tabla`; the lines of
// other tables are kept. Errors reach the caller.
void guardarAnchosColumnas(const QString& carpeta, const QString& tabla,
                           const QList<int>& anchosTwips);

// Where the program keeps the file: its own folder, or the per-user data
// folder when that one is not writable.
QString carpetaAnchosColumnas();

} // namespace estaciones::lookup
