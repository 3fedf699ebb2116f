// SPDX-License-Identifier: MIT
// One tick of the desktop program on the night of tick_night.hpp: from the timer's tick
// to both windows painted, on the offscreen platform. BM_CoreTick is the same tick
// without windows, the yardstick the desktop tick is held to (at most twice as long).
// Run one benchmark per process (--benchmark_filter) to read its own peak memory.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <cstdio>
#include <memory>

#include "core/handlers.hpp"
#include "core/state.hpp"
#include "session/drift_assistant.hpp"
#include "tick_night.hpp"
#include "ui/handler_wiring.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_view.hpp"
#include "windowless/windowless_view.hpp"

namespace trakora {
namespace {

using bench::night;

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return QObject::eventFilter(watched, event);
    }
};

class QuietView final : public WindowlessView {
  public:
    using WindowlessView::WindowlessView;
    void message(const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
};

// Object set on the star, measuring, the timer itself held still: the benchmark ticks.
void start_measuring(State& s, View& v) {
    form1::Form_Load(s, v);
    form1::Command3_Click(s, v);
    form4::Picture1_MouseDown(s, v, 1, 0, 1500, 1500);
    form1::Command1_Click(s, v);
    v.set_polling_enabled(false);
    s.max_count = 300;
}

// A session of 150 images, a minute apart in time, drifting 0.5 px/min north.
void fill_session(DriftAssistant& a) {
    const ObservingKeywords keywords =
        read_observing_keywords({{"SCALE", "1.5"}, {"SITELAT", "50"}});
    a.typed.ha_hours = 0;
    for (int k = 0; k < 150; ++k) {
        ImageMeasurement image;
        image.keywords = keywords;
        image.time = ObservationTime{1.8e9 + 4.0 * k, TimeSource::date_obs};
        image.star = StarMeasurement{};
        image.star->x = 1500;
        image.star->y = 1500 - 0.5 * k / 15.0 + 0.05 * (k % 3);
        image.star->snr = 60;
        image.star->hfd = 3;
        add_drift_image(a, image);
    }
}

void BM_CoreTick(benchmark::State& st) {
    auto s = std::make_unique<State>();
    QuietView view(night().folder.string());
    start_measuring(*s, view);
    for (auto _ : st) {
        if (s->measurements[300][0] != kEmptySlot) clear_measurements(*s);
        form1::Timer1_Timer(*s, view);
    }
    st.counters["peak_rss_MiB"] = bench::peak_rss_mib();
}

// With st.range(0) == 1 the drift window is open too, holding a session of 150 images,
// and each tick shows it anew (the night's newest image never changes, so the tick itself
// adds no sample): the tick until all three windows have painted.
void BM_DesktopTick(benchmark::State& st) {
    const bool drift_open = st.range(0) == 1;
    auto s = std::make_unique<State>();
    ui::MainWindow form1(QString::fromStdString(night().folder.string()));
    ui::QtView view(form1);
    ui::wire_handlers(*s, view);
    form1.show();
    start_measuring(*s, view);
    PaintCounter plot_paints;
    PaintCounter object_paints;
    PaintCounter drift_paints;
    form1.controls().picture1->installEventFilter(&plot_paints);
    view.object_window().picture().installEventFilter(&object_paints);
    if (drift_open) {
        fill_session(s->assistant);
        view.drift_window().controls().chart->installEventFilter(&drift_paints);
        view.drift_window().open();
    }
    QApplication::processEvents();
    int unpainted = 0;
    for (auto _ : st) {
        if (s->measurements[300][0] != kEmptySlot) clear_measurements(*s);
        const int plots = plot_paints.count;
        const int objects = object_paints.count;
        const int drifts = drift_paints.count;
        form1::Timer1_Timer(*s, view);
        if (drift_open) view.show_drift_assistant(s->assistant);
        // Until both pictures have painted what the tick drew (a few rounds at most).
        for (int round = 0; round < 20; ++round) {
            QApplication::sendPostedEvents();
            QApplication::processEvents();
            if (plot_paints.count > plots && object_paints.count > objects &&
                (!drift_open || drift_paints.count > drifts))
                break;
        }
        if (plot_paints.count == plots || object_paints.count == objects ||
            (drift_open && drift_paints.count == drifts))
            ++unpainted;
    }
    st.counters["unpainted_ticks"] = unpainted;
    st.counters["peak_rss_MiB"] = bench::peak_rss_mib();
}

BENCHMARK(BM_CoreTick)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DesktopTick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
}  // namespace trakora

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
