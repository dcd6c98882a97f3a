#pragma once
// What Vorna's editor reads of the instrument and the operations it calls. The instrument base
// (parameters, programs, settings, MIDI learn, the instance mutex, the UI services) is reached
// through it as it is; what only the product offers (the browser, the clipboard, program
// commands) is declared here and supplied by the product. The editor never sees the product
// class itself.

#include "programs/BrowserData.h"
#include "programs/ProgramClipboard.h"
#include "synth/Synth.h"

#include <string>

namespace editor {

class EditorHost {
public:
    explicit EditorHost(synth::Synth& instrument) : instrument_(instrument) {}
    virtual ~EditorHost() = default;
    EditorHost(const EditorHost&) = delete;
    EditorHost& operator=(const EditorHost&) = delete;

    // The instrument base.
    synth::Synth& Instrument() { return instrument_; }
    platform::RecursiveMutex& Mutex() { return instrument_.Mutex(); }
    host::Param& GetParam(int index) { return instrument_.GetParam(index); }
    bool IsValidParam(int index) const { return instrument_.IsValidParam(index); }
    int CurrentPresetIndex() const { return instrument_.CurrentPresetIndex(); }
    std::string PresetName(int index) const { return instrument_.PresetName(index); }
    synth::SynthSettings& Settings() { return instrument_.Settings(); }
    platform::UiServices& Ui() { return instrument_.Ui(); }
    bool LearnActive() const { return instrument_.LearnActive(); }
    // Virtual, like the product's part below: a stand-in's host refuses them (vorn/).
    virtual void StartLearn(bool unlearn, bool on) { instrument_.StartLearn(unlearn, on); }
    void LearnParameter(int index) { instrument_.LearnParameter(index); }
    virtual void SelectProgram(int index) { instrument_.SelectProgram(index); }
    void NotifyProgramChange() { instrument_.NotifyProgramChange(); }
    void ReportAllParamsToHost() { instrument_.ReportAllParamsToHost(); }

    // The product's part. The browser's lists change under the instance mutex; hold it while
    // reading them.
    virtual programs::BrowserState& Browser() = 0;
    virtual const programs::ProgramClipboard& Clipboard() const = 0;
    virtual void SetProgramName(const char* text) = 0;
    virtual void CopyProgram() = 0;
    virtual void SendAllParamsToModule() = 0;
    virtual void BuildFactoryBankList() = 0;
    virtual void BuildFolderBankList() = 0;
    virtual void BuildCurrentBankList() = 0;
    virtual void LoadBrowserBank(int row) = 0;
    virtual void ApplyBrowserProgram(int cell) = 0;
    virtual void PageBankList(int delta) = 0;
    virtual void PageProgramGrid(int delta) = 0;
    // A command of the option menu or a program utility button (programs/CommandIds.h).
    virtual void RunCommand(int command) = 0;
    // The menu's own command: the maker's home page in the browser.
    virtual void VisitMakerWebSite() = 0;
    // Whether the program browser may open; false once the user has been told why not.
    virtual bool MayOpenBrowser() { return true; }

private:
    synth::Synth& instrument_;
};

} // namespace editor
