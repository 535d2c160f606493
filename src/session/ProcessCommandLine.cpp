#include "session/ProcessCommandLine.h"

#include <QCoreApplication>

#include <optional>

namespace estaciones::session {

namespace {
std::optional<QString>& establecida() {
    static std::optional<QString> linea;
    return linea;
}
} // namespace

QString unirArgumentos(const QStringList& argumentosConPrograma) {
    return argumentosConPrograma.mid(1).join(u' ');
}

QString lineaComandosProceso() {
    if (establecida()) {
        return *establecida();
    }
    return unirArgumentos(QCoreApplication::arguments());
}

void establecerLineaComandosProceso(const QString& linea) {
    establecida() = linea;
}

void olvidarLineaComandosProceso() {
    establecida().reset();
}

} // namespace estaciones::session
