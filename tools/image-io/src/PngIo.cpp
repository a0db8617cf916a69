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
// The same for ancillary chunks (text, ICC profiles, unknown chunks), which libpng would
// otherwise allocate as large as their length field claims, and keep in any number: no
// texture source needs more than this.
constexpr png_alloc_size_t maximumChunkBytes = 8 << 20;
constexpr png_uint_32 maximumCachedChunks = 256;
// Deflate expands its input at most 1032 times: a file whose image data is shorter than that
// share of the raster cannot hold it, and is rejected before the raster is allocated.
constexpr std::uint64_t maximumDeflateRatio = 1032;

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

void onPngWarning(png_structp, png_const_charp) { }

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

void flushMemory(png_structp) { }

std::uint32_t bigEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

// What the chunk headers say, read before libpng allocates anything for a chunk: it would
// take a length field of 2 GiB at its word.
struct ChunkLayout {
    std::uint64_t imageDataBytes = 0;
    bool overrunsFile = false;
};

ChunkLayout readChunkLayout(const std::vector<std::uint8_t>& bytes)
{
    ChunkLayout layout;
    for (std::size_t offset = 8; bytes.size() - offset >= 8;) {
        const std::uint64_t length = bigEndian32(&bytes[offset]);
        const bool imageData = std::memcmp(&bytes[offset + 4], "IDAT", 4) == 0;
        if (length + 12 > bytes.size() - offset) {
            layout.overrunsFile = true;
            break;
        }
        if (std::memcmp(&bytes[offset + 4], "IEND", 4) == 0)
            break;
        layout.imageDataBytes += imageData ? length : 0;
        offset += length + 12;
    }
    return layout;
}

std::uint64_t storedRasterBytes(png_structp png, png_infop info)
{
    const std::uint64_t bitsPerPixel = std::uint64_t(png_get_bit_depth(png, info)) * png_get_channels(png, info);
    return (std::uint64_t(png_get_image_width(png, info)) * png_get_image_height(png, info) * bitsPerPixel + 7) / 8;
}

// Asks libpng for RGBA at the stored depth (8 bits, or 16 for 16-bit sources) whatever the
// stored layout, without gamma processing: texture sources are data (heights, normals,
// alpha), so values pass through unchanged. Returns the number of interlace passes to read.
int requestRgba(png_structp png, png_infop info)
{
    png_byte colourType = png_get_color_type(png, info);
    const bool sixteenBits = png_get_bit_depth(png, info) == 16;
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (png_get_bit_depth(png, info) < 8)
        png_set_expand(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    else if ((colourType & PNG_COLOR_MASK_ALPHA) == 0)
        png_set_add_alpha(png, sixteenBits ? 0xffff : 0xff, PNG_FILLER_AFTER);
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return passes;
}

// 16-bit rows as libpng hands them over (big-endian) into the wide plane, and each value
// rounded to the nearest byte into `rgba`.
void storeSixteenBitRaster(const std::vector<std::uint8_t>& raster, etc::Image& image)
{
    image.rgba16.resize(raster.size() / 2);
    for (std::size_t i = 0; i < image.rgba16.size(); ++i) {
        const unsigned value = unsigned(raster[i * 2]) << 8 | raster[i * 2 + 1];
        image.rgba16[i] = std::uint16_t(value);
        image.rgba[i] = std::uint8_t((value * 255 + 32767) / 65535);
    }
}

// Only plain data lives in this frame: the longjmp out of libpng skips destructors. 16-bit
// rows are read into `wideRaster`, which the caller owns for that reason.
bool decodeWithLibpng(const std::vector<std::uint8_t>& bytes, etc::Image& image, std::vector<std::uint8_t>& wideRaster,
                      PngErrorState& errorState)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errorState, onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(errorState.message, sizeof errorState.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&bytes, 0};
    const ChunkLayout layout = readChunkLayout(bytes);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (info == nullptr)
        png_error(png, "out of memory");
    if (layout.overrunsFile)
        png_error(png, "file is truncated");
    png_set_user_limits(png, maximumSide, maximumSide);
    png_set_chunk_malloc_max(png, maximumChunkBytes);
    png_set_chunk_cache_max(png, maximumCachedChunks);
    png_set_read_fn(png, &reader, readFromMemory);
    png_read_info(png, info);
    const std::uint64_t rasterBytes = storedRasterBytes(png, info);
    int passes = requestRgba(png, info);
    const std::size_t bytesPerTexel = png_get_bit_depth(png, info) == 16 ? 8 : 4;

    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (std::uint64_t(width) * height > maximumTexels)
        png_error(png, "image too large");
    if (rasterBytes > layout.imageDataBytes * maximumDeflateRatio)
        png_error(png, "Not enough image data");
    if (png_get_rowbytes(png, info) != std::size_t(width) * bytesPerTexel)
        png_error(png, "unexpected row layout");
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgba.assign(std::size_t(width) * height * 4, 0);
    std::vector<std::uint8_t>& raster = bytesPerTexel == 4 ? image.rgba : wideRaster;
    raster.assign(std::size_t(width) * height * bytesPerTexel, 0);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, raster.data() + std::size_t(y) * width * bytesPerTexel, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    if (bytesPerTexel == 8)
        storeSixteenBitRaster(raster, image);
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

bool decodePng(const std::vector<std::uint8_t>& bytes, etc::Image& image, std::string& reason)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        reason = "not a PNG file";
        return false;
    }
    PngErrorState errorState;
    etc::Image decoded;
    std::vector<std::uint8_t> wideRaster;
    if (!decodeWithLibpng(bytes, decoded, wideRaster, errorState)) {
        reason = errorState.message;
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool readPng(const std::string& path, etc::Image& image, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    std::string reason;
    if (!decodePng(bytes, image, reason)) {
        error = readFailure(path, reason);
        return false;
    }
    return true;
}

bool writePng(const std::string& path, const etc::Image& image, std::string& error)
{
    if (image.width <= 0 || image.height <= 0 || image.rgba.size() != std::size_t(image.width) * image.height * 4) {
        error = writeFailure(path, "the image has no pixels or the wrong size");
        return false;
    }
    std::vector<std::uint8_t> bytes;
    PngErrorState errorState;
    if (!encodePng(image, bytes, errorState)) {
        error = writeFailure(path, errorState.message);
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

} // namespace imageio
