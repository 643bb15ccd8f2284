#pragma once
// What the window benchmarks share: this thread's CPU time (the steadier figure on a shared
// machine), the median of a run's samples, and a main() that runs them on the offscreen
// platform unless told otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <ctime>
#include <vector>

namespace BenchSupport {

inline double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

inline double median(std::vector<double>& v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline int runWithWidgets(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace BenchSupport
