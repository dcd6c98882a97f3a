// The chaos host's steps: random dispatcher calls, text requests, process calls, parameter abuse
// and sample rates and block sizes a host may declare, each followed by its checks.

#include "ChaosHost.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace chaos {

namespace {

const vst2::IntPtr kHugeValues[] = {0,
                                    -1,
                                    1,
                                    335,
                                    336,
                                    1000,
                                    0x7FFFFFFF,
                                    -0x7FFFFFFF - 1,
                                    static_cast<vst2::IntPtr>(0x100000010ull),
                                    static_cast<vst2::IntPtr>(0xFFFFFFFF00000005ull),
                                    std::numeric_limits<vst2::IntPtr>::max(),
                                    std::numeric_limits<vst2::IntPtr>::min()};

float AnyFloat(Run& run) {
    static const float kValues[] = {0.0f,
                                    1.0f,
                                    -1.0f,
                                    0.5f,
                                    2.0f,
                                    1e-40f, // subnormal
                                    -1e-40f,
                                    std::numeric_limits<float>::quiet_NaN(),
                                    std::numeric_limits<float>::infinity(),
                                    -std::numeric_limits<float>::infinity(),
                                    std::numeric_limits<float>::max(),
                                    std::numeric_limits<float>::lowest(),
                                    1e10f};
    if (run.Chance(40)) return std::uniform_real_distribution<float>(0.0f, 1.0f)(run.Rng());
    return kValues[run.Uniform(0, static_cast<int>(std::size(kValues)) - 1)];
}

vst2::Int32 AnyIndex(Run& run) {
    static const vst2::Int32 kIndices[] = {-1, 91, 336, 0x7FFFFFFF, -0x7FFFFFFF - 1, 1000};
    if (run.Chance(80)) return run.Uniform(0, 95);
    return kIndices[run.Uniform(0, static_cast<int>(std::size(kIndices)) - 1)];
}

std::string AnyText(Run& run) {
    static const char* const kTexts[] = {"",
                                         "0",
                                         "1",
                                         "-5",
                                         "0.5",
                                         "nan",
                                         "inf",
                                         "-inf",
                                         "1e308",
                                         "1e-320",
                                         "Poly",
                                         "Mono",
                                         "poly",
                                         "Sine",
                                         "x",
                                         "7 bits",
                                         "receiveVstEvents",
                                         "hasCockosExtensions",
                                         "sendVstMidiEvent",
                                         "receiveVstTimeInfo",
                                         "bypass"};
    if (run.Chance(75)) return kTexts[run.Uniform(0, static_cast<int>(std::size(kTexts)) - 1)];
    std::string text(static_cast<std::size_t>(run.Uniform(0, 700)), ' ');
    for (char& c : text) c = static_cast<char>(run.Uniform(1, 255));
    return text;
}

// A text the plug-in wrote must end within the size the standard gives for that request, and
// nothing after the buffer may change.
bool CheckText(Run& run, const std::vector<char>& buffer, std::size_t size, const char* what) {
    if (std::memchr(buffer.data(), '\0', size) == nullptr)
        return run.Fail(std::string(what) + ": text not terminated within " + std::to_string(size));
    for (std::size_t i = size; i < buffer.size(); ++i)
        if (buffer[i] != '\x5A') return run.Fail(std::string(what) + ": wrote past its buffer");
    return true;
}

} // namespace

bool Run::StepText() {
    struct Request {
        vst2::Int32 opcode;
        std::size_t size;
    };
    static const Request kRequests[] = {
        {vst2::effGetProgramName, vst2::kMaxProgNameLen},
        {vst2::effGetParamLabel, vst2::kMaxNameLen},
        {vst2::effGetParamDisplay, vst2::kMaxNameLen},
        {vst2::effGetParamName, vst2::kMaxNameLen},
        {vst2::effGetProgramNameIndexed, vst2::kMaxProgNameLen},
        {vst2::effGetEffectName, vst2::kMaxEffectNameLen},
        {vst2::effGetVendorString, vst2::kMaxVendorStrLen},
        {vst2::effGetProductString, vst2::kMaxProductStrLen},
        {vst2::effVendorSpecific, vst2::kMaxNameLen},
    };
    const Request& request = kRequests[Uniform(0, static_cast<int>(std::size(kRequests)) - 1)];
    std::vector<char> buffer(request.size + 64, '\x5A');
    buffer[0] = '\0'; // a host clears its buffer; what the plug-in writes must stay terminated
    vst2::Int32 index = request.opcode == vst2::effVendorSpecific ? 7 : AnyIndex(*this);
    vst2::IntPtr value = request.opcode == vst2::effVendorSpecific ? Uniform(-2, 95) : 0;
    if (request.opcode == vst2::effGetProgramNameIndexed && Chance(50)) index = Uniform(0, 335);
    Dispatch(request.opcode, index, value, buffer.data(), AnyFloat(*this),
             "text[" + std::to_string(request.size) + "]");
    if (!CheckText(*this, buffer, request.size, "text request")) return false;

    // Pin labels and key names live in records of the standard.
    vst2::VstPinProperties pin;
    std::memset(&pin, 0x5A, sizeof pin);
    pin.label[0] = pin.shortLabel[0] = '\0';
    Dispatch(Chance(50) ? vst2::effGetInputProperties : vst2::effGetOutputProperties,
             Uniform(-1, 3), 0, &pin, 0.0f, "&pin");
    if (!std::memchr(pin.label, '\0', sizeof pin.label)) return Fail("pin label not terminated");
    vst2::MidiKeyName key;
    std::memset(&key, 0x5A, sizeof key);
    key.thisProgramIndex = AnyIndex(*this);
    key.thisKeyNumber = Uniform(-5, 200);
    key.keyName[0] = '\0';
    Dispatch(vst2::effGetMidiKeyName, 0, 0, &key, 0.0f, "&keyName");
    if (!std::memchr(key.keyName, '\0', sizeof key.keyName)) return Fail("key name not terminated");
    return true;
}

bool Run::StepDispatch() {
    vst2::Int32 opcode = Uniform(-2, 80);
    if (Chance(3)) opcode = Chance(50) ? 1000 : -0x7FFFFFFF - 1;
    vst2::Int32 index = AnyIndex(*this);
    vst2::IntPtr value = Chance(50) ? Uniform(-3, 400) : kHugeValues[Uniform(0, 11)];
    float opt = AnyFloat(*this);
    switch (opcode) {
    case vst2::effClose:
    case vst2::effGetChunk:
    case vst2::effSetChunk:
    case vst2::effProcessEvents:
    case vst2::effSetBlockSize:
    case vst2::effSetSampleRate:
        // Their own steps give them well-formed or deliberately damaged data.
        Dispatch(opcode == vst2::effClose ? vst2::effIdle : opcode, index, 0, nullptr, opt, "null");
        return true;
    case vst2::effEditOpen: // the data is a window handle: none here
        Dispatch(opcode, index, value, nullptr, opt, "null");
        return true;
    case vst2::effSetProgramName:
    case vst2::effString2Parameter:
    case vst2::effCanDo: {
        std::string text = AnyText(*this);
        bool none = Chance(10);
        Dispatch(opcode, index, value, none ? nullptr : &text[0], opt,
                 none ? "null" : "text of " + std::to_string(text.size()));
        if (opcode == vst2::effSetProgramName) return StepText();
        return true;
    }
    case vst2::effSetSpeakerArrangement: {
        vst2::VstSpeakerArrangement in{}, out{};
        in.numChannels = static_cast<vst2::Int32>(kHugeValues[Uniform(0, 11)]);
        out.numChannels = Uniform(-2, 9);
        Dispatch(opcode, 0, Chance(20) ? 0 : reinterpret_cast<vst2::IntPtr>(&in),
                 Chance(20) ? nullptr : &out, opt, "&arrangements");
        return StepProcess();
    }
    case vst2::effGetSpeakerArrangement: {
        vst2::VstSpeakerArrangement* in = nullptr;
        vst2::VstSpeakerArrangement* out = nullptr;
        Dispatch(opcode, 0, Chance(20) ? 0 : reinterpret_cast<vst2::IntPtr>(&in),
                 Chance(20) ? nullptr : &out, opt, "&pointers");
        if ((in && (in->numChannels < 0 || in->numChannels > 8)) ||
            (out && (out->numChannels < 0 || out->numChannels > 8)))
            return Fail("speaker arrangement with an impossible channel count");
        return true;
    }
    case vst2::effEditGetRect: {
        vst2::ERect* rect = nullptr;
        Dispatch(opcode, index, value, Chance(20) ? nullptr : &rect, opt, "&rect");
        if (rect && (rect->right - rect->left <= 0 || rect->bottom - rect->top <= 0))
            return Fail("editor rectangle is empty");
        return true;
    }
    case vst2::effGetInputProperties:
    case vst2::effGetOutputProperties:
    case vst2::effGetMidiKeyName:
    case vst2::effGetProgramName:
    case vst2::effGetParamLabel:
    case vst2::effGetParamDisplay:
    case vst2::effGetParamName:
    case vst2::effGetProgramNameIndexed:
    case vst2::effGetEffectName:
    case vst2::effGetVendorString:
    case vst2::effGetProductString:
    case vst2::effVendorSpecific:
        if (Chance(30)) {
            Dispatch(opcode, index, value, nullptr, opt, "null");
            return true;
        }
        return StepText();
    default: {
        // Opcodes that take no data, or that this plug-in does not know: some hosts pass a
        // pointer to something all the same.
        std::vector<unsigned char> any(2048, 0);
        bool none = Chance(50);
        Dispatch(opcode, index, value, none ? nullptr : any.data(), opt,
                 none ? "null" : "zeros[2048]");
        return true;
    }
    }
}

bool Run::StepProcess() {
    int frames;
    switch (Uniform(0, 7)) {
    case 0:
        frames = 0;
        break;
    case 1:
        frames = 1;
        break;
    case 2:
        frames = Uniform(1, 60) * 2 + 1;
        break;
    case 3:
        frames = blockSize;
        break;
    case 4:
        frames = blockSize + Uniform(1, blockSize);
        break; // rendered in pieces
    case 5:
        frames = Chance(50) ? -1 : -0x7FFFFFFF - 1;
        break;
    default:
        frames = Uniform(2, 700);
        break;
    }
    // Low rates step the chip many times per host sample: keep each call's work bounded.
    frames = std::min(frames, sampleRateLimit);
    return Process(frames, Uniform(0, 2));
}

bool Run::StepParameters() {
    vst2::AEffect* effect = Host().Effect();
    int count = Uniform(1, 40);
    for (int i = 0; i < count; ++i) {
        vst2::Int32 index = AnyIndex(*this);
        float value = AnyFloat(*this);
        char line[96];
        std::snprintf(line, sizeof line, "setParameter(%d, %.9g)", index,
                      static_cast<double>(value));
        Log(line);
        effect->setParameter(effect, index, value);
        vst2::Int32 asked = AnyIndex(*this);
        Log("getParameter(" + std::to_string(asked) + ")");
        float got = effect->getParameter(effect, asked);
        if (!std::isfinite(got) || got < 0.0f || got > 1.0f)
            return Fail("getParameter(" + std::to_string(asked) + ") = " + std::to_string(got));
    }
    return Chance(50) ? StepProcess() : true;
}

bool Run::StepRateOrBlock() {
    if (Chance(50)) {
        static const float kRates[] = {44100.0f, 48000.0f,  96000.0f,   22050.0f, 8000.0f,
                                       1000.0f,  192000.0f, 1536000.0f, 999.0f,   1536100.0f,
                                       0.0f,     -48000.0f, 1e10f,      1e30f,    3.4e38f};
        float rate = Chance(15) ? AnyFloat(*this) : kRates[Uniform(0, 14)];
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, rate, "null");
        if (std::isfinite(rate) && rate >= 1000.0f && rate <= 1536000.0f) sampleRate = rate;
    } else {
        static const vst2::IntPtr kSizes[] = {1,    2,     7,     64, 256, 512,    1024,
                                              4096, 16384, 16385, 0,  -1,  1 << 24};
        vst2::IntPtr size = Chance(20) ? kHugeValues[Uniform(0, 11)] : kSizes[Uniform(0, 12)];
        Dispatch(vst2::effSetBlockSize, 0, size, nullptr, 0.0f, "null");
        if (size >= 1 && size <= 16384) blockSize = static_cast<int>(size);
    }
    // At 1 kHz the chip runs 62 steps per host sample; at 1.5 MHz one every 24 samples.
    sampleRateLimit = sampleRate < 8000.0 ? 2000 : 40000;
    if (Chance(20)) {
        Dispatch(vst2::effMainsChanged, 0, Uniform(0, 1), nullptr, 0.0f, "null");
    }
    return StepProcess();
}

bool Run::StepReopen() {
    Log("effClose, then a new instance");
    Host().CloseInstance();
    quirkHost = Chance(20);
    Host().vendorString = quirkHost ? "juce vst host" : "Chaos Host";
    if (!Host().CreateInstance()) return Fail("no new instance");
    oracle = SysExOracle();
    blockSize = 1024;
    sampleRate = 44100.0;
    sampleRateLimit = 40000;
    if (Chance(80)) Dispatch(vst2::effOpen, 0, 0, nullptr, 0.0f, "null");
    Dispatch(vst2::effMainsChanged, 0, 1, nullptr, 0.0f, "null");
    return StepProcess();
}

} // namespace chaos
