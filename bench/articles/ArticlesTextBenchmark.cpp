// LeerJson against the usual C++ JSON libraries on the same document of 3,300
// article objects, and cStringBuilder appends against std::string and QString
// appends; the ratios close the report.
#include "articles/JSON.h"
#include "articles/cStringBuilder.h"

#include <QString>

#include "support/TimesReporter.h"
#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#ifdef ESTACIONES_BENCH_RAPIDJSON
#include <rapidjson/document.h>
#endif
#ifdef ESTACIONES_BENCH_SIMDJSON
#include <simdjson.h>
#endif

#include <cstdio>
#include <string>
#include <vector>

using namespace estaciones;

namespace {

constexpr int kArticles = 3300;

// Records shaped like the barcode service's answers: padded codes, accented
// and escaped descriptions, decimals, Booleans, nulls, a nested object.
const std::string& document() {
    static const std::string text = [] {
        std::string json = "[";
        for (int i = 0; i < kArticles; ++i) {
            const std::string n = std::to_string(i);
            if (i > 0)
                json += ",\n";
            json += R"({"idarticulo":"      )" + n + R"(","descripcion":"Artículo )" + n +
                    R"( \"especial\" de tamaño\nmediano","precio":)" + n + ".125" +
                    R"(,"activo":true,"codigos":["84123456)" + n + R"(","20)" + n +
                    R"("],"stock":null,"rubro":)" + std::to_string(i % 40) +
                    R"(,"factor":-1.5e-3,"unidad":{"codigo":"   1","peso":false}})";
        }
        return json + "]";
    }();
    return text;
}

const QString& documentText() {
    static const QString text = QString::fromStdString(document());
    return text;
}

void checkRead(benchmark::State& state, const std::shared_ptr<VariantObject>& result) {
    if (!ErroresJson().isEmpty() || !result)
        state.SkipWithError("the document did not read cleanly");
}

void BM_LeerJson(benchmark::State& state) {
    const QString& text = documentText();
    for (auto _ : state) {
        auto result = LeerJson(text);
        benchmark::DoNotOptimize(result);
        checkRead(state, result);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document().size()));
}
BENCHMARK(BM_LeerJson)->Unit(benchmark::kMillisecond);

// The same from the UTF-8 bytes, as an answer arrives: decoding included.
void BM_LeerJsonFromUtf8(benchmark::State& state) {
    const std::string& bytes = document();
    for (auto _ : state) {
        auto result = LeerJson(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
        benchmark::DoNotOptimize(result);
        checkRead(state, result);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_LeerJsonFromUtf8)->Unit(benchmark::kMillisecond);

// Every result held till the end: no parse finds the memory of one let go
// before it, as the first parse of a thread (or one while the previous answer
// is still held) does not.
void BM_LeerJsonEveryResultKept(benchmark::State& state) {
    const QString& text = documentText();
    std::vector<std::shared_ptr<VariantObject>> results;
    results.reserve(static_cast<std::size_t>(state.max_iterations));
    for (auto _ : state) {
        results.push_back(LeerJson(text));
        checkRead(state, results.back());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document().size()));
}
BENCHMARK(BM_LeerJsonEveryResultKept)->Unit(benchmark::kMillisecond)->Iterations(50);

template <class Json> void nlohmannParse(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        auto result = Json::parse(text);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
void BM_NlohmannParse(benchmark::State& state) {
    nlohmannParse<nlohmann::json>(state);
}
BENCHMARK(BM_NlohmannParse)->Unit(benchmark::kMillisecond);
// Keeps members in document order, as LeerJson does.
void BM_NlohmannOrderedParse(benchmark::State& state) {
    nlohmannParse<nlohmann::ordered_json>(state);
}
BENCHMARK(BM_NlohmannOrderedParse)->Unit(benchmark::kMillisecond);

#ifdef ESTACIONES_BENCH_RAPIDJSON
void BM_RapidJsonParse(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        rapidjson::Document result;
        result.Parse(text.c_str(), text.size());
        if (result.HasParseError())
            state.SkipWithError("RapidJSON refused the document");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_RapidJsonParse)->Unit(benchmark::kMillisecond);
#endif

#ifdef ESTACIONES_BENCH_SIMDJSON
void BM_SimdjsonParse(benchmark::State& state) {
    const simdjson::padded_string text(document());
    simdjson::dom::parser parser;
    for (auto _ : state) {
        simdjson::dom::element result;
        if (parser.parse(text).get(result) != simdjson::SUCCESS)
            state.SkipWithError("simdjson refused the document");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SimdjsonParse)->Unit(benchmark::kMillisecond);
#endif

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
    std::printf("\nDocument: %d articles, %zu bytes. Ratios of CPU time to the baseline's"
                " (below 1: LeerJson is faster):\n",
                kArticles, document().size());
    const char* const baselines[][2] = {
        {"nlohmann::json::parse", "BM_NlohmannParse"},
        {"nlohmann::ordered_json::parse", "BM_NlohmannOrderedParse"},
        {"RapidJSON Document::Parse", "BM_RapidJsonParse"},
        {"simdjson dom::parser::parse", "BM_SimdjsonParse"},
    };
    for (const auto& [label, name] : baselines) {
        reporter.printRatio((std::string("LeerJson / ") + label).c_str(), "BM_LeerJson", name, cpu);
        reporter.printRatio((std::string("LeerJson from UTF-8 / ") + label).c_str(),
                            "BM_LeerJsonFromUtf8", name, cpu);
        reporter.printRatio((std::string("LeerJson, every result kept / ") + label).c_str(),
                            "BM_LeerJsonEveryResultKept/iterations:50", name, cpu);
    }
    reporter.printRatio("cStringBuilder appends / std::string appends", "BM_StringBuilderAppend",
                        "BM_StdStringAppend", cpu);
    reporter.printRatio("cStringBuilder appends / QString appends", "BM_StringBuilderAppend",
                        "BM_QStringAppend", cpu);
    benchmark::Shutdown();
    return 0;
}
