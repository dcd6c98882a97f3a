#pragma once
// What the bundle's description says of each parameter port, read from a plug-in instance: the
// parameter table as the host sees it, with the factory start-up program's values as defaults.

#include "host/PluginBase.h"

#include <string>
#include <vector>

namespace lv2ttl {

struct ScalePoint {
    int value;
    std::string label;
};

struct ControlPort {
    std::string symbol; // a C identifier made from the name, unique
    std::string name;
    double minimum;
    double maximum;
    double defaultValue;
    bool integer;
    bool enumeration;
    std::vector<ScalePoint> scalePoints;
    std::string unit; // a units: name, empty when the value has none
};

struct ProgramPreset {
    std::string name;
    std::vector<double> values; // one per parameter
};

// The port symbol for a parameter name: lower case letters, digits and single underscores.
std::string PortSymbol(const std::string& name);

// The ports of every parameter; empty, with a message in error, when two symbols collide.
std::vector<ControlPort> ReadControlPorts(host::PluginBase& plugin, std::string& error);

// Every program of the start-up set with its parameter values (recalls each in turn).
std::vector<ProgramPreset> ReadPrograms(host::PluginBase& plugin);

} // namespace lv2ttl
