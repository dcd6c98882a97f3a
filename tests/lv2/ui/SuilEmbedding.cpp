#include "SuilEmbedding.h"

#include "lv2/Lv2Identity.h"

#include <lv2/instance-access/instance-access.h>

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace lv2_ui_test {

namespace {

// Xvfb now and then refuses a connection that follows closely on another; a few tries absorb it.
Display* OpenTestDisplay() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) return display;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

std::string PathOfFileUri(const LilvNode* node) {
    if (!node) return std::string();
    char* path = lilv_file_uri_parse(lilv_node_as_uri(node), nullptr);
    std::string text = path ? path : "";
    lilv_free(path);
    return text;
}

} // namespace

bool InCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

bool DisplayReachable() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = OpenTestDisplay();
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

SuilEmbedding::SuilEmbedding(Lv2PluginHost& plugin, bool instanceAccess) : plugin_(plugin) {
    display_ = OpenTestDisplay();
    if (!display_) {
        error_ = "no X display";
        return;
    }
    // A 1x1 top-level window, as hosts make it before they know the UI's size.
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XMapWindow(display_, parent_);
    XSync(display_, False);

    // The UI of the plug-in that suil can put into an X11 container.
    LilvWorld* world = plugin.World();
    LilvUIs* uis = lilv_plugin_get_uis(plugin.Plugin());
    LilvNode* containerType = lilv_new_uri(world, LV2_UI__X11UI);
    const LilvUI* chosen = nullptr;
    const LilvNode* uiType = nullptr;
    LILV_FOREACH(uis, i, uis) {
        const LilvUI* ui = lilv_uis_get(uis, i);
        if (lilv_ui_is_supported(ui, suil_ui_supported, containerType, &uiType)) {
            chosen = ui;
            break;
        }
    }
    lilv_node_free(containerType);
    if (!chosen) {
        error_ = "the plug-in has no UI that suil embeds in an X11 window";
        lilv_uis_free(uis);
        return;
    }
    if (std::strcmp(lilv_node_as_uri(lilv_ui_get_uri(chosen)), lv2::kUiUri) != 0)
        error_ = "unexpected UI " + std::string(lilv_node_as_uri(lilv_ui_get_uri(chosen)));
    const std::string bundle = PathOfFileUri(lilv_ui_get_bundle_uri(chosen)) + "/";
    const std::string binary = PathOfFileUri(lilv_ui_get_binary_uri(chosen));
    const std::string uiTypeUri = lilv_node_as_uri(uiType);

    host_ = suil_host_new(&SuilEmbedding::Write, &SuilEmbedding::Index, nullptr, nullptr);
    suil_host_set_touch_func(host_, &SuilEmbedding::TouchPort);
    resize_.handle = this;
    resize_.ui_resize = &SuilEmbedding::Resize;
    const LV2_Feature parentFeature{LV2_UI__parent,
                                    reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent_))};
    const LV2_Feature resizeFeature{LV2_UI__resize, &resize_};
    const LV2_Feature accessFeature{LV2_INSTANCE_ACCESS_URI, plugin.Handle()};
    std::vector<const LV2_Feature*> features = {
        &parentFeature, &resizeFeature, plugin.Urids().MapFeature(), plugin.Urids().UnmapFeature()};
    if (instanceAccess) features.push_back(&accessFeature);
    features.push_back(nullptr);
    ui_ = suil_instance_new(host_, this, LV2_UI__X11UI, lv2::kPluginUri,
                            lilv_node_as_uri(lilv_ui_get_uri(chosen)), uiTypeUri.c_str(),
                            bundle.c_str(), binary.c_str(), features.data());
    lilv_uis_free(uis);
    if (!ui_) {
        if (error_.empty()) error_ = "suil could not instantiate the UI";
        return;
    }
    widget_ = static_cast<Window>(reinterpret_cast<std::uintptr_t>(suil_instance_get_widget(ui_)));
    idle_ = static_cast<const LV2UI_Idle_Interface*>(
        suil_instance_extension_data(ui_, LV2_UI__idleInterface));
    if (!idle_) error_ = "the UI offers no idle interface";
}

SuilEmbedding::~SuilEmbedding() {
    if (ui_) suil_instance_free(ui_);
    if (host_) suil_host_free(host_);
    if (display_) {
        if (parent_) XDestroyWindow(display_, parent_);
        XCloseDisplay(display_);
    }
}

void SuilEmbedding::Write(SuilController controller, std::uint32_t port, std::uint32_t size,
                          std::uint32_t protocol, const void* buffer) {
    auto* self = static_cast<SuilEmbedding*>(controller);
    if (protocol != 0 || size != sizeof(float) || !buffer) return;
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    self->writes_.push_back({port, value});
    // A host hands the value to the plug-in through its control port.
    if (self->plugin_.IsControlInput(port)) self->plugin_.SetControl(port, value);
}

std::uint32_t SuilEmbedding::Index(SuilController controller, const char* symbol) {
    return static_cast<SuilEmbedding*>(controller)->plugin_.PortIndex(symbol);
}

void SuilEmbedding::TouchPort(SuilController controller, std::uint32_t port, bool grabbed) {
    static_cast<SuilEmbedding*>(controller)->touches_.push_back({port, grabbed});
}

int SuilEmbedding::Resize(LV2UI_Feature_Handle handle, int width, int height) {
    auto* self = static_cast<SuilEmbedding*>(handle);
    self->width_ = width;
    self->height_ = height;
    XResizeWindow(self->display_, self->parent_, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    XSync(self->display_, False);
    return 0;
}

void SuilEmbedding::SendPortValue(std::uint32_t port, float value) {
    suil_instance_port_event(ui_, port, sizeof(float), 0, &value);
}

void SuilEmbedding::SendAllPortValues() {
    for (std::uint32_t p = 0; p < plugin_.PortCount(); ++p)
        if (plugin_.IsControlInput(p)) SendPortValue(p, plugin_.Control(p));
}

bool SuilEmbedding::PumpFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    bool open = true;
    while (std::chrono::steady_clock::now() < end) {
        if (idle_ && idle_->idle(suil_instance_get_handle(ui_)) != 0) open = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return open;
}

std::vector<float> SuilEmbedding::WritesTo(std::uint32_t port) const {
    std::vector<float> values;
    for (const PortWrite& write : writes_)
        if (write.port == port) values.push_back(write.value);
    return values;
}

void SuilEmbedding::ClearRecords() {
    writes_.clear();
    touches_.clear();
}

void SuilEmbedding::MoveTo(int x, int y) {
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, widget_, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    XSync(display_, False);
    PumpFor(30);
}

void SuilEmbedding::Button(unsigned button, bool down) {
    XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
    XSync(display_, False);
    PumpFor(40);
}

void SuilEmbedding::Click(int x, int y) {
    MoveTo(x, y);
    Button(Button1, true);
    Button(Button1, false);
    PumpFor(60);
}

void SuilEmbedding::Drag(int x, int y, int dy, int steps) {
    MoveTo(x, y);
    Button(Button1, true);
    for (int step = 1; step <= steps; ++step) MoveTo(x, y + dy * step);
    Button(Button1, false);
    PumpFor(60);
}

void SuilEmbedding::ParkPointer() {
    const Screen* screen = DefaultScreenOfDisplay(display_);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), screen->width - 1, screen->height - 1,
                         CurrentTime);
    XSync(display_, False);
    PumpFor(200);
}

graphics::Surface SuilEmbedding::Capture() const {
    XWindowAttributes attributes{};
    if (!widget_ || !XGetWindowAttributes(display_, widget_, &attributes)) return {};
    const int width = attributes.width, height = attributes.height;
    XImage* image = XGetImage(display_, widget_, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return {};
    graphics::Surface picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.SetPixel(x, y,
                             0xFF000000u | static_cast<std::uint32_t>(XGetPixel(image, x, y)));
    XDestroyImage(image);
    return picture;
}

} // namespace lv2_ui_test
