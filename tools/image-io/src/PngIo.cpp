#include "PngIo.h"

#include "AtomicFile.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace imageio {

namespace {

// PKM headers hold 16-bit sizes, so no side can be larger; and a few bytes of header must not
// make the reader ask for gigabytes: 2^28 texels (1 GiB of RGBA) at most.
constexpr png_uint_32 maximumSide = 65535;
constexpr std::uint64_t maximumTexels = std::uint64_t(1) << 28;

// libpng reports errors through a callback that must not return; the message is kept
// here and the callback jumps back to the setjmp in the caller.
struct PngErrorState {
    char message[256] = {};
};

void onPngError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

struct MemoryReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->bytes->size() - reader->offset < length)
        png_error(png, "file is truncated");
    std::memcpy(out, reader->bytes->data() + reader->offset, length);
    reader->offset += length;
}

void writeToMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushMemory(png_structp) {}

// Asks libpng for 8-bit RGBA whatever the stored layout, without gamma processing:
// texture sources are data (heights, normals, alpha), so values pass through unchanged.
// Returns the number of interlace passes to read.
int requestRgba8(png_structp png, png_infop info)
{
    png_byte colourType = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16)
        png_set_scale_16(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (png_get_bit_depth(png, info) < 8)
        png_set_expand(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    else if ((colourType & PNG_COLOR_MASK_ALPHA) == 0)
        png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return passes;
}

// Only plain data lives in this frame: the longjmp out of libpng skips destructors.
bool decodePng(const std::vector<std::uint8_t>& bytes, etc::Image& image, PngErrorState& errorState)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errorState, onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(errorState.message, sizeof errorState.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&bytes, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (info == nullptr)
        png_error(png, "out of memory");
    png_set_user_limits(png, maximumSide, maximumSide);
    png_set_read_fn(png, &reader, readFromMemory);
    png_read_info(png, info);
    int passes = requestRgba8(png, info);

    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (std::uint64_t(width) * height > maximumTexels)
        png_error(png, "image too large");
    if (png_get_rowbytes(png, info) != std::size_t(width) * 4)
        png_error(png, "unexpected row layout");
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgba.assign(std::size_t(width) * height * 4, 0);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, image.rgba.data() + std::size_t(y) * width * 4, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool encodePng(const etc::Image& image, std::vector<std::uint8_t>& out, PngErrorState& errorState)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errorState, onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(errorState.message, sizeof errorState.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (info == nullptr)
        png_error(png, "out of memory");
    png_set_write_fn(png, &out, writeToMemory, flushMemory);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, image.rgba.data() + std::size_t(y) * image.width * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool readPng(const std::string& path, etc::Image& image, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = "'" + path + "' is not a PNG file";
        return false;
    }
    PngErrorState errorState;
    etc::Image decoded;
    if (!decodePng(bytes, decoded, errorState)) {
        error = "Failed to read PNG '" + path + "': " + errorState.message;
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool writePng(const std::string& path, const etc::Image& image, std::string& error)
{
    if (image.width <= 0 || image.height <= 0
        || image.rgba.size() != std::size_t(image.width) * image.height * 4) {
        error = "Cannot write '" + path + "': the image has no pixels or the wrong size";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    PngErrorState errorState;
    if (!encodePng(image, bytes, errorState)) {
        error = "Failed to write PNG '" + path + "': " + errorState.message;
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

} // namespace imageio
