#pragma once

#include <QString>

// The statements of a new search on the server (F5 in a search box): the
// window's statement with one more condition, the ordering tail kept once.
namespace estaciones::lookup {

// The list window's search on `campo`. With `usaLike` the value contains the
// text (blanks match anything); without it the value starts with the text
// ("*" matches anything). Apostrophes in the text are doubled.
QString sentenciaBusquedaLista(const QString& sentencia, const QString& campo,
                               const QString& textoBuscado, bool usaLike);

// The list window's text as searched without the LIKE setting ("*" read as
// "%"), which the box shows while the search runs.
QString textoComodines(const QString& textoBuscado);

// The tree window's search: descriptions that contain the text. A statement
// without an ordering is its own base.
QString sentenciaBusquedaArbol(const QString& sentencia, const QString& textoBuscado);

} // namespace estaciones::lookup
