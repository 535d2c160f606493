// The suite's "@clave=valor;" command line: any text gives fields.
#include "FuzzInput.h"

#include "session/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace estaciones::session;
    const QString line = estaciones::fuzz::textOf(data, size);
    analizarLineaComandos(line);
    valorClave(line, QStringLiteral("@Server"));
    return 0;
}
