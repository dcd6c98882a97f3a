#include "graphics/PngCodec.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace graphics {

namespace {

struct ReadCursor {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* cursor = static_cast<ReadCursor*>(png_get_io_ptr(png));
    if (count > cursor->size - cursor->position) png_error(png, "truncated");
    std::memcpy(out, cursor->data + cursor->position, count);
    cursor->position += count;
}

void WriteToMemory(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

// libpng reports errors by longjmp back into the function that set the jump; warnings are
// ignored so that nothing is printed from inside a host.
void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Reads into straight RGBA rows. Kept free of objects with destructors between setjmp and the
// last libpng call, as longjmp requires.
bool ReadRgba(png_structp png, png_infop info, ReadCursor* cursor, std::vector<png_byte>& pixels,
              std::vector<png_bytep>& rows, png_uint_32& width, png_uint_32& height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, cursor, ReadFromMemory);
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_set_chunk_malloc_max(png, 8 * 1024 * 1024);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (width == 0 || height == 0 ||
        static_cast<long long>(width) * static_cast<long long>(height) > kMaxPngPixels)
        return false;
    int colorType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    // Everything becomes 8-bit RGBA; no gamma conversion, so no floating point is involved.
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) return false;
    pixels.resize(static_cast<std::size_t>(width) * height * 4);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = pixels.data() + static_cast<std::size_t>(y) * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool WriteRgba(png_structp png, png_infop info, std::vector<std::uint8_t>* out,
               std::vector<png_bytep>& rows, png_uint_32 width, png_uint_32 height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, WriteToMemory, FlushNothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    return true;
}

} // namespace

bool DecodePng(const unsigned char* data, std::size_t size, Surface& image) {
    image.Resize(0, 0);
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    ReadCursor cursor{data, size, 0};
    std::vector<png_byte> pixels;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0, height = 0;
    bool ok = ReadRgba(png, info, &cursor, pixels, rows, width, height);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) return false;
    image.Resize(static_cast<int>(width), static_cast<int>(height));
    for (int y = 0; y < image.Height(); ++y) {
        const png_byte* in = pixels.data() + static_cast<std::size_t>(y) * width * 4;
        std::uint32_t* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x, in += 4)
            row[x] = Premultiply(Color(in[3], in[0], in[1], in[2]));
    }
    return true;
}

bool EncodePng(const Surface& image, std::vector<std::uint8_t>& png) {
    png.clear();
    if (image.Empty()) return false;
    auto width = static_cast<png_uint_32>(image.Width());
    auto height = static_cast<png_uint_32>(image.Height());
    std::vector<png_byte> pixels(static_cast<std::size_t>(width) * height * 4);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_byte* out = pixels.data() + static_cast<std::size_t>(y) * width * 4;
        rows[y] = out;
        const std::uint32_t* row = image.Row(static_cast<int>(y));
        for (png_uint_32 x = 0; x < width; ++x, out += 4) {
            Color c = Unpremultiply(row[x]);
            out[0] = c.r;
            out[1] = c.g;
            out[2] = c.b;
            out[3] = c.a;
        }
    }
    png_structp writer =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!writer) return false;
    png_infop info = png_create_info_struct(writer);
    if (!info) {
        png_destroy_write_struct(&writer, nullptr);
        return false;
    }
    bool ok = WriteRgba(writer, info, &png, rows, width, height);
    png_destroy_write_struct(&writer, &info);
    if (!ok) png.clear();
    return ok;
}

bool SavePng(const Surface& image, const std::string& path) {
    std::vector<std::uint8_t> png;
    if (!EncodePng(image, png)) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    bool closed = std::fclose(file) == 0;
    if (!(written && closed)) std::remove(path.c_str());
    return written && closed;
}

} // namespace graphics
