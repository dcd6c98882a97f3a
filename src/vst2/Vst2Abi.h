#pragma once
// Vorna's own declaration of the VST 2.4 binary interface: the records, opcodes and constants a
// host and a plug-in exchange, written from the published layout. Only host/ and the host
// harness include this file.

#include <cstdint>

namespace vst2 {

using Int32 = std::int32_t;
using IntPtr = std::intptr_t;

#if defined(_WIN32) && !defined(_WIN64)
#define VORNA_VSTCALL __cdecl
#else
#define VORNA_VSTCALL
#endif

constexpr Int32 FourCC(char a, char b, char c, char d) {
    return static_cast<Int32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr Int32 kEffectMagic = FourCC('V', 's', 't', 'P');

struct AEffect;

using HostCallback = IntPtr(VORNA_VSTCALL*)(AEffect* effect, Int32 opcode, Int32 index,
                                            IntPtr value, void* data, float opt);
using DispatcherProc = IntPtr(VORNA_VSTCALL*)(AEffect* effect, Int32 opcode, Int32 index,
                                              IntPtr value, void* data, float opt);
using ProcessProc = void(VORNA_VSTCALL*)(AEffect* effect, float** inputs, float** outputs,
                                         Int32 frames);
using ProcessDoubleProc = void(VORNA_VSTCALL*)(AEffect* effect, double** inputs, double** outputs,
                                               Int32 frames);
using SetParameterProc = void(VORNA_VSTCALL*)(AEffect* effect, Int32 index, float value);
using GetParameterProc = float(VORNA_VSTCALL*)(AEffect* effect, Int32 index);

// The effect record. Field order and sizes are the binary contract with every host.
struct AEffect {
    Int32 magic;
    DispatcherProc dispatcher;
    ProcessProc process; // accumulating, deprecated but still called by some hosts
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    Int32 numPrograms;
    Int32 numParams;
    Int32 numInputs;
    Int32 numOutputs;
    Int32 flags;
    IntPtr reserved1;
    IntPtr reserved2;
    Int32 initialDelay;
    Int32 realQualities; // unused
    Int32 offQualities;  // unused
    float ioRatio;
    void* object;
    void* user;
    Int32 uniqueID;
    Int32 version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum EffectFlags : Int32 {
    effFlagsHasEditor = 1 << 0,
    effFlagsCanMono = 1 << 3, // deprecated
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

enum EffectOpcode : Int32 {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetParameterProperties = 56,
    effGetVstVersion = 58,
    effGetMidiKeyName = 66,
    effGetSpeakerArrangement = 69,
};

enum HostOpcode : Int32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterSizeWindow = 15,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

enum PlugCategory : Int32 { kPlugCategEffect = 1, kPlugCategSynth = 2 };

enum ProcessLevel : Int32 { kVstProcessLevelOffline = 4 };

// Text buffer sizes of the standard, terminator included.
constexpr int kMaxProgNameLen = 24;
constexpr int kMaxNameLen = 64;  // what hosts allocate for names, labels and displays
constexpr int kMaxLabelLen = 64; // pin labels
constexpr int kMaxShortLabelLen = 8;
constexpr int kMaxEffectNameLen = 32;
constexpr int kMaxVendorStrLen = 64;
constexpr int kMaxProductStrLen = 64;

enum EventType : Int32 { kVstMidiType = 1, kVstSysExType = 6 };

struct VstEvent {
    Int32 type;
    Int32 byteSize;
    Int32 deltaFrames;
    Int32 flags;
    char data[16];
};

struct VstEvents {
    Int32 numEvents;
    IntPtr reserved;
    VstEvent* events[2]; // really numEvents entries
};

struct VstMidiEvent {
    Int32 type;
    Int32 byteSize;
    Int32 deltaFrames;
    Int32 flags;
    Int32 noteLength;
    Int32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysexEvent {
    Int32 type;
    Int32 byteSize;
    Int32 deltaFrames;
    Int32 flags;
    Int32 dumpBytes;
    IntPtr resvd1;
    char* sysexDump;
    IntPtr resvd2;
};

enum PinFlags : Int32 { kVstPinIsActive = 1, kVstPinIsStereo = 2 };

struct VstPinProperties {
    char label[kMaxLabelLen];
    Int32 flags;
    Int32 arrangementType;
    char shortLabel[kMaxShortLabelLen];
    char future[48];
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[kMaxNameLen];
    Int32 type;
    char future[28];
};

enum SpeakerArrangementType : Int32 {
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
};

struct VstSpeakerArrangement {
    Int32 type;
    Int32 numChannels;
    VstSpeakerProperties speakers[8];
};

enum TimeInfoFlags : Int32 {
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    Int32 timeSigNumerator;
    Int32 timeSigDenominator;
    Int32 smpteOffset;
    Int32 smpteFrameRate;
    Int32 samplesToNextClock;
    Int32 flags;
};

struct MidiKeyName {
    Int32 thisProgramIndex;
    Int32 thisKeyNumber;
    char keyName[kMaxNameLen];
    Int32 reserved;
    Int32 flags;
};

struct ERect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent layout");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties layout");
static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo layout");

} // namespace vst2
