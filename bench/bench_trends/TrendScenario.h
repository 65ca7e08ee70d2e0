// A lesson as a trainer might run it, fed straight into the models and a
// recorder the way the main window does it, tick by tick.
#pragma once

#include <functional>

class TModel;
class TTrendRecorder;

namespace trendscenario {

// 1,200 ticks (ten minutes): sun on the left room and people in the
// centre-left room, a cold outer wall on the right, a setpoint raised, the
// loads taken away again, then the plant's start-up.
constexpr int ClassTicks = 1200;

// The inputs of tick `tick` (1-based; the lesson repeats every ClassTicks),
// handed to one model. The caller gives them to both, low model first.
void ApplyClassInputs(int tick, TModel& model);

// Runs `ticks` ticks of the repeating lesson at the given simulation speed
// on freshly built models, recording each tick at 0.5 s intervals.
void RunClass(TTrendRecorder& recorder, int ticks, int speed);

} // namespace trendscenario
