#include "session/routines/MenuExes.h"

#include "data/SharedDb.h"
#include "platform/core/ErrorHandling.h"
#include "platform/os/Desktop.h"
#include "platform/os/System.h"
#include "platform/ui/OperatorInterface.h"
#include "session/MostrarError.h"
#include "session/SessionParameters.h"
#include "session/library/SharedObjects.h"
#include "session/routines/RoutinesTexts.h"

namespace estaciones::session {

namespace {

// The suite writes "SHELL:" in front of a program to start as it stands.
const QString prefijoShell = QStringLiteral("SHELL:");

bool esRuta(const QString& programa) {
    // Paths written on Windows use "\"; here they use "/".
    return programa.contains(QLatin1Char('\\')) || programa.contains(QLatin1Char('/'));
}

QString carpetaPrograma() {
    const library::TextHelper& texto = library::textHelper();
    return gCarpetaPrograma.isEmpty() ? texto.folder(os::programFolder())
                                      : texto.folder(gCarpetaPrograma);
}

// The program to start, in quotes when it has blanks, so that a program
// folder such as "/opt/mis programas/" stays one word of the command.
QString programaComoPalabra(const QString& ruta) {
    if (ruta.contains(QLatin1Char(' ')) && !ruta.contains(QLatin1Char('"'))) {
        return QLatin1Char('"') + ruta + QLatin1Char('"');
    }
    return ruta;
}

// A path starts as given and a bare name from the program folder, with or
// without the prefix; only a leading "SHELL:" is cut, never six characters
// of a path that does not carry it.
QString programaAIniciar(const QString& programa) {
    const QString nombre = programa.startsWith(prefijoShell, Qt::CaseInsensitive)
                               ? programa.mid(prefijoShell.size())
                               : programa;
    return esRuta(nombre) ? nombre : carpetaPrograma() + nombre;
}

} // namespace

QString colaComandoSesion(const QString& parametroAdicional) {
    const data::DB_Dll& db = data::sharedDb();
    return QStringLiteral(" ; @server=") + db.gServidor + QStringLiteral("; @dbname=") +
           db.gDBName + QStringLiteral("; @usuario=") + db.gUsuario +
           QStringLiteral("; @Password=") + db.gUserPassWord +
           QStringLiteral("; @ParametroAdicional=") + parametroAdicional +
           QStringLiteral("; kelp@ ; @UsuarioLogeado = ") + gUsuarioLogeado +
           QStringLiteral("; @Caja=") + gCaja + QStringLiteral(";");
}

void MenuExes(const QString& programa, const QString& parametroAdicional, std::int32_t& proceso) {
    HandledSteps pasos([](const Error& e) { return MostrarError(e, QStringLiteral("MenuExes")); });
    proceso = 0;
    QString comando;
    if (!pasos.run([&] {
            comando = programaComoPalabra(programaAIniciar(programa)) +
                      colaComandoSesion(parametroAdicional);
        }) ||
        !pasos.run([&] {
            // Process ids fit the suite's 32-bit number.
            proceso = static_cast<std::int32_t>(
                os::desktop().startProcess(comando, os::windowstyle::Normal));
        })) {
        return;
    }
    if (proceso == 0) {
        pasos.run([] {
            ui::operatorInterface().messageBox(texts::opcionNoImplementada, ui::style::Critical,
                                               texts::tituloAtencion);
        });
    }
}

} // namespace estaciones::session
