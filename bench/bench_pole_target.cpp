// SPDX-License-Identifier: MIT
// Painting the pole target once, as the drift window would on a tick: a session's trail of
// answers and the current one with its ellipse, into an image the size of the window's
// picture and of a saved file.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "chart/pole_target.hpp"

namespace trakora::chart {
namespace {

PoleTarget session(int answers) {
    PoleTarget target;
    target.title = "極軸の位置";
    target.subtitle = "方位 3.1′ 西 ± 0.4′ · 高度 1.2′ 低 ± 0.6′";
    target.x_label = "方位 (′)";
    target.y_label = "高度 (′)";
    target.west = "西";
    target.east = "東";
    target.high = "高";
    target.low = "低";
    for (int i = answers; i > 0; --i)
        target.trail.push_back({1.5 * i, -0.8 * i, 0.2 * i, 0.3 * i, 0.2});
    target.now = PoleTarget::Estimate{1, -0.5, 0.3, 0.4, 0.2};
    return target;
}

void BM_PaintPoleTarget(benchmark::State& st) {
    const int side = static_cast<int>(st.range(0));
    const PoleTarget target = session(static_cast<int>(st.range(1)));
    QImage image(side, side, QImage::Format_RGB32);
    for (auto _ : st) {
        QPainter painter(&image);
        paint_pole_target(painter, QRectF(0, 0, side, side), target);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_PaintPoleTarget)
    ->Args({400, 10})
    ->Args({900, 10})
    ->Args({900, 200})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trakora::chart

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
