#include "editor/VornEditor.h"

#include "editor/ControlLayout.h"
#include "editor/EditorHost.h"
#include "editor/FBScrollItemControl.h"
#include "editor/FBSwitchMidiLearn.h"
#include "engine/InstrumentParams.h"
#include "programs/BrowserLayout.h"

namespace editor {

using graphics::Blend;
using graphics::BlendMode;
using graphics::Control;

VornEditor::VornEditor(EditorHost& owner) : Graphics(&owner.Instrument()), owner_(owner) {}

void VornEditor::Register(int key, Control* control) {
    if (control) registry_[key] = control;
}

Control* VornEditor::Lookup(int key) const {
    auto found = registry_.find(key);
    return found == registry_.end() ? nullptr : found->second;
}

FBScrollItemControl* VornEditor::Item(int key) const {
    return dynamic_cast<FBScrollItemControl*>(Lookup(key));
}

void VornEditor::RefreshProgramDisplay() {
    for (Control* control : programDisplay_) control->SetDirty(false);
}

void VornEditor::LearnSwitchedOff() {
    if (learnSwitch_) learnSwitch_->SwitchOff();
}

void VornEditor::ShowOperatorState() {
    for (int k = 0; k < engine::kOperatorCount; ++k) {
        const int first = engine::OperatorParamIndex(k + 1, engine::kOpEnable);
        const bool off = owner_.GetParam(first).Value() < 0.5;
        const Blend blend = off ? Blend(BlendMode::ColorDodge, 1.0) : Blend();
        if (Control* wave = Lookup(engine::kOp1Wave + k)) wave->SetBlend(blend);
        // The operator's own on/off switch keeps its normal look.
        for (int p = first + 1; p < first + engine::kOperatorParamCount; ++p)
            if (Control* control = Lookup(p)) control->SetBlend(blend);
    }
}

void VornEditor::ShowBrowserSource() {
    const programs::BrowserSource source = owner_.Browser().source;
    const struct {
        int key;
        programs::BrowserSource source;
    } buttons[] = {{-kIdSourceIntern, programs::BrowserSource::OwnPrograms},
                   {-kIdSourceFactory, programs::BrowserSource::FactoryBank},
                   {-kIdSourceFile, programs::BrowserSource::File}};
    for (const auto& button : buttons)
        if (Control* control = Lookup(button.key))
            control->SetValueFromUserInput(source == button.source ? 1.0 : 0.0);
}

void VornEditor::Refresh() {
    platform::ScopedLock lock(owner_.Mutex());
    if (!IsWindowOpen() || !owner_.Browser().needsRedraw) return;
    ShowOperatorState();
    ShowBrowserSource();
    if (IsBrowserShown()) FillBrowserPages();
    SetAllControlsDirty();
    owner_.Browser().needsRedraw = false;
}

bool VornEditor::IsBrowserShown() const {
    Control* background = Lookup(kFirstBrowserKey);
    return background && !background->IsHidden();
}

void VornEditor::ShowBrowser() {
    platform::ScopedLock lock(owner_.Mutex());
    if (!owner_.MayOpenBrowser()) return;
    if (IsWindowOpen()) {
        programs::BrowserState& browser = owner_.Browser();
        if (browser.banks.empty()) {
            const programs::BrowserSource source = browser.source;
            owner_.BuildFactoryBankList();
            browser.source = source;
        }
        if (browser.source == programs::BrowserSource::OwnPrograms) owner_.BuildCurrentBankList();
        FillBankListPage(browser.bankListOffset);
        if (browser.source == programs::BrowserSource::OwnPrograms) owner_.BuildCurrentBankList();
        FillProgramGridPage(browser.gridOffset);
    }
    for (auto& [key, control] : registry_)
        if (key >= kFirstBrowserKey && key <= kLastBrowserKey) control->Hide(false);
    owner_.Browser().needsRedraw = true;
}

void VornEditor::HideBrowser() {
    for (auto& [key, control] : registry_)
        if (key >= kFirstBrowserKey && key <= kLastBrowserKey) control->Hide(true);
    // What the overlay covered is drawn again.
    SetAllControlsDirty();
}

void VornEditor::FillBankListPage(int first) {
    platform::ScopedLock lock(owner_.Mutex());
    const std::vector<programs::BankListEntry>& banks = owner_.Browser().banks;
    for (int i = 0; i < kBankListRows; ++i) {
        FBScrollItemControl* item = Item(kFirstBankListKey + i);
        if (!item) continue;
        const int index = first + i;
        if (index >= 0 && index < static_cast<int>(banks.size()))
            item->SetEntry(index, banks[static_cast<std::size_t>(index)].displayName);
        else
            item->Clear();
    }
}

void VornEditor::FillProgramGridPage(int offset) {
    platform::ScopedLock lock(owner_.Mutex());
    const std::vector<programs::BrowserProgram>& list = owner_.Browser().programs;
    for (int c = 0; c < kProgramGridColumns; ++c) {
        for (int r = 0; r < kProgramGridRows; ++r) {
            FBScrollItemControl* item = Item(kFirstProgramGridKey + kProgramGridRows * c + r);
            if (!item) continue;
            const int n = programs::kColumnPrograms * c + offset + r;
            if (offset + r < programs::kColumnPrograms && n >= 0 &&
                n < static_cast<int>(list.size()))
                item->SetEntry(n, list[static_cast<std::size_t>(n)].name);
            else
                item->Clear();
        }
    }
}

void VornEditor::RefreshBrowserLists() {
    platform::ScopedLock lock(owner_.Mutex());
    programs::BrowserState& browser = owner_.Browser();
    FillBankListPage(browser.bankListOffset);
    if (browser.source == programs::BrowserSource::OwnPrograms) owner_.BuildCurrentBankList();
    FillProgramGridPage(browser.gridOffset);
}

void VornEditor::FillBrowserPages() {
    platform::ScopedLock lock(owner_.Mutex());
    FillBankListPage(owner_.Browser().bankListOffset);
    FillProgramGridPage(owner_.Browser().gridOffset);
}

} // namespace editor
