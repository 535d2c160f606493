// The GO splitting of script files: any bytes read as a script give batches
// whose texts all come from the script.
#include "FuzzInput.h"

#include "platform/db/embedded/parse/ScriptBatches.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace estaciones;
    const QString script = db::sqlite::readScriptFile(
        fuzz::writeScratchFile(QStringLiteral("guion.sql"), fuzz::bytesOf(data, size)));
    qsizetype total = 0;
    for (const QString& batch : db::sqlite::splitBatches(script)) {
        total += batch.size();
    }
    if (total > script.size() + script.count(QLatin1Char('\n')) + 1) {
        fuzz::brokenPromise("los lotes son mas largos que el guion");
    }
    return 0;
}
