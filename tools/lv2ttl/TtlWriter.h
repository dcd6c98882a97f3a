#pragma once
// Writes the bundle's description files and the ports' defaults for the plug-in binary.

#include "PortTable.h"

#include <string>
#include <vector>

namespace lv2ttl {

struct BundleText {
    std::string manifest;
    std::string plugin;  // Vorn.ttl
    std::string presets; // presets.ttl
    std::string defaultsSource;
};

BundleText WriteBundle(const std::vector<ControlPort>& ports,
                       const std::vector<ProgramPreset>& programs, const std::string& pluginName,
                       const std::string& vendorName, int version);

// A TTL string literal: quotes and backslashes escaped, control characters as \uXXXX.
std::string Literal(const std::string& text);
// A number as TTL reads it back exactly: an xsd:decimal or xsd:integer literal.
std::string Number(double value, bool integer);

} // namespace lv2ttl
