#pragma once

#include <QString>

// The operator texts of the article registration and the article lookup by
// code, in one place so they can be compared with what the operator sees.
namespace estaciones::articulos::textos {

inline const QString TituloAviso = QStringLiteral("Aviso al Operador");

// Article lookup by code.
inline const QString UnidadNegocioDistinta =
    QStringLiteral("Este articulo pertenece a una unidad de negocio distinta a la seleccionada");

// The window.
inline const QString Caption = QStringLiteral("Articulos");
inline const QString EtiquetaCodigo = QStringLiteral("Codigo de Barras");
inline const QString EtiquetaDescripcion = QStringLiteral("Descripción");
inline const QString EtiquetaPrecio = QStringLiteral("Precio");
inline const QString Instrucciones = QStringLiteral(
    "Puede obtener los datos desde la base de codigos de barra (F7) o completar los datos y "
    "pulsar F2 para dar de alta el producto desde esta misma pantalla.");
inline const QString InstruccionSalir = QStringLiteral("Pulse ESC para cerrar esta pantalla. ");
inline const QString BotonMaestro = QStringLiteral("[F7] Obtener de Base Maestra");
inline const QString BotonAlta = QStringLiteral("[F2] &Alta");
inline const QString BotonAltaSinAlta = QStringLiteral("Aceptar");
inline const QString BotonCancelar = QStringLiteral("[ESC] &Cancelar");

// The master service.
inline const QString Consultando = QStringLiteral("Consultando Base Maestra...");
inline const QString Correcto = QStringLiteral("Correcto.");
inline const QString Encontrado = QStringLiteral("Encontrado...");
inline const QString DebeInformarCodigo = QStringLiteral("Debe informar el codigo.");
inline const QString DebeInformarCodigoBarras =
    QStringLiteral("Debe informar el numero de Codigo de Barras");
inline const QString NoExisteEnMaestra =
    QStringLiteral("Actualmente el codigo informado no existe en la base maestra");
inline const QString MaestraSinDireccion =
    QStringLiteral("No está configurada la dirección de la base maestra de codigos de barra (clave "
                   "\"BaseMaestraURL\" de la configuración, o sección [BaseMaestra], clave URL de "
                   "CN000pr.INI).");
inline const QString MaestraSinConexion =
    QStringLiteral("No se pudo conectar con la base maestra de codigos de barra.");
inline const QString MaestraSinRespuesta =
    QStringLiteral("La base maestra de codigos de barra no respondió a tiempo.");
inline const QString MaestraError =
    QStringLiteral("La base maestra de codigos de barra respondió con un error.");
inline const QString MaestraNoInformada =
    QStringLiteral("El articulo quedó registrado, pero no se pudo informar el codigo a la base "
                   "maestra de codigos de barra.");

// The registration.
inline QString CodigoBarrasExistente(const QString& idArticulo, const QString& descripcion) {
    return QStringLiteral("Ya existe un articulo con ese codigo de barras.") +
           QStringLiteral("\r\n") + QStringLiteral("Articulo ") + idArticulo +
           QStringLiteral(" - ") + descripcion + QStringLiteral("\r\n") +
           QStringLiteral("¿Ingresarlo igual?");
}
inline const QString SinClasePrecio = QStringLiteral(
    "Debe informar la clase de precio por default desde la Configuración General del Sistema");
inline QString CodigoNuevoOcupado(const QString& numero) {
    return QStringLiteral("No se pudo dar de alta el articulo: el codigo ") + numero +
           QStringLiteral(" ya está en uso. Intente nuevamente.");
}
inline QString CodigoNuevoEsCodigoBarras(const QString& numero, const QString& idArticulo,
                                         const QString& descripcion) {
    return QStringLiteral("El codigo ") + numero +
           QStringLiteral(" que corresponde al articulo nuevo es el codigo de barras del "
                          "articulo ") +
           idArticulo + QStringLiteral(" - ") + descripcion + QStringLiteral(".\r\n") +
           QStringLiteral("¿Registrar el articulo nuevo con el codigo ") + numero +
           QStringLiteral(" igualmente?");
}

} // namespace estaciones::articulos::textos
