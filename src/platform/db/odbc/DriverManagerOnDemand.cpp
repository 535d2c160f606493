// The driver manager's functions this engine calls, defined here in its
// place: the first call opens the driver manager, so that a program that
// never connects through ODBC does not load it (nor the drivers' libraries)
// at start-up. A missing driver manager is an error object at the first
// call, the connection's open, never a crash.
#include "platform/core/Error.h"
#include "platform/db/AdoConstants.h"
#include "platform/os/LazyLibrary.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

// clang-format off
#define ESTACIONES_ODBC_FUNCTIONS(X) \
    X(SQLAllocHandle, (SQLSMALLINT a0, SQLHANDLE a1, SQLHANDLE * a2), (a0, a1, a2)) \
    X(SQLBindParameter, (SQLHSTMT a0, SQLUSMALLINT a1, SQLSMALLINT a2, SQLSMALLINT a3, SQLSMALLINT a4, SQLULEN a5, SQLSMALLINT a6, SQLPOINTER a7, SQLLEN a8, SQLLEN * a9), (a0, a1, a2, a3, a4, a5, a6, a7, a8, a9)) \
    X(SQLColAttributeW, (SQLHSTMT a0, SQLUSMALLINT a1, SQLUSMALLINT a2, SQLPOINTER a3, SQLSMALLINT a4, SQLSMALLINT * a5, SQLLEN * a6), (a0, a1, a2, a3, a4, a5, a6)) \
    X(SQLColumnsW, (SQLHSTMT a0, SQLWCHAR * a1, SQLSMALLINT a2, SQLWCHAR * a3, SQLSMALLINT a4, SQLWCHAR * a5, SQLSMALLINT a6, SQLWCHAR * a7, SQLSMALLINT a8), (a0, a1, a2, a3, a4, a5, a6, a7, a8)) \
    X(SQLDescribeColW, (SQLHSTMT a0, SQLUSMALLINT a1, SQLWCHAR * a2, SQLSMALLINT a3, SQLSMALLINT * a4, SQLSMALLINT * a5, SQLULEN * a6, SQLSMALLINT * a7, SQLSMALLINT * a8), (a0, a1, a2, a3, a4, a5, a6, a7, a8)) \
    X(SQLDisconnect, (SQLHDBC a0), (a0)) \
    X(SQLDriverConnectW, (SQLHDBC a0, SQLHWND a1, SQLWCHAR * a2, SQLSMALLINT a3, SQLWCHAR * a4, SQLSMALLINT a5, SQLSMALLINT * a6, SQLUSMALLINT a7), (a0, a1, a2, a3, a4, a5, a6, a7)) \
    X(SQLDriversW, (SQLHENV a0, SQLUSMALLINT a1, SQLWCHAR * a2, SQLSMALLINT a3, SQLSMALLINT * a4, SQLWCHAR * a5, SQLSMALLINT a6, SQLSMALLINT * a7), (a0, a1, a2, a3, a4, a5, a6, a7)) \
    X(SQLEndTran, (SQLSMALLINT a0, SQLHANDLE a1, SQLSMALLINT a2), (a0, a1, a2)) \
    X(SQLExecDirectW, (SQLHSTMT a0, SQLWCHAR * a1, SQLINTEGER a2), (a0, a1, a2)) \
    X(SQLExecute, (SQLHSTMT a0), (a0)) \
    X(SQLFetch, (SQLHSTMT a0), (a0)) \
    X(SQLFreeHandle, (SQLSMALLINT a0, SQLHANDLE a1), (a0, a1)) \
    X(SQLGetConnectAttrW, (SQLHDBC a0, SQLINTEGER a1, SQLPOINTER a2, SQLINTEGER a3, SQLINTEGER * a4), (a0, a1, a2, a3, a4)) \
    X(SQLGetData, (SQLHSTMT a0, SQLUSMALLINT a1, SQLSMALLINT a2, SQLPOINTER a3, SQLLEN a4, SQLLEN * a5), (a0, a1, a2, a3, a4, a5)) \
    X(SQLGetDiagFieldW, (SQLSMALLINT a0, SQLHANDLE a1, SQLSMALLINT a2, SQLSMALLINT a3, SQLPOINTER a4, SQLSMALLINT a5, SQLSMALLINT * a6), (a0, a1, a2, a3, a4, a5, a6)) \
    X(SQLGetDiagRecW, (SQLSMALLINT a0, SQLHANDLE a1, SQLSMALLINT a2, SQLWCHAR * a3, SQLINTEGER * a4, SQLWCHAR * a5, SQLSMALLINT a6, SQLSMALLINT * a7), (a0, a1, a2, a3, a4, a5, a6, a7)) \
    X(SQLGetInfoW, (SQLHDBC a0, SQLUSMALLINT a1, SQLPOINTER a2, SQLSMALLINT a3, SQLSMALLINT * a4), (a0, a1, a2, a3, a4)) \
    X(SQLMoreResults, (SQLHSTMT a0), (a0)) \
    X(SQLNumResultCols, (SQLHSTMT a0, SQLSMALLINT * a1), (a0, a1)) \
    X(SQLPrepareW, (SQLHSTMT a0, SQLWCHAR * a1, SQLINTEGER a2), (a0, a1, a2)) \
    X(SQLPrimaryKeysW, (SQLHSTMT a0, SQLWCHAR * a1, SQLSMALLINT a2, SQLWCHAR * a3, SQLSMALLINT a4, SQLWCHAR * a5, SQLSMALLINT a6), (a0, a1, a2, a3, a4, a5, a6)) \
    X(SQLRowCount, (SQLHSTMT a0, SQLLEN * a1), (a0, a1)) \
    X(SQLSetConnectAttrW, (SQLHDBC a0, SQLINTEGER a1, SQLPOINTER a2, SQLINTEGER a3), (a0, a1, a2, a3)) \
    X(SQLSetEnvAttr, (SQLHENV a0, SQLINTEGER a1, SQLPOINTER a2, SQLINTEGER a3), (a0, a1, a2, a3)) \
    X(SQLSetStmtAttrW, (SQLHSTMT a0, SQLINTEGER a1, SQLPOINTER a2, SQLINTEGER a3), (a0, a1, a2, a3)) \
    X(SQLTablesW, (SQLHSTMT a0, SQLWCHAR * a1, SQLSMALLINT a2, SQLWCHAR * a3, SQLSMALLINT a4, SQLWCHAR * a5, SQLSMALLINT a6, SQLWCHAR * a7, SQLSMALLINT a8), (a0, a1, a2, a3, a4, a5, a6, a7, a8)) \

// clang-format on

namespace estaciones::db::odbc {

namespace {

#define ESTACIONES_INDEX(name, params, args) index_##name,
enum FunctionIndex { ESTACIONES_ODBC_FUNCTIONS(ESTACIONES_INDEX) functionCount };
#undef ESTACIONES_INDEX

const QString feature = QStringLiteral("la conexión por ODBC");

os::LazyLibrary& driverManager() {
#define ESTACIONES_NAME(name, params, args) #name,
    static os::LazyLibrary library(QStringLiteral(ESTACIONES_ODBC_LIBRARY), feature,
                                   {ESTACIONES_ODBC_FUNCTIONS(ESTACIONES_NAME)});
#undef ESTACIONES_NAME
    return library;
}

void* function(FunctionIndex index) {
    os::LazyLibrary& library = driverManager();
    if (!library.available()) {
        throw Error(adoerr::ProviderNotFound, library.error(), QStringLiteral("ADODB.Connection"));
    }
    return library.address(index);
}

} // namespace

} // namespace estaciones::db::odbc

extern "C" {
#define ESTACIONES_FORWARD(name, params, args)                                                  \
    SQLRETURN SQL_API name params {                                                             \
        using Function = decltype(&::name);                                                      \
        return reinterpret_cast<Function>(                                                       \
            estaciones::db::odbc::function(estaciones::db::odbc::index_##name)) args;            \
    }
ESTACIONES_ODBC_FUNCTIONS(ESTACIONES_FORWARD)
#undef ESTACIONES_FORWARD
}
