// LeerJson against nlohmann::json on the same ~1 MB document, and cStringBuilder
// appends against std::string and QString appends; the ratios close the report.
#include "articles/JSON.h"
#include "articles/cStringBuilder.h"

#include <QString>

#include "support/TimesReporter.h"
#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <map>
#include <string>

using namespace estaciones;

namespace {

// Records shaped like the barcode service's answers, repeated past 1 MB.
const std::string& document() {
    static const std::string text = [] {
        std::string json = "[";
        for (int i = 0; json.size() < 1024 * 1024; ++i) {
            const std::string n = std::to_string(i);
            if (i > 0)
                json += ",\n";
            json += R"({"idarticulo":"      )" + n + R"(","descripcion":"Artículo )" + n +
                    R"( \"especial\" de tamaño\nmediano","precio":)" + n + ".125" +
                    R"(,"activo":true,"codigos":["84123456)" + n + R"(","20)" + n +
                    R"("],"stock":null,"factor":-1.5e-3,"unidad":{"codigo":"   1","peso":false}})";
        }
        return json + "]";
    }();
    return text;
}

const QString& documentText() {
    static const QString text = QString::fromStdString(document());
    return text;
}

void BM_LeerJson(benchmark::State& state) {
    const QString& text = documentText();
    for (auto _ : state) {
        auto result = LeerJson(text);
        benchmark::DoNotOptimize(result);
        if (!ErroresJson().isEmpty())
            state.SkipWithError("the document did not read cleanly");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document().size()));
}
BENCHMARK(BM_LeerJson)->Unit(benchmark::kMillisecond);

void BM_NlohmannParse(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        auto result = nlohmann::ordered_json::parse(text);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_NlohmannParse)->Unit(benchmark::kMillisecond);

constexpr int kAppends = 100000;
const char16_t kPiece[] = u"texto-0123";
const char kPiece8[] = "texto-0123";

void BM_StringBuilderAppend(benchmark::State& state) {
    for (auto _ : state) {
        cStringBuilder sb;
        for (int i = 0; i < kAppends; ++i)
            sb.Append(QStringView(kPiece));
        QString result = sb.toString();
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_StringBuilderAppend)->Unit(benchmark::kMillisecond);

void BM_StdStringAppend(benchmark::State& state) {
    for (auto _ : state) {
        std::string text;
        for (int i = 0; i < kAppends; ++i)
            text += kPiece8;
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_StdStringAppend)->Unit(benchmark::kMillisecond);

void BM_QStringAppend(benchmark::State& state) {
    for (auto _ : state) {
        QString text;
        for (int i = 0; i < kAppends; ++i)
            text += QStringView(kPiece);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_QStringAppend)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    estaciones::bench::TimesReporter reporter;
    constexpr auto cpu = estaciones::bench::TimesReporter::Clock::Cpu;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nDocument: %zu bytes. Ratios of CPU time to the baseline's (lower is faster):\n",
                document().size());
    reporter.printRatio("LeerJson / nlohmann::ordered_json::parse", "BM_LeerJson",
                        "BM_NlohmannParse", cpu);
    reporter.printRatio("cStringBuilder appends / std::string appends", "BM_StringBuilderAppend",
                        "BM_StdStringAppend", cpu);
    reporter.printRatio("cStringBuilder appends / QString appends", "BM_StringBuilderAppend",
                        "BM_QStringAppend", cpu);
    benchmark::Shutdown();
    return 0;
}
