#include "data/widgets/QtAccesoDialogo.h"

#include "data/widgets/frmAcceso.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

namespace estaciones::data {

std::optional<DatosAcceso> QtAccesoDialogo::pedirDatos(const DatosAcceso& datos) {
    frmAcceso dialogo(QApplication::activeWindow());
    dialogo.TxtDbName->setText(datos.baseDeDatos);
    dialogo.TxtServidor->setText(datos.servidor);
    dialogo.TxtUserId->setText(datos.usuario);
    dialogo.TxtUserPassword->setText(datos.contrasena);
    dialogo.CboPlataformaDB->setCurrentIndex(datos.plataforma);
    dialogo.exec();
    if (!dialogo.Aceptar) {
        return std::nullopt;
    }
    return DatosAcceso{dialogo.TxtServidor->text(), dialogo.TxtDbName->text(),
                       dialogo.TxtUserId->text(), dialogo.TxtUserPassword->text(),
                       dialogo.CboPlataformaDB->currentIndex()};
}

} // namespace estaciones::data
