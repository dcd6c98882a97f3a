#pragma once
// Helpers for the state, chunk and file tests: a temporary folder, whole-file bytes, and a way to
// give every program of an instance a distinct sound and name.

#include "unit/vorn/VornTestSupport.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace statetest {

using Bytes = std::vector<std::uint8_t>;

class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("vorna-state-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
                 std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Minimum, maximum or a middle value of parameter p, chosen by variant.
inline double PatternValue(const host::Param& param, int variant) {
    switch (variant % 3) {
    case 0:
        return param.Min();
    case 1:
        return param.Max();
    default:
        if (param.Kind() == host::ParamKind::Double)
            return param.Min() + (param.Max() - param.Min()) * 0.3141592653589793;
        return std::floor((param.Min() + param.Max()) / 2.0);
    }
}

// Names no program should lose on its way through a chunk or a file.
inline std::string OddName(int program) {
    static const char* const names[] = {"",
                                        " ",
                                        "Init   ",
                                        "\xC3\x84\xC3\x96\xC3\x9C-\xC3\x9F",
                                        "tab\there",
                                        "%s%n%d",
                                        "name with spaces and.dots",
                                        "\x01\x7F\xFF",
                                        "x"};
    if (program % 50 == 7) return std::string(255, static_cast<char>('a' + program % 26));
    return std::string(names[program % 9]) + std::to_string(program);
}

// Gives program its odd name and every parameter the pattern value of variant program + p, and
// stores it; leaves program current.
inline void StorePatternProgram(vorn::Vorn& plugin, int program) {
    plugin.RecallPreset(program);
    plugin.GetPreset(program).name = OddName(program);
    for (int p = 0; p < plugin.ParamCount(); ++p)
        plugin.GetParam(p).SetClamped(PatternValue(plugin.GetParam(p), program + p));
    plugin.AllParamsChanged();
    plugin.ModifyCurrentPreset();
}

inline void StoreAllPatternPrograms(vorn::Vorn& plugin) {
    for (int i = 0; i < plugin.PresetCount(); ++i) StorePatternProgram(plugin, i);
    plugin.RecallPreset(0);
}

inline std::vector<double> ParamValues(vorn::Vorn& plugin) {
    std::vector<double> values;
    for (int p = 0; p < plugin.ParamCount(); ++p) values.push_back(plugin.GetParam(p).Value());
    return values;
}

// Every program's name and stored state bytes.
inline std::vector<std::pair<std::string, Bytes>> Programs(vorn::Vorn& plugin) {
    std::vector<std::pair<std::string, Bytes>> programs;
    for (int i = 0; i < plugin.PresetCount(); ++i)
        programs.emplace_back(plugin.GetPreset(i).name, plugin.GetPreset(i).state.Bytes());
    return programs;
}

} // namespace statetest
