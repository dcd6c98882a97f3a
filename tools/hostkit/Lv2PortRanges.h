#pragma once
// The control ports a bundle's description states: index, range, default and whether the value
// is an integer. Read from the plug-in's .ttl as this project's generator writes it (each port's
// lv2:index before its lv2:default, lv2:minimum and lv2:maximum), without an RDF library, so the
// test hosts and the benchmark need none: like a real host they start every control port at its
// default and know what lies out of range.

#include <cstdint>
#include <string>
#include <vector>

namespace lv2host {

struct ControlPortRange {
    std::uint32_t index = 0;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float defaultValue = 0.0f;
    bool integer = false;
};

// The ports in index order; empty, with the reason, when the file cannot be read or a control
// port lacks one of its three values.
std::vector<ControlPortRange> ReadControlPortRanges(const std::string& ttlPath, std::string& error);

} // namespace lv2host
