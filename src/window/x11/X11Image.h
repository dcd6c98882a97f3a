#pragma once
// Copies parts of a drawing-library surface (premultiplied ARGB, drawn over opaque black so every
// pixel is opaque) to an X drawable of any TrueColor visual, through an XImage in the visual's own
// pixel format.

#include "graphics/Geometry.h"
#include "graphics/Surface.h"

#include <X11/Xlib.h>

namespace platform::x11 {

class X11Image {
public:
    // Learns the pixel format of the visual at that depth; false for visuals that are not
    // TrueColor (no channel masks), which the editor does not draw on.
    bool Init(Display* display, Visual* visual, int depth);
    // Copies the area of the surface (clipped to it) to the drawable with its top-left corner at
    // (x, y) of the drawable. The caller traps errors.
    void Put(Drawable drawable, GC gc, const graphics::Surface& surface, const graphics::Rect& area,
             int x, int y) const;

private:
    struct Channel {
        unsigned long mask = 0;
        int shift = 0; // position of the mask's lowest bit
        int bits = 0;  // width of the mask
    };
    static Channel ChannelOf(unsigned long mask);
    unsigned long PixelOf(std::uint32_t argb) const;

    Display* display_ = nullptr;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    Channel red_, green_, blue_;
    bool plain32_ = false; // 0x00RRGGBB in 32-bit pixels: rows are copied as they are
};

} // namespace platform::x11
