// The INI access object's read of a key against a plain read and split of
// the same file, and against QSettings, in the same run; the ratios close
// the report (above 1: the INI object is slower).
#include "session/library/IniFile.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "support/TimesReporter.h"
#include <benchmark/benchmark.h>

#include <cstdio>

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
BENCHMARK(iniRead)->Name("IniRead");

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
BENCHMARK(plainReadAndSplit)->Name("PlainReadAndSplit");

void settingsRead(benchmark::State& state) {
    const QString path = iniFolder().filePath("CN000pr.INI");
    for (auto _ : state) {
        QSettings settings(path, QSettings::IniFormat);
        benchmark::DoNotOptimize(settings.value("PC39|USUARIOBaseDeDatos/DbName").toString());
    }
}
BENCHMARK(settingsRead)->Name("QSettings");

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    estaciones::bench::TimesReporter reporter;
    constexpr auto cpu = estaciones::bench::TimesReporter::Clock::Cpu;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nINI read, CPU time per read over the baseline's:\n");
    reporter.printRatio("IniFile::read / plain read and split", "IniRead", "PlainReadAndSplit", cpu);
    reporter.printRatio("IniFile::read / QSettings", "IniRead", "QSettings", cpu);
    benchmark::Shutdown();
    return 0;
}
