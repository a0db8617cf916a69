#include "EtcCodec.h"

#include "BlockLayout.h"
#include "EacBlock.h"
#include "EacEncoder.h"
#include "Etc1Block.h"
#include "Etc1Encoder.h"
#include "Etc2Block.h"
#include "Etc2Encoder.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace etc {

namespace {

int blocksAcross(int pixels) { return (pixels + 3) / 4; }

// The block at (blockX, blockY); texels past the image's edge repeat its last row or column.
PixelBlock readBlock(const Image& image, int blockX, int blockY)
{
    PixelBlock block;
    for (int i = 0; i < texelsPerBlock; ++i) {
        const int x = std::min(blockX * 4 + (i & 3), image.width - 1);
        const int y = std::min(blockY * 4 + (i >> 2), image.height - 1);
        const std::uint8_t* texel = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
        std::copy(texel, texel + 4, block.rgba[i]);
    }
    return block;
}

bool isEac(Format format)
{
    return format == Format::R11 || format == Format::SignedR11 || format == Format::Rg11 ||
        format == Format::SignedRg11;
}

EacVariant eacVariantOf(const FormatInfo& info)
{
    return info.isSigned ? EacVariant::Signed11 : EacVariant::Unsigned11;
}

// The RGBA8 alpha block, from the bytes.
std::uint64_t encodeAlphaBlock(const PixelBlock& block, const SearchSettings& settings)
{
    int samples[texelsPerBlock];
    for (int i = 0; i < texelsPerBlock; ++i) {
        samples[i] = block.rgba[i][3] * 257;
    }
    return encodeEacBlock(samples, EacVariant::Alpha8, settings.alphaEac);
}

// The R11 and RG11 blocks at (blockX, blockY), from the channels at full precision; edges
// repeat as in readBlock.
void encodeElevenBitBlocks(const Image& image, int blockX, int blockY, const FormatInfo& info,
                           const SearchSettings& settings, std::uint8_t* out)
{
    for (int channel = 0; channel < info.channels; ++channel) {
        int samples[texelsPerBlock];
        for (int i = 0; i < texelsPerBlock; ++i) {
            const int x = std::min(blockX * 4 + (i & 3), image.width - 1);
            const int y = std::min(blockY * 4 + (i >> 2), image.height - 1);
            samples[i] = image.wideChannel(static_cast<std::size_t>(y) * image.width + x, channel);
        }
        writeBlockWord(encodeEacBlock(samples, eacVariantOf(info), settings.elevenBitEac), out + 8 * channel);
    }
}

// Writes the 8 or 16 bytes of one block.
void encodeBlock(const PixelBlock& block, const FormatInfo& info, const SearchSettings& settings, std::uint8_t* out)
{
    switch (info.format) {
    case Format::Etc1:
        writeBlockWord(encodeEtc1Block(block, settings), out);
        return;
    case Format::Rgb8:
    case Format::Srgb8:
        writeBlockWord(encodeEtc2Block(block, settings), out);
        return;
    case Format::Rgba8:
    case Format::Srgb8Alpha8:
        writeBlockWord(encodeAlphaBlock(block, settings), out);
        writeBlockWord(encodeEtc2Block(block, settings), out + 8);
        return;
    case Format::Rgb8Punchthrough:
    case Format::Srgb8Punchthrough:
        writeBlockWord(encodePunchthroughBlock(block, settings), out);
        return;
    case Format::R11:
    case Format::SignedR11:
    case Format::Rg11:
    case Format::SignedRg11:
        break; // encodeElevenBitBlocks
    }
}

struct DecodedBlock {
    PixelBlock rgba;
    int eac[2][texelsPerBlock];
};

void decodeEacChannels(const std::uint8_t* in, const FormatInfo& info, DecodedBlock& out)
{
    const EacVariant variant = eacVariantOf(info);
    for (int channel = 0; channel < info.channels; ++channel) {
        decodeEac(readBlockWord(in + 8 * channel), variant, out.eac[channel]);
    }
    for (int i = 0; i < texelsPerBlock; ++i) {
        std::uint8_t* texel = out.rgba.rgba[i];
        texel[0] = static_cast<std::uint8_t>(byteFromEacValue(variant, out.eac[0][i]));
        texel[1] = info.channels == 2 ? static_cast<std::uint8_t>(byteFromEacValue(variant, out.eac[1][i])) : 0;
        texel[2] = 0;
        texel[3] = 255;
    }
}

void decodeBlock(const std::uint8_t* in, const FormatInfo& info, DecodedBlock& out)
{
    switch (info.format) {
    case Format::Etc1:
        decodeEtc1Block(readBlockWord(in), out.rgba);
        return;
    case Format::Rgb8:
    case Format::Srgb8:
        decodeEtc2Block(readBlockWord(in), out.rgba);
        return;
    case Format::Rgba8:
    case Format::Srgb8Alpha8: {
        int alpha[texelsPerBlock];
        decodeEac(readBlockWord(in), EacVariant::Alpha8, alpha);
        decodeEtc2Block(readBlockWord(in + 8), out.rgba);
        for (int i = 0; i < texelsPerBlock; ++i) {
            out.rgba.rgba[i][3] = static_cast<std::uint8_t>(alpha[i]);
        }
        return;
    }
    case Format::Rgb8Punchthrough:
    case Format::Srgb8Punchthrough:
        decodePunchthroughBlock(readBlockWord(in), out.rgba);
        return;
    case Format::R11:
    case Format::SignedR11:
    case Format::Rg11:
    case Format::SignedRg11:
        decodeEacChannels(in, info, out);
        return;
    }
}

} // namespace

std::size_t payloadSize(Format format, int width, int height)
{
    if (width <= 0 || height <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(blocksAcross(width)) * blocksAcross(height) * formatInfo(format).blockBytes;
}

std::vector<std::uint8_t> encodeImage(const Image& image, Format format, const EncodeOptions& options)
{
    std::vector<std::uint8_t> payload(payloadSize(format, image.width, image.height));
    if (payload.empty()) {
        return payload;
    }
    const FormatInfo& info = formatInfo(format);
    const SearchSettings& settings = searchSettings(options.effort);
    const int columns = blocksAcross(image.width);
    const int rows = blocksAcross(image.height);
    const auto encodeRow = [&](int by) {
        std::uint8_t* out = payload.data() + static_cast<std::size_t>(by) * columns * info.blockBytes;
        for (int bx = 0; bx < columns; ++bx) {
            if (isEac(format)) {
                encodeElevenBitBlocks(image, bx, by, info, settings, out);
            } else {
                encodeBlock(readBlock(image, bx, by), info, settings, out);
            }
            out += info.blockBytes;
        }
    };
    // Rows go to whichever thread asks next, at least 8 blocks at a time so that threads seldom
    // write the same cache line; no more, since the strong searches spend very different times
    // on different blocks. Only the calling thread reports progress.
    const int rowsPerClaim = options.threads > 1 ? std::max(1, 8 / columns) : 1;
    std::atomic<int> nextRow{0};
    std::atomic<int> rowsDone{0};
    int rowsReported = 0;
    const auto encodeRows = [&](bool reportsProgress) {
        for (int first = nextRow.fetch_add(rowsPerClaim); first < rows; first = nextRow.fetch_add(rowsPerClaim)) {
            const int end = std::min(first + rowsPerClaim, rows);
            for (int by = first; by < end; ++by) {
                encodeRow(by);
            }
            const int done = rowsDone.fetch_add(end - first) + end - first;
            if (reportsProgress && options.progress) {
                options.progress(done, rows);
                rowsReported = done;
            }
        }
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < std::min(options.threads, rows); ++i) {
        helpers.emplace_back(encodeRows, false);
    }
    encodeRows(true);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (rowsReported < rows && options.progress) {
        options.progress(rows, rows);
    }
    return payload;
}

DecodedImage decodeImage(const std::uint8_t* payload, Format format, int width, int height)
{
    const FormatInfo& info = formatInfo(format);
    DecodedImage decoded;
    decoded.rgba.width = width;
    decoded.rgba.height = height;
    if (width <= 0 || height <= 0) {
        return decoded;
    }
    decoded.rgba.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    if (isEac(format)) {
        decoded.channels = info.channels;
        decoded.eac.resize(static_cast<std::size_t>(width) * height * info.channels);
    }
    const int columns = blocksAcross(width);
    const int rows = blocksAcross(height);
    DecodedBlock block;
    for (int by = 0; by < rows; ++by) {
        for (int bx = 0; bx < columns; ++bx) {
            decodeBlock(payload, info, block);
            payload += info.blockBytes;
            for (int i = 0; i < texelsPerBlock; ++i) {
                const int x = bx * 4 + (i & 3);
                const int y = by * 4 + (i >> 2);
                if (x >= width || y >= height) {
                    continue;
                }
                const std::size_t texel = static_cast<std::size_t>(y) * width + x;
                std::copy(block.rgba.rgba[i], block.rgba.rgba[i] + 4, &decoded.rgba.rgba[texel * 4]);
                for (int c = 0; c < decoded.channels; ++c) {
                    decoded.eac[texel * decoded.channels + c] = static_cast<std::int16_t>(block.eac[c][i]);
                }
            }
        }
    }
    return decoded;
}

} // namespace etc
