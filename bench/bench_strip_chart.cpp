// The main window's strip chart on its display tick: one new sample on each of the 12
// channels, then a redraw into a 793 x 337 image, with 1 hour and with 24 hours of history
// at 25 samples per second behind it. Two views: following the newest samples (the normal
// display) and zoomed out over the whole history (the worst case for a redraw).
// Counters: median_ms (wall clock) and median_cpu_ms (this thread's CPU time, the steadier
// figure on a shared machine) per tick, and store_MB, the memory of the chart's history.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "instruments/strip_chart.h"

namespace {
constexpr int kChannels = 12;
constexpr int kSamplesPerSecond = 25;
constexpr int kWidth = 793;
constexpr int kHeight = 337;

// Something like attitude angles and raw sensor counts: slow swings plus noise.
struct Signal {
    std::mt19937 rng{1};
    std::normal_distribution<double> noise{0, 1};
    qint64 n = 0;
    double next(int ch) {
        const double t = double(n) / kSamplesPerSecond;
        return (ch < 3 ? 60 : 400) * std::sin(t * (0.05 + ch * 0.01) + ch) +
               (ch < 3 ? 0.5 : 20) * noise(rng);
    }
};

struct Fixture {
    std::unique_ptr<StripChart> chart;
    Signal signal;
    void tick() {
        for (int ch = 0; ch < kChannels; ++ch) chart->addPoint(ch, signal.next(ch));
        ++signal.n;
    }
};

Fixture& fixtureFor(int hours) {
    static std::map<int, Fixture> fixtures;
    auto it = fixtures.find(hours);
    if (it != fixtures.end()) return it->second;
    Fixture& f = fixtures[hours];
    f.chart = std::make_unique<StripChart>(nullptr, kChannels);
    f.chart->resize(kWidth, kHeight);
    f.chart->setBackgroundColor(QColor(84, 84, 84));
    static const char* titles[kChannels] = {"YAW", "Roll", "Pitch", "Ax", "Ay", "Az",
                                            "Gx",  "Gy",   "Gz",    "hx", "hy", "hz"};
    for (int ch = 0; ch < kChannels; ++ch) f.chart->setChannelTitle(ch, titles[ch]);
    const qint64 samples = qint64(hours) * 3600 * kSamplesPerSecond;
    for (qint64 i = 0; i < samples; ++i) f.tick();
    return f;
}

void BM_DisplayTick(benchmark::State& state) {
    const int hours = int(state.range(0));
    const bool wholeHistory = state.range(1) != 0;
    Fixture& f = fixtureFor(hours);
    f.chart->followNewest();
    f.chart->setTimeSpan(wholeHistory ? double(hours) * 3600 * kSamplesPerSecond : 500);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);

    std::vector<double> ms;
    std::vector<double> cpu;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = BenchSupport::threadCpuMs();
        f.tick();
        f.chart->render(&image);
        cpu.push_back(BenchSupport::threadCpuMs() - cpuStart);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    state.counters["median_ms"] = BenchSupport::median(ms);
    state.counters["median_cpu_ms"] = BenchSupport::median(cpu);
    state.counters["store_MB"] = double(f.chart->memoryBytes()) / (1024.0 * 1024.0);
    state.counters["points"] = double(f.chart->pointCount(0)) * kChannels;
}
BENCHMARK(BM_DisplayTick)
    ->ArgNames({"hours", "whole"})
    ->Args({1, 0})
    ->Args({24, 0})
    ->Args({1, 1})
    ->Args({24, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
}  // namespace

int main(int argc, char** argv) { return BenchSupport::runWithWidgets(argc, argv); }
