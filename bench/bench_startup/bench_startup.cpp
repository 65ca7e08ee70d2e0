// Start-up: building the main window (scene, models, arrow paths from the
// generated database) and composing its first picture; and one arrow tick
// with its repaint at 1024 x 768, the cost the animation pays every 80 ms.
// Run from build/bin so DataBase/ lies beside the program.
#include "UnitLowPres.h"
#include "gr32/GR32.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void BM_MainWindowStartup(benchmark::State& state)
{
    TScreen::SetMetrics(int(state.range(0)), int(state.range(0)) * 3 / 4, 96);
    for (auto _ : state) {
        TLowPresFrm window;
        window.MainImage->ComposeAll();
        window.MainImage->ComposeNow();
        benchmark::DoNotOptimize(window.MainImage->Buffer().Image().constBits());
    }
}

void BM_ArrowTick(benchmark::State& state)
{
    TScreen::SetMetrics(1024, 768, 96);
    TLowPresFrm window;
    window.MainImage->ComposeNow();
    for (auto _ : state) {
        window.ArrowTimerTimer();
        window.MainImage->ComposeNow();
    }
}

}  // namespace

BENCHMARK(BM_MainWindowStartup)->Arg(800)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrowTick)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
