// Regression: names were cut by bytes wherever a field has a fixed size, so a name such as
// "Flûte" or "Ködö" could lose half a character and show garbage. Each path is driven with a
// two-byte and a three-byte character lying across its limit.

#include "../programs/SysExTestSupport.h"
#include "VornTestSupport.h"

#include "editor/FBPresetName.h"
#include "editor/TextStyles.h"
#include "editor/VornEditor.h"
#include "graphics/OffscreenWindow.h"
#include "host/FxpFile.h"
#include "host/ProgramState.h"
#include "programs/BrowserReader.h"
#include "programs/ModuleVoiceName.h"
#include "programs/SysExFiles.h"
#include "programs/VoiceConversion.h"

#include <cstring>
#include <filesystem>
#include <memory>

namespace {

const std::string kU = "\xC3\xBB";        // û, two bytes
const std::string kO = "\xC3\xB6";        // ö, two bytes
const std::string kEuro = "\xE2\x82\xAC"; // €, three bytes

std::string As(std::size_t count) {
    return std::string(count, 'a');
}

// Renames the current program as a host does, which also stores its state.
void HostRename(VornInstance& vorn, const std::string& name) {
    std::vector<char> text(name.begin(), name.end());
    text.push_back('\0');
    vorn.host.Dispatch(vst2::effSetProgramName, 0, 0, text.data());
}

// Hands text back from a text entry without a parameter, as the editor does on a commit.
class EntryRecorder : public graphics::Control {
public:
    using Control::Control;
    void TextFromTextEntry(const std::string& text) override { received.push_back(text); }
    std::vector<std::string> received;
};

} // namespace

TEST(NameCharacterBoundary, HostBuffersOf24BytesGetWholeCharacters) {
    VornInstance vorn;
    const int current = vorn.Plugin().CurrentPresetIndex();
    for (const auto& [name, shown] :
         {std::pair{As(22) + kU, As(22)}, std::pair{As(21) + kEuro, As(21)},
          std::pair{As(21) + kU, As(21) + kU}, std::pair{As(20) + kEuro, As(20) + kEuro}}) {
        SCOPED_TRACE(name.size());
        HostRename(vorn, name);
        ASSERT_EQ(vorn.Plugin().PresetName(current), name);
        EXPECT_EQ(vorn.host.DispatchText(vst2::effGetProgramName), shown);
        EXPECT_EQ(vorn.host.DispatchText(vst2::effGetProgramNameIndexed, current), shown);
    }
}

TEST(NameCharacterBoundary, NamesFromHostsAreCutToTheirCapacityBetweenCharacters) {
    VornInstance vorn;
    const int current = vorn.Plugin().CurrentPresetIndex();
    HostRename(vorn, As(254) + kEuro);
    EXPECT_EQ(vorn.Plugin().PresetName(current), As(254));
    HostRename(vorn, As(254) + kU);
    EXPECT_EQ(vorn.Plugin().PresetName(current), As(254));
    HostRename(vorn, As(253) + kU);
    EXPECT_EQ(vorn.Plugin().PresetName(current), As(253) + kU);
}

TEST(NameCharacterBoundary, ProgramFilesHoldWholeCharactersInTheir28ByteField) {
    VornInstance vorn;
    for (const auto& [name, field] :
         {std::pair{As(26) + kU, As(26)}, std::pair{As(25) + kEuro, As(25)},
          std::pair{As(24) + kEuro, As(24) + kEuro}}) {
        SCOPED_TRACE(name.size());
        HostRename(vorn, name);
        const std::vector<std::uint8_t> file = vorn.Plugin().ProgramFileImage();
        ASSERT_GE(file.size(), host::kProgramNameOffset + host::kProgramNameSize);
        std::string expected = field;
        expected.resize(host::kProgramNameSize, '\0');
        EXPECT_EQ(std::string(file.begin() + host::kProgramNameOffset,
                              file.begin() + host::kProgramNameOffset + host::kProgramNameSize),
                  expected);
    }
}

TEST(NameCharacterBoundary, StatesInBankFilesCarrySevenBytesOfWholeCharacters) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.SelectProgram(0);
    HostRename(vorn, "Pianos" + kO); // ö across bytes 6 and 7
    plugin.SelectProgram(1);
    HostRename(vorn, "H" + kO + "rn" + kEuro + "x"); // € across bytes 5 to 7
    plugin.SelectProgram(2);
    HostRename(vorn, "K" + kO + "d" + kO); // six bytes: fits whole

    const std::string path =
        (std::filesystem::temp_directory_path() / "vorna-name-boundary.fxb").string();
    ASSERT_TRUE(plugin.SaveBankFile(path));
    std::vector<programs::BrowserProgram> programs;
    const bool read = programs::ReadBrowserFilePrograms(path, vorn.Effect()->uniqueID, programs);
    std::filesystem::remove(path);
    ASSERT_TRUE(read);
    ASSERT_GE(programs.size(), 3u);
    // The browser shows the seven name bytes of each state.
    EXPECT_EQ(programs[0].name, "Pianos ");
    EXPECT_EQ(programs[1].name, "H" + kO + "rn  ");
    EXPECT_EQ(programs[2].name, "K" + kO + "d" + kO + " ");
    // The full names travel beside the states.
    EXPECT_EQ(plugin.PresetName(1), "H" + kO + "rn" + kEuro + "x");
}

TEST(NameCharacterBoundary, TextEntriesAndTheNameFieldCutBetweenCharacters) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    editor::VornEditor& view = *plugin.EditorView();
    ASSERT_TRUE(view.OpenWindowWith(std::make_unique<graphics::OffscreenWindow>(view)));
    EntryRecorder recorder(view, graphics::Rect(0, 0, 100, 20));
    // An entry hands back at most 32 bytes; the boxes limit characters, not bytes.
    for (const std::string& text : {As(31) + kU + "b", As(30) + kEuro + "b"}) {
        ASSERT_TRUE(view.CreateTextEntry(&recorder, -1, recorder.DrawRect(), text, 40));
        view.OnTextEntryCommit();
        view.OnTimer();
    }
    ASSERT_EQ(recorder.received.size(), 2u);
    EXPECT_EQ(recorder.received[0], As(31));
    EXPECT_EQ(recorder.received[1], As(30));

    // The name field keeps seven bytes of what was typed.
    const graphics::TextStyle style = editor::MakeTextStyle(editor::TextStyleId{});
    editor::FBPresetName field(view, graphics::Rect(0, 0, 100, 20), -1, style, style);
    const int current = plugin.CurrentPresetIndex();
    field.TextFromTextEntry("Pianos" + kO);
    EXPECT_EQ(plugin.PresetName(current), "Pianos ");
    field.TextFromTextEntry("H" + kO + "rn" + kEuro);
    EXPECT_EQ(plugin.PresetName(current), "H" + kO + "rn  ");
    field.TextFromTextEntry("Fl" + kU + "te");
    EXPECT_EQ(plugin.PresetName(current), "Fl" + kU + "te ");
}

TEST(NameCharacterBoundary, ExportedVoiceNamesAreSevenBytesOfTheModulesCharacters) {
    using programs::ModuleVoiceName;
    EXPECT_EQ(ModuleVoiceName("Fl" + kU + "te"), "Flute");
    EXPECT_EQ(ModuleVoiceName("Piano" + kO + kO), "Pianooo"); // nine bytes, seven characters
    EXPECT_EQ(ModuleVoiceName("H" + kO + "rn" + kEuro + "xyz"), "Horn?xy");
    EXPECT_EQ(ModuleVoiceName("\xC3\x84\xC3\x9F\xC3\xA7\xC3\x98"), "AscO");
    EXPECT_EQ(ModuleVoiceName("LongNameHere"), "LongNam");
    // The module's own bytes, as a voice from the module brings them, come back unchanged.
    EXPECT_EQ(ModuleVoiceName("\xA5"
                              "Bass\xDF"),
              "\xA5"
              "Bass\xDF");

    programs::VoiceRecord record =
        programs::ProgramValuesToVoice(sysextest::DefaultValues(), "K" + kO + "d" + kO + "!!");
    EXPECT_EQ(programs::VoiceName(record), "Kodo!!");
    EXPECT_EQ(record[6], 0);

    // The file name a voice file is offered under.
    EXPECT_EQ(programs::SafeFileName(As(62) + kU), As(62));
    EXPECT_EQ(programs::SafeFileName(As(61) + kEuro + "/"), As(61));
    EXPECT_EQ(programs::SafeFileName(As(60) + kEuro + "/"), As(60) + kEuro);

    // The current program sent as a voice dump.
    VornInstance vorn;
    vorn.Plugin().SetProgramName(("Fl" + kU + "te").c_str());
    std::vector<programs::VoiceRecord> records;
    ASSERT_TRUE(programs::ParseVoiceBlocks(vorn.Plugin().BuildVoiceDump(), records));
    EXPECT_EQ(programs::VoiceName(records[0]), "Flute ");
}
