#include "Lv2Workloads.h"

#include "Lv2AudioThread.h"
#include "lv2/Lv2Identity.h"
#include "realtime/BenchHost.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

namespace realtime {

namespace {

// Room in the duration array beyond the workload's time, as the VST2 runner keeps.
constexpr double kSpareSeconds = 30.0;
// How often the GUI thread looks for the worker's work, and how long a posted dump may take to
// reach it before the workload fails.
constexpr auto kWorkerPoll = std::chrono::milliseconds(1);
constexpr auto kWorkerPatience = std::chrono::seconds(2);
constexpr auto kOptionsInterval = std::chrono::milliseconds(10);

WorkloadOutcome Lv2AudioAlone(Lv2WorkloadContext& context) {
    std::this_thread::sleep_until(context.end);
    return {};
}

WorkloadOutcome Lv2StateSaves(Lv2WorkloadContext& context) {
    WorkloadOutcome outcome;
    for (; Clock::now() < context.end; ++outcome.operations) {
        lv2host::StateProperties state;
        if (context.session.Host().SaveState(state) != LV2_STATE_SUCCESS) {
            outcome.error = "the state save failed";
            break;
        }
    }
    return outcome;
}

WorkloadOutcome Lv2StateRestores(Lv2WorkloadContext& context) {
    WorkloadOutcome outcome;
    for (; Clock::now() < context.end; ++outcome.operations) {
        if (context.session.Host().RestoreState(context.state) != LV2_STATE_SUCCESS) {
            outcome.error = "the state saved before the run is refused";
            break;
        }
    }
    return outcome;
}

WorkloadOutcome Lv2PortAutomation(Lv2WorkloadContext& context) {
    const std::int64_t before = context.session.automatedRuns;
    context.session.automatePorts = true;
    std::this_thread::sleep_until(context.end);
    context.session.automatePorts = false;
    WorkloadOutcome outcome;
    outcome.operations = (context.session.automatedRuns - before) *
                         static_cast<std::int64_t>(context.session.Host().ControlCount());
    if (outcome.operations == 0) outcome.error = "no run had its ports automated";
    return outcome;
}

WorkloadOutcome Lv2SysExBankDumps(Lv2WorkloadContext& context) {
    WorkloadOutcome outcome;
    if (context.bankDump.empty()) {
        outcome.error = "cannot read the bank dump " + context.bankDumpPath;
        return outcome;
    }
    lv2host::Worker& worker = *context.session.Host().WorkerOf();
    while (Clock::now() < context.end) {
        if (!context.session.PostMidi(context.bankDump)) {
            std::this_thread::sleep_for(kWorkerPoll);
            continue;
        }
        // The plug-in hands the dump to the worker in the next run; the GUI thread decodes it.
        const Clock::time_point patience = Clock::now() + kWorkerPatience;
        int worked = 0;
        while (worked == 0 && Clock::now() < patience) {
            std::this_thread::sleep_for(kWorkerPoll);
            worked = worker.DoPendingWork();
        }
        if (worked == 0) {
            outcome.error = "the plug-in gave no bank dump to the worker (" +
                            std::to_string(worker.Refused()) + " refused by the host)";
            return outcome;
        }
        outcome.operations += worked;
    }
    lv2host::StateProperties state;
    context.session.Host().SaveState(state);
    const auto& bank = state[context.session.Host().Urid(lv2::kStateBankUri)].bytes;
    const char* name = "Piano 1";
    if (std::search(bank.begin(), bank.end(), name, name + 7) == bank.end())
        outcome.error = "the dumps the worker decoded did not reach the programs";
    return outcome;
}

WorkloadOutcome Lv2OptionsChanges(Lv2WorkloadContext& context) {
    WorkloadOutcome outcome;
    lv2host::Lv2Host& host = context.session.Host();
    const std::int32_t block = host.Setup().maxBlockLength;
    const std::int32_t blocks[2] = {block, 2 * block};
    const float rates[2] = {static_cast<float>(kSampleRate), 48000.0f};
    Clock::time_point next = Clock::now();
    for (; Clock::now() < context.end; ++outcome.operations) {
        const auto which = static_cast<std::size_t>(outcome.operations % 2);
        const std::uint32_t result =
            host.SetOptions({{LV2_OPTIONS_INSTANCE, 0, host.Urid(LV2_PARAMETERS__sampleRate),
                              sizeof(float), host.Urid(LV2_ATOM__Float), &rates[which]},
                             {LV2_OPTIONS_INSTANCE, 0, host.Urid(LV2_BUF_SIZE__maxBlockLength),
                              sizeof(std::int32_t), host.Urid(LV2_ATOM__Int), &blocks[which]}});
        if (result != LV2_OPTIONS_SUCCESS) {
            outcome.error = "options set answered " + std::to_string(result);
            break;
        }
        // The change resets the voices: the notes are held again, as a host that keeps playing.
        context.session.PostHeldNotes();
        next += kOptionsInterval;
        std::this_thread::sleep_until(next);
    }
    return outcome;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file),
                                     std::istreambuf_iterator<char>());
}

} // namespace

const std::vector<Workload>& Lv2Workloads() {
    static const std::vector<Workload> workloads = {
        {"lv2_audio_alone", "LV2 run() alone, the GUI thread idle", EditorUse::None, nullptr,
         &Lv2AudioAlone},
        {"lv2_state_saves", "LV2 state save (bank and program) back to back", EditorUse::None,
         nullptr, &Lv2StateSaves},
        {"lv2_state_restores", "LV2 state restore (bank and program) of a state saved once",
         EditorUse::None, nullptr, &Lv2StateRestores},
        {"lv2_port_automation", "every LV2 control port a new value before each run()",
         EditorUse::None, nullptr, &Lv2PortAutomation},
        {"lv2_sysex_bank_dumps",
         "a 48-voice bank dump in the MIDI input, decoded by the worker on the GUI thread",
         EditorUse::None, nullptr, &Lv2SysExBankDumps},
        {"lv2_options_changes",
         "LV2 options set every 10 ms: sample rate and maximum block length, notes held again",
         EditorUse::None, nullptr, &Lv2OptionsChanges},
    };
    return workloads;
}

WorkloadResult RunLv2Workload(const Workload& workload, const RunOptions& options,
                              std::int64_t budgetNs) {
    WorkloadResult result;
    result.name = workload.name;
    result.status = RunStatus::Failed;
    Lv2BenchSession session;
    const std::string bundle =
        options.lv2BundlePath.empty() ? VORNA_LV2_BUNDLE_DIR : options.lv2BundlePath;
    if (!session.Open(bundle, options.blockFrames, result.reason)) return result;
    Lv2WorkloadContext context(session);
    if (session.Host().SaveState(context.state) != LV2_STATE_SUCCESS) {
        result.reason = "the state save failed before the run";
        return result;
    }
    context.bankDumpPath = options.sysExBankPath;
    context.bankDump = ReadFile(options.sysExBankPath);

    const double callsPerSecond = kSampleRate / options.blockFrames;
    Lv2AudioThread audio(
        session, options.blockFrames,
        static_cast<std::size_t>((options.seconds + kSpareSeconds) * callsPerSecond));
    audio.Start();
    context.end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(options.seconds));
    const WorkloadOutcome outcome = workload.runLv2(context);
    audio.Stop();

    result.audio = Summarize(audio.Durations(), budgetNs);
    result.guiOperations = outcome.operations;
    result.silentCalls = audio.SilentCalls();
    result.lateStarts = audio.LateStarts();
    result.unrecordedCalls = audio.UnrecordedCalls();
    result.audioPriority = audio.Priority();
    if (outcome.error.empty())
        result.status = RunStatus::Ran;
    else
        result.reason = outcome.error;
    return result;
}

} // namespace realtime
