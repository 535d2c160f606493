#pragma once

#include <QString>

// The session services' own words, as the operator sees them, in one place.
namespace estaciones::session::texts {

inline const QString avisoOperadorGeneral = QStringLiteral(" Aviso al operador!!! - 2 ");

// The help.
inline const QString tituloAyuda = QStringLiteral("Ayuda");
inline QString ayudaNoEncontrada(const QString& archivo) {
    return QStringLiteral("No se encuentra la ayuda en \"") + archivo +
           QStringLiteral("\". Reinstale el programa o consulte con su proveedor de sistemas.");
}
inline QString ayudaSinVisor(const QString& archivo) {
    return QStringLiteral("No se pudo abrir la ayuda \"") + archivo +
           QStringLiteral("\": el sistema no tiene un navegador o visor para esta página "
                          "(xdg-open).");
}

// The script runner.
inline const QString claveDesbloqueo = QStringLiteral("KELP@");
inline const QString tituloClave = QStringLiteral("Atencion");
inline const QString pedirClave =
    QStringLiteral("Ingresa la Clave para permitir ejecutar este comando..");
inline const QString comandoEliminacion = QStringLiteral(
    "SE HA DETECTADO UN COMANDO DE ELIMINACION DE TABLA... NO ESTA PERMITIDO LA EJECUCION DE "
    "ESTOS COMANDOS...");
inline const QString operacionAbortada = QStringLiteral("OPERACION ABORTADA!!!");
inline const QString tituloAbortada = QStringLiteral("ATENCION!");
inline const QString erroresDetectados =
    QStringLiteral("Se detectaron errores, consulte el archivo ");
inline const QString vistaCuentasConfidencial =
    QStringLiteral("CREATE VIEW dbo.SS_MA_CUENTAS ") + QStringLiteral(" AS ") +
    QStringLiteral(" SELECT MA_CUENTAS.* ") +
    QStringLiteral(" FROM MA_CUENTAS_USUARIOS INNER JOIN ") + QStringLiteral(" MA_CUENTAS ON  ") +
    QStringLiteral(" MA_CUENTAS_USUARIOS.Cuenta = MA_CUENTAS.CODIGO INNER  ") +
    QStringLiteral(" Join TA_USUARIOS ON ") +
    QStringLiteral(" MA_CUENTAS_USUARIOS.GrupoUser = TA_USUARIOS.Grupo  ") +
    QStringLiteral(" Where (TA_USUARIOS.Nombre = SYSTEM_USER)");
inline const QString vistaCuentasPlana = QStringLiteral("CREATE VIEW dbo.SS_MA_CUENTAS ") +
                                         QStringLiteral(" AS ") + QStringLiteral(" SELECT * ") +
                                         QStringLiteral(" FROM MA_CUENTAS");

} // namespace estaciones::session::texts
