// The INI reader on any file content (Windows-1252 or UTF-8, any line ends).
#include "FuzzInput.h"

#include "session/library/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace estaciones;
    const QString file = fuzz::writeScratchFile(QStringLiteral("CN000pr.INI"),
                                                fuzz::bytesOf(data, size));
    const library::IniFile ini(fuzz::scratchFolder().path());
    fuzz::answering([&] {
        ini.read(file, QStringLiteral("Programas"), QStringLiteral("Ventas"), QString());
        ini.read(file, QStringLiteral("BaseMaestra"), QStringLiteral("URL"), QStringLiteral("x"));
    });
    return 0;
}
