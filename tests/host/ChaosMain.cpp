// The chaos host's command line: runs seeds for a number of steps each and reports what one run
// tried. A failing seed names its log file, which lists every call in order, and the command
// that runs it again.
//
//   vorna_chaos_host --plugin=<binary> [--steps=N] [--seeds=a,b,c] [--random-seeds=K]

#include "ChaosHost.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

std::vector<std::string> LastLines(const std::string& path, std::size_t count) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
        if (lines.size() > count) lines.erase(lines.begin());
    }
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    std::string plugin;
    long long steps = 2000;
    std::vector<std::uint64_t> seeds;
    int randomSeeds = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--plugin=", 0) == 0) plugin = arg.substr(9);
        if (arg.rfind("--steps=", 0) == 0) steps = std::atoll(arg.c_str() + 8);
        if (arg.rfind("--random-seeds=", 0) == 0) randomSeeds = std::atoi(arg.c_str() + 15);
        if (arg.rfind("--seeds=", 0) == 0) {
            std::stringstream list(arg.substr(8));
            for (std::string seed; std::getline(list, seed, ',');)
                seeds.push_back(std::strtoull(seed.c_str(), nullptr, 0));
        }
    }
    if (plugin.empty()) {
        std::cerr << "usage: vorna_chaos_host --plugin=<binary> [--steps=N] [--seeds=a,b]"
                     " [--random-seeds=K]\n";
        return 2;
    }
    // Fresh seeds come from the clock and are printed, so a failure can be run again.
    std::mt19937_64 fresh(std::random_device{}());
    for (int i = 0; i < randomSeeds; ++i) seeds.push_back(fresh() % 1000000007ull);

    chaos::Counters total;
    for (std::uint64_t seed : seeds) {
        const std::string log = "chaos-seed-" + std::to_string(seed) + ".log";
        std::cout << "seed " << seed << ", " << steps << " steps, calls in " << log << std::endl;
        bool ok;
        std::string failure;
        chaos::Counters count;
        {
            chaos::Run run(plugin, seed, log);
            ok = run.Loaded();
            for (long long s = 0; ok && s < steps; ++s) ok = run.Step();
            if (ok) ok = run.Finish();
            failure = run.Failure();
            count = run.Count();
        }
        total.calls += count.calls;
        total.chunks += count.chunks;
        total.sysex += count.sysex;
        total.midi += count.midi;
        total.frames += count.frames;
        if (!ok) {
            std::cout << "FAILED seed " << seed << ": " << failure << "\nlast calls:\n";
            for (const std::string& line : LastLines(log, 40)) std::cout << "  " << line << "\n";
            std::cout << "run again: " << argv[0] << " --plugin=" << plugin << " --steps=" << steps
                      << " --seeds=" << seed << std::endl;
            return 1;
        }
        std::remove(log.c_str());
    }
    std::cout << "passed: " << seeds.size() << " seeds, " << total.calls << " calls, "
              << total.chunks << " chunks, " << total.sysex << " SysEx messages, " << total.midi
              << " MIDI events, " << total.frames << " frames rendered" << std::endl;
    return 0;
}
