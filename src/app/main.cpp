#include "app/RespuestasAutomaticas.h"
#include "calendar/CrearCalendario.h"
#include "calendar/window/R.h"
#include "data/SharedDb.h"
#include "data/widgets/QtAccesoDialogo.h"
#include "platform/ui/QtOperatorInterface.h"
#include "session/ArranquePrograma.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char** argv) {
    using namespace estaciones;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Estaciones"));
    QApplication::setApplicationVersion(QStringLiteral(ESTACIONES_VERSION));
    ui::installSpanishTranslations(app);

    ui::QtOperatorInterface operatorInterface;
    data::QtAccesoDialogo accesoDialogo;
    ui::setOperatorInterface(&operatorInterface);
    data::setAccesoDialogo(&accesoDialogo);

    // Automated runs answer the dialogs from the environment (see RespuestasAutomaticas.h).
    std::unique_ptr<app::RespuestasAutomaticas> automaticas;
    if (auto respuestas = app::RespuestasAutomaticas::desdeEntorno()) {
        automaticas = std::make_unique<app::RespuestasAutomaticas>(operatorInterface, *respuestas);
        ui::setOperatorInterface(automaticas.get());
        data::setAccesoDialogo(automaticas.get());
    }

    // The calendar window R: its load starts the session (connection,
    // configuration, access log) before it paints the year.
    calendar::window::RSession sesion;
    sesion.IniciarSesion = [] {
        return session::arrancarPrograma(QCoreApplication::arguments()) !=
               session::ResultadoInicio::TerminarPrograma;
    };
    sesion.endProgram = [] { QCoreApplication::quit(); };
    sesion.CrearCalendario = [](calendar::window::R& r) {
        calendar::CrearCalendario(r.yearText());
    };
    calendar::window::R window(data::sharedDb(), sesion);
    if (!window.Form_Load()) {
        // The main connection could not be opened: the program ends.
        data::releaseSharedDb();
        return 1;
    }
    window.show();
    // Automated runs that only check the start-up leave once the window is up.
    if (qEnvironmentVariableIsSet("ESTACIONES_SALIR_TRAS_INICIO")) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    const int resultado = QApplication::exec();
    data::releaseSharedDb();
    return resultado;
}
