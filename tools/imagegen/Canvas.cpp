#include "Canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace imagegen {

Rgba Hex(unsigned rgb, double alpha) {
    return Rgba{((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0,
                alpha};
}

void SetColor(cairo_t* cr, const Rgba& c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

namespace palette {
const Rgba kWindowTop = Hex(0x1b1e22);
const Rgba kWindowBottom = Hex(0x111316);
const Rgba kPlateTop = Hex(0x2a2e34);
const Rgba kPlateBottom = Hex(0x22262b);
const Rgba kPlateEdge = Hex(0x08090b);
const Rgba kPlateHighlight = Hex(0xffffff, 0.07);
const Rgba kLabel = Hex(0xbcc3cc);
const Rgba kLabelDim = Hex(0x8a929c);
const Rgba kHeading = Hex(0xff9a3c);
const Rgba kAccent = Hex(0xff8a24);
const Rgba kAccentDeep = Hex(0xc85a10);
const Rgba kInset = Hex(0x0b0d0f);
const Rgba kInsetEdge = Hex(0x000000, 0.85);
const Rgba kInsetHighlight = Hex(0xffffff, 0.10);
const Rgba kFaceTop = Hex(0x4e545c);
const Rgba kFaceBottom = Hex(0x33373d);
const Rgba kFaceEdge = Hex(0x0a0b0d);
const Rgba kFaceText = Hex(0xdcdcdc);
} // namespace palette

namespace {

const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Bold.ttf",
};

// Loaded once and kept for the generator's run.
cairo_font_face_t* FontFace(Font font) {
    static FT_Library library = nullptr;
    static cairo_font_face_t* faces[5] = {};
    const int index = static_cast<int>(font);
    if (faces[index]) return faces[index];
    if (!library && FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "imagegen: FreeType cannot start\n");
        std::exit(1);
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, kFontFiles[index], 0, &face) != 0) {
        std::fprintf(stderr, "imagegen: cannot load %s (package fonts-liberation)\n",
                     kFontFiles[index]);
        std::exit(1);
    }
    faces[index] = cairo_ft_font_face_create_for_ft_face(face, 0);
    return faces[index];
}

} // namespace

void UseFont(cairo_t* cr, Font font, double size) {
    cairo_set_font_face(cr, FontFace(font));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

int PixelScale(cairo_t* cr) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    // The area scale of the transformation; a rotation alone leaves it at 1.
    const long scale = std::lround(std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx)));
    return scale < 1 ? 1 : static_cast<int>(scale);
}

double SnapToPixel(cairo_t* cr, double v) {
    const int scale = PixelScale(cr);
    return static_cast<double>(static_cast<long>(v * scale + 0.5)) / scale;
}

namespace {

// A scratch context whose transformation is the drawing context's without the generator's
// picture scale: fonts measured there have the metrics of the 1x picture (hinted metrics are
// whole pixels of the picture they are measured for), so that a twice-size picture fits and
// places its texts exactly as the 1x picture does. At 1x it measures as the context itself.
struct PictureMetrics {
    cairo_surface_t* surface;
    cairo_t* cr;
    explicit PictureMetrics(cairo_t* drawing) {
        surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cr = cairo_create(surface);
        cairo_matrix_t m;
        cairo_get_matrix(drawing, &m);
        const double scale = PixelScale(drawing);
        cairo_matrix_t unscaled;
        cairo_matrix_init(&unscaled, m.xx / scale, m.yx / scale, m.xy / scale, m.yy / scale, 0, 0);
        cairo_set_matrix(cr, &unscaled);
    }
    ~PictureMetrics() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    PictureMetrics(const PictureMetrics&) = delete;
    PictureMetrics& operator=(const PictureMetrics&) = delete;
};

} // namespace

double TextWidth(cairo_t* cr, const TextLook& look, const std::string& text) {
    UseFont(cr, look.font, look.size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    const double tracking = text.empty() ? 0 : look.tracking * (text.size() - 1);
    return extents.x_advance + tracking;
}

double DrawText(cairo_t* cr, TextLook look, const std::string& text, const graphics::Rect& box) {
    if (text.empty()) return 0;
    // The size and the vertical place come from the 1x picture's metrics, whatever the scale.
    PictureMetrics picture(cr);
    double fitted = TextWidth(picture.cr, look, text);
    while (fitted > box.Width() && look.size > 6) {
        look.size -= 0.5;
        look.tracking *= 0.8;
        fitted = TextWidth(picture.cr, look, text);
    }
    cairo_font_extents_t font;
    UseFont(picture.cr, look.font, look.size);
    cairo_font_extents(picture.cr, &font);
    // The width as drawn at this scale, for the horizontal alignment.
    const double width = TextWidth(cr, look, text);
    UseFont(cr, look.font, look.size);
    double x = box.left;
    if (look.align == Align::Center) x = box.left + (box.Width() - width) / 2.0;
    if (look.align == Align::Right) x = box.right - width;
    // Centre the capital height rather than ascent + descent: the labels are mostly capitals
    // and digits, and this keeps them visually in the middle of their box.
    const double capHeight = font.ascent * 0.72;
    const double baseline = SnapToPixel(cr, box.top + (box.Height() + capHeight) / 2.0);
    x = SnapToPixel(cr, x);
    SetColor(cr, look.color);
    if (look.tracking == 0) {
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, text.c_str());
        return width;
    }
    for (char ch : text) {
        const char one[2] = {ch, 0};
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, one);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, one, &extents);
        x += extents.x_advance + look.tracking;
    }
    return width;
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double pi = 3.14159265358979323846;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -pi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, pi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, pi / 2, pi);
    cairo_arc(cr, x + radius, y + radius, radius, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void RoundedRect(cairo_t* cr, const graphics::Rect& r, double inset, double radius) {
    RoundedRect(cr, r.left + inset, r.top + inset, r.Width() - 2 * inset, r.Height() - 2 * inset,
                radius);
}

void VerticalGradient(cairo_t* cr, double y0, double y1, const Rgba& top, const Rgba& bottom) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(pattern, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(pattern, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

void InsetField(cairo_t* cr, const graphics::Rect& r, int grow, double radius) {
    const double x = r.left - grow, y = r.top - grow;
    const double w = r.Width() + 2 * grow, h = r.Height() + 2 * grow;
    // Light lip below, dark body, dark edge above: light falls from the top.
    RoundedRect(cr, x - 0.5, y - 0.5, w + 1, h + 1.5, radius + 0.5);
    SetColor(cr, palette::kInsetHighlight);
    cairo_fill(cr);
    RoundedRect(cr, x, y, w, h, radius);
    VerticalGradient(cr, y, y + h, Hex(0x07080a), palette::kInset);
    cairo_fill_preserve(cr);
    SetColor(cr, palette::kInsetEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void RaisedPlate(cairo_t* cr, const graphics::Rect& r, double radius) {
    // A soft shadow first, then the plate.
    RoundedRect(cr, r.left + 1, r.top + 2, r.Width(), r.Height(), radius + 1);
    SetColor(cr, Hex(0x000000, 0.35));
    cairo_fill(cr);
    RoundedRect(cr, r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1, radius);
    VerticalGradient(cr, r.top, r.bottom, palette::kPlateTop, palette::kPlateBottom);
    cairo_fill_preserve(cr);
    SetColor(cr, palette::kPlateEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    RoundedRect(cr, r.left + 1.5, r.top + 1.5, r.Width() - 3, r.Height() - 3, radius - 1);
    SetColor(cr, palette::kPlateHighlight);
    cairo_stroke(cr);
}

void ButtonFace(cairo_t* cr, double x, double y, double w, double h, bool pressed, double radius) {
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    if (pressed) {
        VerticalGradient(cr, y, y + h, Hex(0x24272b), Hex(0x353a40));
    } else {
        VerticalGradient(cr, y, y + h, palette::kFaceTop, palette::kFaceBottom);
    }
    cairo_fill_preserve(cr);
    SetColor(cr, palette::kFaceEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Highlight along the lit edge: the top when raised, the bottom when pressed in.
    cairo_set_line_width(cr, 1);
    if (pressed) {
        cairo_move_to(cr, x + radius, y + h - 1.5);
        cairo_line_to(cr, x + w - radius, y + h - 1.5);
        SetColor(cr, Hex(0xffffff, 0.08));
    } else {
        cairo_move_to(cr, x + radius, y + 1.5);
        cairo_line_to(cr, x + w - radius, y + 1.5);
        SetColor(cr, Hex(0xffffff, 0.22));
    }
    cairo_stroke(cr);
}

cairo_surface_t* NewSurface(int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "imagegen: cannot create a %d x %d surface\n", width, height);
        std::exit(1);
    }
    return surface;
}

// Written with libpng rather than cairo's own writer, which drops the alpha channel of images
// that happen to be opaque; the editor's images always carry one.
bool WritePng(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || width <= 0 || height <= 0) return false;
    // Cairo keeps premultiplied 0xAARRGGBB words; PNG wants straight R, G, B, A bytes.
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = row[x];
            const unsigned a = p >> 24;
            unsigned char* out = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const unsigned v = (p >> (16 - 8 * c)) & 255;
                out[c] = static_cast<unsigned char>(a == 0 ? 0 : (v * 255 + a / 2) / a);
            }
            out[3] = static_cast<unsigned char>(a);
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    const int ok = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
    png_image_free(&image);
    return ok != 0;
}

} // namespace imagegen
