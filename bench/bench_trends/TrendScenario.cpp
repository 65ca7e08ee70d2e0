#include "TrendScenario.h"

#include "SimRunner.h"
#include "TrendRecorder.h"
#include "UnitModel.h"

namespace trendscenario {

void ApplyClassInputs(int tick, TModel& m)
{
    const int phase = (tick - 1) % ClassTicks + 1;
    if (phase == 1 && tick > 1) {
        // Back to the morning for the next round.
        m.SetSetpoint(1, 22);
        m.SetLoad(3, 0);
        return;
    }
    switch (phase) {
    case 40: // 20 s: the sun comes round to the left room, a meeting starts
        m.SetLoad(0, 100);
        m.SetLoad(1, 50);
        break;
    case 200: // 100 s: a cold wind on the right room's outer wall
        m.SetLoad(3, -75);
        break;
    case 400: // 200 s: someone in the centre-left room wants it warmer
        m.SetSetpoint(1, 24);
        break;
    case 600: // 300 s: clouds, and the meeting ends
        m.SetLoad(0, 0);
        m.SetLoad(1, 0);
        break;
    case 760: // 380 s: the trainer presses Startup Sequence
        m.SetSupplyTemperature(26);
        break;
    default:
        break;
    }
}

void RunClass(TTrendRecorder& recorder, int ticks, int speed)
{
    TModel low;
    THighPressureModel high;
    sim::buildModels(low, high);
    sim::startModels(low, high, speed);
    for (int tick = 1; tick <= ticks; ++tick) {
        ApplyClassInputs(tick, low);
        ApplyClassInputs(tick, high);
        low.Step();
        high.Step();
        recorder.Record(tick * 0.5, low, high);
    }
}

} // namespace trendscenario
