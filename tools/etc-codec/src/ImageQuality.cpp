#include "ImageQuality.h"

#include <cmath>
#include <limits>

namespace etc {

double psnr(const Image& reference, const Image& decoded, unsigned channels, bool opaqueOnly)
{
    double sum = 0;
    long count = 0;
    const std::size_t texels = static_cast<std::size_t>(reference.width) * reference.height;
    for (std::size_t i = 0; i < texels; ++i) {
        if (opaqueOnly && reference.rgba[i * 4 + 3] != 255) {
            continue;
        }
        for (int c = 0; c < 4; ++c) {
            if ((channels >> c & 1u) == 0) {
                continue;
            }
            const double d = static_cast<double>(reference.rgba[i * 4 + c]) - decoded.rgba[i * 4 + c];
            sum += d * d;
            ++count;
        }
    }
    if (count == 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (sum == 0) {
        return std::numeric_limits<double>::infinity();
    }
    return 10.0 * std::log10(255.0 * 255.0 * count / sum);
}

long alphaClassMismatches(const Image& reference, const Image& decoded)
{
    long mismatches = 0;
    const std::size_t texels = static_cast<std::size_t>(reference.width) * reference.height;
    for (std::size_t i = 0; i < texels; ++i) {
        if ((reference.rgba[i * 4 + 3] >= 128) != (decoded.rgba[i * 4 + 3] >= 128)) {
            ++mismatches;
        }
    }
    return mismatches;
}

FormatQuality measureQuality(const Image& reference, const DecodedImage& decoded, Format format)
{
    FormatQuality q;
    const FormatInfo& info = formatInfo(format);
    switch (format) {
    case Format::R11:
    case Format::SignedR11:
        q.channelsName = "R";
        q.channelsPsnr = psnr(reference, decoded.rgba, kRed);
        return q;
    case Format::Rg11:
    case Format::SignedRg11:
        q.channelsName = "RG";
        q.channelsPsnr = psnr(reference, decoded.rgba, kRed | kGreen);
        return q;
    default:
        break;
    }
    const bool punchthrough = info.channels == 4 && info.blockBytes == 8;
    q.channelsName = "RGB";
    q.channelsPsnr = psnr(reference, decoded.rgba, kRgb, punchthrough);
    if (punchthrough) {
        q.hasAlphaClasses = true;
        q.alphaMismatches = alphaClassMismatches(reference, decoded.rgba);
    } else if (info.channels == 4) {
        q.hasAlpha = true;
        q.alphaPsnr = psnr(reference, decoded.rgba, kAlpha);
    }
    return q;
}

} // namespace etc
