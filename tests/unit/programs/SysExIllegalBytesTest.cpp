// Module messages carrying bytes that cannot travel inside a SysEx message on a MIDI cable. A data
// byte with bit 7 set passes the seven-bit block checksum unnoticed, so without its own check it
// would leak into names and sounds; such a message is refused whole, from the host and from a
// file. Real-time bytes (F8 to FF) may sit between any two bytes of a message: they are dropped.

#include "../vorn/VornTestSupport.h"
#include "SysExTestSupport.h"
#include "SysExUiScript.h"

#include "programs/SysExFiles.h"
#include "programs/SysExReceiveBuffer.h"
#include "programs/VoiceConversion.h"

#include <cstdio>
#include <filesystem>

using namespace programs;
using sysextest::BankDump;
using sysextest::PatternRecord;
using sysextest::SingleVoiceDump;

namespace {

namespace fs = std::filesystem;

std::vector<VoiceRecord> Records(int seed) {
    std::vector<VoiceRecord> records;
    for (int i = 0; i < kBankVoiceCount; ++i) records.push_back(PatternRecord(seed + i));
    return records;
}

Bytes WithHighBit(Bytes bytes, std::size_t index) {
    bytes[index] = static_cast<std::uint8_t>(bytes[index] | 0x80);
    return bytes;
}

// Every byte after the first gets a real-time byte in front of it.
Bytes Interleaved(const Bytes& bytes) {
    Bytes out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) out.push_back(static_cast<std::uint8_t>(0xF8 + i % 7)); // F8 to FE
        out.push_back(bytes[i]);
    }
    return out;
}

} // namespace

TEST(SysExIllegalBytes, DumpsWithAHighBitAnywhereAreRefusedThoughTheChecksumPasses) {
    Bytes voice = SingleVoiceDump(PatternRecord(3));
    std::vector<VoiceRecord> records;
    // Nibble bytes of the name and of a sustain field, the channel byte and the byte count.
    for (std::size_t index : {9u, 10u, 9u + 2 * 23u + 1u, 3u, 7u, 136u}) {
        SCOPED_TRACE(index);
        Bytes bad = WithHighBit(voice, index);
        EXPECT_EQ(BlockChecksum(bad.data() + 9, 128), bad[137]); // the checksum cannot tell
        EXPECT_FALSE(ParseVoiceBlocks(bad, records));
        EXPECT_TRUE(records.empty());
    }
    Bytes bank = BankDump(Records(0), 0);
    for (std::size_t index : {20u, 73u, 74u, 76u, 74u + 47u * 131u + 100u}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(ParseVoiceBlocks(WithHighBit(bank, index), records));
    }
    // A status byte inside the message is as illegal as a high data bit.
    Bytes early = voice;
    early[60] = 0xF7;
    EXPECT_FALSE(ParseVoiceBlocks(early, records));
    ASSERT_TRUE(ParseVoiceBlocks(bank, records));
    EXPECT_EQ(records.size(), 48u);
}

TEST(SysExIllegalBytes, ExtractingAMessageDropsRealTimeBytesAndRefusesOthers) {
    Bytes voice = SingleVoiceDump(PatternRecord(5));
    Bytes message;
    ASSERT_TRUE(ExtractSysExMessage(Interleaved(voice), message));
    EXPECT_EQ(message, voice);
    // The first F7 ends the message; what follows is not part of it.
    Bytes twice = voice;
    twice.insert(twice.end(), voice.begin(), voice.end());
    ASSERT_TRUE(ExtractSysExMessage(twice, message));
    EXPECT_EQ(message, voice);
    EXPECT_FALSE(ExtractSysExMessage(WithHighBit(voice, 40), message));
    EXPECT_TRUE(message.empty());
    EXPECT_FALSE(ExtractSysExMessage(Bytes{0xF0, 0x43, 0x90, 0x3C, 0xF7}, message)); // note on
    EXPECT_FALSE(ExtractSysExMessage(Bytes{0x43, 0x75, 0xF7}, message));             // no F0
    EXPECT_FALSE(ExtractSysExMessage(Bytes{}, message));
}

TEST(SysExIllegalBytes, ReceiveBufferJoinsAroundRealTimeBytes) {
    Bytes voice = SingleVoiceDump(PatternRecord(6));
    SysExReceiveBuffer buffer;
    // A clock byte before the F0 of the first piece still starts a new message.
    Bytes first{0xF8};
    first.insert(first.end(), voice.begin(), voice.begin() + 70);
    Bytes second = Interleaved(Bytes(voice.begin() + 70, voice.end()));
    second.push_back(0xFE); // active sensing after the F7
    EXPECT_FALSE(buffer.Add(first.data(), first.size()));
    EXPECT_TRUE(buffer.Add(second.data(), second.size()));
    EXPECT_EQ(buffer.Message(), voice);
    // Nothing but real-time bytes is no event at all: the message stays complete.
    EXPECT_FALSE(buffer.Add(Bytes{0xF8, 0xFA}.data(), 2));
    EXPECT_EQ(buffer.Message(), voice);
}

class SysExIllegalInstance : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / "vorna-sysex-illegal";
        fs::remove_all(folder);
        fs::create_directories(folder);
        plugin().SetUiServices(&ui);
        plugin().SelectProgram(10);
        vorn.host.receivedEvents.clear();
    }
    void TearDown() override {
        plugin().SetUiServices(nullptr);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    vorn::Vorn& plugin() { return vorn.Plugin(); }
    void Deliver(const Bytes& bytes) {
        plugin().HandleSysEx(host::SysExMessage{0, static_cast<int>(bytes.size()), bytes.data()});
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        std::string path = (folder / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        if (file) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path;
    }
    std::vector<std::pair<std::string, Bytes>> Programs() {
        std::vector<std::pair<std::string, Bytes>> programs;
        for (int i = 0; i < plugin().PresetCount(); ++i)
            programs.emplace_back(plugin().GetPreset(i).name, plugin().GetPreset(i).state.Bytes());
        return programs;
    }
    std::size_t SentCount() const {
        std::size_t sent = 0;
        for (const hostkit::ReceivedEvent& event : vorn.host.receivedEvents)
            if (event.type == vst2::kVstSysExType) ++sent;
        return sent;
    }

    VornInstance vorn;
    sysextest::ScriptedUi ui;
    fs::path folder;
};

TEST_F(SysExIllegalInstance, FromTheHostAHighBitRefusesTheWholeMessage) {
    auto before = Programs();
    double algorithm = plugin().GetParam(engine::kAlgorithm).Value();
    Deliver(WithHighBit(SingleVoiceDump(PatternRecord(1)), 9)); // the name's first nibble
    Deliver(WithHighBit(BankDump(Records(2), 0), 74 + 2 + 2 * 23 * 1 + 1));
    Deliver(Bytes{0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C, 0x85, 0x00, 0xF7}); // parameter change
    Bytes split = WithHighBit(SingleVoiceDump(PatternRecord(3)), 120);
    Deliver(Bytes(split.begin(), split.begin() + 100));
    Deliver(Bytes(split.begin() + 100, split.end()));
    EXPECT_EQ(Programs(), before);
    EXPECT_EQ(plugin().GetParam(engine::kAlgorithm).Value(), algorithm);
    EXPECT_EQ(SentCount(), 0u);
}

TEST_F(SysExIllegalInstance, FromTheHostRealTimeBytesAreDroppedAndTheDumpApplies) {
    Deliver(Interleaved(SingleVoiceDump(PatternRecord(4))));
    EXPECT_EQ(plugin().PresetName(10), VoiceName(PatternRecord(4)));
    EXPECT_EQ(SentCount(), 1u);
}

TEST_F(SysExIllegalInstance, FromAFileAHighBitSaysCannotLoadAndChangesNothing) {
    auto before = Programs();
    Bytes voice = WithHighBit(SingleVoiceDump(PatternRecord(1)), 50);
    EXPECT_FALSE(plugin().LoadSysExFile(Write("voice.syx", voice)));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Cannot load file!");
    EXPECT_EQ(Programs(), before);

    // A clock byte inside the header of a bank file: still recognised as a bank and asked for.
    ui.messages.clear();
    ui.answerYes = true;
    Bytes bank = BankDump(Records(7), 0);
    bank.insert(bank.begin() + 4, 0xF8);
    EXPECT_TRUE(plugin().LoadSysExFile(Write("bank.syx", bank)));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Load SysEx Voice Bank");
    EXPECT_EQ(plugin().PresetName(0), VoiceName(PatternRecord(7)));
}
