#pragma once
// The instrument linked into the test itself, for what the embedded editor is compared with: the
// offscreen render of the same parameter values (the vorna screenshot's picture), and where the
// editor's controls are.

#include "graphics/Control.h"
#include "graphics/Surface.h"
#include "host/PluginBase.h"

#include <memory>
#include <string>

namespace lv2_ui_test {

class OffscreenReference {
public:
    OffscreenReference();
    ~OffscreenReference();

    // A parameter set as a host sets a port: in the parameter's units.
    void SetParam(int index, float value);
    // The editor drawn offscreen, saved to the PNG file and read back; empty on failure.
    graphics::Surface Picture(const std::string& pngPath);
    // The first control of the given type bound to the parameter or button id; null for none.
    template <class T> T* Find(int id) const {
        for (int i = 0; i < ControlCount(); ++i)
            if (T* typed = dynamic_cast<T*>(Control(i)); typed && typed->ParamIndex() == id)
                return typed;
        return nullptr;
    }
    // The first control of the given type.
    template <class T> T* FindFirst() const {
        for (int i = 0; i < ControlCount(); ++i)
            if (T* typed = dynamic_cast<T*>(Control(i))) return typed;
        return nullptr;
    }
    static int CenterX(const graphics::Control& control) {
        return (control.TargetRect().left + control.TargetRect().right) / 2;
    }
    static int CenterY(const graphics::Control& control) {
        return (control.TargetRect().top + control.TargetRect().bottom) / 2;
    }

private:
    int ControlCount() const;
    graphics::Control* Control(int index) const;

    std::unique_ptr<host::PluginBase> core_;
};

// Pixels that are not plain black (under the editor's background image there is only black).
int CountDrawnPixels(const graphics::Surface& picture);
// Pixels whose colours differ.
int CountDifferentPixels(const graphics::Surface& a, const graphics::Surface& b);

} // namespace lv2_ui_test
