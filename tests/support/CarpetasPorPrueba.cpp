#include "support/CarpetasPorPrueba.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace estaciones::test {

namespace {

struct Estado {
    std::unique_ptr<QTemporaryDir> temporal;
    std::optional<QByteArray> anterior;
};

Estado& estado() {
    static Estado e;
    return e;
}

} // namespace

void CarpetasPorPrueba::OnTestStart(const ::testing::TestInfo&) {
    Estado& e = estado();
    e.temporal = std::make_unique<QTemporaryDir>();
    e.anterior = qEnvironmentVariableIsSet("TEMP") ? std::optional<QByteArray>(qgetenv("TEMP"))
                                                   : std::nullopt;
    qputenv("TEMP", e.temporal->path().toLocal8Bit());
}

void CarpetasPorPrueba::OnTestEnd(const ::testing::TestInfo&) {
    Estado& e = estado();
    if (e.anterior) {
        qputenv("TEMP", *e.anterior);
    } else {
        qunsetenv("TEMP");
    }
    e.temporal.reset();
}

} // namespace estaciones::test
