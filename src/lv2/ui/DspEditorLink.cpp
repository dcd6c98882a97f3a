#include "lv2/ui/DspEditorLink.h"

#include "lv2/Lv2Identity.h"

#include <lv2/core/lv2.h>

#include <dlfcn.h>

#include <cstring>

namespace lv2::ui {

DspEditorLink::~DspEditorLink() {
    if (library_) dlclose(library_);
}

bool DspEditorLink::Fail(const std::string& why) {
    error_ = why;
    link_ = nullptr;
    if (library_) dlclose(library_);
    library_ = nullptr;
    return false;
}

bool DspEditorLink::Load(const std::string& bundlePath) {
    if (bundlePath.empty()) return Fail("the host gave no bundle path");
    std::string path = bundlePath;
    if (path.back() != '/') path += '/';
    path += kDspBinary;
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        const char* why = dlerror();
        return Fail("cannot load " + path + ": " + (why ? why : "unknown error"));
    }
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(library_, "lv2_descriptor"));
    if (!entry) return Fail(path + " has no lv2_descriptor");
    const LV2_Descriptor* descriptor = entry(0);
    if (!descriptor || !descriptor->URI || std::strcmp(descriptor->URI, kPluginUri) != 0 ||
        !descriptor->extension_data)
        return Fail(path + " does not describe the plug-in " + kPluginUri);
    link_ = static_cast<const VornaLv2EditorLink*>(descriptor->extension_data(kEditorLinkUri));
    if (!link_ || link_->version < 1 || !link_->open || !link_->openStandIn || !link_->window ||
        !link_->size || !link_->idle || !link_->portEvent || !link_->close)
        return Fail(path + " offers no editor link this UI can use");
    return true;
}

} // namespace lv2::ui
