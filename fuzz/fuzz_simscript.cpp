// corvair-sim scripts: any text either parses or names its first bad line;
// a script that parses runs on both models and prints rows of numbers.
#include "SimRunner.h"
#include "SimScript.h"
#include "UnitModel.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<sim::Command> commands;
    sim::ScriptError error;
    if (!sim::parseScript(text, commands, error)) {
        check(commands.empty());
        check(error.line >= 1 && !error.what.empty());
        // The message quotes user text without control characters.
        for (const char c : error.what)
            check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
        return 0;
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const sim::Command& c = commands[i];
        check(c.tick >= 1 && c.line >= 1);
        check(i == 0 || commands[i - 1].tick <= c.tick);
        check(c.room >= 0 && c.room <= 3);
        check(std::isfinite(c.celsius));
    }

    // Run the script as corvair-sim does, tick by tick. The number of model
    // sub-steps is the script's own business (25 x speed + 1 per tick); a
    // fuzzed speed is held small so that each input stays quick.
    TModel low;
    THighPressureModel high;
    sim::buildModels(low, high);
    sim::startModels(low, high, 1);
    std::string csv;
    std::size_t next = 0;
    int ticksRun = 0;
    while (next < commands.size() && ticksRun < 8) {
        const int tick = commands[next].tick;
        for (; next < commands.size() && commands[next].tick == tick; ++next) {
            sim::applyCommand(commands[next], low);
            sim::applyCommand(commands[next], high);
        }
        for (TModel* m : {static_cast<TModel*>(&low), static_cast<TModel*>(&high)}) {
            if (m->SimulationSpeed > 2)
                m->SetSimulationSpeed(2);
            m->Step();
        }
        csv.clear();
        sim::appendCsvRow(csv, tick, "low", low);
        sim::appendCsvRow(csv, tick, "high", high);
        check(!csv.empty() && csv.back() == '\n');
        ++ticksRun;
    }
    return 0;
}
