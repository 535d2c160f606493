#pragma once

#include <QString>

// The lookup dialogs' own words, as the operator sees them.
namespace estaciones::lookup::texto {

inline const QString Consulta = QStringLiteral("Consulta...");
inline const QString EtiquetaConsulta = QStringLiteral("CONSULTA");
inline const QString AyudaBusqueda = QStringLiteral("F5 realiza nueva busqueda");
inline const QString Marcar = QStringLiteral("&Marcar");
inline const QString Nuevo = QStringLiteral("N&uevo");
inline const QString NuevaBusqueda = QStringLiteral("&Nueva Busqueda");
inline const QString Cancelar = QStringLiteral("&Cancelar");
inline const QString Aceptar = QStringLiteral("&Aceptar");
inline const QString LlenarConValores = QStringLiteral("Llenar Con Posibles Valores");
inline const QString CancelarMenu = QStringLiteral("Cancelar");

inline const QString ConfigurarConsulta =
    QStringLiteral("Debe configurar la consulta para esta tabla");
inline const QString AvisoOperador = QStringLiteral("Aviso al operador");
inline const QString AvisoOperadorVentana = QStringLiteral("Aviso al Operador");
inline const QString NoExisteArchivo = QStringLiteral("No existe el archivo ");
inline const QString NoExisteArchivoFin = QStringLiteral(" que desea consultar consulta ");

inline const QString IngreseCantidad = QStringLiteral("Ingrese la Cantidad del Articulo...");
inline const QString CargaDatos = QStringLiteral("Carga de Datos");
inline const QString InformarFaltante = QStringLiteral("Desea informar el articulo ");
inline const QString ComoFaltante = QStringLiteral("como un faltante de stock?");
inline const QString Atencion = QStringLiteral("Atención!");

// Header of the quantity column the statement supplies.
inline const QString ColumnaCantidad = QStringLiteral("**Cantidad**");

} // namespace estaciones::lookup::texto
