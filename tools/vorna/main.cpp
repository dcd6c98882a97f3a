// vorna: Vorna's command-line tool. It drives the built plug-in binary through the VST2
// interface, exactly as a host does.

#include "Commands.h"

#include <cstdio>
#include <string>
#include <vector>

std::string vorna_tool::PluginPath(const std::string& path) {
    if (path.find('/') != std::string::npos || path.find('\\') != std::string::npos) return path;
    return "./" + path;
}

static void PrintUsage() {
    std::printf("usage: vorna <command> [options]\n"
                "  info <plugin>   load the plug-in and print its identity and parameters\n"
                "  render <plugin> [song.mid] [options]\n"
                "                  play a MIDI file or the demo phrase into a WAV file\n"
                "  screenshot <out.png> [plugin]\n"
                "                  draw the editor offscreen into a PNG file\n");
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage();
        return 2;
    }
    std::string command = argv[1];
    std::vector<std::string> arguments(argv + 2, argv + argc);
    if (command == "info") return vorna_tool::RunInfo(arguments);
    if (command == "render") return vorna_tool::RunRender(arguments);
    if (command == "screenshot") return vorna_tool::RunScreenshot(arguments);
    if (command == "help" || command == "--help" || command == "-h") {
        PrintUsage();
        return 0;
    }
    std::fprintf(stderr, "vorna: unknown command '%s'\n", command.c_str());
    PrintUsage();
    return 2;
}
