#ifndef ETC_IMAGE_QUALITY_H
#define ETC_IMAGE_QUALITY_H

#include "EtcCodec.h"

// How close a decoded texture comes to its source: PSNR = 10 log10(255^2 / MSE) over 8-bit
// channels, where EAC values count as the 8-bit channel values DecodedImage::rgba holds; and
// for the EAC formats also at their own precision: 10 log10(2047^2 / MSE) over the decoded
// 11-bit values against the source channels at full precision.
namespace etc {

enum ChannelMask : unsigned {
    redChannel = 1,
    greenChannel = 2,
    blueChannel = 4,
    alphaChannel = 8,
    rgbChannels = redChannel | greenChannel | blueChannel,
};

// Infinity for identical channels. With `opaqueOnly`, only texels whose reference alpha is
// 255 count (NaN when there are none).
double psnr(const Image& reference, const Image& decoded, unsigned channels, bool opaqueOnly = false);

// The value an 11-bit EAC channel should reconstruct for a sample on the 16-bit scale
// (Image::wideChannel): s / 65535 * 2047, or for the signed formats (s / 65535 * 2 - 1) * 1023.
double elevenBitTarget(int sample, bool isSigned);

// PSNR with peak 2047 over the R (and G) values of an EAC decode, or over one channel of
// them; infinity where exact.
double elevenBitPsnr(const Image& reference, const DecodedImage& decoded, bool isSigned, int onlyChannel = -1);

// Texels whose decoded alpha lies on the other side of 128 than the reference's.
long alphaClassMismatches(const Image& reference, const Image& decoded);

// The measures a format is judged by.
struct FormatQuality {
    const char* channelsName; // "RGB", "R", "RG"
    double channelsPsnr = 0;
    bool hasElevenBit = false; // the EAC formats: 11-bit PSNR of the same channels
    double elevenBitPsnr = 0;
    bool hasAlpha = false; // the RGBA8 formats: PSNR of A
    double alphaPsnr = 0;
    bool hasAlphaClasses = false; // punchthrough: RGB counts only where alpha is 255
    long alphaMismatches = 0;
};

FormatQuality measureQuality(const Image& reference, const DecodedImage& decoded, Format format);

} // namespace etc

#endif
