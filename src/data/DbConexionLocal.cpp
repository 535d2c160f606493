#include "data/DB_Dll.h"

#include "data/DataTexts.h"
#include "platform/ui/OperatorInterface.h"

#include <QRegularExpression>

#include <optional>

namespace estaciones::data {

namespace {

const QString fragmentoPassword = QStringLiteral("Jet OLEDB:Database Password=");

// gExtended with its Jet password fragment (if any) replaced by `fragmento`,
// so that each new password replaces the one that failed.
QString conFragmentoPassword(const QString& extendido, const QString& fragmento) {
    static const QRegularExpression anterior(
        QStringLiteral("\\s*Jet OLEDB:Database Password=[^;]*;"),
        QRegularExpression::CaseInsensitiveOption);
    QString resultado = extendido;
    resultado.remove(anterior);
    return resultado + fragmento;
}

bool esArchivoNoEncontrado(const QString& estado) {
    return estado == u"3024" || estado == u"3051" || estado == u"3044";
}

} // namespace

bool DB_Dll::buscarArchivoLocal() {
    CmdDlg.setTitle(texts::buscarBaseDatos);
    CmdDlg.setFilter(texts::filtroAccess);
    if (!CmdDlg.showOpen()) {
        return false;
    }
    gDBName = CmdDlg.fileName();
    return true;
}

void DB_Dll::OpenLocalADODB(const QString& ConnString, const QString& CadenaID,
                            const QString& CadenaPWD) {
    // The original never set gOpenFlag here, leaving a stale value for callers
    // that test it after opening; it now tells the outcome.
    gOpenFlag = false;
    QString ultimaFallida;
    std::optional<Error> ultimoError;
    const auto informar = [](const Error& error) {
        ui::operatorInterface().messageBox(QString::number(error.number()) + QStringLiteral("  ") +
                                               error.description(),
                                           ui::style::Critical);
    };
    for (;;) {
        if (gDBName.trimmed().isEmpty() && !buscarArchivoLocal()) {
            return;
        }
        const QString cadena = !ConnString.isEmpty()
                                   ? ConnString
                                   : QStringLiteral("PROVIDER=") + gProveedor +
                                         QStringLiteral(";Data Source =") + gDBName + u';' +
                                         CadenaID + u'=' + gUsuario + u';' + CadenaPWD + u'=' +
                                         gUserPassWord + u';' + gExtended;
        // Trying the very string that just failed would loop for ever (a wrong
        // stored password, a given string that no file search changes).
        if (ultimoError && cadena == ultimaFallida) {
            informar(*ultimoError);
            return;
        }
        try {
            gCnn.open(cadena, {}, {}, db::adOptionUnspecified);
            gConnString = cadena;
            gOpenFlag = true;
            return;
        } catch (const Error& error) {
            ultimaFallida = cadena;
            ultimoError = error;
            const QString estado =
                gCnn.errors().count() > 0 ? gCnn.errors().item(0).sqlState : QString();
            if (esArchivoNoEncontrado(estado)) {
                if (!buscarArchivoLocal()) {
                    return;
                }
                continue;
            }
            if (estado == u"3031") {
                QString fragmento;
                if (gIgnoraPassWord.toBool()) {
                    fragmento = fragmentoPassword + gUserPassWord + u';';
                } else {
                    const auto password = ui::operatorInterface().inputBox(texts::ingresePassword,
                                                                           texts::tituloPassword);
                    if (!password) {
                        return; // the operator gave up
                    }
                    fragmento = u' ' + fragmentoPassword + *password + u';';
                }
                // Through gExtended, so the next string really carries it.
                gExtended = conFragmentoPassword(gExtended, fragmento);
                continue;
            }
            informar(error);
            return;
        }
    }
}

} // namespace estaciones::data
