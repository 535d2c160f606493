// The Oracle dictionary rewrites any statement text without crashing.
#include "FuzzInput.h"

#include "data/DiccionarioOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    estaciones::data::traducirParaOracle(estaciones::fuzz::textOf(data, size));
    return 0;
}
