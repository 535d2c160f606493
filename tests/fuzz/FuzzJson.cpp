// The lenient JSON reader of the master service's answers: any text gives a
// result or an error text, never a crash.
#include "FuzzInput.h"

#include "articles/JSON.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto result = estaciones::LeerJson(estaciones::fuzz::textOf(data, size));
    if (!result && estaciones::ErroresJson().isEmpty()) {
        estaciones::fuzz::brokenPromise("sin resultado y sin error");
    }
    return 0;
}
