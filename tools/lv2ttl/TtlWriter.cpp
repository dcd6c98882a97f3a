#include "TtlWriter.h"

#include "lv2/Lv2Identity.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace lv2ttl {

namespace {

constexpr const char* kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                                  "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
                                  "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                                  "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                                  "@prefix log: <http://lv2plug.in/ns/ext/log#> .\n"
                                  "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                                  "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                                  "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                                  "@prefix param: <http://lv2plug.in/ns/ext/parameters#> .\n"
                                  "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                                  "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                                  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                                  "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
                                  "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                                  "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                                  "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                                  "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
                                  "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n\n";

// Room in the MIDI output for a full bank dump with the events around it.
constexpr int kMidiOutMinimumSize = 16384;

std::string Uri(const std::string& uri) {
    return "<" + uri + ">";
}

std::string PresetUri(int index) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", index);
    return std::string(lv2::kPluginUri) + "#preset-" + text;
}

void WriteAtomPort(std::ostringstream& out, int index, bool input, const char* symbol,
                   const char* name) {
    out << "    [\n        a lv2:" << (input ? "InputPort" : "OutputPort") << " , atom:AtomPort ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports midi:MidiEvent ;\n";
    if (input) out << "        lv2:designation lv2:control ;\n";
    if (!input) out << "        rsz:minimumSize " << kMidiOutMinimumSize << " ;\n";
    out << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << Literal(symbol) << " ;\n"
        << "        lv2:name " << Literal(name) << "\n    ]";
}

void WriteAudioPort(std::ostringstream& out, int index, const char* symbol, const char* name) {
    out << "    [\n        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << Literal(symbol) << " ;\n"
        << "        lv2:name " << Literal(name) << "\n    ]";
}

void WriteControlPort(std::ostringstream& out, int index, const ControlPort& port) {
    out << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << Literal(port.symbol) << " ;\n"
        << "        lv2:name " << Literal(port.name) << " ;\n"
        << "        lv2:default " << Number(port.defaultValue, port.integer) << " ;\n"
        << "        lv2:minimum " << Number(port.minimum, port.integer) << " ;\n"
        << "        lv2:maximum " << Number(port.maximum, port.integer);
    if (port.integer) out << " ;\n        lv2:portProperty lv2:integer";
    if (port.enumeration) out << " ;\n        lv2:portProperty lv2:enumeration";
    if (!port.unit.empty()) out << " ;\n        units:unit units:" << port.unit;
    for (const ScalePoint& point : port.scalePoints)
        out << " ;\n        lv2:scalePoint [ rdfs:label " << Literal(point.label) << " ; rdf:value "
            << point.value << " ]";
    out << "\n    ]";
}

std::string Manifest(const std::vector<ProgramPreset>& programs) {
    std::ostringstream out;
    out << kPrefixes;
    out << Uri(lv2::kPluginUri) << "\n    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
        << "    lv2:binary <" << lv2::kDspBinary << "> ;\n"
        << "    rdfs:seeAlso <Vorn.ttl> .\n\n";
    out << Uri(lv2::kUiUri) << "\n    a ui:X11UI ;\n"
        << "    ui:binary <" << lv2::kUiBinary << "> ;\n"
        // The editor is a child window: without a parent it cannot open. It keeps its size.
        << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize ,\n"
        << "        <http://lv2plug.in/ns/ext/instance-access> ;\n"
        << "    lv2:extensionData ui:idleInterface .\n\n";
    for (std::size_t p = 0; p < programs.size(); ++p)
        out << Uri(PresetUri(static_cast<int>(p))) << "\n    a pset:Preset ;\n"
            << "    lv2:appliesTo " << Uri(lv2::kPluginUri) << " ;\n"
            << "    rdfs:label " << Literal(programs[p].name) << " ;\n"
            << "    rdfs:seeAlso <presets.ttl> .\n\n";
    return out.str();
}

std::string PluginText(const std::vector<ControlPort>& ports, const std::string& pluginName,
                       const std::string& vendorName, int version) {
    std::ostringstream out;
    out << kPrefixes;
    out << Uri(lv2::kPluginUri) << "\n"
        << "    a doap:Project ;\n"
        << "    doap:name " << Literal(pluginName) << " ;\n"
        << "    doap:maintainer [ foaf:name " << Literal(vendorName)
        << " ] ;\n"
        // Hosts read an odd minor version as a development build: major and minor together,
        // doubled, keep it even and growing.
        << "    lv2:minorVersion " << 2 * (version / 100) << " ;\n"
        << "    lv2:microVersion " << version % 100 << " ;\n"
        << "    lv2:requiredFeature urid:map ;\n"
        << "    lv2:optionalFeature opts:options , work:schedule , log:log ,\n"
        << "        bufsz:boundedBlockLength ;\n"
        << "    lv2:extensionData state:interface , work:interface , opts:interface ;\n"
        << "    opts:supportedOption bufsz:maxBlockLength , bufsz:nominalBlockLength ,\n"
        << "        param:sampleRate ;\n"
        << "    ui:ui " << Uri(lv2::kUiUri) << " ;\n"
        << "    lv2:port\n";
    WriteAtomPort(out, lv2::kMidiInPort, true, "midi_in", "MIDI In");
    out << " ,\n";
    WriteAtomPort(out, lv2::kMidiOutPort, false, "midi_out", "MIDI Out");
    out << " ,\n";
    WriteAudioPort(out, lv2::kLeftOutPort, "out_left", "Left");
    out << " ,\n";
    WriteAudioPort(out, lv2::kRightOutPort, "out_right", "Right");
    for (std::size_t i = 0; i < ports.size(); ++i) {
        out << " ,\n";
        WriteControlPort(out, static_cast<int>(lv2::kFirstParamPort + i), ports[i]);
    }
    out << " .\n";
    return out.str();
}

std::string PresetsText(const std::vector<ControlPort>& ports,
                        const std::vector<ProgramPreset>& programs) {
    std::ostringstream out;
    out << kPrefixes;
    for (std::size_t p = 0; p < programs.size(); ++p) {
        out << Uri(PresetUri(static_cast<int>(p))) << "\n    lv2:port";
        for (std::size_t i = 0; i < ports.size() && i < programs[p].values.size(); ++i) {
            out << (i ? " ,\n" : "\n") << "        [ lv2:symbol " << Literal(ports[i].symbol)
                << " ; pset:value " << Number(programs[p].values[i], false) << " ]";
        }
        out << " .\n\n";
    }
    return out.str();
}

std::string DefaultsSource(const std::vector<ControlPort>& ports) {
    std::ostringstream out;
    out << "// Generated by vorna_lv2ttl with the bundle's description: do not edit.\n"
        << "#include \"lv2/Lv2PortDefaults.h\"\n\nnamespace lv2 {\n\n"
        << "extern const int kPortDefaultCount = " << ports.size() << ";\n"
        << "extern const float kPortDefaults[] = {\n";
    for (const ControlPort& port : ports)
        out << "    " << Number(port.defaultValue, false) << "f,\n";
    out << "};\n\n} // namespace lv2\n";
    return out.str();
}

} // namespace

std::string Literal(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Number(double value, bool integer) {
    if (integer) return std::to_string(static_cast<long long>(std::lround(value)));
    // Nine significant digits give every float back exactly; a decimal point keeps it a decimal.
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    std::string number = text;
    if (number.find_first_of(".e") == std::string::npos) number += ".0";
    return number;
}

BundleText WriteBundle(const std::vector<ControlPort>& ports,
                       const std::vector<ProgramPreset>& programs, const std::string& pluginName,
                       const std::string& vendorName, int version) {
    BundleText bundle;
    bundle.manifest = Manifest(programs);
    bundle.plugin = PluginText(ports, pluginName, vendorName, version);
    bundle.presets = PresetsText(ports, programs);
    bundle.defaultsSource = DefaultsSource(ports);
    return bundle;
}

} // namespace lv2ttl
