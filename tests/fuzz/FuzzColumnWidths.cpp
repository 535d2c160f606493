// The lookups' saved column widths (CONSULTASLEN.TSF) of any content.
#include "FuzzInput.h"

#include "lookup/AnchosColumnas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace estaciones;
    fuzz::writeScratchFile(QStringLiteral("CONSULTASLEN.TSF"), fuzz::bytesOf(data, size));
    fuzz::answering([] {
        lookup::leerAnchosColumnas(fuzz::scratchFolder().path(), QStringLiteral("MA_ARTICULOS"));
    });
    return 0;
}
