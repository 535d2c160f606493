#include "app/CierrePorSenal.h"

#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace estaciones::app {

namespace {

// The signal handler may only write(): the byte wakes the event loop, which
// closes the window outside the handler.
int tuberia[2] = {-1, -1};

void alRecibirSenal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t escrito = ::write(tuberia[0], &byte, 1);
}

} // namespace

void recibirSenalesDeCierre() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, tuberia) != 0) {
        return; // without the pair the default action (ending at once) stays
    }
    struct sigaction accion {};
    accion.sa_handler = alRecibirSenal;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &accion, nullptr);
    ::sigaction(SIGHUP, &accion, nullptr);
}

void cerrarConSenales(QWidget& ventana) {
    if (tuberia[1] < 0) {
        return;
    }
    auto* aviso = new QSocketNotifier(tuberia[1], QSocketNotifier::Read, &ventana);
    QObject::connect(aviso, &QSocketNotifier::activated, &ventana, [&ventana] {
        char byte = 0;
        [[maybe_unused]] const ssize_t leido = ::read(tuberia[1], &byte, 1);
        ventana.close();
    });
}

} // namespace estaciones::app
