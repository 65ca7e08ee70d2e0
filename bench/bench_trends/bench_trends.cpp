// Cost of redrawing the Trends window over a full four-hour history
// (28,800 ticks of both systems), at a real window size, on the offscreen
// platform:
//   BM_Redraw      thinning the history to the chart width and handing the
//                  points to the charts, without painting;
//   BM_LiveTick    what one control-loop tick costs while the window is open:
//                  one more sample, the redraw, layout and painting;
//   BM_FullRedraw  the worst case: a switch of units relabels every axis and
//                  converts the whole history, then layout and painting.
// The argument is the time span: 0 = 2 min, 1 = 10 min, 2 = 60 min, 3 = all.
#include "TrendRecorder.h"
#include "TrendScenario.h"
#include "TrendsWindow.h"

#include "SimRunner.h"
#include "UnitModel.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Fixture {
    TTrendRecorder recorder;
    TModel low;
    THighPressureModel high;
    bool metric = false;
    std::unique_ptr<TTrendsWindow> window;
    Fixture()
    {
        // A repeating lesson, at a speed that fills four hours in seconds.
        trendscenario::RunClass(recorder, recorder.Capacity(), 20);
        sim::buildModels(low, high);
        sim::startModels(low, high, 20);
        window = std::make_unique<TTrendsWindow>(
            recorder, TTrendsLink{[this] { return metric; }, [] { return false; }, nullptr});
        window->resize(1024, 768);
        window->show();
        QApplication::processEvents();
    }
    void SetSpan(int index)
    {
        window->ComboSpan->setCurrentIndex(index);
        QApplication::processEvents();
    }
};

Fixture& Shared()
{
    static Fixture f;
    return f;
}

void BM_Redraw(benchmark::State& state)
{
    Fixture& f = Shared();
    f.SetSpan(int(state.range(0)));
    for (auto _ : state)
        f.window->Redraw();
}
BENCHMARK(BM_Redraw)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_LiveTick(benchmark::State& state)
{
    Fixture& f = Shared();
    f.SetSpan(int(state.range(0)));
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        trendscenario::ApplyClassInputs(++tick, f.low);
        trendscenario::ApplyClassInputs(tick, f.high);
        f.low.Step();
        f.high.Step();
        state.ResumeTiming();
        // Redraws through the recorder's signal, then lays out and paints.
        f.recorder.Record(f.low, f.high);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_LiveTick)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_FullRedraw(benchmark::State& state)
{
    Fixture& f = Shared();
    f.SetSpan(int(state.range(0)));
    for (auto _ : state) {
        f.metric = !f.metric;
        f.window->SyncWithMainWindow();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FullRedraw)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
