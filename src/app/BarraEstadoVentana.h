#pragma once

#include "session/access/BarraEstado.h"

class QStatusBar;

namespace estaciones::app {

// The calendar window's status bar (panels of calendar/window/StatusPanels.h)
// as the session routines fill it.
class BarraEstadoVentana : public session::BarraEstado {
public:
    explicit BarraEstadoVentana(QStatusBar& barra) : m_barra(barra) {}

    QString texto(const QString& clave) const override;
    void ponerTexto(const QString& clave, const QString& texto) override;
    void ponerAyuda(const QString& clave, const QString& ayuda) override;

private:
    QStatusBar& m_barra;
};

} // namespace estaciones::app
