#include "SimRunner.h"

#include "UnitModel.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace sim {

namespace {

// Accepts "--name VALUE" and "--name=VALUE".
bool takeValue(const std::vector<std::string> &args, std::size_t &i, const std::string &name,
               std::string &value, std::string &error)
{
    const std::string &arg = args[i];
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 && arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        error = "option " + name + " needs a value";
        return false;
    }
    value = args[++i];
    return true;
}

bool matches(const std::string &arg, const std::string &name)
{
    return arg == name || (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0
                           && arg[name.size()] == '=');
}

bool countOption(const std::string &name, const std::string &value, int &out, std::string &error)
{
    if (!parseInt(value, out)) {
        error = "option " + name + ": " + quoted(value) + " is not a whole number";
        return false;
    }
    if (out < 0) {
        error = "option " + name + " must be 0 or more, got " + std::to_string(out);
        return false;
    }
    return true;
}

void appendReal(std::string &out, float value)
{
    // %.9g lets a 32-bit value round-trip exactly.
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, ",%.9g", static_cast<double>(value));
    out.append(buf, static_cast<std::size_t>(n));
}

} // namespace

bool parseOptions(const std::vector<std::string> &args, Options &options, std::string &error)
{
    Options parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        std::string value;
        if (arg == "--help") {
            parsed.help = true;
        } else if (arg == "--version") {
            parsed.version = true;
        } else if (matches(arg, "--ticks")) {
            if (!takeValue(args, i, "--ticks", value, error) || !countOption("--ticks", value, parsed.ticks, error))
                return false;
        } else if (matches(arg, "--speed")) {
            if (!takeValue(args, i, "--speed", value, error) || !countOption("--speed", value, parsed.speed, error))
                return false;
        } else if (matches(arg, "--script")) {
            if (!takeValue(args, i, "--script", value, error))
                return false;
            if (value.empty()) {
                error = "option --script needs a file name";
                return false;
            }
            parsed.scriptFile = value;
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + quoted(arg) + " (see --help)";
            return false;
        } else {
            error = "unexpected argument " + quoted(arg) + " (see --help)";
            return false;
        }
    }
    options = parsed;
    return true;
}

bool readFile(const std::string &path, std::string &text, std::string &error)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        error = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    text.clear();
    char buf[8192];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, file.get())) > 0)
        text.append(buf, n);
    // A directory opens fine and fails on the first read.
    if (std::ferror(file.get())) {
        error = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void buildModels(TModel &low, THighPressureModel &high)
{
    for (int i = 0; i < 4; ++i)
        low.AddRoom();

    high.AddRoom();
    auto *leading = high.AddRoom(std::make_unique<TCombinedRoom>());
    auto *following = high.AddRoom(std::make_unique<TCombinedRoom>());
    high.AddRoom();
    leading->SetPartner(following, true);
    following->SetPartner(leading, false);
}

void startModels(TModel &low, THighPressureModel &high, int speed)
{
    low.SetSimulationSpeed(speed);
    high.SetSimulationSpeed(speed);
    for (int i = 0; i < 4; ++i) {
        low.SetSetpoint(i, 22);
        high.SetSetpoint(i, 22);
    }
}

const char *csvHeader()
{
    return "tick,system,supply_c,fan_rpm,duct_pa,energy_kw,"
           "temp0,temp1,temp2,temp3,disc0,disc1,disc2,disc3,"
           "heat0,heat1,heat2,heat3,rate0,rate1,rate2,rate3\n";
}

CsvRow csvRowOf(const TModel &model)
{
    CsvRow row;
    row.supply = model.SupplyTemperature;
    row.fan = model.FanSpeed;
    row.duct = model.DuctPressure;
    row.energy = model.EnergyConsumption;
    const std::size_t n = model.Rooms.size() < 4 ? model.Rooms.size() : 4;
    for (std::size_t i = 0; i < n; ++i) {
        const TRoom &room = *model.Rooms[i];
        row.temp[i] = room.GetTemperature();
        row.disc[i] = room.GetDiscOpening();
        row.heat[i] = room.IsHeating();
        row.rate[i] = room.GetHeatRate();
    }
    return row;
}

void appendCsvRow(std::string &out, long long tick, const char *system, const CsvRow &row)
{
    out += std::to_string(tick);
    out += ',';
    out += system;
    appendReal(out, row.supply);
    appendReal(out, row.fan);
    appendReal(out, row.duct);
    appendReal(out, row.energy);
    for (float v : row.temp)
        appendReal(out, v);
    for (float v : row.disc)
        appendReal(out, v);
    for (bool h : row.heat)
        out += h ? ",1" : ",0";
    for (float v : row.rate)
        appendReal(out, v);
    out += '\n';
}

void appendCsvRow(std::string &out, int tick, const char *system, const TModel &model)
{
    appendCsvRow(out, static_cast<long long>(tick), system, csvRowOf(model));
}

bool run(const Options &options, const std::vector<Command> &commands, std::FILE *out)
{
    TModel low;
    THighPressureModel high;
    buildModels(low, high);
    startModels(low, high, options.speed);

    std::string buffer = csvHeader();
    bool ok = true;
    auto flush = [&] {
        if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size())
            ok = false;
        buffer.clear();
    };

    // Commands come sorted by tick.
    std::size_t next = 0;
    for (int tick = 1; tick <= options.ticks && ok; ++tick) {
        for (; next < commands.size() && commands[next].tick == tick; ++next) {
            applyCommand(commands[next], low);
            applyCommand(commands[next], high);
        }
        low.Step();
        high.Step();
        appendCsvRow(buffer, tick, "low", low);
        appendCsvRow(buffer, tick, "high", high);
        if (buffer.size() >= 64 * 1024)
            flush();
    }
    flush();
    if (std::fflush(out) != 0 || std::ferror(out))
        ok = false;
    return ok;
}

const char *usage()
{
    return "Usage: corvair-sim [--ticks N] [--speed S] [--script FILE] [--help] [--version]\n"
           "\n"
           "Runs the low- and the high-pressure air system side by side, without a window,\n"
           "and writes one CSV row per system and control tick (every 500 ms of the\n"
           "simulator) on standard output.\n"
           "\n"
           "Options:\n"
           "  --ticks N      number of control ticks (default 120)\n"
           "  --speed S      simulation speed, 25 x S + 1 sub-steps per tick (default 90)\n"
           "  --script FILE  timed inputs, see below\n"
           "  --help         show this text\n"
           "  --version      show the version\n"
           "\n"
           "Both systems start with every room at 22 C, setpoint 22 C, no load and 15 C\n"
           "supply air.\n"
           "\n"
           "Script: one command per line, TICK COMMAND ARGS; '#' starts a comment.\n"
           "Commands of a tick are applied, in file order, before that tick's step.\n"
           "  load ROOM PERCENT      internal load, -100..100 (negative = cold)\n"
           "  setpoint ROOM CELSIUS  setpoint, whole degrees\n"
           "  temp ROOM CELSIUS      set the room temperature\n"
           "  supply CELSIUS         supply air temperature (26 starts the plant's warm-up)\n"
           "  speed S                simulation speed\n"
           "ROOM is 0 (left) .. 3 (right); TICK is 1 or more.\n"
           "\n"
           "Columns: tick, system (low/high), supply_c, fan_rpm, duct_pa, energy_kw,\n"
           "temp0..3 (C), disc0..3 (disc opening, %), heat0..3 (1 = heating),\n"
           "rate0..3 (heat rate).\n"
           "\n"
           "Exit status: 0 done, 1 output could not be written, 2 bad options or script.\n";
}

} // namespace sim
