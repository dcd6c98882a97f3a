// vorna_realtime_bench: the real-time workloads as a plain program, for Linux and for the Windows
// builds under Wine, where Google Benchmark is not available. Prints the table; the exit status is
// 1 when a workload failed or could not run (for example the editor ones without a display).

#include "realtime/ResultTable.h"
#include "realtime/WorkloadRunner.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: vorna_realtime_bench [--seconds N] [--only NAME] [--blocks 64|256]\n"
           "                            [--sysex FILE] [--lv2-bundle DIR] [--list]\n"
           "  --seconds N     time per workload (default 3)\n"
           "  --only NAME     run one workload (see --list)\n"
           "  --blocks N      frames per audio call: 64 (default) or 256\n"
           "  --sysex FILE    the 48-voice FB-01 bank dump for sysex_bank_loads\n"
           "                  and lv2_sysex_bank_dumps (default " VORNA_SYX_BANK ")\n"
#ifdef VORNA_REALTIME_LV2
           "  --lv2-bundle DIR  the Vorn.lv2 folder for the lv2_ workloads\n"
           "                  (default " VORNA_LV2_BUNDLE_DIR ")\n"
#endif
           "  --list          name and describe the workloads\n";
}

struct Arguments {
    realtime::RunOptions options;
    std::string only;
    bool list = false;
};

bool Parse(int argc, char** argv, Arguments& arguments, std::string& error) {
    arguments.options.sysExBankPath = VORNA_SYX_BANK;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--list") {
            arguments.list = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = option == "--help" ? "" : "unknown option or missing value: " + option;
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--seconds") {
            char* rest = nullptr;
            arguments.options.seconds = std::strtod(value.c_str(), &rest);
            if (*rest ||
                !(arguments.options.seconds > 0.0 && arguments.options.seconds <= 3600.0)) {
                error = "--seconds takes a number of seconds above 0, got " + value;
                return false;
            }
        } else if (option == "--blocks") {
            if (value != "64" && value != "256") {
                error = "--blocks takes 64 or 256, got " + value;
                return false;
            }
            arguments.options.blockFrames = std::stoi(value);
        } else if (option == "--only") {
            if (!realtime::FindWorkload(value)) {
                error = "no workload named " + value + " (see --list)";
                return false;
            }
            arguments.only = value;
        } else if (option == "--sysex") {
            arguments.options.sysExBankPath = value;
        } else if (option == "--lv2-bundle") {
            arguments.options.lv2BundlePath = value;
        } else {
            error = "unknown option: " + option;
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    std::string error;
    if (!Parse(argc, argv, arguments, error)) {
        if (!error.empty()) std::cerr << "vorna_realtime_bench: " << error << "\n";
        PrintUsage(error.empty() ? std::cout : std::cerr);
        return error.empty() ? 0 : 2;
    }
    if (arguments.list) {
        for (const realtime::Workload& workload : realtime::AllWorkloads())
            std::cout << workload.name << ": " << workload.description << "\n";
        return 0;
    }
    realtime::WorkloadRunner runner(arguments.options);
    realtime::PrintHeading(std::cout, runner);
    std::vector<realtime::WorkloadResult> results;
    bool allRan = true;
    for (const realtime::Workload& workload : realtime::AllWorkloads()) {
        if (!arguments.only.empty() && arguments.only != workload.name) continue;
        std::cerr << "running " << workload.name << "...\n";
        results.push_back(runner.Run(workload));
        allRan = allRan && results.back().status == realtime::RunStatus::Ran;
    }
    realtime::PrintTable(std::cout, results);
    return allRan ? 0 : 1;
}
