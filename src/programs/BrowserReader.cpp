#include "programs/BrowserReader.h"

#include "host/FxbFile.h"
#include "host/FxpFile.h"
#include "host/ProgramState.h"
#include "programs/BrowserLayout.h"
#include "programs/FactoryBanks.h"
#include "programs/SysExBrowserReader.h"

namespace programs {

std::vector<BrowserProgram> ReadBrowserEntries(const host::ChunkBuffer& buffer, int position,
                                               int maxPrograms) {
    std::vector<BrowserProgram> programs;
    int p = position;
    while (p >= 0 && static_cast<int>(programs.size()) < maxPrograms) {
        std::string name;
        p = buffer.ReadText(name, p);
        std::uint8_t initialised = 0;
        p = buffer.ReadByte(initialised, p);
        if (p < 0 || initialised == 0) continue;
        host::StoredState state;
        int end = host::ParseProgramState(buffer, p, state);
        if (end < 0) break;
        BrowserProgram program;
        program.initialised = 1;
        program.name.assign(state.name.data(), state.name.size());
        program.state.AppendBytes(buffer.Data() + p, static_cast<std::size_t>(end - p));
        programs.push_back(std::move(program));
        p = end;
    }
    return programs;
}

std::vector<BrowserProgram> ReadFactoryBrowserPrograms(int factoryIndex) {
    platform::Resource resource;
    if (!FindFactoryImage(factoryIndex, resource)) return {};
    host::ChunkBuffer image;
    image.Assign(resource.data, resource.size);
    int start = FactoryImageEntriesStart(image);
    if (start < 0) return {};
    return ReadBrowserEntries(image, start, kBankFilePrograms);
}

BrowserFileKind BrowserFileKindOf(const std::string& path) {
    std::string extension = BrowserFileExtension(path);
    if (extension == ".fxp" || extension == ".FXP") return BrowserFileKind::Program;
    if (extension == ".fxb" || extension == ".FXB") return BrowserFileKind::Bank;
    if (extension == ".syx" || extension == ".SYX") return BrowserFileKind::SysEx;
    return BrowserFileKind::None;
}

bool ReadBrowserFilePrograms(const std::string& path, std::int32_t pluginId,
                             std::vector<BrowserProgram>& programs) {
    programs.clear();
    host::ChunkBuffer entries;
    int expected = 0;
    switch (BrowserFileKindOf(path)) {
    case BrowserFileKind::Program:
        if (!host::ReadProgramFileEntry(path, pluginId, entries)) return false;
        expected = kProgramFilePrograms;
        break;
    case BrowserFileKind::Bank:
        if (!host::ReadBankFileBody(path, pluginId, entries)) return false;
        expected = kBankFilePrograms;
        break;
    case BrowserFileKind::SysEx:
        return ReadSysExBrowserPrograms(path, programs);
    case BrowserFileKind::None:
        return false;
    }
    std::vector<BrowserProgram> read = ReadBrowserEntries(entries, 0, expected);
    if (static_cast<int>(read.size()) != expected) return false;
    programs = std::move(read);
    return true;
}

} // namespace programs
