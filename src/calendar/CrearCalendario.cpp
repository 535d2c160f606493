#include "calendar/CrearCalendario.h"

#include "calendar/CalendarTexts.h"
#include "calendar/VerVistas.h"
#include "data/SharedDb.h"
#include "platform/core/ErrorHandling.h"
#include "platform/os/System.h"
#include "platform/ui/OperatorInterface.h"
#include "session/Configuracion.h"
#include "session/library/SharedObjects.h"

namespace estaciones::calendar {

namespace {
// The first error the connection holds, shown as the operator's message.
bool mostrarPrimerError(data::DB_Dll& db) {
    if (db.gCnn.errors().count() == 0) {
        return false;
    }
    ui::operatorInterface().messageBox(db.gCnn.errors().item(0).description);
    return true;
}
} // namespace

bool requiereScriptCalendario(const QString& fechaUpdate) {
    return fechaUpdate.compare(texts::fechaCorteScript, Qt::CaseInsensitive) <= 0;
}

ResultadoCreacion CrearCalendario(int año) {
    ResultadoCreacion resultado;
    // The statements take the number as the program writes it, never a text
    // the operator could have put in the year box.
    const QString anio = QString::number(año);
    data::DB_Dll& db = data::sharedDb();
    // Errors left by earlier operations are not this click's: the messages
    // below must speak only of what it did.
    db.gCnn.errors().clear();
    const QString fechaUpdate = library::textHelper()
                                    .nullToEmpty(session::Cfg(QStringLiteral("FECHAUPDATE")))
                                    .toString()
                                    .trimmed();
    if (requiereScriptCalendario(fechaUpdate)) {
        bool permiteDrop = false;
        VerVistas(library::textHelper().folder(os::programFolder()) + texts::scriptCalendario,
                  QString(), permiteDrop);
        resultado.scriptEjecutado = true;
    }

    // The call goes straight to the connection. A provider failure (a
    // missing procedure, say) is in its Errors collection, which the next
    // step reports.
    const std::optional<Error> fallo = ignoringErrors([&] {
        db.gCnn.execute(QStringLiteral("ts_CreaCalendario '") + anio + QStringLiteral("0101','") +
                            anio + QStringLiteral("1231'"),
                        nullptr, db::adOptionUnspecified);
    });
    if (!mostrarPrimerError(db)) {
        // A failure outside the provider (the connection is gone) leaves no
        // record in Errors: it must not read as success.
        if (fallo) {
            ui::operatorInterface().messageBox(fallo->description());
        } else {
            ui::operatorInterface().messageBox(texts::calendarioCreado + anio);
            resultado.creado = true;
        }
    }

    QString domingos =
        QStringLiteral("update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, Fecha) in "
                       "('Domingo','Sunday') AND YEAR(FECHA) = ") +
        anio;
    std::int64_t filas = 0;
    db.EjecutaConsultaSQL(domingos, filas);
    mostrarPrimerError(db);
    return resultado;
}

} // namespace estaciones::calendar
