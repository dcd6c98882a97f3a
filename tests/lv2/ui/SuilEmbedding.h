#pragma once
// The plug-in's UI embedded as a host embeds it: lilv finds the UI that suil supports in an X11
// container, and suil loads and instantiates it with a parent window of the test's own (on a
// display connection of its own), with or without instance access, the resize and touch
// features, and a write function that records every port write and, as hosts do, stores the
// value into the control port. The test pumps the UI's idle interface, sends synthetic input
// through XTest and reads the embedded window's pixels.

// Everything of ours before the X headers: Xlib defines None, True and False.
#include "graphics/Surface.h"

#include "Lv2PluginHost.h"

#include <lv2/ui/ui.h>
#include <suil/suil.h>

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lv2_ui_test {

// Whether the test can reach an X server (DISPLAY). Under CI=true a test fails without one.
bool DisplayReachable();
bool InCi();

#define VORNA_LV2_REQUIRE_DISPLAY()                                                                \
    do {                                                                                           \
        if (!lv2_ui_test::DisplayReachable()) {                                                    \
            if (lv2_ui_test::InCi())                                                               \
                FAIL() << "no X display (DISPLAY unset or unreachable) under CI";                  \
            GTEST_SKIP() << "no X display";                                                        \
        }                                                                                          \
    } while (0)

struct PortWrite {
    std::uint32_t port;
    float value;
};

struct Touch {
    std::uint32_t port;
    bool grabbed;
};

class SuilEmbedding {
public:
    // Embeds the plug-in's X11 UI in a new parent window; with instanceAccess the UI receives the
    // plug-in's handle. Ready() tells whether it worked, Error() why not.
    SuilEmbedding(Lv2PluginHost& plugin, bool instanceAccess);
    ~SuilEmbedding();
    SuilEmbedding(const SuilEmbedding&) = delete;
    SuilEmbedding& operator=(const SuilEmbedding&) = delete;

    bool Ready() const { return ui_ != nullptr; }
    const std::string& Error() const { return error_; }
    Display* display() const { return display_; }
    Window Parent() const { return parent_; }
    // The UI's widget, the editor's own window.
    Window Widget() const { return widget_; }
    // What the UI asked through ui:resize (0 when it did not).
    int RequestedWidth() const { return width_; }
    int RequestedHeight() const { return height_; }

    // Sends every control input port's value to the UI, as a host does after instantiating it.
    void SendAllPortValues();
    void SendPortValue(std::uint32_t port, float value);

    // The UI's idle call every 10 ms for that long; false once the UI said it has closed.
    bool PumpFor(int milliseconds);

    std::vector<PortWrite> Writes() const { return writes_; }
    std::vector<float> WritesTo(std::uint32_t port) const;
    std::vector<Touch> Touches() const { return touches_; }
    void ClearRecords();

    // Synthetic input at a point of the editor's window, then a pump.
    void MoveTo(int x, int y);
    void Button(unsigned button, bool down);
    void Click(int x, int y);
    // A left-button drag from the point, `steps` moves of dy pixels each.
    void Drag(int x, int y, int dy, int steps);
    // The pointer away from the editor (no mouse-over look, no tooltip), then a pump.
    void ParkPointer();

    // The editor window's pixels as opaque 0xFFRRGGBB.
    graphics::Surface Capture() const;

private:
    static void Write(SuilController controller, std::uint32_t port, std::uint32_t size,
                      std::uint32_t protocol, const void* buffer);
    static std::uint32_t Index(SuilController controller, const char* symbol);
    static void TouchPort(SuilController controller, std::uint32_t port, bool grabbed);
    static int Resize(LV2UI_Feature_Handle handle, int width, int height);

    Lv2PluginHost& plugin_;
    std::string error_;
    Display* display_ = nullptr;
    Window parent_ = 0;
    Window widget_ = 0;
    SuilHost* host_ = nullptr;
    SuilInstance* ui_ = nullptr;
    const LV2UI_Idle_Interface* idle_ = nullptr;
    LV2UI_Resize resize_{};
    int width_ = 0, height_ = 0;
    std::vector<PortWrite> writes_;
    std::vector<Touch> touches_;
};

} // namespace lv2_ui_test
