#include "Pkm.h"

#include "EtcCodec.h"

#include <cstring>

namespace etc {

namespace {

constexpr std::size_t headerBytes = 16;
constexpr int largestPaddedSize = 65535;

int paddedSize(int size) { return (size + 3) / 4 * 4; }

void putBigEndian16(std::vector<std::uint8_t>& bytes, int value)
{
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

int bigEndian16(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return (bytes[offset] << 8) | bytes[offset + 1];
}

} // namespace

bool checkSerializable(const PkmFile& file, std::string& error)
{
    if (file.width <= 0 || file.height <= 0) {
        error = "image size " + std::to_string(file.width) + "x" + std::to_string(file.height) + " is not positive";
        return false;
    }
    if (paddedSize(file.width) > largestPaddedSize || paddedSize(file.height) > largestPaddedSize) {
        error = "image size " + std::to_string(file.width) + "x" + std::to_string(file.height) +
            " does not fit a PKM header";
        return false;
    }
    const std::size_t expected = payloadSize(file.format, file.width, file.height);
    if (file.payload.size() != expected) {
        error = "payload holds " + std::to_string(file.payload.size()) + " bytes, " + std::to_string(expected) +
            " expected for " + formatInfo(file.format).glName;
        return false;
    }
    return true;
}

std::vector<std::uint8_t> serializePkm(const PkmFile& file)
{
    const FormatInfo& info = formatInfo(file.format);
    std::vector<std::uint8_t> bytes = {'P',
                                       'K',
                                       'M',
                                       ' ',
                                       static_cast<std::uint8_t>(info.pkmVersion[0]),
                                       static_cast<std::uint8_t>(info.pkmVersion[1])};
    putBigEndian16(bytes, info.pkmDataType);
    putBigEndian16(bytes, paddedSize(file.width));
    putBigEndian16(bytes, paddedSize(file.height));
    putBigEndian16(bytes, file.width);
    putBigEndian16(bytes, file.height);
    bytes.insert(bytes.end(), file.payload.begin(), file.payload.end());
    return bytes;
}

bool parsePkm(const std::vector<std::uint8_t>& bytes, PkmFile& file, std::string& error)
{
    if (bytes.size() < headerBytes) {
        error = "truncated PKM header (" + std::to_string(bytes.size()) + " of 16 bytes)";
        return false;
    }
    if (std::memcmp(bytes.data(), "PKM ", 4) != 0) {
        error = "not a PKM file (no \"PKM \" magic)";
        return false;
    }
    const std::string version(bytes.begin() + 4, bytes.begin() + 6);
    const int dataType = bigEndian16(bytes, 6);
    const FormatInfo* info = findFormatByPkmType(version, static_cast<std::uint16_t>(dataType));
    if (info == nullptr) {
        error = "unknown PKM data type " + std::to_string(dataType) + " for version \"" + version + "\"";
        return false;
    }
    const int paddedWidth = bigEndian16(bytes, 8);
    const int paddedHeight = bigEndian16(bytes, 10);
    const int width = bigEndian16(bytes, 12);
    const int height = bigEndian16(bytes, 14);
    if (width <= 0 || height <= 0) {
        error = "image size " + std::to_string(width) + "x" + std::to_string(height) + " is not positive";
        return false;
    }
    if (paddedWidth != paddedSize(width) || paddedHeight != paddedSize(height)) {
        error = "padded size " + std::to_string(paddedWidth) + "x" + std::to_string(paddedHeight) +
            " does not match image size " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    const std::size_t expected = payloadSize(info->format, width, height);
    if (bytes.size() - headerBytes < expected) {
        error = "truncated payload (" + std::to_string(bytes.size() - headerBytes) + " of " + std::to_string(expected) +
            " bytes)";
        return false;
    }
    file.format = info->format;
    file.width = width;
    file.height = height;
    file.payload.assign(bytes.begin() + headerBytes, bytes.begin() + headerBytes + expected);
    return true;
}

} // namespace etc
