#include "Lv2PortRanges.h"

#include <cstdlib>
#include <fstream>
#include <map>

namespace lv2host {

namespace {

struct Pending {
    bool control = false;
    int values = 0; // of default, minimum, maximum
    ControlPortRange range;
};

// The number after a keyword on the line, if the line holds the keyword.
bool NumberAfter(const std::string& line, const char* keyword, double& value) {
    const std::size_t at = line.find(keyword);
    if (at == std::string::npos) return false;
    const char* start = line.c_str() + at + std::char_traits<char>::length(keyword);
    char* end = nullptr;
    value = std::strtod(start, &end);
    return end != start;
}

} // namespace

std::vector<ControlPortRange> ReadControlPortRanges(const std::string& ttlPath,
                                                    std::string& error) {
    std::ifstream file(ttlPath);
    if (!file) {
        error = "cannot read " + ttlPath;
        return {};
    }
    std::map<std::uint32_t, Pending> ports;
    Pending* current = nullptr;
    bool controlBlock = false;
    for (std::string line; std::getline(file, line);) {
        // A port block names its classes first; its index follows.
        if (line.find("lv2:InputPort") != std::string::npos ||
            line.find("lv2:OutputPort") != std::string::npos)
            controlBlock = line.find("lv2:ControlPort") != std::string::npos;
        double value = 0.0;
        if (NumberAfter(line, "lv2:index", value)) {
            current = &ports[static_cast<std::uint32_t>(value)];
            current->control = controlBlock;
            current->range.index = static_cast<std::uint32_t>(value);
            continue;
        }
        if (!current || !current->control) continue;
        if (NumberAfter(line, "lv2:default", value)) {
            current->range.defaultValue = static_cast<float>(value);
            ++current->values;
        } else if (NumberAfter(line, "lv2:minimum", value)) {
            current->range.minimum = static_cast<float>(value);
            ++current->values;
        } else if (NumberAfter(line, "lv2:maximum", value)) {
            current->range.maximum = static_cast<float>(value);
            ++current->values;
        } else if (line.find("lv2:integer") != std::string::npos) {
            current->range.integer = true;
        }
    }
    std::vector<ControlPortRange> ranges;
    for (const auto& [index, port] : ports) {
        if (!port.control) continue;
        if (port.values != 3) {
            error = ttlPath + ": control port " + std::to_string(index) +
                    " lacks its default, minimum or maximum";
            return {};
        }
        ranges.push_back(port.range);
    }
    if (ranges.empty()) error = ttlPath + " describes no control port";
    return ranges;
}

} // namespace lv2host
