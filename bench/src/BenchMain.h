// BenchMain.h - runs the benchmarks a program registered, with Google
// Benchmark's own command line.
#pragma once

#include <benchmark/benchmark.h>

namespace tavrin::bench {

// Parses the benchmark flags and runs what is registered; 1 for an unknown flag.
inline int RunRegistered(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace tavrin::bench
