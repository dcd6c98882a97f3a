// The plug-in's state as a host saves and restores it: the bank chunk and the program come back
// byte for byte and the sound with them; a damaged state changes nothing at all; a program chosen
// by MIDI is part of the state.

#include "Lv2Render.h"
#include "Lv2TestSetup.h"

#include <gtest/gtest.h>

#include <lv2/atom/atom.h>

#include <cstring>
#include <functional>
#include <random>

namespace lv2_test {
namespace {

constexpr std::uint32_t kBlock = 256;

const StateProperty* Find(const StateProperties& properties, const char* key) {
    for (const StateProperty& property : properties)
        if (property.key == key) return &property;
    return nullptr;
}

std::int32_t ProgramOf(const StateProperties& properties) {
    const StateProperty* program = Find(properties, lv2::kStateProgramUri);
    std::int32_t value = -1;
    if (program && program->value.size() == sizeof value)
        std::memcpy(&value, program->value.data(), sizeof value);
    return value;
}

// The two properties, with the types and sizes the plug-in promises.
void ExpectWellFormed(const StateProperties& properties) {
    const StateProperty* bank = Find(properties, lv2::kStateBankUri);
    const StateProperty* program = Find(properties, lv2::kStateProgramUri);
    ASSERT_NE(bank, nullptr) << "no bank property";
    ASSERT_NE(program, nullptr) << "no program property";
    EXPECT_EQ(bank->type, LV2_ATOM__Chunk);
    EXPECT_GT(bank->value.size(), 1000u);
    EXPECT_EQ(program->type, LV2_ATOM__Int);
    EXPECT_EQ(program->value.size(), sizeof(std::int32_t));
    EXPECT_TRUE(bank->flags & LV2_STATE_IS_POD);
    EXPECT_TRUE(bank->flags & LV2_STATE_IS_PORTABLE);
}

void ExpectSameProperties(const StateProperties& expected, const StateProperties& actual) {
    for (const char* key : {lv2::kStateBankUri, lv2::kStateProgramUri}) {
        const StateProperty* e = Find(expected, key);
        const StateProperty* a = Find(actual, key);
        ASSERT_NE(e, nullptr) << key;
        ASSERT_NE(a, nullptr) << key;
        EXPECT_EQ(a->type, e->type) << key;
        EXPECT_TRUE(a->value == e->value) << key << ": the bytes differ (" << e->value.size()
                                          << " saved first, " << a->value.size() << " now)";
    }
}

// A sound away from the start-up program's, set through the ports as a host sets it.
void EditSound(Lv2TestHost& host) {
    const std::pair<const char*, const char*> edits[] = {{"Algorithm", "4"},
                                                         {"Feedback", "6"},
                                                         {"OP2: Frequency", "3"},
                                                         {"OP3: Level", "30"},
                                                         {"OP1: Release", "6"},
                                                         {"LFO PM Depth", "50"},
                                                         {"PMD Controller", "M.Wheel"},
                                                         {"LFO PM Sensitivity", "4"},
                                                         {"Master Volume", "0.8"}};
    for (const auto& edit : edits) {
        const PortInfo* port = host.Bundle().PortNamed(edit.first);
        ASSERT_NE(port, nullptr) << edit.first;
        float value = 0.0f;
        ASSERT_TRUE(PortValueOfText(*port, edit.second, value)) << edit.first;
        host.SetPort(port->index, value);
    }
}

void RunSilence(Lv2TestHost& host, std::uint32_t frames) {
    std::vector<float> left(kBlock), right(kBlock);
    for (std::uint32_t done = 0; done < frames; done += kBlock)
        host.Run(std::min(kBlock, frames - done), left.data(), right.data());
}

class Lv2State : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bundle.Ok()) << bundle.Error(); }

    std::unique_ptr<Lv2TestHost> NewHost() {
        auto host = std::make_unique<Lv2TestHost>(bundle, HostSetup());
        EXPECT_TRUE(host->Ok()) << host->Error();
        return host;
    }

    vorna_tool::RenderResult Play(Lv2TestHost& host, std::int64_t firstFrame = 0) {
        vorna_tool::RenderResult result = PlayRequest(host, Phrase(kBlock, 16384, firstFrame));
        EXPECT_TRUE(result.error.empty()) << result.error;
        EXPECT_GT(Peak(result), 0.001) << "the phrase came out silent";
        return result;
    }

    void ExpectSameSound(const vorna_tool::RenderResult& expected,
                         const vorna_tool::RenderResult& actual) {
        RenderDifference difference = CompareRenders(expected, actual);
        EXPECT_TRUE(difference.firstFrame < 0 && !difference.lengthsDiffer) << Describe(difference);
    }

    Lv2Bundle& bundle = SharedBundle();
};

// Saved through lilv, kept as text, read back and restored into a fresh instance: the same
// properties, the same port values and the same sound as the instance it came from.
TEST_F(Lv2State, RoundTripKeepsBytesPortsAndSound) {
    auto original = NewHost();
    EditSound(*original);
    vorna_tool::RenderResult originalSound = Play(*original);
    StateProperties saved = original->SaveProperties();
    ExpectWellFormed(saved);
    StatePtr state = original->SaveState();
    ASSERT_TRUE(state);
    std::string text = original->StateToString(state.get());
    ASSERT_NE(text.find(lv2::kStateBankUri), std::string::npos) << text.substr(0, 2000);

    auto restored = NewHost();
    StatePtr reread = restored->StateFromString(text);
    ASSERT_TRUE(reread) << "lilv cannot read the state it wrote";
    EXPECT_TRUE(lilv_state_equals(state.get(), reread.get()));
    restored->RestoreState(reread.get());
    for (const PortInfo& port : bundle.Ports()) {
        if (port.isControl) {
            EXPECT_EQ(restored->Port(port.index), original->Port(port.index)) << port.symbol;
        }
    }
    ExpectSameProperties(saved, restored->SaveProperties());
    StatePtr savedAgain = restored->SaveState();
    EXPECT_TRUE(lilv_state_equals(state.get(), savedAgain.get()));
    ExpectSameSound(originalSound, Play(*restored));
    // Saving after the render, too, still gives the same.
    ExpectSameProperties(saved, restored->SaveProperties());

    // Without the state a fresh instance sounds otherwise, so the comparison above means something.
    auto fresh = NewHost();
    EXPECT_GE(CompareRenders(originalSound, Play(*fresh)).firstFrame, 0);
}

TEST_F(Lv2State, ProgramChosenByMidiIsSavedAndRestored) {
    const std::int32_t kProgram = 37;
    auto original = NewHost();
    original->SendMidi(0, {0xC0, static_cast<std::uint8_t>(kProgram)});
    vorna_tool::RenderResult originalSound = Play(*original, 512);
    StateProperties saved = original->SaveProperties();
    ExpectWellFormed(saved);
    EXPECT_EQ(ProgramOf(saved), kProgram);

    auto restored = NewHost();
    StatePtr state = original->SaveState();
    ASSERT_TRUE(state);
    restored->RestoreState(state.get());
    StateProperties again = restored->SaveProperties();
    ExpectSameProperties(saved, again);
    EXPECT_EQ(ProgramOf(again), kProgram);
    ExpectSameSound(originalSound, Play(*restored, 512));

    auto fresh = NewHost();
    EXPECT_GE(CompareRenders(originalSound, Play(*fresh, 512)).firstFrame, 0)
        << "the program change did not change the sound";
}

// One kind of damage: what is done to a good state's properties.
struct Damage {
    const char* name;
    std::function<void(StateProperties&)> apply;
};

StateProperty& Property(StateProperties& properties, const char* key) {
    for (StateProperty& property : properties)
        if (property.key == key) return property;
    static StateProperty none;
    ADD_FAILURE() << "no property " << key;
    return none;
}

void Remove(StateProperties& properties, const char* key) {
    properties.erase(std::remove_if(properties.begin(), properties.end(),
                                    [key](const StateProperty& p) { return p.key == key; }),
                     properties.end());
}

std::vector<Damage> Damages() {
    auto bank = [](StateProperties& p) -> StateProperty& {
        return Property(p, lv2::kStateBankUri);
    };
    auto program = [](StateProperties& p) -> StateProperty& {
        return Property(p, lv2::kStateProgramUri);
    };
    return {
        {"bank cut in half",
         [=](StateProperties& p) { bank(p).value.resize(bank(p).value.size() / 2); }},
        {"bank without its last byte", [=](StateProperties& p) { bank(p).value.pop_back(); }},
        {"bank of one byte", [=](StateProperties& p) { bank(p).value.resize(1); }},
        {"bank empty", [=](StateProperties& p) { bank(p).value.clear(); }},
        {"bank typed as a string", [=](StateProperties& p) { bank(p).type = LV2_ATOM__String; }},
        {"bank typed as an int", [=](StateProperties& p) { bank(p).type = LV2_ATOM__Int; }},
        {"program typed as a float",
         [=](StateProperties& p) { program(p).type = LV2_ATOM__Float; }},
        {"program of two bytes", [=](StateProperties& p) { program(p).value.resize(2); }},
        {"program of eight bytes", [=](StateProperties& p) { program(p).value.resize(8, 0); }},
        {"bank missing", [](StateProperties& p) { Remove(p, lv2::kStateBankUri); }},
        {"program missing", [](StateProperties& p) { Remove(p, lv2::kStateProgramUri); }},
        {"both missing", [](StateProperties& p) { p.clear(); }},
        {"bank of random bytes",
         [=](StateProperties& p) {
             std::mt19937 random(7);
             for (std::uint8_t& byte : bank(p).value) byte = static_cast<std::uint8_t>(random());
         }},
        {"bank of zeros",
         [=](StateProperties& p) { std::fill(bank(p).value.begin(), bank(p).value.end(), 0); }},
        {"bank's first bytes overwritten",
         [=](StateProperties& p) {
             for (std::size_t i = 0; i < 16; ++i) bank(p).value[i] = 0xEE;
         }},
    };
}

// Two instances brought to the same point; one of them is handed the damaged state. Afterwards
// both save the same, take a port change the same way, and sound the same.
TEST_F(Lv2State, DamagedStateChangesNothing) {
    for (const Damage& damage : Damages()) {
        SCOPED_TRACE(damage.name);
        auto damaged = NewHost();
        auto twin = NewHost();
        for (Lv2TestHost* host : {damaged.get(), twin.get()}) {
            EditSound(*host);
            host->SendMidi(0, {0xC0, 12});
            RunSilence(*host, 1024);
        }
        StateProperties before = damaged->SaveProperties();
        ExpectWellFormed(before);
        // A good state that differs in both properties (another program, and another bank: that
        // program edited), so that a damaged one taken in part would show.
        auto other = NewHost();
        other->SendMidi(0, {0xC0, 200});
        RunSilence(*other, kBlock);
        EditSound(*other);
        RunSilence(*other, kBlock);
        StateProperties bad = other->SaveProperties();
        ASSERT_NE(Property(bad, lv2::kStateBankUri).value,
                  Property(before, lv2::kStateBankUri).value);
        ASSERT_NE(ProgramOf(bad), ProgramOf(before));
        damage.apply(bad);
        damaged->RestoreProperties(bad);
        ExpectSameProperties(before, damaged->SaveProperties());

        // A port moved after the damaged restore reaches the sound as it does without one.
        const PortInfo* algorithm = bundle.PortNamed("Algorithm");
        ASSERT_NE(algorithm, nullptr);
        for (Lv2TestHost* host : {damaged.get(), twin.get()})
            host->SetPort(algorithm->index, algorithm->minimum + 6);
        ExpectSameSound(Play(*twin), Play(*damaged));
    }
}

} // namespace
} // namespace lv2_test
