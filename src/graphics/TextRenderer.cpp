#include "graphics/TextRenderer.h"

#include "graphics/Scale.h"
#include "platform/Mutex.h"
#include "platform/Resources.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

namespace graphics {

namespace {

constexpr int kMinPixelSize = 1;
constexpr int kMaxPixelSize = 256;
constexpr std::size_t kMaxCachedGlyphs = 4096;

struct Glyph {
    int left = 0; // bitmap offset from the pen position
    int top = 0;  // bitmap top above the baseline
    int width = 0;
    int rows = 0;
    long advance = 0; // 26.6 pixels
    std::vector<unsigned char> coverage;
};

struct Face {
    FT_Face face = nullptr;
    int size = 0; // size currently set on the face, 26.6 pixels per em
};

// FreeType state for the process: one library, the embedded faces and a glyph cache. Text is
// drawn only on user-interface threads, but several instances may live on different ones, so a
// lock guards it all.
class FontStore {
public:
    static FontStore& Instance() {
        static FontStore store;
        return store;
    }

    platform::RecursiveMutex& Mutex() { return mutex_; }

    // Bounds the cache: texts from files may hold any code point. Called before a layout, never
    // while one holds pointers into the cache.
    void TrimGlyphs() {
        if (glyphs_.size() > kMaxCachedGlyphs) glyphs_.clear();
    }

    // The face for a resource key, loaded on first use; null when it cannot be loaded.
    Face* FaceFor(const char* key) {
        auto found = faces_.find(key);
        if (found != faces_.end()) return found->second.face ? &found->second : nullptr;
        Face& entry = faces_[key];
        platform::Resource resource;
        if (library_ && platform::FindResource("FONT", key, resource) && resource.size > 0) {
            FT_Face face = nullptr;
            if (FT_New_Memory_Face(library_, resource.data, static_cast<FT_Long>(resource.size), 0,
                                   &face) == 0)
                entry.face = face;
        }
        return entry.face ? &entry : nullptr;
    }

    // size: 26.6 pixels per em. Whole sizes go through the pixel-size call, as they always did;
    // the fractional sizes of the scaled editor through the 72-dpi character size, which is the
    // same measure.
    bool SetSize(Face& face, int size, long& ascender) {
        if (face.size != size) {
            FT_Error error =
                size % 64 == 0
                    ? FT_Set_Pixel_Sizes(face.face, 0, static_cast<FT_UInt>(size / 64))
                    : FT_Set_Char_Size(face.face, 0, static_cast<FT_F26Dot6>(size), 72, 72);
            if (error != 0) return false;
            face.size = size;
        }
        // FreeType rounds the ascender up to a whole pixel. At a whole size that is the baseline
        // the editor was laid out with; at a fractional size the rounding would push the text
        // down by up to a pixel more than the scale does (at 150 % the descenders of the name
        // display left their field), so the exact ascender is kept and rounded to the nearest.
        ascender = size % 64 == 0
                       ? face.face->size->metrics.ascender
                       : FT_MulFix(face.face->ascender, face.face->size->metrics.y_scale);
        return true;
    }

    // The rendered glyph of a code point (an empty glyph when the font has none).
    const Glyph& GlyphFor(Face& face, const char* key, int size, unsigned codePoint) {
        auto id = std::make_tuple(std::string(key), size, codePoint);
        auto found = glyphs_.find(id);
        if (found != glyphs_.end()) return found->second;
        Glyph& glyph = glyphs_[id];
        long ascender = 0;
        if (!SetSize(face, size, ascender)) return glyph;
        FT_UInt index = FT_Get_Char_Index(face.face, codePoint);
        if (FT_Load_Glyph(face.face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
            return glyph;
        FT_GlyphSlot slot = face.face->glyph;
        glyph.advance = slot->advance.x;
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = static_cast<int>(bitmap.width);
        glyph.rows = static_cast<int>(bitmap.rows);
        glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
        for (int y = 0; y < glyph.rows; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
            std::copy(row, row + glyph.width,
                      glyph.coverage.begin() + static_cast<std::ptrdiff_t>(y) * glyph.width);
        }
        return glyph;
    }

private:
    FontStore() {
        if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    }
    // Lives until the library is unloaded; the faces go with the FreeType library.
    ~FontStore() {
        if (library_) FT_Done_FreeType(library_);
    }

    platform::RecursiveMutex mutex_;
    FT_Library library_ = nullptr;
    std::map<std::string, Face> faces_;
    std::map<std::tuple<std::string, int, unsigned>, Glyph> glyphs_;
};

struct Layout {
    std::vector<const Glyph*> glyphs;
    std::vector<int> x; // pen position of each glyph, whole pixels from the text start
    int width = 0;
    int ascender = 0;
};

bool LayOut(FontStore& store, const std::string& text, const TextStyle& style, int scalePercent,
            Layout& layout) {
    const char* key = FontResourceKey(style.font);
    Face* face = store.FaceFor(key);
    if (!face) return false;
    store.TrimGlyphs();
    // The style's size in pixels at this scale, in 26.6: exact, as offered scales are quarters.
    int size = std::clamp(style.size, kMinPixelSize, kMaxPixelSize) * 64;
    if (IsOfferedScale(scalePercent)) size = size * scalePercent / 100;
    long ascender = 0;
    if (!store.SetSize(*face, size, ascender)) return false;
    layout.ascender = static_cast<int>((ascender + 32) >> 6);
    long pen = 0;
    for (unsigned codePoint : DecodeText(text)) {
        const Glyph& glyph = store.GlyphFor(*face, key, size, codePoint);
        layout.glyphs.push_back(&glyph);
        layout.x.push_back(static_cast<int>((pen + 32) >> 6));
        pen += glyph.advance;
    }
    layout.width = static_cast<int>((pen + 32) >> 6);
    return true;
}

// Floor division by 2 that also holds for negative numbers.
int HalfDown(int value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

} // namespace

const char* FontResourceKey(const std::string& fontName) {
    if (fontName == "Courier New") return "LiberationMono-Regular";
    return "LiberationSans-Regular";
}

std::vector<unsigned> DecodeText(const std::string& text) {
    std::vector<unsigned> codePoints;
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        int length = byte >= 0xF0 && byte < 0xF5   ? 4
                     : byte >= 0xE0                ? 3
                     : byte >= 0xC2 && byte < 0xE0 ? 2
                                                   : 1;
        if (byte < 0x80) length = 1;
        unsigned value = length == 4 ? byte & 0x07u : length == 3 ? byte & 0x0Fu : byte & 0x1Fu;
        bool valid = length > 1 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0u) != 0x80u) valid = false;
            value = (value << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values above U+10FFFF are not valid UTF-8.
        if (valid && ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) ||
                      (value >= 0xD800 && value < 0xE000) || value > 0x10FFFF))
            valid = false;
        if (valid) {
            codePoints.push_back(value);
            i += static_cast<std::size_t>(length);
        } else {
            codePoints.push_back(byte);
            ++i;
        }
    }
    return codePoints;
}

int TextWidth(const std::string& text, const TextStyle& style, int scalePercent) {
    FontStore& store = FontStore::Instance();
    platform::ScopedLock lock(store.Mutex());
    Layout layout;
    return LayOut(store, text, style, scalePercent, layout) ? layout.width : 0;
}

void DrawText(Surface& target, const Rect& unitRect, const std::string& text,
              const TextStyle& style) {
    const Rect rect = target.ToDevice(unitRect);
    if (text.empty() || rect.Empty()) return;
    FontStore& store = FontStore::Instance();
    platform::ScopedLock lock(store.Mutex());
    Layout layout;
    if (!LayOut(store, text, style, target.ScalePercent(), layout)) return;
    int startX = rect.left;
    if (style.align == TextAlign::Center)
        startX = rect.left + HalfDown(rect.Width() - layout.width);
    if (style.align == TextAlign::Right) startX = rect.right - layout.width;
    int baseline = rect.top + layout.ascender;

    Rect savedClip = target.Clip();
    target.SetDeviceClip(savedClip.Intersection(rect));
    for (std::size_t g = 0; g < layout.glyphs.size(); ++g) {
        const Glyph& glyph = *layout.glyphs[g];
        int left = startX + layout.x[g] + glyph.left;
        int top = baseline - glyph.top;
        for (int y = 0; y < glyph.rows; ++y) {
            const unsigned char* row =
                glyph.coverage.data() + static_cast<std::size_t>(y) * glyph.width;
            for (int x = 0; x < glyph.width; ++x)
                if (row[x]) target.BlendCoverage(left + x, top + y, style.color, row[x]);
        }
    }
    target.SetDeviceClip(savedClip);
}

} // namespace graphics
