#include "session/EjecutorScripts.h"

#include "data/SharedDb.h"
#include "platform/os/Desktop.h"
#include "platform/os/System.h"
#include "platform/ui/OperatorInterface.h"
#include "session/Archivos.h"
#include "session/Configuracion.h"
#include "session/LotesScript.h"
#include "session/SessionTexts.h"
#include "session/library/SharedObjects.h"
#include "session/library/Windows1252.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QTime>

namespace estaciones::session {

namespace {

constexpr int pasadasMaximas = 20;
const QString asteriscos(112, QLatin1Char('*'));
const QString finDeLinea = QStringLiteral("\r\n");

bool esDestructiva(const QString& linea, const ReglasScript& reglas) {
    if (!linea.contains(QLatin1String("drop table"), reglas.mayusculas) &&
        !linea.contains(QLatin1String("truncate table"), reglas.mayusculas)) {
        return false;
    }
    for (const QString& exenta : reglas.exentasDeClave) {
        if (linea.contains(exenta, reglas.mayusculas)) {
            return false;
        }
    }
    return true;
}

// Asks for the unlock key; false (after telling the operator) when refused.
bool claveAceptada(const QString& linea, Qt::CaseSensitivity cs) {
    ui::OperatorInterface& ui = ui::operatorInterface();
    const auto respuesta = ui.inputBox(texts::pedirClave + finDeLinea + linea, texts::tituloClave);
    if (respuesta.value_or(QString()).compare(texts::claveDesbloqueo, cs) == 0) {
        return true;
    }
    ui.messageBox(texts::comandoEliminacion + finDeLinea + texts::operacionAbortada,
                  ui::style::OKOnly | ui::style::Critical, texts::tituloAbortada);
    return false;
}

QString reescribirVistaCuentas(const QString& lote, const QString& archivo, bool confidencial,
                               Qt::CaseSensitivity cs) {
    const bool scriptDeVistas = archivo.contains(QLatin1String("VISTAS"), cs) ||
                                archivo.contains(QLatin1String("COMPLETO"), cs);
    if (!scriptDeVistas || !lote.contains(QLatin1String("CREATE VIEW dbo.SS_MA_CUENTAS"), cs)) {
        return lote;
    }
    return confidencial ? texts::vistaCuentasConfidencial : texts::vistaCuentasPlana;
}

void escribir(QFile& registro, const QString& texto) {
    registro.write(library::toWindows1252(texto + finDeLinea));
}

void registrarError(QFile& registro, const db::ProviderError& error, const QString& lote) {
    const QLocale regional = QLocale::system();
    escribir(registro, asteriscos);
    escribir(registro, regional.toString(QDate::currentDate(), QLocale::ShortFormat) +
                           QStringLiteral(" - ") +
                           regional.toString(QTime::currentTime(), QLocale::ShortFormat));
    escribir(registro, QStringLiteral("  Error ") + QString::number(error.nativeError) +
                           QLatin1Char(' ') + error.description);
    escribir(registro, asteriscos);
    escribir(registro, lote);
    escribir(registro, asteriscos);
    registro.flush();
}

} // namespace

bool esErrorNoRegistrado(std::int32_t nativo) {
    switch (nativo) {
    case 208:
    case 1779:
    case 1781:
    case 1913:
    case 2714:
    case 2729:
        return true;
    default:
        return false;
    }
}

QString archivoRegistroScript() {
    QString carpeta = os::environmentVariable(QStringLiteral("TEMP")).trimmed();
    if (carpeta.isEmpty()) {
        carpeta = library::systemInfo().temporaryFolder();
    }
    const QTime ahora = QTime::currentTime();
    return library::textHelper().folder(carpeta) + QStringLiteral("Script%1%2%3.TXT")
                                                       .arg(ahora.hour())
                                                       .arg(ahora.minute())
                                                       .arg(ahora.second());
}

QString reemplazarMacros(const QString& lote, Qt::CaseSensitivity mayusculas) {
    // Every placeholder opens with "<": most batches have none, and the
    // regional texts of today and now (a time zone look-up each) are not
    // worth building for them.
    if (!lote.contains(QLatin1Char('<'))) {
        return lote;
    }
    const QLocale regional = QLocale::system();
    const QDate hoy = QDate::currentDate();
    auto corta = [&regional](const QDate& fecha) {
        return regional.toString(fecha, QLocale::ShortFormat);
    };
    QString texto = lote;
    texto.replace(QLatin1String("<DATE>"), corta(hoy), mayusculas);
    texto.replace(QLatin1String("<NOW>"),
                  regional.toString(QDateTime::currentDateTime(), QLocale::ShortFormat),
                  mayusculas);
    texto.replace(QLatin1String("<DATE+YEAR>"), corta(hoy.addYears(1)), mayusculas);
    texto.replace(QLatin1String("<DATE-YEAR>"), corta(hoy.addYears(-1)), mayusculas);
    texto.replace(QLatin1String("<DATABASE>"), data::sharedDb().gDBName.toUpper(), mayusculas);
    return texto;
}

ResultadoScript ejecutarScript(const QString& archivo, const QString& solo, bool& permiteDrop,
                               const ReglasScript& reglas) {
    ResultadoScript resultado;
    if (archivo.isEmpty()) {
        return resultado;
    }
    const Qt::CaseSensitivity cs = reglas.mayusculas;
    ui::OperatorInterface& ui = ui::operatorInterface();
    data::DB_Dll& db = data::sharedDb();
    HandledSteps preparacion(reglas.errorPreparacion);

    bool confidencial = false;
    QFile registro;
    // The file is read again at each pass, a batch at a time: a script of any
    // size runs in the memory of its largest batch.
    LotesScript lectura(cs);
    const bool preparado = preparacion.run([&] {
        resultado.archivoRegistro = archivoRegistroScript();
    }) && preparacion.run([&] {
        if (archivo.contains(QLatin1String("VISTAS"), cs)) {
            confidencial = Cfg(QStringLiteral("SS_Confidencialidad"))
                               .compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
        }
    }) && preparacion.run([&] {
        registro.setFileName(resultado.archivoRegistro);
        if (!registro.open(QIODevice::WriteOnly | QIODevice::Append)) {
            throw Error(errnum::PathFileAccessError, registro.errorString());
        }
    }) && preparacion.run([&] {
        if (!lectura.open(archivo)) {
            throw Error(errnum::FileNotFound,
                        standardDescription(errnum::FileNotFound) + QStringLiteral(": ") + archivo);
        }
    });
    if (!preparado) {
        return resultado;
    }

    // The whole file is looked at before anything runs: a destructive line
    // whose key is refused stops the script with nothing done.
    lectura.alLeerLinea = [&](const QString& linea) {
        if (!permiteDrop && esDestructiva(linea, reglas)) {
            if (!claveAceptada(linea, cs)) {
                resultado.abortado = true;
                return false;
            }
            permiteDrop = true;
        }
        ui.processEvents();
        return true;
    };
    while (lectura.next()) {
        ++resultado.lotes;
    }
    if (resultado.abortado) {
        return resultado;
    }

    std::int64_t filas = 0;
    ignoringErrors([&] {
        QString nocount = QStringLiteral("SET NOCOUNT ON");
        db.EjecutaConsultaSQL(nocount, filas);
        if (db.gCnn.errors().count() > 0) {
            ui.messageBox(db.gCnn.errors().item(0).description);
            db.gCnn.errors().clear();
        }
    });

    for (int pasada = 1; pasada <= pasadasMaximas; ++pasada) {
        resultado.pasadas = pasada;
        bool repetir = false;
        LotesScript lotes(cs);
        if (!lotes.open(archivo)) {
            break; // gone since it was read: the passes so far are what ran
        }
        // A destructive line now that was not there when the key was asked:
        // the file changed under the run, which stops before that batch.
        lotes.alLeerLinea = [&](const QString& linea) {
            if (!permiteDrop && esDestructiva(linea, reglas)) {
                resultado.abortado = true;
                return false;
            }
            ui.processEvents();
            return true;
        };
        while (const std::optional<QString> lote = lotes.next()) {
            QString texto = reemplazarMacros(*lote, cs);
            ui.processEvents();
            if (solo.isEmpty() || texto.contains(solo, cs)) {
                texto = reescribirVistaCuentas(texto, archivo, confidencial, cs);
                const bool ejecutar = pasada == 1
                                          ? !texto.contains(QLatin1String("FMT_ESTADISTICAFH"), cs)
                                          : !texto.contains(QLatin1String("drop "), cs);
                ignoringErrors([&] {
                    if (ejecutar) {
                        filas = 0;
                        db.EjecutaConsultaSQL(texto, filas);
                    }
                    // A batch skipped in a later pass has nothing to log.
                    if ((pasada == 1 || ejecutar) && db.gCnn.errors().count() > 0) {
                        const db::ProviderError& primero = db.gCnn.errors().item(0);
                        if (!esErrorNoRegistrado(primero.nativeError)) {
                            registrarError(registro, primero, texto);
                            resultado.huboErrores = true;
                        }
                    }
                });
                ignoringErrors([&] {
                    if (!repetir && db.gCnn.errors().count() > 0 &&
                        db.gCnn.errors().item(0).nativeError == 208) {
                        repetir = true;
                    }
                });
            }
            ignoringErrors([&] { db.gCnn.errors().clear(); });
            ui.processEvents();
        }
        if (!repetir || resultado.abortado) {
            break;
        }
    }

    registro.close();
    if (resultado.huboErrores && !reglas.sinAvisoFinal) {
        ui.messageBox(texts::erroresDetectados + resultado.archivoRegistro);
        AbrirArchivo(resultado.archivoRegistro, true);
    }
    return resultado;
}

} // namespace estaciones::session
