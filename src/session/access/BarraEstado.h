#pragma once

#include "platform/core/Error.h"

#include <QString>

namespace estaciones::session {

// A window's status bar as the session routines fill it: panels addressed by
// key ("MENSAJE", "SERVER", ...), each with a text and a tooltip. Keys compare
// ignoring case. Every call throws panelInexistente() when the bar has no
// panel with that key, as the suite's status bar did.
class BarraEstado {
public:
    virtual ~BarraEstado() = default;
    virtual QString texto(const QString& clave) const = 0;
    virtual void ponerTexto(const QString& clave, const QString& texto) = 0;
    virtual void ponerAyuda(const QString& clave, const QString& ayuda) = 0;
};

// "Element not found", the error of a missing panel key.
inline constexpr std::int32_t errorPanelInexistente = 35601;
Error panelInexistente(const QString& clave);

} // namespace estaciones::session
