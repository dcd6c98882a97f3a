// The UI binary's entry (Vorn_ui.so): an X11 UI that holds no editor of its own. It loads the
// plug-in binary of its bundle and opens the editor through its editor link: on the plug-in
// instance when the host gives instance access, else on a stand-in that mirrors the parameter
// ports. Every refusal says why on the standard error and answers null, as LV2 asks.

#include "lv2/Lv2EditorLink.h"
#include "lv2/Lv2Identity.h"
#include "lv2/ui/DspEditorLink.h"
#include "lv2/ui/Lv2UiFeatures.h"

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace lv2::ui {
namespace {

// One instance of the UI: the loaded plug-in binary, the editor session it opened, and the
// host's functions that the editor's parameter writes go to.
struct UiInstance {
    DspEditorLink dsp;
    void* session = nullptr;
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* resize = nullptr;
    VornaLv2UiHost host{};
};

void Refuse(const char* why) {
    std::fprintf(stderr, "Vorna: the editor cannot open: %s.\n", why);
}

void WriteParam(void* context, int paramIndex, float value) {
    auto* ui = static_cast<UiInstance*>(context);
    if (paramIndex < 0) return;
    ui->write(ui->controller, kFirstParamPort + static_cast<std::uint32_t>(paramIndex),
              sizeof(float), 0, &value);
}

void TouchParam(void* context, int paramIndex, bool grabbed) {
    auto* ui = static_cast<UiInstance*>(context);
    if (paramIndex < 0 || !ui->touch) return;
    ui->touch->touch(ui->touch->handle, kFirstParamPort + static_cast<std::uint32_t>(paramIndex),
                     grabbed);
}

int ResizeWidget(void* context, int width, int height) {
    auto* ui = static_cast<UiInstance*>(context);
    if (!ui->resize || width <= 0 || height <= 0) return 1;
    return ui->resize->ui_resize(ui->resize->handle, width, height);
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, kPluginUri) != 0) {
        Refuse("it belongs to another plug-in");
        return nullptr;
    }
    if (!write || !widget) {
        Refuse("the host gave no write function or no place for the widget");
        return nullptr;
    }
    const HostFeatures host = ReadHostFeatures(features);
    if (!host.parent) {
        Refuse("the host gives it no parent window (ui:parent)");
        return nullptr;
    }
    auto ui = std::unique_ptr<UiInstance>(new (std::nothrow) UiInstance());
    if (!ui) return nullptr;
    if (!ui->dsp.Load(bundlePath ? bundlePath : "")) {
        Refuse(ui->dsp.Error().c_str());
        return nullptr;
    }
    ui->write = write;
    ui->controller = controller;
    ui->touch = host.touch;
    ui->resize = host.resize;
    ui->host = VornaLv2UiHost{ui.get(), &WriteParam, host.touch ? &TouchParam : nullptr,
                              host.resize ? &ResizeWidget : nullptr};
    const VornaLv2EditorLink& link = *ui->dsp.Link();
    ui->session = host.instance ? link.open(host.instance, host.parent, &ui->host)
                                : link.openStandIn(host.parent, &ui->host);
    if (!ui->session) {
        Refuse(host.instance
                   ? "the plug-in instance did not open its editor (one may be open already)"
                   : "the stand-in instance did not open its editor");
        return nullptr;
    }
    const std::uintptr_t window = link.window(ui->session);
    if (!window) {
        link.close(ui->session);
        Refuse("the editor has no window");
        return nullptr;
    }
    *widget = reinterpret_cast<LV2UI_Widget>(window);
    if (host.resize) {
        int width = 0, height = 0;
        link.size(ui->session, &width, &height);
        if (width > 0 && height > 0) host.resize->ui_resize(host.resize->handle, width, height);
    }
    return ui.release();
}

void Cleanup(LV2UI_Handle handle) {
    auto* ui = static_cast<UiInstance*>(handle);
    if (!ui) return;
    if (ui->session) ui->dsp.Link()->close(ui->session);
    // The plug-in binary is let go after the editor it holds has gone.
    delete ui;
}

void PortEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t bufferSize,
               std::uint32_t format, const void* buffer) {
    auto* ui = static_cast<UiInstance*>(handle);
    if (!ui || !ui->session || format != 0 || !buffer || bufferSize < sizeof(float) ||
        port < kFirstParamPort)
        return;
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    ui->dsp.Link()->portEvent(ui->session, static_cast<int>(port - kFirstParamPort), value);
}

int Idle(LV2UI_Handle handle) {
    auto* ui = static_cast<UiInstance*>(handle);
    if (!ui || !ui->session) return 1;
    return ui->dsp.Link()->idle(ui->session);
}

const void* ExtensionData(const char* uri) {
    static const LV2UI_Idle_Interface idle{&Idle};
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idle;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor{kUiUri, &Instantiate, &Cleanup, &PortEvent, &ExtensionData};

} // namespace
} // namespace lv2::ui

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &lv2::ui::kDescriptor : nullptr;
}
