// The LV2 chaos host's state step: saves, restores of the state just saved after something
// changed, and restores of damaged states. A restore the plug-in refuses must leave the state as
// it was, byte for byte; one it takes must round-trip.

#include "Lv2ChaosRun.h"
#include "lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace lv2chaos {

namespace {

bool Same(const lv2host::StateProperties& a, const lv2host::StateProperties& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
               return x.first == y.first && x.second.type == y.second.type &&
                      x.second.flags == y.second.flags && x.second.bytes == y.second.bytes;
           });
}

std::string Describe(const lv2host::StateProperties& state) {
    std::string text;
    for (const auto& [key, property] : state)
        text += " [key " + std::to_string(key) + ", type " + std::to_string(property.type) + ", " +
                std::to_string(property.bytes.size()) + " bytes]";
    return text;
}

enum class Expect { Taken, Refused, Either };

} // namespace

bool Run::StepState() {
    lv2host::StateProperties before;
    if (!Save(before)) return false;
    ++count_.states;
    const LV2_URID bankKey = host_.Urid(lv2::kStateBankUri);
    const LV2_URID programKey = host_.Urid(lv2::kStateProgramUri);
    const LV2_URID atomInt = host_.Urid(LV2_ATOM__Int);
    if (before.count(bankKey) == 0 || before.count(programKey) == 0)
        return Fail("the saved state lacks the bank or the program:" + Describe(before));

    lv2host::StateProperties state = before;
    lv2host::StateProperty& bank = state[bankKey];
    lv2host::StateProperty& program = state[programKey];
    Expect expect = Expect::Refused;
    std::string how;
    switch (Uniform(0, 15)) {
    case 0: { // intact, after a program change made the current state differ
        const auto next = static_cast<std::uint8_t>(Uniform(0, 127));
        AddMidi(0, {0xC0, next});
        Log("program change to " + std::to_string(next));
        if (!RunFrames(AnyFrames())) return false;
        expect = Expect::Taken;
        how = "intact, after a program change";
        break;
    }
    case 1: { // the bank with another type
        const LV2_URID types[] = {atomInt, host_.Urid(LV2_ATOM__String), 0,
                                  host_.Urid(LV2_ATOM__Sequence)};
        bank.type = types[Uniform(0, 3)];
        how = "bank of type " + std::to_string(bank.type);
        break;
    }
    case 2: { // the program with another type or size
        if (Chance(50)) {
            program.type = host_.Urid(LV2_ATOM__Float);
        } else {
            program.bytes.resize(static_cast<std::size_t>(Uniform(0, 1) ? 8 : Uniform(0, 3)));
        }
        how = "program of type " + std::to_string(program.type) + " and " +
              std::to_string(program.bytes.size()) + " bytes";
        break;
    }
    case 3: { // a program number no program has
        const std::int32_t kNumbers[] = {-1, 336, 337, std::numeric_limits<std::int32_t>::max(),
                                         std::numeric_limits<std::int32_t>::min()};
        const std::int32_t number = kNumbers[Uniform(0, 4)];
        program.bytes.resize(sizeof number);
        std::memcpy(program.bytes.data(), &number, sizeof number);
        how = "program " + std::to_string(number);
        break;
    }
    case 4: { // the bank cut short
        bank.bytes.resize(
            static_cast<std::size_t>(Uniform(1, static_cast<int>(bank.bytes.size()) - 1)));
        expect = Expect::Either;
        how = "bank cut to " + std::to_string(bank.bytes.size());
        break;
    }
    case 5: // an empty bank
        bank.bytes.clear();
        how = "empty bank";
        break;
    case 6: { // a huge bank: megabytes of garbage, or the real one followed by them
        const std::size_t extra = static_cast<std::size_t>(Uniform(1, 4)) << 20;
        if (Chance(50)) bank.bytes.clear();
        for (std::size_t i = 0; i < extra; ++i)
            bank.bytes.push_back(static_cast<std::uint8_t>(Rng()()));
        expect = Expect::Either;
        how = "bank of " + std::to_string(bank.bytes.size()) + " bytes";
        break;
    }
    case 7: // a size beyond 2 GiB claimed for a small value: refused before a byte is read
        bank.claimedSize = (std::size_t{1} << 31) + static_cast<std::size_t>(Uniform(0, 1000));
        how = "bank claiming " + std::to_string(*bank.claimedSize) + " bytes";
        break;
    case 8: { // flipped bits
        const int flips = Uniform(1, 8);
        for (int f = 0; f < flips; ++f)
            bank.bytes[static_cast<std::size_t>(
                Uniform(0, static_cast<int>(bank.bytes.size()) - 1))] ^=
                static_cast<std::uint8_t>(1 << Uniform(0, 7));
        expect = Expect::Either;
        how = std::to_string(flips) + " flipped bits in the bank";
        break;
    }
    case 9: { // a length or count field: any 32-bit word of the first kilobyte
        const std::size_t at = static_cast<std::size_t>(
            Uniform(0, std::min(1024, static_cast<int>(bank.bytes.size())) - 4));
        const std::uint32_t kWords[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 157, 336};
        const std::uint32_t word = kWords[Uniform(0, 6)];
        std::memcpy(&bank.bytes[at], &word, 4);
        expect = Expect::Either;
        how = "bank word at " + std::to_string(at) + " = " + std::to_string(word);
        break;
    }
    case 10: { // garbage of any size
        bank.bytes.assign(static_cast<std::size_t>(Uniform(1, 3000)), 0);
        for (auto& b : bank.bytes) b = static_cast<std::uint8_t>(Uniform(0, 255));
        expect = Expect::Either;
        how = "garbage bank of " + std::to_string(bank.bytes.size());
        break;
    }
    case 11: // no bank at all
        state.erase(bankKey);
        how = "no bank";
        break;
    case 12: // the bank alone: a state is taken whole or not at all
        state.erase(programKey);
        how = "no program";
        break;
    case 13: // nothing
        state.clear();
        how = "no property";
        break;
    case 14: { // properties of someone else beside the plug-in's own
        lv2host::StateProperty& other = state[host_.Urid("urn:vorna:chaos#other")];
        other.type = host_.Urid(LV2_ATOM__Chunk);
        other.bytes.assign(static_cast<std::size_t>(Uniform(0, 100)), 0x55);
        expect = Expect::Taken;
        how = "an unknown property beside";
        break;
    }
    default: { // a store that fails: the save fails, and the next one gives the same state
        Log("save with a failing store");
        lv2host::StateProperties lost;
        if (host_.SaveState(lost, LV2_STATE_ERR_NO_SPACE) == LV2_STATE_SUCCESS)
            return Fail("a save whose store failed reported success");
        lv2host::StateProperties again;
        if (!Save(again)) return false;
        if (!Same(before, again)) return Fail("a failed save changed the state");
        return RunFrames(AnyFrames());
    }
    }

    const LV2_State_Status status = Restore(state, how);
    const bool taken = status == LV2_STATE_SUCCESS;
    if (taken && expect == Expect::Refused) return Fail("a damaged state was taken (" + how + ")");
    if (!taken && expect == Expect::Taken)
        return Fail("a good state was refused: status " + std::to_string(status) + " (" + how +
                    ")");
    if (!taken) {
        ++count_.refusedStates;
        lv2host::StateProperties after;
        if (!Save(after)) return false;
        if (!Same(before, after)) return Fail("a refused restore changed the state (" + how + ")");
    } else {
        lv2host::StateProperties after;
        if (!Save(after)) return false;
        if (expect == Expect::Taken && after[programKey].bytes != before[programKey].bytes)
            return Fail("the restored program is not the one saved (" + how + ")");
        // The bank may come back in its normal form once (an imported voice out of range);
        // from then on it must round-trip.
        if (!Same(before, after) && !RoundTrip()) return false;
    }
    return RunFrames(AnyFrames());
}

} // namespace lv2chaos
