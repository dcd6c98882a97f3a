#include "WorkloadSteps.h"
#ifdef VORNA_REALTIME_LV2
#include "lv2/Lv2Workloads.h"
#endif

namespace realtime {

namespace {

const std::vector<Workload>& Vst2Workloads() {
    static const std::vector<Workload> workloads = {
        {"audio_alone", "audio alone, the GUI thread idle", EditorUse::None, &AudioAlone},
        {"program_changes", "effSetProgram through the programs back to back, no editor",
         EditorUse::None, &ProgramChanges},
        {"automation", "setParameter of every parameter with changing values, no editor",
         EditorUse::None, &Automation},
        {"program_chunk_loads", "effSetChunk index 1 with a program chunk taken once",
         EditorUse::None, &ProgramChunkLoads},
        {"bank_chunk_saves", "effGetChunk index 0", EditorUse::None, &BankChunkSaves},
        {"bank_chunk_loads", "effSetChunk index 0 with a bank chunk taken once", EditorUse::None,
         &BankChunkLoads},
        {"editor_program_every_250ms",
         "editor open: one program change every 250 ms, idle at 30 Hz", EditorUse::OpenDuringRun,
         &EditorSlowProgramChanges},
        {"editor_program_changes", "editor open: program changes back to back, idle at 30 Hz",
         EditorUse::OpenDuringRun, &EditorProgramChanges},
        {"editor_automation", "editor open: automation of every parameter, idle at 30 Hz",
         EditorUse::OpenDuringRun, &EditorAutomation},
        {"editor_open_close", "effEditOpen, 3 x effEditIdle, effEditClose, repeated",
         EditorUse::OpensItself, &EditorOpenClose},
        {"fxb_file_loads", "LoadBankFile on an FXB file the instrument wrote", EditorUse::None,
         &FxbFileLoads},
        {"sysex_bank_loads", "LoadSysExFile on a 48-voice FB-01 bank dump, answered Yes",
         EditorUse::None, &SysExFileLoads},
        {"browser_bank_loads", "BuildFactoryBankList, then LoadBrowserBank cycling the rows",
         EditorUse::None, &BrowserBankLoads},
    };
    return workloads;
}

} // namespace

const std::vector<Workload>& AllWorkloads() {
    static const std::vector<Workload> workloads = [] {
        std::vector<Workload> list = Vst2Workloads();
#ifdef VORNA_REALTIME_LV2
        list.insert(list.end(), Lv2Workloads().begin(), Lv2Workloads().end());
#endif
        return list;
    }();
    return workloads;
}

const Workload* FindWorkload(const std::string& name) {
    for (const Workload& workload : AllWorkloads())
        if (name == workload.name) return &workload;
    return nullptr;
}

} // namespace realtime
