// The T-SQL tokenizer: every text splits into tokens that give it back.
#include "FuzzInput.h"

#include "platform/db/embedded/parse/Tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace estaciones::db::tsql;
    const QString text = estaciones::fuzz::textOf(data, size);
    if (detokenize(tokenize(text)) != text) {
        estaciones::fuzz::brokenPromise("los tokens no devuelven el texto");
    }
    return 0;
}
