// The instrument's own commands a user starts from its editor, called as the editor calls them
// once their dialogs are answered: an FXB bank file load, a SysEx bank file load, and the program
// browser reading the factory banks.

#include "WorkloadSteps.h"
#include "YesUiServices.h"
#include "programs/BrowserLayout.h"
#include "programs/FactoryBanks.h"
#include "vorn/Vorn.h"

#include <algorithm>

namespace realtime {

namespace {

// Puts answers in place of the instrument's dialogs for as long as it lives.
class ScopedUiServices {
public:
    ScopedUiServices(vorn::Vorn& plugin, platform::UiServices& ui)
        : plugin_(plugin), previous_(plugin.Ui()) {
        plugin_.SetUiServices(&ui);
    }
    ~ScopedUiServices() { plugin_.SetUiServices(&previous_); }
    ScopedUiServices(const ScopedUiServices&) = delete;
    ScopedUiServices& operator=(const ScopedUiServices&) = delete;

private:
    vorn::Vorn& plugin_;
    platform::UiServices& previous_;
};

template <typename Load>
WorkloadOutcome RepeatFileLoad(WorkloadContext& context, const std::string& path,
                               const char* command, Load load) {
    WorkloadOutcome outcome;
    YesUiServices ui;
    ScopedUiServices answers(context.session.Plugin(), ui);
    for (; Clock::now() < context.end; ++outcome.operations) {
        if (!load(context.session.Plugin(), path)) {
            outcome.error = std::string(command) + " refused " + path +
                            (ui.lastError.empty() ? "" : ": " + ui.lastError);
            break;
        }
    }
    return outcome;
}

} // namespace

WorkloadOutcome FxbFileLoads(WorkloadContext& context) {
    return RepeatFileLoad(
        context, context.bankFilePath, "LoadBankFile",
        [](vorn::Vorn& plugin, const std::string& path) { return plugin.LoadBankFile(path); });
}

WorkloadOutcome SysExFileLoads(WorkloadContext& context) {
    return RepeatFileLoad(
        context, context.sysExBankPath, "LoadSysExFile",
        [](vorn::Vorn& plugin, const std::string& path) { return plugin.LoadSysExFile(path); });
}

WorkloadOutcome BrowserBankLoads(WorkloadContext& context) {
    WorkloadOutcome outcome;
    vorn::Vorn& plugin = context.session.Plugin();
    plugin.BuildFactoryBankList();
    // Only rows that show a bank: a row past the list returns at once and would flatter the
    // figures.
    const int rows = std::min(programs::kBankListRows, programs::kFactoryBankCount);
    for (; Clock::now() < context.end; ++outcome.operations)
        plugin.LoadBrowserBank(static_cast<int>(outcome.operations % rows));
    return outcome;
}

} // namespace realtime
