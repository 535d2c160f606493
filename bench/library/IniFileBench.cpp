// The INI access object's read of a key against a plain read and split of
// the same file, in the same run; part of the library's bench, whose report
// closes with the ratio (above 1: the INI object is slower).
#include "session/library/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

using namespace estaciones;

namespace {

// A station file as the suite writes it: two sections per station, CR LF.
QTemporaryDir& iniFolder() {
    static QTemporaryDir folder;
    static const bool written = [] {
        QFile file(folder.filePath("CN000pr.INI"));
        file.open(QIODevice::WriteOnly);
        file.write("; Estaciones de la sucursal\r\n[Programas]\r\nCalendario=CN000pr\r\n");
        for (int station = 0; station < 40; ++station) {
            file.write(
                QStringLiteral("[PC%1|USUARIO]\r\nFlatToolbars=1\r\n[PC%1|USUARIOBaseDeDatos]"
                               "\r\nServidor=SRV%1\r\nDbName=EMPRESA\r\nUsuario = \"x%1y\"\r\n")
                    .arg(station)
                    .toLatin1());
        }
        file.close();
        // A station's file was written long before a program reads it; one
        // written in the last seconds is compared byte for byte at each read
        // (see IniCache), which is not what a start-up meets.
        std::this_thread::sleep_for(std::chrono::seconds(4));
        return true;
    }();
    (void)written;
    return folder;
}

// The last section of the file: every line is looked at.
void iniRead(benchmark::State& state) {
    const library::IniFile ini(iniFolder().path());
    for (auto _ : state)
        benchmark::DoNotOptimize(ini.read("CN000pr.INI", "PC39|USUARIOBaseDeDatos", "DbName", ""));
}
BENCHMARK(iniRead)->Name("IniRead/library");

void plainReadAndSplit(benchmark::State& state) {
    const QString path = iniFolder().filePath("CN000pr.INI");
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(file.readAll());
        const auto lines = QStringView(text).split(u'\n');
        benchmark::DoNotOptimize(lines.size());
    }
}
BENCHMARK(plainReadAndSplit)->Name("IniRead/baseline");

} // namespace
