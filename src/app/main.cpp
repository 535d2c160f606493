#include "app/BarraEstadoVentana.h"
#include "app/CierrePorSenal.h"
#include "app/ReproduccionEntrada.h"
#include "app/RespuestasAutomaticas.h"
#include "articles/widgets/AltaRapida.h"
#include "calendar/CrearCalendario.h"
#include "calendar/window/R.h"
#include "data/SharedDb.h"
#include "data/widgets/QtAccesoDialogo.h"
#include "lookup/ConsultasCompartidas.h"
#include "lookup/NuevoRegistro.h"
#include "lookup/widgets/InstalarVentanasConsulta.h"
#include "platform/ui/QtOperatorInterface.h"
#include "session/ArranquePrograma.h"
#include "session/access/ArmarBarraEstado.h"
#include "session/access/FinalizarSesion.h"
#include "session/access/RegistrarAcceso.h"
#include "session/statistics/PrepararEstadisticas.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

#include <memory>

int main(int argc, char** argv) {
    using namespace estaciones;
    QApplication app(argc, argv);
    app::recibirSenalesDeCierre();
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

    // The statistics login, database and connection, right after the main connection.
    session::extensionesInicio().prepararEstadisticas = session::estadisticas::PrepararEstadisticas;

    // The lookup controller (connection, masks, the mask file written when
    // missing) and its Qt windows; then the access log row.
    lookup::widgets::instalarVentanasConsulta();
    // "N&uevo" on an article lookup registers the article on the spot.
    lookup::altaRapidaArticulo() = articulos::altaRapidaDesdeConsulta;
    session::extensionesInicio().configurarConsultas = lookup::configurarConsultas;
    session::extensionesInicio().registrarAcceso = session::RegistrarAcceso;

    // The calendar window R: its load starts the session (connection,
    // configuration, access log) before it paints the year.
    calendar::window::RSession sesion;
    sesion.IniciarSesion = [] {
        return session::arrancarPrograma(QCoreApplication::arguments()) !=
               session::ResultadoInicio::TerminarPrograma;
    };
    sesion.ArmarBarraEstado = [](QStatusBar& sbStatusBar, const QString& texto) {
        app::BarraEstadoVentana barra(sbStatusBar);
        session::ArmarBarraEstado(barra, texto);
    };
    sesion.FinalizarSesion = session::FinalizarSesion;
    sesion.endProgram = [] { QCoreApplication::quit(); };
    sesion.CrearCalendario = [](calendar::window::R&, int anio) {
        calendar::CrearCalendario(anio);
    };
    // The window is never destroyed: by the end the session has closed its
    // connections and written its access log (Form_Unload), and taking its
    // hundreds of widgets apart one by one would only lengthen the exit. The
    // static keeps it reachable, so leak checkers do not report it.
    static calendar::window::R* ventana = nullptr;
    ventana = new calendar::window::R(data::sharedDb(), sesion);
    calendar::window::R& window = *ventana;
    if (!window.Form_Load()) {
        // The main connection could not be opened: the program ends.
        data::releaseSharedDb();
        return 1;
    }
    window.show();
    app::cerrarConSenales(window);
    // Automated runs that only check the start-up close the window once it is
    // up, as the operator would, so the session ends as after "Salir"; the
    // variable holds the wait in milliseconds (any other value: at once).
    if (qEnvironmentVariableIsSet("ESTACIONES_SALIR_TRAS_INICIO")) {
        QTimer::singleShot(qEnvironmentVariableIntValue("ESTACIONES_SALIR_TRAS_INICIO"), &window,
                           &QWidget::close);
    }
    // End-to-end runs replay an operator's input (see ReproduccionEntrada.h).
    QString errorReproduccion;
    const QStringList pasos = app::ReproduccionEntrada::pasosDesdeEntorno(errorReproduccion);
    if (!errorReproduccion.isEmpty()) {
        std::fprintf(stderr, "%s\n", errorReproduccion.toLocal8Bit().constData());
        data::releaseSharedDb();
        return 3;
    }
    if (!pasos.isEmpty()) {
        app::ReproduccionEntrada::Respuestas respuestas;
        respuestas.color = [&automaticas](std::uint32_t bgr) {
            if (automaticas) {
                automaticas->responderColor(bgr);
            }
        };
        respuestas.archivo = [&automaticas](const QString& ruta) {
            if (automaticas) {
                automaticas->responderArchivo(ruta);
            }
        };
        auto* reproduccion = new app::ReproduccionEntrada(window, pasos, std::move(respuestas));
        reproduccion->comenzar();
    }
    const int resultado = QApplication::exec();
    lookup::liberarConsultas();
    data::releaseSharedDb();
    return resultado;
}
