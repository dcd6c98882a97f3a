#pragma once
// What the plug-in core asks of its host, whatever the plug-in format: automation and program
// notices, the transport, MIDI out, the editor's size. A format adapter implements it and hands
// it to the core at creation; without one, every answer is "nothing".

#include "host/MidiTypes.h"

namespace host {

struct TransportInfo {
    double samplePosition = 0.0;
    double ppqPosition = 0.0;
    double tempo = 0.0;
    double barStart = 0.0;
    double cycleStart = 0.0;
    double cycleEnd = 0.0;
    int numerator = 0;
    int denominator = 0;
    bool playing = false;
    bool cycleActive = false;
};

class HostLink {
public:
    virtual ~HostLink() = default;

    // A parameter gesture from the editor, and the value it sets (normalised).
    virtual void BeginParamEdit(int) {}
    virtual void NotifyParamChange(int, double) {}
    virtual void EndParamEdit(int) {}
    // Programs or their names changed: the host reads them again.
    virtual void NotifyProgramChange() {}
    virtual bool IsOfflineRender() { return false; }
    virtual long long SamplePosition() { return 0; }
    virtual double Tempo() { return 0.0; }
    virtual void TimeSignature(int& numerator, int& denominator) {
        numerator = 0;
        denominator = 0;
    }
    virtual void Transport(TransportInfo&) {}
    // A number naming the host application, 0 when unknown.
    virtual int HostCode() { return 0; }
    // The editor's size for the host's next question (effEditGetRect and the like).
    virtual void EditorSizeChanged(int, int) {}
    // Asks the host to resize the frame that holds the open editor window; false when it cannot
    // or will not.
    virtual bool ResizeEditorFrame(int, int) { return false; }
    virtual void LatencyChanged(int) {}
    // MIDI out; false when the host took nothing.
    virtual bool SendMidi(const MidiMessage&) { return false; }
    virtual bool SendSysEx(const SysExMessage&) { return false; }
};

// What the adapter tells the core when it makes it.
struct PluginSetup {
    HostLink* host = nullptr; // nullptr: no host (tools and tests)
    int blockSize = 0;        // the block size until the host sets one
    // An instance that only mirrors another one's parameters for an editor (an LV2 UI whose host
    // gives it no access to the plug-in itself): its editor edits the parameters, and every
    // command that would act on its programs, banks, files, SysEx or MIDI learn, which are not
    // the real plug-in's, says so instead.
    bool standIn = false;
};

} // namespace host
