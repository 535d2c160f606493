#include "articles/widgets/AltaRapida.h"

#include "articles/AltaArticulo.h"
#include "articles/widgets/FrmArtAlta.h"
#include "platform/core/ErrorHandling.h"
#include "session/Configuracion.h"
#include "session/MostrarError.h"

namespace estaciones::articulos {

bool altaRapidaPermitida() {
    return session::Cfg(QStringLiteral("ArticulosPermitealtaAutomatica"))
               .trimmed()
               .compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
}

std::optional<QString> altaRapidaDesdeConsulta(QWidget* parent, const QString& codigoPropuesto) {
    std::optional<QString> nuevo;
    guarded(
        [&] {
            FrmArtAlta ventana(parent);
            ventana.DesdeConsulta = true;
            ventana.Codigo = codigoPropuesto.trimmed().isEmpty()
                                 ? QString::number(proximoNumeroArticulo())
                                 : codigoPropuesto.trimmed();
            ventana.PonerCodigo();
            ventana.exec();
            if (ventana.pAceptar && !ventana.CodArtNuevo.isEmpty()) {
                nuevo = ventana.CodArtNuevo;
            }
        },
        [](const Error& error) { session::MostrarError(error, QStringLiteral("CmdNuevo_Click")); });
    return nuevo;
}

} // namespace estaciones::articulos
