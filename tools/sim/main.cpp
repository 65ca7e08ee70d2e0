// corvair-sim: the two air systems without a window, as CSV.
#include "SimRunner.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// One line on stderr, whatever the file name or script holds.
int fail(const std::string &what, int status = 2)
{
    std::string line = "corvair-sim: " + what;
    for (char &c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f)
            c = '?';
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    sim::Options options;
    std::string error;
    if (!sim::parseOptions(args, options, error))
        return fail(error);
    if (options.help) {
        std::fputs(sim::usage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("corvair-sim %s\n", CORVAIR_VERSION);
        return 0;
    }

    std::vector<sim::Command> commands;
    if (!options.scriptFile.empty()) {
        std::string text;
        if (!sim::readFile(options.scriptFile, text, error))
            return fail(options.scriptFile + ": " + error);
        sim::ScriptError scriptError;
        if (!sim::parseScript(text, commands, scriptError))
            return fail(options.scriptFile + ":" + std::to_string(scriptError.line) + ": " + scriptError.what);
    }

    if (!sim::run(options, commands, stdout))
        return fail("cannot write the output", 1);
    return 0;
}
