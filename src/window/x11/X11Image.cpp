#include "window/x11/X11Image.h"

#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>

namespace platform::x11 {

X11Image::Channel X11Image::ChannelOf(unsigned long mask) {
    Channel channel;
    channel.mask = mask;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++channel.shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++channel.bits;
    }
    return channel;
}

bool X11Image::Init(Display* display, Visual* visual, int depth) {
    if (!display || !visual || !visual->red_mask || !visual->green_mask || !visual->blue_mask)
        return false;
    display_ = display;
    visual_ = visual;
    depth_ = depth;
    red_ = ChannelOf(visual->red_mask);
    green_ = ChannelOf(visual->green_mask);
    blue_ = ChannelOf(visual->blue_mask);
    plain32_ = (depth == 24 || depth == 32) && visual->red_mask == 0xFF0000 &&
               visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
    return true;
}

unsigned long X11Image::PixelOf(std::uint32_t argb) const {
    auto scale = [](unsigned value, const Channel& channel) -> unsigned long {
        unsigned long v = channel.bits >= 8
                              ? static_cast<unsigned long>(value) << (channel.bits - 8)
                              : value >> (8 - channel.bits);
        return (v << channel.shift) & channel.mask;
    };
    return scale((argb >> 16) & 0xFF, red_) | scale((argb >> 8) & 0xFF, green_) |
           scale(argb & 0xFF, blue_);
}

void X11Image::Put(Drawable drawable, GC gc, const graphics::Surface& surface,
                   const graphics::Rect& requested, int x, int y) const {
    if (!display_) return;
    graphics::Rect area = requested.Intersection(surface.Bounds());
    if (area.Empty()) return;
    int width = area.Width(), height = area.Height();
    XImage* image =
        XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image) return;
    // XDestroyImage frees the data with free().
    image->data =
        static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * height));
    if (!image->data) {
        XDestroyImage(image);
        return;
    }
    bool nativeOrder = image->byte_order == LSBFirst;
    for (int row = 0; row < height; ++row) {
        const std::uint32_t* source = surface.Row(area.top + row) + area.left;
        char* target = image->data + static_cast<std::size_t>(row) * image->bytes_per_line;
        if (plain32_ && image->bits_per_pixel == 32 && nativeOrder) {
            std::memcpy(target, source, static_cast<std::size_t>(width) * 4);
        } else {
            for (int column = 0; column < width; ++column)
                XPutPixel(image, column, row, PixelOf(source[column]));
        }
    }
    XPutImage(display_, drawable, gc, image, 0, 0, x, y, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XDestroyImage(image);
}

} // namespace platform::x11
