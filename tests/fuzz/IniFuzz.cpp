// The INI reader: any bytes read as a document without a crash, every value comes back within its
// read limit, the configuration read from it leaves the settings in their allowed forms, and
// writes keep the document readable.

#include "FuzzSupport.h"
#include "synth/Configuration.h"
#include "synth/IniFile.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    synth::IniDocument ini = synth::IniDocument::Parse(text);

    synth::SynthSettings settings;
    synth::ApplyConfiguration(ini, settings);
    fuzz::Require(settings.startupBankPath.size() <= 258, "paths are cut to their read limit");
    fuzz::Require(settings.programFolder.size() <= 258, "folders are cut to their read limit");
    fuzz::Require(settings.sysExFolder.size() <= 258, "folders are cut to their read limit");

    for (const char* section : {"Editor", "Startup Bank", "Global", "MIDI Global", "MIDI Control"})
        for (const std::string& key : ini.Keys(section))
            fuzz::Require(ini.Read(section, key, "", 63).size() <= 63, "values respect the limit");

    // Serialising and parsing again gives the same text.
    const std::string once = ini.Serialize();
    fuzz::Require(synth::IniDocument::Parse(once).Serialize() == once, "round trip is stable");

    // A write is read back exactly; a section replaced holds only its new keys.
    if (ini.Write("MIDI Global", "MIDI Thru", "true"))
        fuzz::Require(ini.Read("midi global", "midi thru", "", 258) == "true", "write reads back");
    if (ini.ReplaceSection("MIDI Control", {{"CC7", "3"}})) {
        fuzz::Require(ini.Keys("MIDI Control").size() == 1, "replaced section has one key");
        fuzz::Require(ini.Read("MIDI Control", "CC7", "", 63) == "3", "replaced key reads back");
    }
    return 0;
}
