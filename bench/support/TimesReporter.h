#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>

namespace estaciones::bench {

// Shows Google Benchmark's usual table and keeps each benchmark's real and
// CPU time per iteration, for the ratios every program prints at the end.
class TimesReporter : public benchmark::ConsoleReporter {
public:
    enum class Clock { Real, Cpu };

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                m_times[run.benchmark_name()] = {run.GetAdjustedRealTime(),
                                                 run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::optional<double> time(const std::string& name, Clock clock = Clock::Real) const {
        const auto found = m_times.find(name);
        if (found == m_times.end()) {
            return std::nullopt;
        }
        return clock == Clock::Real ? found->second.real : found->second.cpu;
    }

    // measured / baseline, when both ran.
    std::optional<double> ratio(const std::string& measured, const std::string& baseline,
                                Clock clock = Clock::Real) const {
        const auto m = time(measured, clock);
        const auto b = time(baseline, clock);
        if (!m || !b || *b <= 0) {
            return std::nullopt;
        }
        return *m / *b;
    }

    void printRatio(const char* label, const std::string& measured, const std::string& baseline,
                    Clock clock = Clock::Real) const {
        if (const auto r = ratio(measured, baseline, clock)) {
            std::printf("%-50s %6.2f\n", label, *r);
        }
    }

    // One row for bench/medir.sh: label, measured, baseline (ms) and their
    // ratio, separated by "|".
    void printRow(const char* label, const std::string& measured, const std::string& baseline,
                  Clock clock = Clock::Cpu) const {
        const auto m = time(measured, clock);
        const auto b = time(baseline, clock);
        if (m && b && *b > 0) {
            std::printf("FILA|%s|%.3f|%.3f|%.2f\n", label, *m, *b, *m / *b);
        }
    }

    template <class F> void forEach(F f) const {
        for (const auto& [name, t] : m_times) {
            f(name, t.real);
        }
    }

private:
    struct Times {
        double real = 0;
        double cpu = 0;
    };
    std::map<std::string, Times> m_times;
};

} // namespace estaciones::bench
