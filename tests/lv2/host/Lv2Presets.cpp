#include "Lv2Presets.h"

#include <cctype>
#include <cstdlib>

namespace lv2_test {

int ProgramNumberOfPresetUri(const std::string& uri) {
    std::size_t begin = uri.size();
    while (begin > 0 && std::isdigit(static_cast<unsigned char>(uri[begin - 1]))) --begin;
    if (begin == uri.size() || uri.size() - begin > 6) return -1;
    return std::atoi(uri.c_str() + begin);
}

const PresetInfo* PresetOfProgram(Lv2Bundle& bundle, int program) {
    const PresetInfo* found = nullptr;
    for (const PresetInfo& preset : bundle.Presets()) {
        if (ProgramNumberOfPresetUri(preset.uri) != program) continue;
        if (found) return nullptr;
        found = &preset;
    }
    return found;
}

} // namespace lv2_test
