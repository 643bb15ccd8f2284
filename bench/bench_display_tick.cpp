// One display tick of Torvik's main window as the user sees it: new attitude and sensor values,
// OSC::display_time_Tick (attitude indicator redraw, compass, 12 chart points, labels), then
// the repaint of the attitude indicator, the compass and the 793 x 337 strip chart, with 1 hour
// and with 24 hours of history at 25 samples per second on all 12 channels behind it.
// Counters: median_ms (wall clock), median_cpu_ms (this thread's CPU, steadier on a shared
// machine), chart_MB (the chart's history store).
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

#include "graphics/attitude_indicator.h"
#include "instruments/compass.h"
#include "instruments/strip_chart.h"
#include "platform/fake_serial_port.h"
#include "shell/osc.h"

namespace {

struct Window {
    std::unique_ptr<OSC> osc;
    StripChart* chart = nullptr;
    qint64 n = 0;

    void newValues() {
        TelemetryState& s = osc->telemetry();
        const double t = double(n++) / 25;
        s.Yaw = std::fmod(t * 6, 360);
        s.Pitch = 15 * std::sin(t / 3);
        s.Roll = 25 * std::cos(t / 5);
        s.AccX = 3000 * std::sin(t);
        s.AccY = 2000 * std::cos(t);
        s.AccZ = 16000;
        s.GyroX = 300 * std::sin(t * 2);
        s.MagX = 400 * std::cos(t / 7);
        s.ImuUpdated = s.MotionUpdated = true;
    }
};

Window& windowFor(int hours) {
    static std::map<int, Window> windows;
    auto it = windows.find(hours);
    if (it != windows.end()) return it->second;
    Window& w = windows[hours];
    w.osc = std::make_unique<OSC>(std::make_unique<FakeSerialPort>());
    w.osc->resize(1017, 640);
    w.osc->StartUp();
    w.chart = w.osc->findChild<StripChart*>(QStringLiteral("iPlotX1"));
    // The history, as earlier ticks would have left it.
    const qint64 samples = qint64(hours) * 3600 * 25;
    for (qint64 i = 0; i < samples; ++i) {
        const double t = double(i) / 25;
        for (int ch = 0; ch < 12; ++ch) w.chart->addPoint(ch, 100 * std::sin(t * 0.05 + ch));
    }
    w.n = samples;
    return w;
}

void BM_OscDisplayTick(benchmark::State& state) {
    Window& w = windowFor(int(state.range(0)));
    auto* attitude = w.osc->findChild<AttitudeIndicator*>(QStringLiteral("Piczitai"));
    auto* compass = w.osc->findChild<Compass*>(QStringLiteral("iCompassX1"));
    QImage chartImage(w.chart->size(), QImage::Format_ARGB32_Premultiplied);
    QImage attitudeImage(attitude->size(), QImage::Format_ARGB32_Premultiplied);
    QImage compassImage(compass->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> ms, cpu;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = BenchSupport::threadCpuMs();
        w.newValues();
        w.osc->display_time_Tick();
        attitude->render(&attitudeImage);
        compass->render(&compassImage);
        w.chart->render(&chartImage);
        cpu.push_back(BenchSupport::threadCpuMs() - cpuStart);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    state.counters["median_ms"] = BenchSupport::median(ms);
    state.counters["median_cpu_ms"] = BenchSupport::median(cpu);
    state.counters["chart_MB"] = double(w.chart->memoryBytes()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_OscDisplayTick)->ArgName("hours")->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) { return BenchSupport::runWithWidgets(argc, argv); }
