#pragma once
// The plug-in binary of the bundle, loaded by the UI binary for its editor link. The host that
// offers instance access has loaded it already, so this finds the very code that runs the
// instance; without instance access it is loaded here for a stand-in.

#include "lv2/Lv2EditorLink.h"

#include <string>

namespace lv2::ui {

class DspEditorLink {
public:
    DspEditorLink() = default;
    ~DspEditorLink();
    DspEditorLink(const DspEditorLink&) = delete;
    DspEditorLink& operator=(const DspEditorLink&) = delete;

    // Loads the plug-in binary from the bundle folder and asks its descriptor for the editor link;
    // false, with Error() saying why, when any step fails.
    bool Load(const std::string& bundlePath);
    const VornaLv2EditorLink* Link() const { return link_; }
    const std::string& Error() const { return error_; }

private:
    bool Fail(const std::string& why);

    void* library_ = nullptr;
    const VornaLv2EditorLink* link_ = nullptr;
    std::string error_;
};

} // namespace lv2::ui
