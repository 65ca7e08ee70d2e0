// Cost of the air-system model: one room sub-step, and one control tick of
// both systems at the highest speed (2 x 2,501 sub-steps of four rooms).
#include "SimRunner.h"
#include "UnitModel.h"

#include <benchmark/benchmark.h>

static void BM_RoomSubStep(benchmark::State &state)
{
    TRoom room;
    room.SetSetpoint(22);
    room.SetLoad(50);
    for (auto _ : state) {
        room.SimulateStep();
        benchmark::DoNotOptimize(room.Temperature);
    }
}
BENCHMARK(BM_RoomSubStep);

static void BM_ControlTickSpeed100(benchmark::State &state)
{
    // Built and started as the main window does; the models keep running
    // from tick to tick as they do behind the window.
    TModel low;
    THighPressureModel high;
    sim::buildModels(low, high);
    sim::startModels(low, high, 100);
    for (auto _ : state) {
        low.Step();
        high.Step();
        benchmark::DoNotOptimize(low.FanSpeed);
        benchmark::DoNotOptimize(high.FanSpeed);
    }
    state.counters["substeps"] = benchmark::Counter(
        2.0 * 2501 * 4 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ControlTickSpeed100)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
