// Script of timed inputs for corvair-sim.
//
// One command per line: TICK COMMAND ARGS. '#' starts a comment, blank lines
// are skipped. Commands:
//   load ROOM PERCENT      setpoint ROOM CELSIUS   temp ROOM CELSIUS (real)
//   supply CELSIUS         speed S
// ROOM is 0..3, TICK is 1 or more; lines may come in any tick order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TModel;

namespace sim {

enum class CommandKind { Load, Setpoint, Temp, Supply, Speed };

struct Command
{
    int tick = 0;
    int line = 0; // 1-based line in the script
    CommandKind kind = CommandKind::Load;
    int room = 0;         // load, setpoint, temp
    int value = 0;        // load, setpoint, supply, speed
    double celsius = 0.0; // temp
};

struct ScriptError
{
    int line = 0;
    std::string what;
};

// Parses a whole script. On success `commands` holds every command ordered by
// tick, file order kept within a tick. On failure `error` names the first bad
// line and `commands` is left empty.
bool parseScript(std::string_view text, std::vector<Command> &commands, ScriptError &error);

// Applies one command to one model.
void applyCommand(const Command &command, TModel &model);

// Whole-number parsing shared with the option parser: optional sign, digits,
// nothing else, within int range.
bool parseInt(std::string_view text, int &value);
// A finite real that fits the model's 32-bit state.
bool parseReal(std::string_view text, double &value);

// Quotes a user-supplied token for a one-line message: control characters
// become '?', very long tokens are shortened.
std::string quoted(std::string_view token);

} // namespace sim
