#include "programs/SysExBrowserReader.h"

#include "programs/SysExFiles.h"
#include "programs/VoiceConversion.h"

namespace programs {

bool ReadSysExBrowserPrograms(const std::string& path, std::vector<BrowserProgram>& programs) {
    programs.clear();
    std::vector<VoiceRecord> records;
    if (!ReadSysExVoices(path, records)) return false;
    // A single-voice dump must give one program and a bank dump 48; anything else lists nothing.
    if (records.size() != 1 && records.size() != static_cast<std::size_t>(kBankVoiceCount))
        return false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        BrowserProgram program;
        program.initialised = 1;
        program.name = VoiceName(records[i]);
        WriteVoiceProgramState(static_cast<int>(i), records[i], program.state);
        programs.push_back(std::move(program));
    }
    return true;
}

} // namespace programs
