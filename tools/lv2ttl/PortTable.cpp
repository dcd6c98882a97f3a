#include "PortTable.h"

#include <cctype>
#include <set>

namespace lv2ttl {

namespace {

// Units for the parameters whose values are in one; the FB-01's own scales (levels, rates,
// depths) have none.
std::string UnitOf(const std::string& name) {
    if (name == "Master Volume") return "coef";
    if (name == "Master Tune" || name == "Transpose" || name == "Pitch Bend Range")
        return "semitone12TET";
    return "";
}

} // namespace

std::string PortSymbol(const std::string& name) {
    std::string symbol;
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u)) {
            symbol += static_cast<char>(std::tolower(u));
        } else if (!symbol.empty() && symbol.back() != '_') {
            symbol += '_';
        }
    }
    while (!symbol.empty() && symbol.back() == '_') symbol.pop_back();
    if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0])))
        symbol = "p_" + symbol;
    return symbol;
}

std::vector<ControlPort> ReadControlPorts(host::PluginBase& plugin, std::string& error) {
    std::vector<ControlPort> ports;
    std::set<std::string> symbols;
    for (int i = 0; i < plugin.ParamCount(); ++i) {
        const host::Param& param = plugin.GetParam(i);
        ControlPort port;
        port.name = param.Name();
        port.symbol = PortSymbol(port.name);
        if (!symbols.insert(port.symbol).second) {
            error = "two parameters give the port symbol \"" + port.symbol + "\"";
            return {};
        }
        port.minimum = param.Min();
        port.maximum = param.Max();
        port.defaultValue = param.Value();
        port.integer =
            param.Kind() == host::ParamKind::Int || param.Kind() == host::ParamKind::Enum;
        port.enumeration = param.Kind() == host::ParamKind::Enum;
        for (const host::DisplayText& text : param.DisplayTexts())
            port.scalePoints.push_back(ScalePoint{text.value, text.text});
        port.unit = UnitOf(port.name);
        ports.push_back(std::move(port));
    }
    return ports;
}

std::vector<ProgramPreset> ReadPrograms(host::PluginBase& plugin) {
    std::vector<ProgramPreset> programs;
    platform::ScopedLock lock(plugin.Mutex());
    int current = plugin.CurrentPresetIndex();
    for (int p = 0; p < plugin.PresetCount(); ++p) {
        plugin.RecallPreset(p);
        ProgramPreset preset;
        preset.name = plugin.PresetName(p);
        for (int i = 0; i < plugin.ParamCount(); ++i)
            preset.values.push_back(plugin.GetParam(i).Value());
        programs.push_back(std::move(preset));
    }
    plugin.RecallPreset(current);
    return programs;
}

} // namespace lv2ttl
