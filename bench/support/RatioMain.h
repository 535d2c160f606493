#pragma once

#include "support/TimesReporter.h"

#include <QCoreApplication>

#include <initializer_list>

namespace estaciones::bench {

// One ratio a benchmark program prints at the end: measured / baseline.
struct Ratio {
    const char* label;
    const char* measured;
    const char* baseline;
};

// The body of a benchmark program's main: runs its benchmarks (with a Qt
// application around them) and prints each ratio.
inline int runWithRatios(int argc, char** argv, std::initializer_list<Ratio> ratios) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const Ratio& ratio : ratios) {
        reporter.printRatio(ratio.label, ratio.measured, ratio.baseline);
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace estaciones::bench
