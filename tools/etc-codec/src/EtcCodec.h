#ifndef ETC_CODEC_H
#define ETC_CODEC_H

#include "EtcFormat.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace etc {

// 8-bit RGBA pixels, rows from the top, no padding. Every encoder reads `rgba`; the EAC
// formats take R (and G) at full precision through wideChannel. The signed formats map a
// channel value c to c / 255 * 2 - 1 (c / 65535 * 2 - 1 on the wide scale), so the same
// picture serves both variants.
struct Image {
    Image() = default;
    // An 8-bit picture.
    Image(int pixelsAcross, int pixelsDown, std::vector<std::uint8_t> pixels)
        : width(pixelsAcross), height(pixelsDown), rgba(std::move(pixels))
    {
    }

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    // 16-bit sources keep their values here, laid out as `rgba` (whose bytes are these
    // rounded); empty for 8-bit sources. Whatever edits `rgba` clears it.
    std::vector<std::uint16_t> rgba16;

    // One channel value on the 16-bit scale 0..65535: the 16-bit source value, or the byte
    // times 257 (which maps 255 to 65535).
    int wideChannel(std::size_t texel, int channel) const
    {
        const std::size_t at = texel * 4 + static_cast<std::size_t>(channel);
        return rgba16.size() == rgba.size() ? rgba16[at] : rgba[at] * 257;
    }
};

// What a GL decoder yields for one texture. `rgba` is the displayable picture for every
// format (EAC: R, G as 8-bit with B = 0, A = 255; signed values mapped back to 0..255);
// for the EAC formats `eac` holds the exact 11-bit values, `channels` per texel
// (unsigned 0..2047, signed -1023..1023).
struct DecodedImage {
    Image rgba;
    int channels = 0;
    std::vector<std::int16_t> eac;
};

// How hard the block searches look; every level decodes the same way, they trade encode time
// for quality:
//   Fast: colour blocks from their mean colours with every modifier table (and T/H
//         distance) scored at once by vector kernels, one base refit; ETC2 tries the plane
//         first and the other modes only where it falls short; the quick EAC search
//         (EacFastEncoder.h). About ten times as fast as default for ETC1 and RGB8, about
//         0.3 dB (ETC1) and 0.9 dB (RGB8) lower.
//   Default: the balance between the two.
//   Best: both flips and individual mode always; ETC1 subblock base colours searched exactly
//         (but for clamping) around the halves' means and stepped on the exact error where the
//         palette clamps; ETC2 subblocks searched completely after the other modes, only for
//         what beats them; T/H colours and planar corners stepped on the exact error; more T/H
//         splits, every EAC multiplier.
//   Exhaustive: every subblock-mode block (the least error there is, CompleteSubblockSearch.h),
//         searched after the other ETC2 modes and only for what beats them; more T/H splits
//         and every T/H distance refined; the EAC search of best.
enum class Effort { Fast, Default, Best, Exhaustive };

// The efforts by their command-line names, weakest first.
const std::vector<std::pair<Effort, const char*>>& allEfforts();
const char* effortName(Effort effort);
// Null when no effort has that name.
const Effort* findEffortByName(std::string_view name);

struct EncodeOptions {
    Effort effort = Effort::Default;
    // Worker threads; blocks are encoded independently, so the bytes do not depend on it.
    int threads = 1;
    // Called now and then, from the calling thread, with the number of block rows done and the total.
    std::function<void(int done, int total)> progress;
};

// Payload size in bytes for an image of that size: whole 4 x 4 blocks.
std::size_t payloadSize(Format format, int width, int height);

// Blocks in raster order, each 64-bit word big-endian, 16-byte blocks with the alpha (or R)
// block first: the layout glCompressedTexImage2D and PKM files use.
std::vector<std::uint8_t> encodeImage(const Image& image, Format format, const EncodeOptions& options = {});

// `payload` must hold payloadSize(format, width, height) bytes.
DecodedImage decodeImage(const std::uint8_t* payload, Format format, int width, int height);

} // namespace etc

#endif
