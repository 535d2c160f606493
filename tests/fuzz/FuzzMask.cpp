// The lookups' mask file (consultas.tsf): a record of any bytes decodes, and
// a file of any bytes is searched without crashing.
#include "FuzzInput.h"

#include "lookup/MascaraConsultas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace estaciones;
    const QByteArray bytes = fuzz::bytesOf(data, size);
    lookup::decodificarRegistroMascara(bytes);
    const QString file = fuzz::writeScratchFile(QStringLiteral("consultas.tsf"), bytes);
    fuzz::answering([&] { lookup::buscarRegistroMascara(file, QStringLiteral("MA_ARTICULOS")); });
    return 0;
}
