// The state a host saves and restores, as bytes: the bank (a version, then every program) or the
// current program (a version, its state, its name).

#include "common/SlowWork.h"
#include "host/ChunkVersion.h"
#include "host/PluginBase.h"

namespace host {

bool PluginBase::SaveStateChunk(bool bank, ChunkBuffer& out) {
    platform::ScopedLock lock(mutex_);
    StartChunkWithVersion(out);
    bool ok;
    if (bank) {
        ModifyCurrentPreset();
        ok = SerializePresets(out);
    } else {
        ok = WriteState(out);
        out.AppendText(PresetName(CurrentPresetIndex()));
        ok = ok && !out.Empty();
    }
    return ok && !out.Empty();
}

bool PluginBase::LoadStateChunk(bool bank, bool bankMayFollow, const ChunkBuffer& chunk) {
    platform::ScopedLock lock(mutex_);
    common::SlowWorkStarts(common::SlowWork::ChunkParsing);
    int position = 0;
    std::int32_t version = ReadChunkVersion(chunk, position);
    if (bank && version < kFrameworkVersion) bank = false;
    if (bank) {
        // Checks the whole bank first: a corrupt one changes no program.
        position = UnserializePresets(chunk, position);
    } else {
        position = CheckState(chunk, position) < 0 ? -1 : ReadState(chunk, position);
        if (position >= 0) {
            // A length-prefixed name may follow; an empty or unreadable one keeps the old name.
            std::string name;
            int next = position < chunk.Size() ? chunk.ReadText(name, position) : -1;
            if (next >= 0) position = next;
            if (next >= 0 && !name.empty()) {
                ModifyCurrentPreset(CutPresetName(name).c_str());
            } else {
                ModifyCurrentPreset();
            }
        }
        if (bankMayFollow) {
            if (position == chunk.Size()) {
                RefreshParamControls();
                return true;
            }
            bool programRead = position >= 0;
            int bankPosition = 0;
            if (ReadChunkVersion(chunk, bankPosition) >= kFrameworkVersion) {
                position = UnserializePresets(chunk, bankPosition);
            } else {
                // Neither a program read whole nor a bank: a failure, not a success.
                position = programRead ? bankPosition : -1;
            }
        }
    }
    if (position < 0) return false;
    RefreshParamControls();
    return true;
}

} // namespace host
