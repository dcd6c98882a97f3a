// A preview of the editor put together from the generated images and the control table, for
// looking at the pictures in place before the editor itself draws them: every control shows one
// of its frames (knobs spread over their range), the algorithm highlight and sample field texts.
// With the browser flag the browser overlay is drawn on top. At scale 2 it is put together from the
// twice-size images (the folder's 2x/ subfolder) at twice the size.

#include "Canvas.h"
#include "Preview.h"
#include "editor/ControlLayout.h"
#include "editor/ImageTable.h"

#include <cstdio>
#include <map>

namespace imagegen {

using editor::ControlClass;
using editor::ControlSpec;

namespace {

cairo_surface_t* Load(const std::string& folder, const editor::ImageInfo& info, int scale) {
    const std::string path =
        folder + (scale == 1 ? "" : "/" + std::to_string(scale) + "x") + "/" + info.FileName();
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "imagegen: cannot read %s\n", path.c_str());
        return nullptr;
    }
    return image;
}

// Paints the image (of `scale` pixels per unit) with its top-left corner at (x, y) in units.
void PlaceImage(cairo_t* cr, cairo_surface_t* image, int scale, double x, double y) {
    cairo_translate(cr, x, y);
    cairo_scale(cr, 1.0 / scale, 1.0 / scale);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_paint(cr);
}

void Frame(cairo_t* cr, cairo_surface_t* image, int scale, const editor::ImageInfo& info, int frame,
           const graphics::Rect& at) {
    cairo_save(cr);
    cairo_rectangle(cr, at.left, at.top, info.FrameWidth(), info.FrameHeight());
    cairo_clip(cr);
    PlaceImage(cr, image, scale, at.left, at.top - frame * info.FrameHeight());
    cairo_restore(cr);
}

void SampleText(cairo_t* cr, const ControlSpec& control, const std::string& text) {
    const editor::TextStyleSpec& style = editor::FindTextStyle(control.style);
    TextLook look;
    look.font = std::string(style.font) == "Courier New" ? Font::Mono : Font::Sans;
    look.size = style.size;
    look.color = Rgba{style.color.r / 255.0, style.color.g / 255.0, style.color.b / 255.0,
                      style.color.a / 255.0};
    look.align = style.align == graphics::TextAlign::Center  ? Align::Center
                 : style.align == graphics::TextAlign::Right ? Align::Right
                                                             : Align::Left;
    DrawText(cr, look, text, control.rect.Offset(control.textDx, control.textDy));
}

} // namespace

bool PaintPreview(const std::string& folder, const std::string& out, bool browser, int scale) {
    std::map<int, cairo_surface_t*> images;
    for (int i = 0; i < editor::kImageCount; ++i) {
        const editor::ImageInfo& info = editor::Images()[i];
        cairo_surface_t* image = Load(folder, info, scale);
        if (!image) return false;
        images[info.id] = image;
    }
    cairo_surface_t* surface =
        NewSurface(editor::kEditorWidth * scale, editor::kEditorHeight * scale);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    cairo_save(cr);
    PlaceImage(cr, images[editor::kImageBack], scale, 0, 0);
    cairo_restore(cr);
    int n = 0;
    for (const ControlSpec& control : editor::EditorControls()) {
        if (control.section == editor::Section::Browser && !browser) continue;
        ++n;
        if (control.kind == ControlClass::FBAlgorithm) {
            const graphics::Rect hit = editor::AlgorithmHitRects()[4];
            cairo_rectangle(cr, hit.left, hit.top, hit.Width(), hit.Height());
            cairo_set_source_rgba(cr, 1.0, 128 / 255.0, 32 / 255.0, 160 / 255.0);
            cairo_fill(cr);
        }
        if (control.image != editor::kNoImage) {
            const editor::ImageInfo& info = *editor::FindImage(control.image);
            int frame = 0;
            if (info.frames > 2) frame = (n * 7) % info.frames;
            if (info.frames == 2) frame = (n % 3 == 0) ? 1 : 0;
            if (control.kind == ControlClass::SwitchPopUpControl) frame = control.op * 2 + 1;
            Frame(cr, images[control.image], scale, info, frame, control.rect);
        }
        if (control.caption[0]) SampleText(cr, control, control.caption);
        if (control.kind == ControlClass::FBDropDown) {
            if (control.id == editor::kIdBankNumber || control.id == editor::kIdBrowserBankNumber)
                SampleText(cr, control, "3");
            else if (control.id < 0)
                SampleText(cr, control, "05");
            else
                SampleText(cr, control, control.id == 11 ? "Poly" : "- Linear");
        }
        if (control.kind == ControlClass::FBPresetName) SampleText(cr, control, "Brass 1");
        if (control.kind == ControlClass::FBScrollItemControl && control.item < 12) {
            ControlSpec number = control;
            number.rect = graphics::Rect(control.rect.left, control.rect.top + 1,
                                         control.rect.left + 20, control.rect.bottom);
            SampleText(cr, number,
                       std::to_string(control.list == 0 ? control.item : control.item + 1));
            ControlSpec name = control;
            name.rect = graphics::Rect(control.rect.left + 22, control.rect.top + 1,
                                       control.rect.right - 1, control.rect.bottom);
            SampleText(cr, name, control.list == 0 ? "Factory bank" : "Organ 2");
        }
    }
    // One knob shows its value read-out, as while hovered.
    const ControlSpec* knob = browser ? nullptr : editor::FindControlById(0);
    if (knob) {
        const int cx = knob->rect.left + 20, cy = knob->rect.top + 20;
        cairo_arc(cr, cx, cy, 11, 0, 6.2832);
        cairo_set_source_rgba(cr, 64 / 255.0, 64 / 255.0, 64 / 255.0, 0.6 * 160 / 255.0);
        cairo_fill(cr);
        ControlSpec value = *knob;
        value.rect.top += 13;
        SampleText(cr, value, "99");
    }
    cairo_destroy(cr);
    const bool ok = WritePng(surface, out);
    cairo_surface_destroy(surface);
    for (auto& entry : images) cairo_surface_destroy(entry.second);
    return ok;
}

bool ZoomCrop(const std::string& in, int x, int y, int w, int h, int scale,
              const std::string& out) {
    if (w <= 0 || h <= 0 || scale <= 0 || scale > 16) return false;
    cairo_surface_t* image = cairo_image_surface_create_from_png(in.c_str());
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return false;
    cairo_surface_t* surface = NewSurface(w * scale, h * scale);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, image, -x, -y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_destroy(cr);
    const bool ok = WritePng(surface, out);
    cairo_surface_destroy(surface);
    cairo_surface_destroy(image);
    return ok;
}

} // namespace imagegen
