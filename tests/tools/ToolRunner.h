#pragma once
// Runs a built command-line tool as a user does, through the shell, in a folder of its own, and
// collects its exit code, standard output and standard error.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tooltest {

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<unsigned char> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed again at the end.
class WorkFolder {
public:
    explicit WorkFolder(const std::string& stem) {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                (stem + "-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
                 std::to_string(++counter));
        std::filesystem::create_directories(path_);
    }
    ~WorkFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Single quotes for the shell: the argument reaches the tool exactly as given.
inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// launcher, when given, runs the tool (for example under another user id).
inline ToolRun RunTool(const WorkFolder& folder, const std::string& tool,
                       const std::vector<std::string>& arguments,
                       const std::vector<std::string>& launcher = {}) {
    std::string command = "cd " + Quoted(folder.Path().string()) + " &&";
    for (const std::string& word : launcher) command += " " + Quoted(word);
    command += " " + Quoted(tool);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += " >tool-out.txt 2>tool-err.txt; echo $? >tool-exit.txt";
    ToolRun run;
    if (std::system(command.c_str()) != 0) return run;
    run.exitCode = std::atoi(ReadText(folder / "tool-exit.txt").c_str());
    run.out = ReadText(folder / "tool-out.txt");
    run.err = ReadText(folder / "tool-err.txt");
    return run;
}

} // namespace tooltest
