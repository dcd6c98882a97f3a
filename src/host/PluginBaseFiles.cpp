// PluginBase's program (FXP) and bank (FXB) files. The images are made and applied under the
// instance mutex; the disk is touched outside it, so that a slow disk never holds up rendering.

#include "host/ChunkVersion.h"
#include "host/FxbFile.h"
#include "host/FxpFile.h"
#include "host/PluginBase.h"
#include "platform/Files.h"

#include <algorithm>

namespace host {

std::vector<std::uint8_t> PluginBase::ProgramFileImage() {
    platform::ScopedLock lock(mutex_);
    ChunkBuffer chunk;
    StartChunkWithVersion(chunk);
    int headerSize = chunk.Size();
    if (!WriteStateFor(currentPreset_, chunk) || chunk.Size() == headerSize) return {};
    PluginIdentity identity{uniqueId_, DecimalVersion(), ParamCount()};
    return BuildProgramFile(identity, PresetName(currentPreset_), chunk);
}

std::vector<std::uint8_t> PluginBase::BankFileImage() {
    platform::ScopedLock lock(mutex_);
    ChunkBuffer chunk;
    StartChunkWithVersion(chunk);
    if (!SerializePresets(chunk)) return {};
    BankIdentity identity{uniqueId_, DecimalVersion(), PresetCount(), currentPreset_};
    return BuildBankFile(identity, chunk);
}

bool PluginBase::SaveProgramFile(const std::string& path) {
    if (path.empty()) return false;
    std::vector<std::uint8_t> image = ProgramFileImage();
    return !image.empty() && platform::WriteFileSafely(path, image.data(), image.size());
}

bool PluginBase::SaveBankFile(const std::string& path) {
    if (path.empty()) return false;
    std::vector<std::uint8_t> image = BankFileImage();
    return !image.empty() && platform::WriteFileSafely(path, image.data(), image.size());
}

bool PluginBase::LoadProgramFile(const std::string& path) {
    std::vector<std::uint8_t> file;
    if (path.empty() || !platform::ReadWholeFile(path, file)) return false;
    return LoadProgramData(file);
}

bool PluginBase::LoadBankFile(const std::string& path) {
    std::vector<std::uint8_t> file;
    if (path.empty() || !platform::ReadWholeFile(path, file)) return false;
    return LoadBankData(file);
}

bool PluginBase::LoadProgramData(const std::vector<std::uint8_t>& file) {
    ProgramFile program;
    if (!ParseProgramFile(file, uniqueId_, ParamCount(), program)) return false;
    platform::ScopedLock lock(mutex_);
    if (program.kind == ProgramFileKind::Opaque) {
        // A state that does not read completely leaves the program as it was.
        if (CheckState(program.chunk, program.stateStart) < 0) return false;
        if (ReadState(program.chunk, program.stateStart) < 0) return false;
    } else {
        for (int i = 0; i < ParamCount(); ++i)
            GetParam(i).SetFromNormalized(program.values[static_cast<std::size_t>(i)]);
    }
    ModifyCurrentPreset(program.name.c_str());
    RecallPreset(currentPreset_);
    NotifyProgramChange();
    return true;
}

bool PluginBase::LoadBankData(const std::vector<std::uint8_t>& file) {
    BankFile bank;
    if (!ParseBankFile(file, uniqueId_, ParamCount(), bank)) return false;
    platform::ScopedLock lock(mutex_);
    if (bank.kind == BankFileKind::Opaque) {
        // Keeps the instrument's current program index, not the file's.
        if (UnserializePresets(bank.chunk, bank.entriesStart) < 0) return false;
    } else {
        int count = std::min(static_cast<int>(bank.programs.size()), PresetCount());
        for (int i = 0; i < count; ++i) {
            const ParamProgramRecord& record = bank.programs[static_cast<std::size_t>(i)];
            RecallPreset(i);
            for (int p = 0; p < ParamCount(); ++p)
                GetParam(p).SetFromNormalized(record.values[static_cast<std::size_t>(p)]);
            ModifyCurrentPreset(record.name.c_str());
        }
        RecallPreset(bank.currentProgram);
    }
    NotifyProgramChange();
    return true;
}

} // namespace host
