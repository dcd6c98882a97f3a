// The LV2 chaos host's command line: runs seeds for a number of steps each and reports what one
// run tried. A failing seed names its log file, which lists every call in order, and the command
// that runs it again.
//
//   vorna_lv2_chaos_host --bundle=<Vorn.lv2 folder> [--syx=<bank dump>] [--steps=N]
//                        [--seeds=a,b,c] [--random-seeds=K]

#include "Lv2ChaosRun.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
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

lv2chaos::Bytes ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return lv2chaos::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A CI run (CI=true) must have the real bank dump; elsewhere its steps fall back to built dumps.
bool RunningInCi() {
    const char* value = std::getenv("CI");
    return value && std::string(value) == "true";
}

} // namespace

int main(int argc, char** argv) {
    std::string bundle;
    std::string syx;
    long long steps = 2000;
    std::vector<std::uint64_t> seeds;
    int randomSeeds = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--bundle=", 0) == 0) bundle = arg.substr(9);
        if (arg.rfind("--syx=", 0) == 0) syx = arg.substr(6);
        if (arg.rfind("--steps=", 0) == 0) steps = std::atoll(arg.c_str() + 8);
        if (arg.rfind("--random-seeds=", 0) == 0) randomSeeds = std::atoi(arg.c_str() + 15);
        if (arg.rfind("--seeds=", 0) == 0) {
            std::stringstream list(arg.substr(8));
            for (std::string seed; std::getline(list, seed, ',');)
                seeds.push_back(std::strtoull(seed.c_str(), nullptr, 0));
        }
    }
    if (bundle.empty()) {
        std::cerr << "usage: vorna_lv2_chaos_host --bundle=<Vorn.lv2 folder> [--syx=<bank dump>]"
                     " [--steps=N] [--seeds=a,b] [--random-seeds=K]\n";
        return 2;
    }
    const lv2chaos::Bytes realBank = syx.empty() ? lv2chaos::Bytes() : ReadFile(syx);
    if (!syx.empty() && realBank.empty()) {
        std::cout << "the real bank dump " << syx << " cannot be read";
        if (RunningInCi()) {
            std::cout << ": a CI run must have it\n";
            return 1;
        }
        std::cout << "; its steps send built dumps instead\n";
    }
    // Fresh seeds come from the clock and are printed, so a failure can be run again.
    std::mt19937_64 fresh(std::random_device{}());
    for (int i = 0; i < randomSeeds; ++i) seeds.push_back(fresh() % 1000000007ull);

    lv2chaos::Counters total;
    for (std::uint64_t seed : seeds) {
        const std::string log = "lv2-chaos-seed-" + std::to_string(seed) + ".log";
        std::cout << "seed " << seed << ", " << steps << " steps, calls in " << log << std::endl;
        bool ok;
        std::string failure;
        lv2chaos::Counters count;
        {
            lv2chaos::Run run(bundle, realBank, seed, log);
            ok = run.Loaded();
            for (long long s = 0; ok && s < steps; ++s) ok = run.Step();
            if (ok) ok = run.Finish();
            failure = run.Failure();
            count = run.Count();
        }
        total.calls += count.calls;
        total.runs += count.runs;
        total.frames += count.frames;
        total.midi += count.midi;
        total.sysex += count.sysex;
        total.states += count.states;
        total.refusedStates += count.refusedStates;
        total.options += count.options;
        total.instances += count.instances;
        total.work += count.work;
        if (!ok) {
            std::cout << "FAILED seed " << seed << ": " << failure << "\nlast calls:\n";
            for (const std::string& line : LastLines(log, 40)) std::cout << "  " << line << "\n";
            std::cout << "run again: " << argv[0] << " --bundle=" << bundle
                      << (syx.empty() ? "" : " --syx=" + syx) << " --steps=" << steps
                      << " --seeds=" << seed << std::endl;
            return 1;
        }
        std::remove(log.c_str());
    }
    std::cout << "passed: " << seeds.size() << " seeds, " << total.calls << " calls, " << total.runs
              << " runs of " << total.frames << " frames, " << total.midi << " MIDI events, "
              << total.sysex << " SysEx messages, " << total.states << " states ("
              << total.refusedStates << " refused), " << total.options << " option sets, "
              << total.instances << " instances, " << total.work << " worker calls" << std::endl;
    return 0;
}
