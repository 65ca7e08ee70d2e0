#include "SimScript.h"

#include "UnitModel.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

namespace sim {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> tokenize(std::string_view line)
{
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

// from_chars takes no leading '+'; people write "+25" for a hot load.
std::string_view dropPlus(std::string_view text)
{
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

struct CommandInfo
{
    std::string_view name;
    CommandKind kind;
    bool hasRoom;
    std::string_view usage; // argument names, for messages
};

constexpr CommandInfo commandTable[] = {
    {"load", CommandKind::Load, true, "ROOM PERCENT"},
    {"setpoint", CommandKind::Setpoint, true, "ROOM CELSIUS"},
    {"temp", CommandKind::Temp, true, "ROOM CELSIUS"},
    {"supply", CommandKind::Supply, false, "CELSIUS"},
    {"speed", CommandKind::Speed, false, "S"},
};

bool parseLine(std::string_view line, int lineNumber, std::vector<Command> &out, std::string &what)
{
    if (const auto hash = line.find('#'); hash != std::string_view::npos)
        line = line.substr(0, hash);
    const auto tokens = tokenize(line);
    if (tokens.empty())
        return true;

    Command command;
    command.line = lineNumber;
    if (!parseInt(tokens[0], command.tick)) {
        what = "tick " + quoted(tokens[0]) + " is not a whole number";
        return false;
    }
    if (command.tick < 1) {
        what = "tick " + std::to_string(command.tick) + " is below 1";
        return false;
    }
    if (tokens.size() < 2) {
        what = "missing command after the tick";
        return false;
    }

    const auto info = std::find_if(std::begin(commandTable), std::end(commandTable),
                                   [&](const CommandInfo &c) { return c.name == tokens[1]; });
    if (info == std::end(commandTable)) {
        what = "unknown command " + quoted(tokens[1])
             + " (expected load, setpoint, temp, supply or speed)";
        return false;
    }
    command.kind = info->kind;

    const std::size_t wanted = info->hasRoom ? 2 : 1;
    const std::size_t given = tokens.size() - 2;
    if (given != wanted) {
        what = std::string(info->name) + " takes " + std::to_string(wanted)
             + (wanted == 1 ? " argument (" : " arguments (") + std::string(info->usage)
             + "), got " + std::to_string(given);
        return false;
    }

    std::size_t next = 2;
    if (info->hasRoom) {
        const auto token = tokens[next++];
        if (!parseInt(token, command.room)) {
            what = "room " + quoted(token) + " is not a whole number";
            return false;
        }
        if (command.room < 0 || command.room > 3) {
            what = "room " + std::to_string(command.room) + " is outside 0..3";
            return false;
        }
    }

    const auto token = tokens[next];
    if (command.kind == CommandKind::Temp) {
        if (!parseReal(token, command.celsius)) {
            double any = 0.0;
            const auto text = dropPlus(token);
            const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), any);
            const bool isNumber = ptr == text.data() + text.size()
                               && (ec == std::errc() || ec == std::errc::result_out_of_range);
            what = "temperature " + quoted(token)
                 + (!isNumber                                     ? " is not a number"
                    : (ec == std::errc() && !std::isfinite(any)) ? " is not a finite number"
                                                                  : " is out of range");
            return false;
        }
    } else if (!parseInt(token, command.value)) {
        const char *name = command.kind == CommandKind::Load    ? "percent "
                         : command.kind == CommandKind::Speed   ? "speed "
                                                                : "temperature ";
        what = name + quoted(token) + " is not a whole number";
        return false;
    }

    out.push_back(command);
    return true;
}

} // namespace

bool parseInt(std::string_view text, int &value)
{
    text = dropPlus(text);
    if (text.empty())
        return false;
    const char *end = text.data() + text.size();
    int parsed = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (ec != std::errc() || ptr != end)
        return false;
    value = parsed;
    return true;
}

bool parseReal(std::string_view text, double &value)
{
    text = dropPlus(text);
    if (text.empty())
        return false;
    const char *end = text.data() + text.size();
    double parsed = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed, std::chars_format::general);
    // Infinity, NaN and values beyond float range would poison the 32-bit state.
    if (ec != std::errc() || ptr != end || !std::isfinite(parsed)
        || std::fabs(parsed) > FLT_MAX)
        return false;
    value = parsed;
    return true;
}

std::string quoted(std::string_view token)
{
    constexpr std::size_t maxShown = 40;
    std::string out = "'";
    for (std::size_t i = 0; i < token.size() && i < maxShown; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        out += (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c);
    }
    if (token.size() > maxShown)
        out += "...";
    out += '\'';
    return out;
}

bool parseScript(std::string_view text, std::vector<Command> &commands, ScriptError &error)
{
    commands.clear();
    std::vector<Command> parsed;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t eol = text.find('\n', pos);
        const std::size_t len = (eol == std::string_view::npos ? text.size() : eol) - pos;
        ++lineNumber;
        std::string what;
        if (!parseLine(text.substr(pos, len), lineNumber, parsed, what)) {
            error.line = lineNumber;
            error.what = std::move(what);
            return false;
        }
        if (eol == std::string_view::npos)
            break;
        pos = eol + 1;
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const Command &a, const Command &b) { return a.tick < b.tick; });
    commands = std::move(parsed);
    return true;
}

void applyCommand(const Command &command, TModel &model)
{
    switch (command.kind) {
    case CommandKind::Load:
        model.SetLoad(command.room, command.value);
        break;
    case CommandKind::Setpoint:
        model.SetSetpoint(command.room, command.value);
        break;
    case CommandKind::Temp:
        model.SetRoomTemperature(command.room, command.celsius);
        break;
    case CommandKind::Supply:
        model.SetSupplyTemperature(command.value);
        break;
    case CommandKind::Speed:
        model.SetSimulationSpeed(command.value);
        break;
    }
}

} // namespace sim
