// ".syx" files: whatever a file holds, loading it never crashes, a failed load changes nothing
// and says so, and a refused bank question or a configuration file reads nothing more.

#include "FuzzSupport.h"
#include "platform/UiServices.h"
#include "programs/SysExFiles.h"

#include <filesystem>

namespace {

// Answers every question with Yes and counts the boxes.
class YesUi : public platform::UiServices {
public:
    platform::MessageAnswer ShowMessage(platform::MessageKind kind, const std::string& text,
                                        const std::string&) override {
        ++shown;
        last = text;
        return kind == platform::MessageKind::Question ? platform::MessageAnswer::Yes
                                                       : platform::MessageAnswer::Ok;
    }
    bool ChooseFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool ChooseFolder(const std::string&, const std::string&, std::string&) override {
        return false;
    }
    bool OpenWebAddress(const std::string&) override { return false; }
    bool InternetAvailable() override { return false; }
    int shown = 0;
    std::string last;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path =
        (std::filesystem::temp_directory_path() / "vorna-fuzz-sysex-file.syx").string();
    static YesUi ui;
    vorn::Vorn& plugin = fuzz::Instance();
    plugin.SetUiServices(&ui);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    programs::Bytes message;
    fuzz::Require(programs::ReadSysExMessage(path, message), "the file reads");
    fuzz::Require(message.size() <= size && message.size() <= programs::kMaxSysExFileRead,
                  "the message is a prefix of the file");
    for (std::size_t i = 0; i < message.size(); ++i) {
        fuzz::Require(message[i] == data[i] && data[i] != 0xFF, "the message is the file's start");
        fuzz::Require(data[i] != 0xF7 || i + 1 == message.size(), "reading stops after F7");
    }

    fuzz::Snapshot before(plugin);
    ui.shown = 0;
    if (!plugin.LoadSysExFile(path)) {
        fuzz::Require(fuzz::Snapshot(plugin) == before, "a failed load changes nothing");
        fuzz::Require(ui.shown >= 1, "a failed load is reported");
    }
    return 0;
}
