#include "session/MostrarError.h"

#include "data/DataTexts.h"
#include "data/RegistroErrores.h"
#include "data/SharedDb.h"
#include "platform/core/ErrorHandling.h"
#include "platform/os/System.h"
#include "platform/ui/OperatorInterface.h"
#include "session/SessionTexts.h"
#include "session/library/SharedObjects.h"

#include <QCoreApplication>
#include <QDateTime>

namespace estaciones::session {

QString archivoRegistroErrores() {
    // "TEMP", then TMP/TMPDIR, then the system's folder; the library's
    // writable fallback when none is usable.
    QString carpeta = os::temporaryFolder().trimmed();
    if (carpeta.isEmpty() || !os::isFolderWritable(carpeta)) {
        carpeta = library::systemInfo().temporaryFolder();
    }
    return library::textHelper().folder(carpeta) + data::texts::archivoErroresPorDefecto;
}

int MostrarError(const Error& errorObj, std::optional<int> botones, std::optional<QString> rutina) {
    if (errorObj.number() == 0) {
        return 0;
    }
    int respuesta = 0;
    ignoringErrors([&] {
        const QString mensaje = data::texts::errorOcurrido + QString::number(errorObj.number()) +
                                QStringLiteral(") ") + errorObj.description().trimmed();
        const QString parteRutina = rutina ? QStringLiteral(" - ") + *rutina : QString();
        // The program's own errors carry its title as their source.
        const QString origen =
            errorObj.source().isEmpty() ? QCoreApplication::applicationName() : errorObj.source();
        const QString titulo = origen + parteRutina + texts::avisoOperadorGeneral;
        respuesta = ui::operatorInterface().messageBox(
            mensaje, botones.value_or(ui::style::AbortRetryIgnore | ui::style::Critical), titulo);
        ignoringErrors([&] {
            data::agregarLineaRegistro(archivoRegistroErrores(),
                                       data::lineaRegistroErrores(QDateTime::currentDateTime(),
                                                                  parteRutina, mensaje, respuesta));
        });
    });
    return respuesta;
}

void RegistrarErrorAux(const QString& sentencia, const QString& proceso, std::int32_t numeroError,
                       const QString& descripcion) {
    Q_UNUSED(proceso); // the column always receives the program's own name
    data::DB_Dll& db = data::sharedDb();
    db::Recordset rs;
    QString consulta = QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) ");
    ignoringErrors([&] {
        db.AbrirRecordset(consulta, rs, std::nullopt, db::adOpenDynamic, db::adLockOptimistic);
    });
    ignoringErrors([&] { rs.addNew(); });
    auto asignar = [&rs](const char* campo, const Variant& valor) {
        ignoringErrors([&] { rs[QString::fromLatin1(campo)].setValue(valor); });
    };
    asignar("Proceso", os::executableName());
    asignar("Fecha", QDateTime::currentDateTime().toString(formatoQt(FormatoFechaHora())));
    asignar("Error", numeroError);
    asignar("Descripcion", library::textHelper().cut(descripcion, 250));
    asignar("SQL", sentencia);
    asignar("PC", library::systemInfo().machineName());
    asignar("Usuario", db.gUsuario);
    ignoringErrors([&] { rs.update(); });
    ignoringErrors([&] { db.CierraRecordset(rs); });
}

QString FormatoFechaHora() {
    return QStringLiteral("dd/mm/yy hh:mm");
}

QString FormatoFecha() {
    return QStringLiteral("dd/mm/yy");
}

QString FormatoHora() {
    return QStringLiteral("hh:mm");
}

QString formatoQt(const QString& patronVb) {
    // VB reads "m"/"mm" as minutes right after an hour (and before seconds),
    // as the month everywhere else; "h" is always the 24-hour clock here.
    QString resultado;
    bool despuesDeHora = false;
    for (qsizetype i = 0; i < patronVb.size();) {
        const QChar c = patronVb[i].toLower();
        qsizetype n = 1;
        while (i + n < patronVb.size() && patronVb[i + n].toLower() == c) {
            ++n;
        }
        const QString grupo = patronVb.mid(i, n);
        if (c == QLatin1Char('h')) {
            resultado += QString(n, QLatin1Char('H'));
            despuesDeHora = true;
        } else if (c == QLatin1Char('m')) {
            const bool antesDeSegundos =
                patronVb.indexOf(QLatin1Char('s'), i + n, Qt::CaseInsensitive) >= 0 &&
                !patronVb.mid(i + n).contains(QLatin1Char('d'), Qt::CaseInsensitive);
            resultado += (despuesDeHora || antesDeSegundos) ? QString(n, QLatin1Char('m'))
                                                            : QString(n, QLatin1Char('M'));
        } else if (c == QLatin1Char('n')) {
            resultado += QString(n, QLatin1Char('m')); // VB's explicit minutes
        } else {
            if (c == QLatin1Char('d') || c == QLatin1Char('y')) {
                despuesDeHora = false;
            }
            resultado += (c == QLatin1Char('d') || c == QLatin1Char('y') || c == QLatin1Char('s'))
                             ? grupo.toLower()
                             : grupo;
        }
        i += n;
    }
    return resultado;
}

} // namespace estaciones::session
