// vorna: Vorna's command-line tool. The librarian commands (list, convert, audition) and render
// without a plug-in binary run the plug-in's own code linked into the tool; info, screenshot and
// render with a binary drive a built plug-in through the VST2 interface, exactly as a host does.

#include "Commands.h"
#include "Usage.h"

#include <cstdio>
#include <string>
#include <vector>

std::string vorna_tool::PluginPath(const std::string& path) {
    if (path.find('/') != std::string::npos || path.find('\\') != std::string::npos) return path;
    return "./" + path;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        vorna_tool::PrintUsage("", stderr);
        return 2;
    }
    std::string command = argv[1];
    std::vector<std::string> arguments(argv + 2, argv + argc);
    if (command == "help" || vorna_tool::IsHelpOption(command)) {
        if (!arguments.empty() && vorna_tool::PrintUsage(arguments[0], stdout)) return 0;
        vorna_tool::PrintUsage("", stdout);
        return 0;
    }
    // Every command answers --help the same way, before its own options are looked at.
    for (const std::string& argument : arguments) {
        if (vorna_tool::IsHelpOption(argument) && vorna_tool::PrintUsage(command, stdout)) return 0;
    }
    if (command == "info") return vorna_tool::RunInfo(arguments);
    if (command == "render") return vorna_tool::RunRender(arguments);
    if (command == "screenshot") return vorna_tool::RunScreenshot(arguments);
    if (command == "list") return vorna_tool::RunList(arguments);
    if (command == "convert") return vorna_tool::RunConvert(arguments);
    if (command == "audition") return vorna_tool::RunAudition(arguments);
    std::fprintf(stderr, "vorna: unknown command '%s'\n", command.c_str());
    vorna_tool::PrintUsage("", stderr);
    return 2;
}
