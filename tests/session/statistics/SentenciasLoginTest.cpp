#include "session/statistics/SentenciasLogin.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace estaciones::session::estadisticas;

namespace {

// The suite's other programs read these statements and this file as they
// are: every blank and line end below is deliberate.

TEST(SentenciasLogin, cdb7IsByteExactWithTheExtraCarriageReturnsOfLinesOneAndThree) {
    const QByteArray esperado =
        "Create Database TS_ESTADISTICAS COLLATE Latin1_General_CI_AI \r\r\n"
        "GO\r\n"
        "USE TS_ESTADISTICAS\r\r\n"
        "EXEC  sp_addlogin N'TS_ESTADISTICAS', 'TS_ESTADISTICAS', 'TS_ESTADISTICAS'\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS', sysadmin\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS', securityadmin\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS', serveradmin\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS',  setupadmin\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS', processadmin\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS', diskadmin\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS', dbcreator\r\n"
        "EXEC sp_grantdbaccess @loginame = 'TS_ESTADISTICAS' , @name_in_db ='TS_ESTADISTICAS'\r\n"
        "EXEC sp_addrolemember N'db_accessadmin', N'TS_ESTADISTICAS'\r\n"
        "EXEC sp_addrolemember N'db_backupoperator', N'TS_ESTADISTICAS'\r\n"
        "EXEC sp_addrolemember N'db_datareader', N'TS_ESTADISTICAS'\r\n"
        "EXEC sp_addrolemember N'db_datawriter', N'TS_ESTADISTICAS'\r\n"
        "EXEC sp_addrolemember N'db_ddladmin', N'TS_ESTADISTICAS'\r\n"
        "EXEC sp_addrolemember N'db_owner', N'TS_ESTADISTICAS'\r\n"
        "EXEC sp_addrolemember N'db_securityadmin', N'TS_ESTADISTICAS'\r\n";
    EXPECT_EQ(contenidoCreacionBase(QStringLiteral("TS_ESTADISTICAS")), esperado);
}

TEST(SentenciasLogin, sqlServerStatementsKeepTheSuiteSpelling) {
    const QString login = QStringLiteral("OPERADOR");
    // Two blanks after EXEC, no blank before 'Spanish'.
    EXPECT_EQ(sentenciaAltaLogin(login, QStringLiteral("clave"), QStringLiteral("BASE")),
              "EXEC  sp_addlogin N'OPERADOR', 'clave', 'BASE','Spanish'");
    // Seven calls in one text, each opened by a blank.
    EXPECT_EQ(sentenciaRolesServidor(login), " EXEC sp_addsrvrolemember N'OPERADOR', sysadmin"
                                             " EXEC sp_addsrvrolemember N'OPERADOR', securityadmin"
                                             " EXEC sp_addsrvrolemember N'OPERADOR', serveradmin"
                                             " EXEC sp_addsrvrolemember N'OPERADOR',  setupadmin"
                                             " EXEC sp_addsrvrolemember N'OPERADOR', processadmin"
                                             " EXEC sp_addsrvrolemember N'OPERADOR', diskadmin"
                                             " EXEC sp_addsrvrolemember N'OPERADOR', dbcreator");
    EXPECT_EQ(sentenciaAccesoBase(login),
              " EXEC sp_grantdbaccess @loginame = 'OPERADOR' , @name_in_db ='OPERADOR'");
    EXPECT_EQ(sentenciaRolesBase(login), " EXEC sp_addrolemember N'db_accessadmin', N'OPERADOR'"
                                         " EXEC sp_addrolemember N'db_backupoperator', N'OPERADOR'"
                                         " EXEC sp_addrolemember N'db_datareader', N'OPERADOR'"
                                         " EXEC sp_addrolemember N'db_datawriter', N'OPERADOR'"
                                         " EXEC sp_addrolemember N'db_ddladmin', N'OPERADOR'"
                                         " EXEC sp_addrolemember N'db_owner', N'OPERADOR'"
                                         " EXEC sp_addrolemember N'db_securityadmin', N'OPERADOR'");
}

TEST(SentenciasLogin, oracleScriptHasEveryRoleAndObjectInOrderOneLineEach) {
    // The lists as the suite has them, blank-separated.
    const QStringList roles =
        QString("DBA CTXAPP WKUSER \"CONNECT\" OLAP_DBA \"RESOURCE\" XDBADMIN EJBCLIENT MGMT_USER "
                "OLAP_USER JAVAIDPRIV JAVA_ADMIN DMUSER_ROLE JAVASYSPRIV JAVA_DEPLOY OEM_MONITOR "
                "AQ_USER_ROLE JAVAUSERPRIV HS_ADMIN_ROLE JAVADEBUGPRIV WM_ADMIN_ROLE "
                "DM_CATALOG_ROLE SCHEDULER_ADMIN AUTHENTICATEDUSER EXP_FULL_DATABASE "
                "IMP_FULL_DATABASE DELETE_CATALOG_ROLE SELECT_CATALOG_ROLE EXECUTE_CATALOG_ROLE "
                "AQ_ADMINISTRATOR_ROLE LOGSTDBY_ADMINISTRATOR RECOVERY_CATALOG_OWNER "
                "GATHER_SYSTEM_STATISTICS")
            .split(QLatin1Char(' '));
    const QStringList objetos =
        QString("CTXSYS.CTX_VALIDATE CTXSYS.DRI_MOVE_CTXSYS EXFSYS.EXF$CHECK_PRIVILEGE "
                "EXFSYS.EXF$EXPCORRCHKOCI EXFSYS.EXF$EXPFUNCLISTCHK EXFSYS.EXF$XPDUMPTAGSINFO "
                "EXFSYS.GETDUMMYTAGS EXFSYS.GETTAGSARROCI WKSYS.MOVE_WK "
                "OUTLN.ORA$GRANT_SYS_SELECT SYSTEM.ORA$_SYS_REP_AUTH WMSYS.OWM_VALIDATE "
                "SYSMAN.SETEMUSERCONTEXT SYSMAN.SETEMVIEWUSERCONTEXT XDB.SETMODFLG "
                "ORDSYS.SI_APPENDCLRHSTGR ORDSYS.SI_CHGCONTENT ORDSYS.SI_CONVERTFORMAT "
                "ORDSYS.SI_SETAVGCLRFTR ORDSYS.SI_SETCLRHSTGRFTR ORDSYS.SI_SETPSTNLCLRFTR "
                "ORDSYS.SI_SETTEXTUREFTR CTXSYS.SYNCRN WKSYS.UPDATE_ACL_CACHE_SIZE "
                "DMSYS.VALIDATE_ODM ORDSYS.VALIDATE_ORDIM ORDSYS.VALIDATE_ORDIM_WITH_DETAILS "
                "MDSYS.VALIDATE_SDO WKSYS.WK$POST_OPTIMIZE_INDEX WKSYS.WK$PRE_OPTIMIZE_INDEX "
                "WKSYS.WK$UPD_INST XDB.XDB$INITXDBSCHEMA XDB.XDB$PATCHUPDELETESCHEMA "
                "XDB.XDB$PATCHUPSCHEMA XDB.XDB_DATASTORE_PROC")
            .split(QLatin1Char(' '));
    QStringList esperado{"CREATE USER TS_ESTADISTICAS IDENTIFIED BY \"TS_ESTADISTICAS\"",
                         " DEFAULT TABLESPACE USERS", " TEMPORARY TABLESPACE TEMP",
                         " PROFILE Default", " ACCOUNT UNLOCK"};
    for (const QString& rol : roles) {
        esperado << " GRANT " + rol + " TO TS_ESTADISTICAS WITH ADMIN OPTION";
    }
    esperado << " ALTER USER TS_ESTADISTICAS DEFAULT ROLE DBA,\"CONNECT\""
             << " GRANT UNLIMITED TABLESPACE TO TS_ESTADISTICAS WITH ADMIN OPTION";
    for (const QString& objeto : objetos) {
        esperado << " GRANT EXECUTE ON " + objeto + " TO TS_ESTADISTICAS WITH GRANT OPTION";
    }

    const QString guion =
        guionLoginOracle(QStringLiteral("TS_ESTADISTICAS"), QStringLiteral("TS_ESTADISTICAS"));
    ASSERT_TRUE(guion.endsWith("\r\n")) << "every line, the last one too, ends in CR LF";
    QStringList lineas = guion.split(QStringLiteral("\r\n"));
    lineas.removeLast();
    ASSERT_EQ(lineas.size(), esperado.size());
    for (qsizetype i = 0; i < esperado.size(); ++i) {
        EXPECT_EQ(lineas[i], esperado[i]) << "line " << i + 1;
    }
}

} // namespace
