#include "data/DB_Dll.h"

#include "data/ConexionPerdida.h"
#include "data/LoteOracle.h"
#include "platform/ui/OperatorInterface.h"

namespace estaciones::data {

namespace {

bool contiene(const QString& texto, const char* parte) {
    return texto.contains(QLatin1String(parte), Qt::CaseInsensitive);
}

// The numbers the statement routines never show: the caller tests the
// outcome itself when it must know.
bool esErrorSilencioso(std::int32_t numero) {
    return numero == errnum::E_FAIL || numero == errnum::IntegrityViolation ||
           numero == errnum::NoSuchTable || numero == errnum::CommandError;
}

bool esTruncamiento(const db::Errors& errores) {
    return errores.count() >= 1 && errores.item(0).nativeError == 8152;
}
} // namespace

QString DB_Dll::prefijoYSinonimos(const QString& SentenciaSQL) {
    QString texto = SentenciaSQL;
    const bool dropYCreate = contiene(texto, "DROP") && contiene(texto, "CREATE");
    const bool conPrefijo = contiene(texto, "@ADMIN_");
    if (!dropYCreate || conPrefijo) {
        texto.remove(QStringLiteral("@Admin_"), Qt::CaseInsensitive);
    } else if (!contiene(texto, "DELETE")) {
        texto = SS_TSinonimos(texto);
    }
    return texto;
}

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, std::int64_t& RecordsAffected,
                                db::Recordset* Lrcs) {
    ejecutarConsulta(SentenciaSQL, RecordsAffected, Lrcs,
                     QStringLiteral("Aviso al operador!!! - 4"));
}

void DB_Dll::EjecutaConsultaRSQL(QString& SentenciaSQL, std::int64_t& RecordsAffected,
                                 db::Recordset* Lrcs) {
    ejecutarConsulta(SentenciaSQL, RecordsAffected, Lrcs, QStringLiteral("Aviso al operador!!!"));
}

void DB_Dll::ejecutarConsulta(QString& SentenciaSQL, std::int64_t& RecordsAffected,
                              db::Recordset* Lrcs, const QString& titulo) {
    bool reescrita = false;
    bool reconexionSinPreguntar = false;
    for (;;) {
        try {
            if (!reescrita) {
                SentenciaSQL = prefijoYSinonimos(SentenciaSQL);
                reescrita = true;
            }
            if (contiene(gCnn.connectionString(), "ORACLE")) {
                EjecutaLoteOracle(SentenciaSQL, RecordsAffected);
            } else {
                db::Recordset resultado = gCnn.execute(SentenciaSQL, RecordsAffected);
                if (Lrcs) {
                    *Lrcs = resultado;
                }
            }
            // A truncation warning left behind by a statement that otherwise
            // ran is not news to the caller.
            const db::Errors& errores = gCnn.errors();
            if (errores.count() >= 1 && errores.count() <= 2 && !contiene(SentenciaSQL, "TRANS") &&
                esTruncamiento(errores)) {
                gCnn.errors().clear();
            }
            return;
        } catch (const std::exception& excepcion) {
            const Error error = Error::fromException(excepcion);
            // The rewrite itself never wrote: a lost link there is a query's.
            const std::optional<int> trasPerdida =
                tratarConexionPerdida(error, gCnn.errors(), reescrita ? SentenciaSQL : QString(),
                                      reconexionSinPreguntar, QStringLiteral("EjecutaConsultaSQL"));
            if (trasPerdida) {
                if (*trasPerdida == answer::Retry) {
                    continue;
                }
                return;
            }
            ignoringErrors([&] {
                const bool transaccional = contiene(SentenciaSQL, "TRANS");
                if (!transaccional && esTruncamiento(gCnn.errors())) {
                    gCnn.errors().clear();
                    return;
                }
                if (!esErrorSilencioso(error.number()) && !transaccional) {
                    ui::operatorInterface().messageBox(
                        error.description(), ui::style::OKOnly | ui::style::Critical, titulo);
                }
            });
            return;
        }
    }
}

void DB_Dll::EjecutaLoteOracle(const QString& SentenciaSQL, std::int64_t& RecordsAffected) {
    std::int64_t cuenta = 0;
    for (const PasoLoteOracle& paso : dividirLoteOracle(normalizarLoteOracle(SentenciaSQL))) {
        switch (paso.tipo) {
        case PasoLoteOracle::Tipo::IniciarTransaccion:
            gCnn.beginTrans();
            break;
        case PasoLoteOracle::Tipo::ConfirmarTransaccion:
            gCnn.commitTrans();
            break;
        case PasoLoteOracle::Tipo::DeshacerTransaccion:
            gCnn.rollbackTrans();
            break;
        case PasoLoteOracle::Tipo::Sentencia: {
            const QString sentencia = FiltraSentenciaOracle(ORACLE_Dicc(paso.texto));
            if (!sentencia.trimmed().isEmpty()) {
                gCnn.execute(sentencia, cuenta);
            }
            break;
        }
        }
        // The count is not reset between pieces: a transaction call adds the
        // previous statement's count again, as the suite's other programs do.
        RecordsAffected += cuenta;
    }
    const db::Errors& errores = gCnn.errors();
    if (errores.count() == 1 && errores.item(0).number == 265929) {
        gCnn.errors().clear();
    }
}

void DB_Dll::AbrirRecordset(QString& SentenciaSQL, db::Recordset& Lrcs,
                            std::optional<db::Connection> Conexionactiva, int CursorType,
                            int LockType, int Options, bool ConvOracle) {
    db::Connection conexion = Conexionactiva ? *Conexionactiva : gCnn;
    bool reconexionSinPreguntar = false;
    // The routine's statements, numbered as the error rule resumes them.
    int sentencia = 1;
    while (sentencia <= 5) {
        try {
            switch (sentencia) {
            case 1:
                CierraRecordset(Lrcs);
                sentencia = 2;
                break;
            case 2:
                SentenciaSQL = SS_TSinonimos(SentenciaSQL);
                sentencia = 3;
                break;
            case 3: {
                const qsizetype oracle =
                    conexion.connectionString().indexOf(QLatin1String("ORACLE"), 0, Qt::CaseInsensitive);
                sentencia = (oracle > 0 && ConvOracle) ? 5 : 4;
                break;
            }
            case 4:
                Lrcs.open(SentenciaSQL, conexion, CursorType, LockType, Options);
                return;
            case 5:
                Lrcs.open(ORACLE_Dicc(SentenciaSQL), conexion, CursorType, LockType, Options);
                return;
            }
        } catch (const std::exception& excepcion) {
            const Error error = Error::fromException(excepcion);
            // Only a lost link is worth running the same text again unasked,
            // and only once: any other error would fail the same way for ever.
            // Before the open (steps 1-3) nothing of the text has run.
            const std::optional<int> trasPerdida = tratarConexionPerdida(
                error, conexion.errors(), sentencia >= 4 ? SentenciaSQL : QString(),
                reconexionSinPreguntar, QStringLiteral("AbrirRecordset"));
            const int respuesta =
                trasPerdida
                    ? *trasPerdida
                    : TratamientoErrores(error, std::nullopt, QStringLiteral("AbrirRecordset"));
            if (respuesta == answer::Retry) {
                continue;
            }
            // Going on after a failed open ends the call: there is no
            // statement after it. The recordset stays closed.
            if (respuesta != answer::Ignore || sentencia >= 4) {
                return;
            }
            ++sentencia;
        }
    }
}

void DB_Dll::CierraRecordset(db::Recordset& LrcsTemp) {
    HandledSteps pasos([this](const Error& error) {
        if (error.number() == errnum::OperationNotAllowed) {
            return 0; // handled by the caller below
        }
        return TratamientoErrores(error, std::nullopt, QStringLiteral("CierraRecordset"));
    });
    pasos.run([&] {
        if (LrcsTemp.state() != db::adStateClosed) {
            LrcsTemp.close();
        }
    });
    if (pasos.lastStepFailed() && pasos.lastError()->number() == errnum::OperationNotAllowed) {
        // An edit was pending: drop it and close, whatever else fails.
        ignoringErrors([&] { LrcsTemp.cancelUpdate(); });
        ignoringErrors([&] {
            if (LrcsTemp.state() != db::adStateClosed) {
                LrcsTemp.close();
            }
        });
    }
}

void DB_Dll::QConsulta(const Variant&, const Variant&, const Variant&, const Variant&,
                       const Variant& /*CmpDisplay*/, const Variant& /*SQLWHERE*/) {
    // Kept for the suite's callers; the original did nothing here either.
}

void DB_Dll::QGridConsulta(const Variant& /*Sentencia*/, const Variant& /*CampoDevuelto1*/,
                           const Variant& /*gCnnString*/, const Variant& /*CampoDevuelto2*/,
                           const Variant& /*CampoDevuelto3*/) {
    // Kept for the suite's callers; the original did nothing here either.
}

} // namespace estaciones::data
