// The two system models without a window: options, start state, CSV rows.
#pragma once

#include "SimScript.h"

#include <cstdio>
#include <string>
#include <vector>

class TModel;
class THighPressureModel;

namespace sim {

struct Options
{
    int ticks = 120;
    int speed = 90;
    std::string scriptFile; // empty: no script
    bool help = false;
    bool version = false;
};

// Parses the command line (without the program name). Any error wins over
// --help and --version, so a bad command line never prints to stdout.
bool parseOptions(const std::vector<std::string> &args, Options &options, std::string &error);

// Reads a whole file; on failure `error` says why (no file name in it).
bool readFile(const std::string &path, std::string &text, std::string &error);

// Rooms as the main window builds them. Low: four plain rooms. High: plain
// room, leading combined room, following combined room, plain room, the pair
// linked both ways.
void buildModels(TModel &low, THighPressureModel &high);
// The main window's state after its first show: speed on both, then every
// setpoint 22 °C, room by room, low model before high model.
void startModels(TModel &low, THighPressureModel &high, int speed);

const char *csvHeader(); // ends in '\n'
void appendCsvRow(std::string &out, int tick, const char *system, const TModel &model);

// One system's values at the end of one tick, as a row shows them: raw
// model values, kept so a recorded history prints exactly like a live run.
struct CsvRow
{
    float supply = 15.0f; // °C
    float fan = 0.0f;     // the model's FanSpeed
    float duct = 0.0f;    // Pa
    float energy = 0.0f;  // kW
    float temp[4] = {};   // °C
    float disc[4] = {};   // %
    bool heat[4] = {};
    float rate[4] = {};
};
// The first four rooms of the model (the models always have four).
CsvRow csvRowOf(const TModel &model);
void appendCsvRow(std::string &out, long long tick, const char *system, const CsvRow &row);

// Runs the whole simulation and writes the CSV to `out`. Returns false when
// writing failed.
bool run(const Options &options, const std::vector<Command> &commands, std::FILE *out);

const char *usage();

} // namespace sim
