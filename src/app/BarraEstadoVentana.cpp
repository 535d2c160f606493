#include "app/BarraEstadoVentana.h"

#include "calendar/window/StatusPanels.h"

#include <QLabel>
#include <QStatusBar>

namespace estaciones::app {

namespace {
QLabel& panel(const QStatusBar& barra, const QString& clave) {
    QLabel* encontrado = calendar::window::statusPanel(barra, clave);
    if (!encontrado) {
        throw session::panelInexistente(clave);
    }
    return *encontrado;
}
} // namespace

QString BarraEstadoVentana::texto(const QString& clave) const {
    return panel(m_barra, clave).text();
}

void BarraEstadoVentana::ponerTexto(const QString& clave, const QString& texto) {
    panel(m_barra, clave).setText(texto);
}

void BarraEstadoVentana::ponerAyuda(const QString& clave, const QString& ayuda) {
    panel(m_barra, clave).setToolTip(ayuda);
}

} // namespace estaciones::app
