#include "session/statistics/SentenciasLogin.h"

#include "session/library/Windows1252.h"

#include <QStringList>

namespace estaciones::session::estadisticas {

namespace {

const QString finDeLinea = QStringLiteral("\r\n");

// What follows the login's name in each server-role call ("',  setupadmin"
// carries two blanks in the suite's scripts; the server trims it).
const QStringList colasRolesServidor{
    QStringLiteral("', sysadmin"),     QStringLiteral("', securityadmin"),
    QStringLiteral("', serveradmin"),  QStringLiteral("',  setupadmin"),
    QStringLiteral("', processadmin"), QStringLiteral("', diskadmin"),
    QStringLiteral("', dbcreator")};

const QStringList rolesBase{QStringLiteral("db_accessadmin"),  QStringLiteral("db_backupoperator"),
                            QStringLiteral("db_datareader"),   QStringLiteral("db_datawriter"),
                            QStringLiteral("db_ddladmin"),     QStringLiteral("db_owner"),
                            QStringLiteral("db_securityadmin")};

const QStringList rolesOracle{QStringLiteral("DBA"),
                              QStringLiteral("CTXAPP"),
                              QStringLiteral("WKUSER"),
                              QStringLiteral("\"CONNECT\""),
                              QStringLiteral("OLAP_DBA"),
                              QStringLiteral("\"RESOURCE\""),
                              QStringLiteral("XDBADMIN"),
                              QStringLiteral("EJBCLIENT"),
                              QStringLiteral("MGMT_USER"),
                              QStringLiteral("OLAP_USER"),
                              QStringLiteral("JAVAIDPRIV"),
                              QStringLiteral("JAVA_ADMIN"),
                              QStringLiteral("DMUSER_ROLE"),
                              QStringLiteral("JAVASYSPRIV"),
                              QStringLiteral("JAVA_DEPLOY"),
                              QStringLiteral("OEM_MONITOR"),
                              QStringLiteral("AQ_USER_ROLE"),
                              QStringLiteral("JAVAUSERPRIV"),
                              QStringLiteral("HS_ADMIN_ROLE"),
                              QStringLiteral("JAVADEBUGPRIV"),
                              QStringLiteral("WM_ADMIN_ROLE"),
                              QStringLiteral("DM_CATALOG_ROLE"),
                              QStringLiteral("SCHEDULER_ADMIN"),
                              QStringLiteral("AUTHENTICATEDUSER"),
                              QStringLiteral("EXP_FULL_DATABASE"),
                              QStringLiteral("IMP_FULL_DATABASE"),
                              QStringLiteral("DELETE_CATALOG_ROLE"),
                              QStringLiteral("SELECT_CATALOG_ROLE"),
                              QStringLiteral("EXECUTE_CATALOG_ROLE"),
                              QStringLiteral("AQ_ADMINISTRATOR_ROLE"),
                              QStringLiteral("LOGSTDBY_ADMINISTRATOR"),
                              QStringLiteral("RECOVERY_CATALOG_OWNER"),
                              QStringLiteral("GATHER_SYSTEM_STATISTICS")};

const QStringList objetosOracle{QStringLiteral("CTXSYS.CTX_VALIDATE"),
                                QStringLiteral("CTXSYS.DRI_MOVE_CTXSYS"),
                                QStringLiteral("EXFSYS.EXF$CHECK_PRIVILEGE"),
                                QStringLiteral("EXFSYS.EXF$EXPCORRCHKOCI"),
                                QStringLiteral("EXFSYS.EXF$EXPFUNCLISTCHK"),
                                QStringLiteral("EXFSYS.EXF$XPDUMPTAGSINFO"),
                                QStringLiteral("EXFSYS.GETDUMMYTAGS"),
                                QStringLiteral("EXFSYS.GETTAGSARROCI"),
                                QStringLiteral("WKSYS.MOVE_WK"),
                                QStringLiteral("OUTLN.ORA$GRANT_SYS_SELECT"),
                                QStringLiteral("SYSTEM.ORA$_SYS_REP_AUTH"),
                                QStringLiteral("WMSYS.OWM_VALIDATE"),
                                QStringLiteral("SYSMAN.SETEMUSERCONTEXT"),
                                QStringLiteral("SYSMAN.SETEMVIEWUSERCONTEXT"),
                                QStringLiteral("XDB.SETMODFLG"),
                                QStringLiteral("ORDSYS.SI_APPENDCLRHSTGR"),
                                QStringLiteral("ORDSYS.SI_CHGCONTENT"),
                                QStringLiteral("ORDSYS.SI_CONVERTFORMAT"),
                                QStringLiteral("ORDSYS.SI_SETAVGCLRFTR"),
                                QStringLiteral("ORDSYS.SI_SETCLRHSTGRFTR"),
                                QStringLiteral("ORDSYS.SI_SETPSTNLCLRFTR"),
                                QStringLiteral("ORDSYS.SI_SETTEXTUREFTR"),
                                QStringLiteral("CTXSYS.SYNCRN"),
                                QStringLiteral("WKSYS.UPDATE_ACL_CACHE_SIZE"),
                                QStringLiteral("DMSYS.VALIDATE_ODM"),
                                QStringLiteral("ORDSYS.VALIDATE_ORDIM"),
                                QStringLiteral("ORDSYS.VALIDATE_ORDIM_WITH_DETAILS"),
                                QStringLiteral("MDSYS.VALIDATE_SDO"),
                                QStringLiteral("WKSYS.WK$POST_OPTIMIZE_INDEX"),
                                QStringLiteral("WKSYS.WK$PRE_OPTIMIZE_INDEX"),
                                QStringLiteral("WKSYS.WK$UPD_INST"),
                                QStringLiteral("XDB.XDB$INITXDBSCHEMA"),
                                QStringLiteral("XDB.XDB$PATCHUPDELETESCHEMA"),
                                QStringLiteral("XDB.XDB$PATCHUPSCHEMA"),
                                QStringLiteral("XDB.XDB_DATASTORE_PROC")};

QString rolServidor(const QString& prefijo, const QString& login, const QString& cola) {
    return prefijo + QStringLiteral("EXEC sp_addsrvrolemember N'") + login + cola;
}

QString rolBase(const QString& prefijo, const QString& rol, const QString& login) {
    return prefijo + QStringLiteral("EXEC sp_addrolemember N'") + rol + QStringLiteral("', N'") +
           login + QLatin1Char('\'');
}

QString accesoBase(const QString& prefijo, const QString& login) {
    return prefijo + QStringLiteral("EXEC sp_grantdbaccess @loginame = '") + login +
           QStringLiteral("' , @name_in_db ='") + login + QLatin1Char('\'');
}

} // namespace

QString sentenciaAltaLogin(const QString& login, const QString& clave, const QString& baseDeDatos) {
    return QStringLiteral("EXEC  sp_addlogin N'") + login + QStringLiteral("', '") + clave +
           QStringLiteral("', '") + baseDeDatos + QStringLiteral("','Spanish'");
}

QString sentenciaRolesServidor(const QString& login) {
    QString texto;
    for (const QString& cola : colasRolesServidor) {
        texto += rolServidor(QStringLiteral(" "), login, cola);
    }
    return texto;
}

QString sentenciaAccesoBase(const QString& login) {
    return accesoBase(QStringLiteral(" "), login);
}

QString sentenciaRolesBase(const QString& login) {
    QString texto;
    for (const QString& rol : rolesBase) {
        texto += rolBase(QStringLiteral(" "), rol, login);
    }
    return texto;
}

QString guionLoginOracle(const QString& login, const QString& clave) {
    QStringList lineas{QStringLiteral("CREATE USER ") + login +
                           QStringLiteral(" IDENTIFIED BY \"") + clave + QLatin1Char('"'),
                       QStringLiteral(" DEFAULT TABLESPACE USERS"),
                       QStringLiteral(" TEMPORARY TABLESPACE TEMP"),
                       QStringLiteral(" PROFILE Default"), QStringLiteral(" ACCOUNT UNLOCK")};
    for (const QString& rol : rolesOracle) {
        lineas << QStringLiteral(" GRANT ") + rol + QStringLiteral(" TO ") + login +
                      QStringLiteral(" WITH ADMIN OPTION");
    }
    lineas << QStringLiteral(" ALTER USER ") + login +
                  QStringLiteral(" DEFAULT ROLE DBA,\"CONNECT\"");
    lineas << QStringLiteral(" GRANT UNLIMITED TABLESPACE TO ") + login +
                  QStringLiteral(" WITH ADMIN OPTION");
    for (const QString& objeto : objetosOracle) {
        lineas << QStringLiteral(" GRANT EXECUTE ON ") + objeto + QStringLiteral(" TO ") + login +
                      QStringLiteral(" WITH GRANT OPTION");
    }
    return lineas.join(finDeLinea) + finDeLinea;
}

QByteArray contenidoCreacionBase(const QString& nombre) {
    // Lines 1 and 3 end in an extra CR, as the suite's file always had.
    QStringList lineas{QStringLiteral("Create Database ") + nombre +
                           QStringLiteral(" COLLATE Latin1_General_CI_AI \r"),
                       QStringLiteral("GO"), QStringLiteral("USE ") + nombre + QLatin1Char('\r'),
                       QStringLiteral("EXEC  sp_addlogin N'") + nombre + QStringLiteral("', '") +
                           nombre + QStringLiteral("', '") + nombre + QLatin1Char('\'')};
    for (const QString& cola : colasRolesServidor) {
        lineas << rolServidor(QString(), nombre, cola);
    }
    lineas << accesoBase(QString(), nombre);
    for (const QString& rol : rolesBase) {
        lineas << rolBase(QString(), rol, nombre);
    }
    return library::toWindows1252(lineas.join(finDeLinea) + finDeLinea);
}

} // namespace estaciones::session::estadisticas
