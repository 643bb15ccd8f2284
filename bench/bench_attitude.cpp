// One redraw of the attitude indicator (clear, turned block transfer, ten rectangle fills)
// on the 157 x 117 surface; the display tick allows 40 ms for everything it draws.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include "graphics/attitude_geometry.h"
#include "graphics/draw_attitude.h"
#include "graphics/horizon_image.h"

namespace {

const QImage& picCol() {
    static const QImage img = Attitude::horizonImage().convertToFormat(QImage::Format_RGB32);
    return img;
}

void BM_DrawAttitude(benchmark::State& state) {
    QImage surface(Attitude::SurfaceWidth, Attitude::SurfaceHeight, QImage::Format_RGB32);
    const QString bank = QString::number(state.range(0));
    const QString pitch = QStringLiteral("12.5");
    for (auto _ : state) {
        Attitude::Draw_attitude(surface, picCol(), bank, pitch, qRgb(240, 240, 240));
        benchmark::DoNotOptimize(surface.constBits());
    }
}
BENCHMARK(BM_DrawAttitude)->Arg(0)->Arg(-30)->Arg(45)->Arg(135);

void BM_PicColCopy(benchmark::State& state) {
    // Each indicator takes the palette image over into its surface's format once.
    for (auto _ : state) {
        QImage copy = Attitude::horizonImage().convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(copy.constBits());
    }
}
BENCHMARK(BM_PicColCopy);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
