// The LV2 chaos host's lifecycle steps: instances made with odd features, run() lengths, port
// values and connections, options, and activate/deactivate/run in any order.

#include "Lv2ChaosRun.h"
#include "lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>

namespace lv2chaos {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// The plug-in's limits (host::PluginBase): what it takes as a rate and as a block length.
bool TakenRate(double rate) {
    return std::isfinite(rate) && rate >= 1000.0 && rate <= 1536000.0;
}
bool TakenBlock(std::int64_t frames) {
    return frames >= 1 && frames <= 16384;
}

// Keeps the values that options point to alive until the call returns.
struct OptionValues {
    std::vector<std::unique_ptr<std::uint8_t[]>> storage;
    const void* Keep(const void* value, std::size_t size) {
        storage.push_back(std::make_unique<std::uint8_t[]>(std::max<std::size_t>(size, 8)));
        std::memcpy(storage.back().get(), value, size);
        return storage.back().get();
    }
};

std::string Number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// One option a host may send, garbage included, with the answer the plug-in owes for it.
LV2_Options_Option AnyOption(Run& run, OptionValues& values, std::uint32_t& expected,
                             std::string& text, int& block, double& rate) {
    lv2host::Lv2Host& host = run.Host();
    const LV2_URID atomInt = host.Urid(LV2_ATOM__Int);
    const LV2_URID atomFloat = host.Urid(LV2_ATOM__Float);
    const LV2_URID maxBlock = host.Urid(LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID nominalBlock = host.Urid(LV2_BUF_SIZE__nominalBlockLength);
    const LV2_URID sampleRate = host.Urid(LV2_PARAMETERS__sampleRate);
    LV2_Options_Option option{LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    switch (run.Uniform(0, 5)) {
    case 0:
    case 1: { // a block length, mostly usable
        static const std::int32_t kFrames[] = {1,     7,     64, 256, 512,     1024,     4096,
                                               16384, 16385, 0,  -1,  1 << 30, INT32_MIN};
        const std::int32_t frames = kFrames[run.Uniform(0, 12)];
        const bool maximum = run.Chance(60);
        option.key = maximum ? maxBlock : nominalBlock;
        option.type = atomInt;
        option.size = sizeof frames;
        option.value = values.Keep(&frames, sizeof frames);
        text = std::string(maximum ? "maxBlockLength " : "nominalBlockLength ") +
               std::to_string(frames);
        if (!TakenBlock(frames)) {
            expected |= LV2_OPTIONS_ERR_BAD_VALUE;
        } else if (maximum || frames > block) {
            block = frames;
        }
        break;
    }
    case 2:
    case 3: { // a sample rate
        static const float kRates[] = {44100.0f, 48000.0f, 96000.0f,  22050.0f, 8000.0f, 1000.0f,
                                       999.0f,   0.0f,     -48000.0f, 1e30f,    kNaN,    kInfinity};
        const float value = kRates[run.Uniform(0, 11)];
        option.key = sampleRate;
        option.type = atomFloat;
        option.size = sizeof value;
        option.value = values.Keep(&value, sizeof value);
        text = "sampleRate " + Number(value);
        if (TakenRate(value))
            rate = value;
        else
            expected |= LV2_OPTIONS_ERR_BAD_VALUE;
        break;
    }
    case 4: { // a known key with the wrong type, size or no value
        const LV2_URID keys[] = {maxBlock, nominalBlock, sampleRate};
        option.key = keys[run.Uniform(0, 2)];
        const double big = 48000.0;
        switch (run.Uniform(0, 3)) {
        case 0:
            option.type = option.key == sampleRate ? atomInt : atomFloat;
            option.size = 4;
            option.value = values.Keep(&big, 4);
            text = "a known key with the other number type";
            break;
        case 1:
            option.type = option.key == sampleRate ? atomFloat : atomInt;
            option.size = static_cast<std::uint32_t>(run.Chance(50) ? 8 : 2);
            option.value = values.Keep(&big, 8);
            text = "a known key with " + std::to_string(option.size) + " bytes";
            break;
        case 2:
            option.type = option.key == sampleRate ? atomFloat : atomInt;
            option.size = 4;
            option.value = nullptr;
            text = "a known key without a value";
            break;
        default:
            option.type = host.Urid(LV2_ATOM__String);
            option.size = 6;
            option.value = values.Keep("48000", 6);
            text = "a known key with a string";
            break;
        }
        expected |= LV2_OPTIONS_ERR_BAD_VALUE;
        break;
    }
    default: { // a key the plug-in does not know
        const std::int32_t value = 512;
        option.key = run.Chance(50) ? host.Urid("urn:vorna:chaos#unknown")
                                    : host.Urid(LV2_BUF_SIZE__sequenceSize);
        option.type = atomInt;
        option.size = sizeof value;
        option.value = values.Keep(&value, sizeof value);
        text = "an unknown key";
        expected |= LV2_OPTIONS_ERR_BAD_KEY;
        break;
    }
    }
    return option;
}

} // namespace

lv2host::InstanceSetup RandomSetup(Run& run, std::string& text) {
    lv2host::InstanceSetup setup;
    static const double kRates[] = {44100.0,  48000.0, 96000.0, 22050.0, 8000.0,
                                    192000.0, 0.0,     -1.0,    1e10,    std::nan("")};
    setup.sampleRate = run.Chance(80) ? kRates[run.Uniform(0, 2)] : kRates[run.Uniform(0, 9)];
    static const std::int32_t kBlocks[] = {64, 128, 256,   512, 1024, 4096,
                                           1,  17,  16384, 0,   -5,   1 << 30};
    setup.maxBlockLength =
        run.Chance(85) ? kBlocks[run.Uniform(0, 5)] : kBlocks[run.Uniform(0, 11)];
    setup.nominalBlockLength = run.Chance(70) ? setup.maxBlockLength : kBlocks[run.Uniform(0, 11)];
    setup.uridUnmap = run.Chance(80);
    setup.options = run.Chance(90);
    setup.log = run.Chance(90);
    setup.worker = run.Chance(85);
    setup.workerMode =
        run.Chance(60) ? lv2host::WorkerMode::AfterRun : lv2host::WorkerMode::DuringSchedule;
    // A queue smaller than a bank dump refuses it: the plug-in must then decode it itself.
    setup.workQueueBytes = run.Chance(85) ? 1 << 16 : 4096;
    setup.midiInBytes = 1 << 18;
    static const std::size_t kOutBytes[] = {16384, 32768, 16384, 65536, 64, 512, 2048};
    setup.midiOutBytes =
        run.Chance(85) ? kOutBytes[run.Uniform(0, 3)] : kOutBytes[run.Uniform(4, 6)];
    if (run.Chance(15)) {
        // Options beside the known ones that a plug-in must pass over.
        static const std::int32_t kAny = 99;
        setup.extraOptions.push_back({LV2_OPTIONS_INSTANCE, 0,
                                      run.Host().Urid("urn:vorna:chaos#unknown"), sizeof kAny,
                                      run.Host().Urid(LV2_ATOM__Int), &kAny});
        setup.extraOptions.push_back(
            {LV2_OPTIONS_PORT, 7, run.Host().Urid(LV2_ATOM__Float), 0, 0, nullptr});
    }
    std::ostringstream out;
    out << "rate=" << setup.sampleRate << " max=" << setup.maxBlockLength
        << " nominal=" << setup.nominalBlockLength << " unmap=" << setup.uridUnmap
        << " options=" << setup.options << " log=" << setup.log << " worker=" << setup.worker
        << " mode=" << (setup.workerMode == lv2host::WorkerMode::AfterRun ? "after-run" : "during")
        << " queue=" << setup.workQueueBytes << " midiOut=" << setup.midiOutBytes
        << " extra=" << setup.extraOptions.size();
    text = out.str();
    return setup;
}

float AnyPortValue(Run& run, const lv2host::ControlPortRange& range) {
    const int roll = run.Uniform(0, 99);
    if (roll < 50) {
        float value =
            std::uniform_real_distribution<float>(range.minimum, range.maximum)(run.Rng());
        return range.integer ? std::round(value) : value;
    }
    if (roll < 60) return range.defaultValue;
    if (roll < 70) return run.Chance(50) ? range.minimum : range.maximum;
    const float kSpecial[] = {kNaN,
                              kInfinity,
                              -kInfinity,
                              range.minimum - 1.0f,
                              range.maximum + 1.0f,
                              range.maximum * 1000.0f + 1000.0f,
                              -1e30f,
                              1e30f,
                              std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::lowest(),
                              1e-40f,
                              -0.0f,
                              range.minimum + 0.5f};
    return kSpecial[run.Uniform(0, static_cast<int>(std::size(kSpecial)) - 1)];
}

std::uint32_t Run::AnyFrames() {
    const auto block = static_cast<std::uint32_t>(announcedBlock);
    std::uint32_t frames;
    switch (Uniform(0, 7)) {
    case 0:
        frames = 0;
        break;
    case 1:
        frames = 1;
        break;
    case 2:
        frames = static_cast<std::uint32_t>(Uniform(1, 60) * 2 + 1);
        break;
    case 3:
        frames = block;
        break;
    case 4: // beyond the announced maximum: rendered in pieces
        frames = block + static_cast<std::uint32_t>(Uniform(1, announcedBlock));
        break;
    case 5:
        frames = static_cast<std::uint32_t>(Uniform(1, announcedBlock));
        break;
    default:
        frames = static_cast<std::uint32_t>(Uniform(2, 700));
        break;
    }
    // Low rates step the chip many times per host sample: keep each run's work bounded.
    return std::min(frames, frameLimit);
}

bool Run::NewInstance() {
    std::string text;
    const lv2host::InstanceSetup setup = RandomSetup(*this, text);
    Log("instantiate " + text);
    ++count_.instances;
    if (!host_.Instantiate(setup)) return Fail("no instance for " + text);
    oracle = chaos::SysExOracle();
    active_ = false;
    hostileConnections = false;
    // What the plug-in takes from the options: the maximum, else the nominal length, else its
    // own default of 1024 frames.
    announcedBlock = 1024;
    if (setup.options && TakenBlock(setup.nominalBlockLength))
        announcedBlock = setup.nominalBlockLength;
    if (setup.options && TakenBlock(setup.maxBlockLength)) announcedBlock = setup.maxBlockLength;
    sampleRate = TakenRate(setup.sampleRate) ? setup.sampleRate : 44100.0;
    frameLimit = sampleRate < 8000.0 ? 2000 : 40000;
    // Ports may be connected before or after activate(); nothing is read before run().
    const bool connectFirst = Chance(70);
    if (connectFirst) {
        Log("connect all");
        host_.ConnectAll();
    }
    Log("activate");
    host_.Activate();
    active_ = true;
    if (!connectFirst) {
        Log("connect all");
        host_.ConnectAll();
    }
    return RunFrames(AnyFrames()) && Save(freshState_);
}

bool Run::StepRun() {
    int runs = Uniform(1, 6);
    for (int i = 0; i < runs; ++i)
        if (!RunFrames(AnyFrames())) return false;
    return true;
}

bool Run::StepPorts() {
    const auto& ranges = host_.ControlPorts();
    const int last = static_cast<int>(ranges.size()) - 1;
    const int roll = Uniform(0, 99);
    if (roll < 10) {
        // Every port at once, as a host's automation of all of them or a preset does.
        Log("every port to a new value");
        for (std::size_t i = 0; i < ranges.size(); ++i)
            host_.Control(i) = AnyPortValue(*this, ranges[i]);
    } else if (roll < 14) {
        Log("every port NaN");
        for (std::size_t i = 0; i < ranges.size(); ++i) host_.Control(i) = kNaN;
    } else {
        const int count = Uniform(1, 40);
        for (int n = 0; n < count; ++n) {
            const auto i = static_cast<std::size_t>(Uniform(0, last));
            host_.Control(i) = AnyPortValue(*this, ranges[i]);
            Log("port " + std::to_string(ranges[i].index) + " = " + Number(host_.Control(i)));
        }
    }
    return RunFrames(AnyFrames());
}

bool Run::StepConnections() {
    const int roll = Uniform(0, 99);
    if (roll < 30) {
        Log("connect all");
        host_.ConnectAll();
        hostileConnections = false;
    } else if (roll < 50) {
        // The same buffer for both outputs: hosts may share buffers between ports.
        Log("connect both audio outputs to one buffer");
        host_.ConnectAll();
        host_.ConnectPort(lv2::kRightOutPort, const_cast<float*>(host_.Audio(0)));
    } else if (roll < 70) {
        // connect_port() may come at any time, to any buffer; what a port held before means
        // nothing.
        Log("reconnect the MIDI ports");
        host_.ConnectPort(lv2::kMidiInPort, host_.MidiIn().Sequence());
        host_.ConnectAll();
    } else {
        // Against the rules (no port of this plug-in is lv2:connectionOptional), but the plug-in
        // checks for null: a port left null, or an index it does not have.
        const std::uint32_t kPorts[] = {lv2::kMidiInPort,
                                        lv2::kMidiOutPort,
                                        lv2::kLeftOutPort,
                                        lv2::kRightOutPort,
                                        lv2::kFirstParamPort +
                                            static_cast<std::uint32_t>(Uniform(0, 90)),
                                        host_.PortCount(),
                                        0xFFFFFFFFu};
        const std::uint32_t port = kPorts[Uniform(0, 6)];
        Log("connect port " + std::to_string(port) + " to null (against the rules)");
        host_.ConnectPort(port, nullptr);
        hostileConnections = true;
    }
    return RunFrames(AnyFrames());
}

bool Run::StepOptions() {
    OptionValues values;
    std::vector<LV2_Options_Option> options;
    std::uint32_t expected = LV2_OPTIONS_SUCCESS;
    std::string list;
    int block = announcedBlock;
    double rate = sampleRate;
    const int count = Uniform(1, 4);
    for (int i = 0; i < count; ++i) {
        std::string text;
        options.push_back(AnyOption(*this, values, expected, text, block, rate));
        list += (i ? ", " : "") + text;
    }
    Log("options set: " + list);
    ++count_.options;
    const std::uint32_t result = host_.SetOptions(options);
    if (result != expected)
        return Fail("options set answered " + std::to_string(result) + ", not " +
                    std::to_string(expected) + ", for " + list);
    announcedBlock = block;
    sampleRate = rate;
    frameLimit = sampleRate < 8000.0 ? 2000 : 40000;
    return RunFrames(AnyFrames());
}

bool Run::StepLifecycle() {
    const int roll = Uniform(0, 99);
    if (roll < 20) {
        Log("cleanup, then a new instance");
        if (Chance(25)) {
            // Whatever else the host offers, without the URID map there is no instance.
            std::string text;
            lv2host::InstanceSetup setup = RandomSetup(*this, text);
            setup.uridMap = false;
            Log("instantiate without urid:map, " + text);
            if (host_.Instantiate(setup)) return Fail("instantiated without urid:map");
        }
        return NewInstance();
    }
    if (roll < 45) {
        Log("deactivate");
        host_.Deactivate();
        active_ = false;
        if (Chance(30)) return RunFrames(AnyFrames()); // run() while inactive: against the rules
        Log("activate");
        host_.Activate();
        active_ = true;
    } else if (roll < 60) {
        Log("activate twice (against the rules)");
        host_.Activate();
        active_ = true;
    } else if (roll < 75) {
        Log("deactivate twice (against the rules)");
        host_.Deactivate();
        host_.Deactivate();
        Log("activate");
        host_.Activate();
        active_ = true;
    } else {
        // The state and the options may be used while inactive.
        Log("deactivate, save and restore, activate");
        host_.Deactivate();
        lv2host::StateProperties state;
        if (!Save(state)) return false;
        if (Restore(state, "the state just saved") != LV2_STATE_SUCCESS)
            return Fail("the state saved while inactive is refused");
        host_.Activate();
        active_ = true;
    }
    return RunFrames(AnyFrames());
}

} // namespace lv2chaos
