// Bad input to the two binaries' UI entries: a host without a parent window, a bundle without the
// plug-in binary, another plug-in's URI, null handles, a parent window that does not exist and a
// second editor on one instance.
// Each gets a refusal (null, 0, or nothing done) and, from the UI binary, a message; none
// crashes.

#include "lv2/Lv2EditorLink.h"
#include "lv2/Lv2Identity.h"
#include "window/x11menus/DialogTestSupport.h"

#include "Lv2PluginHost.h"
#include "SuilEmbedding.h"

#include <gtest/gtest.h>

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <dlfcn.h>

#include <cstdint>
#include <string>

using namespace lv2_ui_test;

namespace {

const std::string kBundle = VORNA_LV2_BUNDLE_DIR;

// A binary of the bundle, loaded for the test's whole run.
void* LoadBinary(const char* name) {
    return dlopen((kBundle + name).c_str(), RTLD_NOW | RTLD_LOCAL);
}

const LV2UI_Descriptor* UiDescriptor() {
    static void* library = LoadBinary(lv2::kUiBinary);
    if (!library) return nullptr;
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    return entry ? entry(0) : nullptr;
}

const VornaLv2EditorLink* EditorLink() {
    static void* library = LoadBinary(lv2::kDspBinary);
    if (!library) return nullptr;
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"));
    const LV2_Descriptor* descriptor = entry ? entry(0) : nullptr;
    return descriptor ? static_cast<const VornaLv2EditorLink*>(
                            descriptor->extension_data(lv2::kEditorLinkUri))
                      : nullptr;
}

void IgnoreWrite(LV2UI_Controller, std::uint32_t, std::uint32_t, std::uint32_t, const void*) {}
void IgnoreParam(void*, int, float) {}

struct Instantiation {
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    std::string message;
};

Instantiation Instantiate(const char* pluginUri, const std::string& bundle,
                          LV2UI_Write_Function write, const LV2_Feature* const* features) {
    const LV2UI_Descriptor* ui = UiDescriptor();
    Instantiation result;
    testing::internal::CaptureStderr();
    result.handle =
        ui->instantiate(ui, pluginUri, bundle.c_str(), write, nullptr, &result.widget, features);
    result.message = testing::internal::GetCapturedStderr();
    return result;
}

TEST(Lv2UiRefusals, TheUiBinaryRefusesWhatItCannotOpenAndSaysWhy) {
    const LV2UI_Descriptor* ui = UiDescriptor();
    ASSERT_NE(ui, nullptr) << dlerror();
    EXPECT_STREQ(ui->URI, lv2::kUiUri);
    EXPECT_NE(ui->extension_data(LV2_UI__idleInterface), nullptr);
    EXPECT_EQ(ui->extension_data("urn:vorna:none"), nullptr);
    EXPECT_EQ(ui->extension_data(nullptr), nullptr);

    // No parent window: the editor is a child window and cannot open.
    const LV2_Feature* none[] = {nullptr};
    Instantiation noParent = Instantiate(lv2::kPluginUri, kBundle, IgnoreWrite, none);
    EXPECT_EQ(noParent.handle, nullptr);
    EXPECT_EQ(noParent.widget, nullptr);
    EXPECT_NE(noParent.message.find("ui:parent"), std::string::npos) << noParent.message;
    Instantiation noFeatures = Instantiate(lv2::kPluginUri, kBundle, IgnoreWrite, nullptr);
    EXPECT_EQ(noFeatures.handle, nullptr);

    // A parent, but a bundle folder without the plug-in binary.
    const LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(std::uintptr_t{1})};
    const LV2_Feature* withParent[] = {&parent, nullptr};
    x11menus_test::TempFolder empty;
    Instantiation noBinary = Instantiate(lv2::kPluginUri, empty.Path(), IgnoreWrite, withParent);
    EXPECT_EQ(noBinary.handle, nullptr);
    EXPECT_NE(noBinary.message.find("cannot load " + empty.Path() + "/" + lv2::kDspBinary),
              std::string::npos)
        << noBinary.message;

    // Another plug-in, or no write function.
    Instantiation other = Instantiate("urn:other:plugin", kBundle, IgnoreWrite, withParent);
    EXPECT_EQ(other.handle, nullptr);
    EXPECT_FALSE(other.message.empty());
    Instantiation noWrite = Instantiate(lv2::kPluginUri, kBundle, nullptr, withParent);
    EXPECT_EQ(noWrite.handle, nullptr);
    EXPECT_FALSE(noWrite.message.empty());

    // A null handle is nothing to clean up, update or idle.
    ui->cleanup(nullptr);
    const float value = 1.0f;
    ui->port_event(nullptr, lv2::kFirstParamPort, sizeof value, 0, &value);
    auto* idle =
        static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    EXPECT_NE(idle->idle(nullptr), 0);
}

TEST(Lv2UiRefusals, TheEditorLinkAnswersNullHandlesWithNothing) {
    const VornaLv2EditorLink* link = EditorLink();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->version, 1u);
    Lv2PluginHost plugin(VORNA_LV2_BUNDLE_DIR);
    ASSERT_TRUE(plugin.Ready()) << plugin.Error();
    const VornaLv2UiHost host{nullptr, IgnoreParam, nullptr, nullptr};
    const VornaLv2UiHost noWrite{nullptr, nullptr, nullptr, nullptr};
    void* someWindow = reinterpret_cast<void*>(std::uintptr_t{1});

    EXPECT_EQ(link->open(nullptr, someWindow, &host), nullptr);
    EXPECT_EQ(link->open(plugin.Handle(), nullptr, &host), nullptr);
    EXPECT_EQ(link->open(plugin.Handle(), someWindow, nullptr), nullptr);
    EXPECT_EQ(link->open(plugin.Handle(), someWindow, &noWrite), nullptr);
    EXPECT_EQ(link->openStandIn(nullptr, &host), nullptr);
    EXPECT_EQ(link->openStandIn(someWindow, nullptr), nullptr);
    EXPECT_EQ(link->window(nullptr), 0u);
    int width = -1, height = -1;
    link->size(nullptr, &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_NE(link->idle(nullptr), 0);
    link->portEvent(nullptr, 0, 1.0f);
    link->close(nullptr);
    // The instance is untouched by all of it.
    EXPECT_GE(plugin.Run(), 0.0f);
}

TEST(Lv2UiRefusals, AParentWindowThatDoesNotExistOpensNothing) {
    VORNA_LV2_REQUIRE_DISPLAY();
    const VornaLv2EditorLink* link = EditorLink();
    ASSERT_NE(link, nullptr);
    Lv2PluginHost plugin(VORNA_LV2_BUNDLE_DIR);
    ASSERT_TRUE(plugin.Ready()) << plugin.Error();
    int writes = 0;
    const VornaLv2UiHost host{&writes,
                              [](void* context, int, float) { ++*static_cast<int*>(context); },
                              nullptr, nullptr};
    // An id no client of this server has made.
    void* gone = reinterpret_cast<void*>(std::uintptr_t{0x3FFFFFF});
    EXPECT_EQ(link->open(plugin.Handle(), gone, &host), nullptr);
    EXPECT_EQ(link->openStandIn(gone, &host), nullptr);
    EXPECT_EQ(writes, 0);
    // The instance's editor is free for a real window afterwards.
    SuilEmbedding ui(plugin, true);
    ASSERT_TRUE(ui.Ready()) << ui.Error();
    EXPECT_TRUE(ui.PumpFor(100));
    // But not for a second one at the same time, which would take the first one's window.
    testing::internal::CaptureStderr();
    {
        SuilEmbedding second(plugin, true);
        EXPECT_FALSE(second.Ready());
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("did not open its editor"),
              std::string::npos);
    EXPECT_TRUE(ui.PumpFor(100));
    EXPECT_NE(ui.Widget(), 0u);
}

} // namespace
