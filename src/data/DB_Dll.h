#pragma once

#include "data/SinonimosSeguridad.h"
#include "platform/core/Error.h"
#include "platform/core/ErrorHandling.h"
#include "platform/core/Variant.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "session/library/FileDialog.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace estaciones::data {

// The suite's data access class. The program shares one instance
// (sharedDb(), SharedDb.h); a second one serves the statistics database.
// Its public members are read and set directly by the session routines, as
// in the original, so they stay public and keep their names and order.
//
// The implementation is split by concern: DB_Dll.cpp (members, properties),
// DbConexionServidor.cpp, DbConexionLocal.cpp, DbReconexion.cpp (opening),
// DbAdministrador.cpp (administrator check), TratamientoErrores.cpp,
// DbSentencias.cpp, DbBusquedas.cpp, DbEsquema.cpp, DbReescrituras.cpp,
// DbLiterales.cpp.
class DB_Dll {
public:
    DB_Dll();

    bool gOpenFlag = false;  // true while the last open or reconnect succeeded
    Variant gIgnoraPassWord; // true: a Jet password comes from gUserPassWord
    db::Connection gCnn;     // the one connection (a new, closed one at first)
    db::Recordset glrcs;     // a recordset slot for callers
    Variant gCursorLocation; // kept for callers; the open routines take it as argument
    QString gProveedor;      // "" means SQLOLEDB; OraOLEDB.Oracle.1 after choosing Oracle
    QString gDsn;            // slot for callers
    QString gServidor;       // a "#" in it selects Oracle
    QString gDBName;         // database, Oracle data source or .MDB path
    QString gUsuario;
    bool gEsAdmin = false;
    QString gUserPassWord;
    QString gConnString;         // the connection string last built or given
    QString gExtended;           // appended verbatim to built SQL Server and Jet strings
    QString gLogErr;             // error log file; "" means the default file
    QString ParametrosSQL;       // slot for callers
    std::int32_t gTSTimeOut = 0; // slot for callers

    // gLogErr as a property (the original's ArchivoErrores).
    Variant ArchivoErrores() const;
    void setArchivoErrores(const Variant& archivo);

    QString pSQLOLEDB() const;
    QString pJETOLEDB40() const;
    QString pJETOLEDB35() const;

    // Opens gCnn on SQL Server or Oracle. The outcome is gOpenFlag. With
    // PideParametrosSQL the access dialog asks for the access data first;
    // with MuestraError a failure asks the operator whether to try again.
    void OpenServerADODB(bool PideParametrosSQL, std::int32_t lCursor, const QString& ConnString,
                         bool ValidaAdmin, bool MuestraError);

    // Opens gCnn on a local Jet (.MDB) file, searching for the file and asking
    // for its password when needed. CadenaID / CadenaPWD are the keywords for
    // user and password in the built string.
    void OpenLocalADODB(const QString& ConnString, const QString& CadenaID,
                        const QString& CadenaPWD);

    // Closes and re-opens gCnn with its own connection string; the outcome is
    // gOpenFlag.
    void ReintentaConectar();

    // Shows a trapped database error, logs the exchange and returns the
    // operator's answer (4 retry, 5 go on, anything else leave); 0 for error
    // number 0. `Botones` defaults to Abort/Retry/Ignore + critical (18);
    // `Rutina` Empty means no routine name. Never throws.
    int TratamientoErrores(const Error& CodErr, std::optional<int> Botones = std::nullopt,
                           const Variant& Rutina = Variant());

    // --- Statements and recordsets (DbSentencias.cpp) ---

    // Runs a statement or batch on gCnn after the "@Admin_" and synonym rules;
    // the rewritten text is written back into SentenciaSQL. Errors are mostly
    // absorbed: callers that must know test gCnn's Errors. A lost link follows
    // tratarConexionPerdida: a write of unknown outcome reaches the operator
    // through TratamientoErrores and runs again only on Retry. Lrcs, when given,
    // receives the recordset the text returns.
    void EjecutaConsultaSQL(QString& SentenciaSQL, std::int64_t& RecordsAffected,
                            db::Recordset* Lrcs = nullptr);
    // The same, with the other title on its error message.
    void EjecutaConsultaRSQL(QString& SentenciaSQL, std::int64_t& RecordsAffected,
                             db::Recordset* Lrcs = nullptr);
    // Opens Lrcs (closed first) on Conexionactiva or gCnn. When the link is
    // gone (esConexionPerdida, ConexionPerdida.h) a plain query reconnects and
    // tries once more without asking; a text that may write is not run again
    // unasked (tratarConexionPerdida). Any other error, or a link still lost,
    // goes at once to TratamientoErrores, and Retry runs the statement once per
    // answer. SentenciaSQL gets the synonym rewrite.
    void AbrirRecordset(QString& SentenciaSQL, db::Recordset& Lrcs,
                        std::optional<db::Connection> Conexionactiva = std::nullopt,
                        int CursorType = db::adOpenForwardOnly, int LockType = db::adLockReadOnly,
                        int Options = db::adOptionUnspecified, bool ConvOracle = true);
    // Closes LrcsTemp when open; a pending edit is cancelled first.
    void CierraRecordset(db::Recordset& LrcsTemp);
    // Kept in the interface for the suite's callers; they do nothing.
    void QConsulta(const Variant& a, const Variant& b, const Variant& c, const Variant& d,
                   const Variant& CmpDisplay, const Variant& SQLWHERE);
    void QGridConsulta(const Variant& Sentencia, const Variant& CampoDevuelto1,
                       const Variant& gCnnString, const Variant& CampoDevuelto2,
                       const Variant& CampoDevuelto3);

    // --- Table lookups (DbBusquedas.cpp) ---

    // Type codes (Tipodato, Tipo): 8 text, 7 date, 3/5/4 numbers, other as is.
    // True when a row matches. With Lrcs the query is opened into it and left
    // open; SoloLectura opens it forward-only and read-only.
    bool ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                       db::Recordset* Lrcs = nullptr, const Variant& Tipodato = Variant(8),
                       const QString& Condicion = QString(), bool SoloLectura = false);
    // The same without trimming and without any rewrite of the text.
    bool ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                         db::Recordset* Lrcs = nullptr, const Variant& Tipodato = Variant(8),
                         const QString& Condicion = QString(), bool SoloLectura = false);
    // Column CampoDevuelto of the first matching row as text; "" when no row
    // matches (or an error is ignored), Empty when the connection is closed.
    Variant DatosTabla(const QString& Tabla, const QString& ValorBuscado,
                       const QString& CampoDevuelto, const QString& Campo,
                       const Variant& Tipodato = Variant(8), const QString& Condicion = QString(),
                       bool UsaTrim = true, bool IgnoraError = false);
    // MAX / MIN of a column; errors reach the caller. Empty Condicion: none.
    Variant BuscaMaximo(const QString& QueTabla, const QString& QueCampo,
                        const Variant& Tipo = Variant(), const Variant& Condicion = Variant());
    Variant BuscaMinimo(const QString& QueTabla, const QString& QueCampo,
                        const Variant& Tipo = Variant(), const Variant& Condicion = Variant());
    Variant BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo,
                              const Variant& Tipo = Variant(),
                              const QString& Condicion = QString());

    // --- Schema inspection (DbEsquema.cpp) ---

    bool ExisteTablaDB(const QString& Tabla);
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    // Adds the column (AddField) when the table exists, the column does not
    // and Agregar is set; true once the checks ran.
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo,
                    bool PermiteNulos, const Variant& ValorDefault = Variant());
    // ALTER TABLE dbo.Tabla ADD ...; an Empty ValorDefault adds no default.
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
                  bool PermiteNulos, const Variant& ValorDefault = Variant());

    // The synonym rewrite for non-administrators (DbReescrituras.cpp): their
    // statements read the restricted "SS_" views; "@Admin_" is dropped.
    QString SS_TSinonimos(const QString& Sentencia);
    // The statement in Oracle's dialect when gConnString names Oracle;
    // unchanged otherwise.
    QString ORACLE_Dicc(const QString& Valor);

    // Reads a configuration value by key (the session's Cfg). The session
    // sets it at start-up; without it "SS_CONFIDENCIALIDAD" reads as "".
    using LectorConfiguracion = std::function<QString(const QString& clave)>;
    void setLectorConfiguracion(LectorConfiguracion lector);
    // The programs exempt from some synonyms (by default from CN000pr.INI,
    // ProgramasExentos::configurados) and the running program's executable
    // name (by default this executable's).
    void setProgramasExentos(const ProgramasExentos& exentos);
    void setProgramaEnCurso(const QString& programa);

    // --- SQL literals and name utilities (DbLiterales.cpp) ---

    // Classifiers of ADO type codes (given as number or decimal text).
    bool adodate(const Variant& Qtype) const;
    bool ADOText(const Variant& Qtype) const;
    bool ADONumeric(const Variant& Qtype) const; // currency and boolean are not numeric
    bool ADOCurrency(const Variant& Qtype) const;
    bool ADOBoolean(const Variant& Qtype) const;
    // "'" for date and text codes, "" otherwise.
    QString ADOComilla(const Variant& Qtype) const;
    // The SQL literal of Valor: Tipo "@" a number with "." (Null: 0), "'" a
    // quoted text (Null: NULL), anything else the value as it is.
    Variant SQLValue(const Variant& Valor, const QString& Tipo) const;
    // Splits "owner.table" (rnPart: the part after the dot) or, with two
    // dots, strips the owner (writing it back). Error 5 on a name without
    // dot asked for its first part.
    QString stSTF(QString& rsName, bool rnPart) const;
    QString AddBrackets(const QString& rObjName) const;
    // Drops a connection suffix " -> x"; error 5 when the name starts with "->".
    QString StripConnect(const QString& rsTblName) const;
    QString StripBrackets(const QString& rsObjName) const;
    // The name after the first "."; written back into the argument.
    QString StripOwner(QString& rsTblName) const;
    // The folder of a path ("\" or "/"), without its separator; "" without one.
    QString StripFileName(const QString& rsFileName) const;

    // The connection string that OpenServerADODB builds from the members.
    QString cadenaConexionServidor() const;
    // The error log file TratamientoErrores writes to.
    QString archivoErroresEfectivo() const;

private:
    // The access dialog step: true when accepted (members updated).
    bool pedirDatosAcceso();
    // The answer to an error of OpenServerADODB: answer::Retry or leave.
    int tratarErrorApertura(const Error& error, bool MuestraError, bool& yaCerrada);
    // The administrator check after opening; its statements run under `pasos`.
    void validarAdministrador(HandledSteps& pasos, bool ValidaAdmin, bool MuestraError);
    // Shows the open-file dialog for a Jet file; false when cancelled.
    bool buscarArchivoLocal();

    // The statement routines' shared body and their Oracle path.
    QString prefijoYSinonimos(const QString& SentenciaSQL);
    void ejecutarConsulta(QString& SentenciaSQL, std::int64_t& RecordsAffected, db::Recordset* Lrcs,
                          const QString& titulo);
    void EjecutaLoteOracle(const QString& SentenciaSQL, std::int64_t& RecordsAffected);
    // ReintentaConectar, twice at most; gOpenFlag.
    bool reconectar();
    // The statement routines' rule for a lost link (nullopt when `error` is
    // something else). A plain query reconnects and runs once more unasked
    // (`reconexionSinPreguntar` records it). A text that may have written is
    // never run again unasked: the link is re-established and the operator,
    // told that nobody knows whether it was applied, decides. The answer is
    // answer::Retry to run the text again, else the operator's.
    std::optional<int> tratarConexionPerdida(const Error& error, const db::Errors& errores,
                                             const QString& sentencia,
                                             bool& reconexionSinPreguntar, const QString& rutina);

    library::FileDialog CmdDlg;

    // What the synonym rewrite needs from outside the data layer.
    LectorConfiguracion m_lectorConfiguracion;
    std::optional<ProgramasExentos> m_programasExentos; // read on first need
    std::optional<QString> m_programaEnCurso;
};

} // namespace estaciones::data
