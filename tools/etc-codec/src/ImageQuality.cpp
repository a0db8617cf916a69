#include "ImageQuality.h"

#include <cmath>
#include <limits>

namespace etc {

namespace {

double psnrOf(double squaredError, double samples, double peak)
{
    if (samples == 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (squaredError == 0) {
        return std::numeric_limits<double>::infinity();
    }
    return 10.0 * std::log10(peak * peak * samples / squaredError);
}

} // namespace

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
    return psnrOf(sum, static_cast<double>(count), 255.0);
}

double elevenBitTarget(int sample, bool isSigned)
{
    const double unit = sample / 65535.0;
    return isSigned ? (unit * 2.0 - 1.0) * 1023.0 : unit * 2047.0;
}

double elevenBitPsnr(const Image& reference, const DecodedImage& decoded, bool isSigned, int onlyChannel)
{
    double sum = 0;
    const std::size_t texels = static_cast<std::size_t>(reference.width) * reference.height;
    const int first = onlyChannel < 0 ? 0 : onlyChannel;
    const int end = onlyChannel < 0 ? decoded.channels : onlyChannel + 1;
    for (std::size_t i = 0; i < texels; ++i) {
        for (int c = first; c < end; ++c) {
            const double d =
                decoded.eac[i * decoded.channels + c] - elevenBitTarget(reference.wideChannel(i, c), isSigned);
            sum += d * d;
        }
    }
    return psnrOf(sum, static_cast<double>(texels) * (end - first), 2047.0);
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
        q.channelsPsnr = psnr(reference, decoded.rgba, redChannel);
        q.hasElevenBit = true;
        q.elevenBitPsnr = elevenBitPsnr(reference, decoded, info.isSigned);
        return q;
    case Format::Rg11:
    case Format::SignedRg11:
        q.channelsName = "RG";
        q.channelsPsnr = psnr(reference, decoded.rgba, redChannel | greenChannel);
        q.hasElevenBit = true;
        q.elevenBitPsnr = elevenBitPsnr(reference, decoded, info.isSigned);
        return q;
    default:
        break;
    }
    const bool punchthrough = info.channels == 4 && info.blockBytes == 8;
    q.channelsName = "RGB";
    q.channelsPsnr = psnr(reference, decoded.rgba, rgbChannels, punchthrough);
    if (punchthrough) {
        q.hasAlphaClasses = true;
        q.alphaMismatches = alphaClassMismatches(reference, decoded.rgba);
    } else if (info.channels == 4) {
        q.hasAlpha = true;
        q.alphaPsnr = psnr(reference, decoded.rgba, alphaChannel);
    }
    return q;
}

} // namespace etc
