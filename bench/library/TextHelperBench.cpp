// The text helper's operations against the plain Qt call a caller would
// otherwise write, measured in the same run. Each pair is "<operation>/library"
// and "<operation>/baseline"; the ratio library / baseline is printed at the
// end (above 1: the library is slower).
#include "session/library/TextHelper.h"

#include "support/TimesReporter.h"
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

using namespace estaciones;

namespace {

const QStringList integerTexts = {"1", "  42 ", "-17", "16776960", "2147483647", "365"};
const QStringList hexTexts = {"&H00FFFF00&", "&H0000FF00&", "&HFF&", "&H00C0C0C0&"};
const QStringList decimalTexts = {"12,5", "1234.5678", "-0,0001", "99999,99"};
const QStringList codes = {"1", "25", "1234", "778899"};
const QString secret = QString::fromUtf8("contraseña=Ñandú;[x]|quendar");

void integerLibrary(benchmark::State& state) {
    const library::TextHelper text;
    for (auto _ : state) {
        for (const QString& t : integerTexts) {
            benchmark::DoNotOptimize(text.toInteger(t));
        }
    }
}
void integerBaseline(benchmark::State& state) {
    for (auto _ : state) {
        for (const QString& t : integerTexts) {
            benchmark::DoNotOptimize(t.trimmed().toInt());
        }
    }
}

void hexLibrary(benchmark::State& state) {
    const library::TextHelper text;
    for (auto _ : state) {
        for (const QString& t : hexTexts) {
            benchmark::DoNotOptimize(text.toInteger(t));
        }
    }
}
void hexBaseline(benchmark::State& state) {
    for (auto _ : state) {
        for (const QString& t : hexTexts) {
            benchmark::DoNotOptimize(
                static_cast<std::int32_t>(QStringView(t).sliced(2).chopped(1).toUInt(nullptr, 16)));
        }
    }
}

void decimalLibrary(benchmark::State& state) {
    const library::TextHelper text;
    for (auto _ : state) {
        for (const QString& t : decimalTexts) {
            benchmark::DoNotOptimize(text.toDecimal(t));
        }
    }
}
void decimalBaseline(benchmark::State& state) {
    for (auto _ : state) {
        for (const QString& t : decimalTexts) {
            benchmark::DoNotOptimize(
                Currency::fromDouble(QString(t).replace(u',', u'.').toDouble()));
        }
    }
}

void padLibrary(benchmark::State& state) {
    const library::TextHelper text;
    for (auto _ : state) {
        for (const QString& c : codes) {
            benchmark::DoNotOptimize(text.pad(c, 25));
        }
    }
}
void padBaseline(benchmark::State& state) {
    for (auto _ : state) {
        for (const QString& c : codes) {
            benchmark::DoNotOptimize(c.rightJustified(25));
        }
    }
}

void encodeLibrary(benchmark::State& state) {
    const library::TextHelper text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.decode(text.encode(secret)));
    }
}
// The obvious reversible printable form: hex of the UTF-8 bytes.
void encodeBaseline(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            QString::fromUtf8(QByteArray::fromHex(secret.toUtf8().toHex().toUpper())));
    }
}

BENCHMARK(integerLibrary)->Name("TextToInteger/library");
BENCHMARK(integerBaseline)->Name("TextToInteger/baseline");
BENCHMARK(hexLibrary)->Name("HexToInteger/library");
BENCHMARK(hexBaseline)->Name("HexToInteger/baseline");
BENCHMARK(decimalLibrary)->Name("TextToDecimal/library");
BENCHMARK(decimalBaseline)->Name("TextToDecimal/baseline");
BENCHMARK(padLibrary)->Name("Pad25/library");
BENCHMARK(padBaseline)->Name("Pad25/baseline");
BENCHMARK(encodeLibrary)->Name("EncodeDecode/library");
BENCHMARK(encodeBaseline)->Name("EncodeDecode/baseline");

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    estaciones::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nlibrary / baseline (time per iteration):\n");
    reporter.forEach([&](const std::string& name, double) {
        const auto slash = name.find("/library");
        if (slash != std::string::npos) {
            const std::string operation = name.substr(0, slash);
            reporter.printRatio(operation.c_str(), name, operation + "/baseline");
        }
    });
    benchmark::Shutdown();
    return 0;
}
