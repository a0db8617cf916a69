#include "Ktx2.h"

#include "EtcCodec.h"

#include <algorithm>
#include <cstring>

namespace etc {

namespace {

constexpr std::uint8_t fileIdentifier[12] = {0xAB, 'K', 'T', 'X', ' ', '2', '0', 0xBB, '\r', '\n', 0x1A, '\n'};
// Identifier, the nine header words and the index (four words, two 64-bit values).
constexpr std::size_t fixedBytes = 80;
constexpr std::size_t levelEntryBytes = 24;
constexpr std::uint32_t vkFormatUndefined = 0;

// Data format descriptor values: colour models, primaries, transfer functions, channels.
constexpr std::uint8_t modelEtc1 = 160;
constexpr std::uint8_t modelEtc2 = 161;
constexpr std::uint8_t primariesBt709 = 1;
constexpr std::uint8_t transferLinear = 1;
constexpr std::uint8_t transferSrgb = 2;
constexpr std::uint8_t channelEtc1Colour = 0;
constexpr std::uint8_t channelRed = 0;
constexpr std::uint8_t channelGreen = 1;
constexpr std::uint8_t channelColour = 2;
constexpr std::uint8_t channelAlpha = 15;
constexpr std::uint8_t qualifierLinear = 0x10;
constexpr std::uint8_t qualifierSigned = 0x40;
constexpr std::size_t descriptorBlockBytes = 24;
constexpr std::size_t sampleBytes = 16;

// How a format is named in the container: its Vulkan format and the channel of each 64-bit
// half of its blocks, in stored order.
struct ContainerFormat {
    Format format;
    std::uint32_t vkFormat;
    std::uint8_t colourModel;
    std::vector<std::uint8_t> channels;
};

const std::vector<ContainerFormat>& containerFormats()
{
    static const std::vector<ContainerFormat> formats = {
        {Format::Etc1, vkFormatUndefined, modelEtc1, {channelEtc1Colour}},
        {Format::R11, 153, modelEtc2, {channelRed}},
        {Format::SignedR11, 154, modelEtc2, {channelRed}},
        {Format::Rg11, 155, modelEtc2, {channelRed, channelGreen}},
        {Format::SignedRg11, 156, modelEtc2, {channelRed, channelGreen}},
        {Format::Rgb8, 147, modelEtc2, {channelColour}},
        {Format::Srgb8, 148, modelEtc2, {channelColour}},
        {Format::Rgba8, 151, modelEtc2, {channelAlpha, channelColour}},
        {Format::Srgb8Alpha8, 152, modelEtc2, {channelAlpha, channelColour}},
        {Format::Rgb8Punchthrough, 149, modelEtc2, {channelColour}},
        {Format::Srgb8Punchthrough, 150, modelEtc2, {channelColour}},
    };
    return formats;
}

const ContainerFormat& containerFormat(Format format)
{
    return *std::find_if(containerFormats().begin(), containerFormats().end(),
                         [format](const ContainerFormat& entry) { return entry.format == format; });
}

const ContainerFormat* findByVkFormat(std::uint32_t vkFormat)
{
    for (const ContainerFormat& entry : containerFormats())
        if (entry.vkFormat == vkFormat && vkFormat != vkFormatUndefined)
            return &entry;
    return nullptr;
}

int levelSide(int side, std::size_t level) { return std::max(1, side >> level); }

std::size_t levelBytes(Format format, int width, int height, std::size_t level)
{
    return payloadSize(format, levelSide(width, level), levelSide(height, level));
}

std::string sizeText(std::uint64_t width, std::uint64_t height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

class ByteWriter {
public:
    void u8(std::uint8_t value) { bytes.push_back(value); }
    void u16(std::uint16_t value) { little(value, 2); }
    void u32(std::uint32_t value) { little(value, 4); }
    void u64(std::uint64_t value) { little(value, 8); }
    void append(const std::vector<std::uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
    void padTo(std::size_t alignment) { bytes.resize((bytes.size() + alignment - 1) / alignment * alignment, 0); }
    std::size_t size() const { return bytes.size(); }
    std::vector<std::uint8_t> bytes;

private:
    void little(std::uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
};

std::vector<std::uint8_t> dataFormatDescriptor(Format format)
{
    const FormatInfo& info = formatInfo(format);
    const ContainerFormat& container = containerFormat(format);
    const std::size_t blockSize = descriptorBlockBytes + sampleBytes * container.channels.size();
    ByteWriter dfd;
    dfd.u32(static_cast<std::uint32_t>(4 + blockSize)); // dfdTotalSize
    dfd.u32(0);                                         // Khronos vendor, basic descriptor type
    dfd.u16(2);                                         // version
    dfd.u16(static_cast<std::uint16_t>(blockSize));
    dfd.u8(container.colourModel);
    dfd.u8(primariesBt709);
    dfd.u8(info.isSrgb ? transferSrgb : transferLinear);
    dfd.u8(0);                // straight alpha
    dfd.u32(3 | 3 << 8);      // 4 x 4 x 1 x 1 texel blocks, each side stored minus one
    dfd.u32(info.blockBytes); // bytes in plane 0; planes 1 to 7 unused
    dfd.u32(0);
    for (std::size_t i = 0; i < container.channels.size(); ++i) {
        const std::uint8_t channel = container.channels[i];
        std::uint8_t qualifiers = info.isSigned ? qualifierSigned : 0;
        if (info.isSrgb && channel == channelAlpha)
            qualifiers |= qualifierLinear;           // alpha is never sRGB-encoded
        dfd.u16(static_cast<std::uint16_t>(64 * i)); // bit offset
        dfd.u8(63);                                  // bit length minus one
        dfd.u8(channel | qualifiers);
        dfd.u32(0); // sample position
        dfd.u32(info.isSigned ? 0x80000000u : 0u);
        dfd.u32(info.isSigned ? 0x7FFFFFFFu : 0xFFFFFFFFu);
    }
    return dfd.bytes;
}

void addKeyValue(ByteWriter& kvd, const std::string& key, const std::vector<std::uint8_t>& value)
{
    kvd.u32(static_cast<std::uint32_t>(key.size() + 1 + value.size()));
    kvd.append(std::vector<std::uint8_t>(key.begin(), key.end()));
    kvd.u8(0);
    kvd.append(value);
    kvd.padTo(4);
}

std::vector<std::uint8_t> nulTerminated(const std::string& text)
{
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

// Keys in code point order, as the container requires.
std::vector<std::uint8_t> keyValueData(Format format, const std::string& writer)
{
    ByteWriter kvd;
    if (containerFormat(format).vkFormat == vkFormatUndefined) {
        ByteWriter glFormat; // internal format; format and type are 0 for compressed formats
        glFormat.u32(formatInfo(format).glInternalFormat);
        glFormat.u32(0);
        glFormat.u32(0);
        addKeyValue(kvd, "KTXglFormat", glFormat.bytes);
    }
    addKeyValue(kvd, "KTXorientation", nulTerminated("rd")); // rows from the top, as PNG and PKM
    addKeyValue(kvd, "KTXwriter", nulTerminated(writer));
    return kvd.bytes;
}

class ByteReader {
public:
    explicit ByteReader(const std::vector<std::uint8_t>& bytes) : bytes(bytes) { }
    // Callers check that [offset, offset + n) lies inside the bytes first.
    std::uint64_t little(std::size_t offset, int count) const
    {
        std::uint64_t value = 0;
        for (int i = count - 1; i >= 0; --i)
            value = value << 8 | bytes[offset + std::size_t(i)];
        return value;
    }
    std::uint32_t u32(std::size_t offset) const { return static_cast<std::uint32_t>(little(offset, 4)); }
    std::uint64_t u64(std::size_t offset) const { return little(offset, 8); }
    bool holds(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= bytes.size() && length <= bytes.size() - offset;
    }

private:
    const std::vector<std::uint8_t>& bytes;
};

struct Header {
    std::uint32_t vkFormat, typeSize, width, height, depth, layers, faces, levelCount, supercompression;
    std::uint32_t dfdOffset, dfdLength, kvdOffset, kvdLength;
    std::uint64_t sgdOffset, sgdLength;
};

Header readHeader(const ByteReader& in)
{
    Header h{};
    std::uint32_t* words[] = {&h.vkFormat,  &h.typeSize,  &h.width,      &h.height,           &h.depth,
                              &h.layers,    &h.faces,     &h.levelCount, &h.supercompression, &h.dfdOffset,
                              &h.dfdLength, &h.kvdOffset, &h.kvdLength};
    std::size_t offset = sizeof fileIdentifier;
    for (std::uint32_t* word : words) {
        *word = in.u32(offset);
        offset += 4;
    }
    h.sgdOffset = in.u64(offset);
    h.sgdLength = in.u64(offset + 8);
    return h;
}

bool checkTextureShape(const Header& h, std::string& error)
{
    if (h.supercompression != 0) {
        error = "supercompression scheme " + std::to_string(h.supercompression) + " is not supported";
        return false;
    }
    if (h.depth != 0 || h.layers != 0 || h.faces != 1) {
        error = "only 2D textures are supported (depth " + std::to_string(h.depth) + ", layers " +
            std::to_string(h.layers) + ", faces " + std::to_string(h.faces) + ")";
        return false;
    }
    if (h.width == 0 || h.height == 0 || h.width > std::uint32_t(maximumKtx2Side) ||
        h.height > std::uint32_t(maximumKtx2Side)) {
        error =
            "image size " + sizeText(h.width, h.height) + " is not 1 to " + std::to_string(maximumKtx2Side) + " a side";
        return false;
    }
    if (h.typeSize != 1) {
        error = "type size " + std::to_string(h.typeSize) + ", 1 expected for a block-compressed format";
        return false;
    }
    const int fullLevels = ktx2FullLevelCount(int(h.width), int(h.height));
    if (h.levelCount == 0 || h.levelCount > std::uint32_t(fullLevels)) {
        error = "level count " + std::to_string(h.levelCount) + " is not 1 to " + std::to_string(fullLevels) + " for " +
            sizeText(h.width, h.height);
        return false;
    }
    return true;
}

bool checkSections(const ByteReader& in, const Header& h, std::string& error)
{
    if (!in.holds(fixedBytes, std::uint64_t(h.levelCount) * levelEntryBytes)) {
        error = "truncated level index";
        return false;
    }
    if (h.dfdLength < 4 + descriptorBlockBytes || !in.holds(h.dfdOffset, h.dfdLength) ||
        in.u32(h.dfdOffset) != h.dfdLength) {
        error = "damaged data format descriptor (offset " + std::to_string(h.dfdOffset) + ", " +
            std::to_string(h.dfdLength) + " bytes)";
        return false;
    }
    if (!in.holds(h.kvdOffset, h.kvdLength)) {
        error = "key/value data lies outside the file";
        return false;
    }
    if (h.sgdLength != 0) {
        error = "supercompression global data in a file without supercompression";
        return false;
    }
    return true;
}

bool identifyFormat(const ByteReader& in, const Header& h, Format& format, std::string& error)
{
    const std::uint8_t colourModel = static_cast<std::uint8_t>(in.u32(h.dfdOffset + 12) & 0xFF);
    if (h.vkFormat == vkFormatUndefined && colourModel == modelEtc1) {
        format = Format::Etc1;
        return true;
    }
    const ContainerFormat* entry = findByVkFormat(h.vkFormat);
    if (entry == nullptr) {
        error = "vkFormat " + std::to_string(h.vkFormat) + " (colour model " + std::to_string(colourModel) +
            ") is not an ETC1, ETC2 or EAC format";
        return false;
    }
    format = entry->format;
    return true;
}

bool readLevels(const std::vector<std::uint8_t>& bytes, const Header& h, Ktx2File& file, std::string& error)
{
    const ByteReader in(bytes);
    const std::size_t alignment = std::size_t(formatInfo(file.format).blockBytes); // lcm(block bytes, 4)
    file.levels.assign(h.levelCount, {});
    for (std::size_t level = 0; level < h.levelCount; ++level) {
        const std::size_t entry = fixedBytes + level * levelEntryBytes;
        const std::uint64_t offset = in.u64(entry);
        const std::uint64_t length = in.u64(entry + 8);
        const std::uint64_t uncompressed = in.u64(entry + 16);
        const std::size_t expected = levelBytes(file.format, file.width, file.height, level);
        const std::string name = "level " + std::to_string(level);
        if (length != expected || uncompressed != length) {
            error = name + " holds " + std::to_string(length) + " bytes (" + std::to_string(uncompressed) +
                " uncompressed), " + std::to_string(expected) + " expected for " +
                sizeText(levelSide(file.width, level), levelSide(file.height, level));
            return false;
        }
        if (!in.holds(offset, length)) {
            error = name + " lies outside the file (offset " + std::to_string(offset) + ", " + std::to_string(length) +
                " bytes, the file " + std::to_string(bytes.size()) + " bytes)";
            return false;
        }
        if (offset % alignment != 0) {
            error = name + " at offset " + std::to_string(offset) + " is not aligned to " + std::to_string(alignment) +
                " bytes";
            return false;
        }
        file.levels[level].assign(bytes.begin() + std::ptrdiff_t(offset),
                                  bytes.begin() + std::ptrdiff_t(offset + length));
    }
    return true;
}

} // namespace

bool hasKtx2Identifier(const std::vector<std::uint8_t>& bytes)
{
    return bytes.size() >= sizeof fileIdentifier &&
        std::memcmp(bytes.data(), fileIdentifier, sizeof fileIdentifier) == 0;
}

std::uint32_t ktx2VkFormat(Format format) { return containerFormat(format).vkFormat; }

int ktx2FullLevelCount(int width, int height)
{
    int levels = 1;
    for (int side = std::max(width, height); side > 1; side /= 2)
        ++levels;
    return levels;
}

bool checkSerializable(const Ktx2File& file, std::string& error)
{
    if (file.width <= 0 || file.height <= 0 || file.width > maximumKtx2Side || file.height > maximumKtx2Side) {
        error = "image size " +
            sizeText(std::uint64_t(std::max(file.width, 0)), std::uint64_t(std::max(file.height, 0))) +
            " is not 1 to " + std::to_string(maximumKtx2Side) + " a side";
        return false;
    }
    const int fullLevels = ktx2FullLevelCount(file.width, file.height);
    if (file.levels.empty() || file.levels.size() > std::size_t(fullLevels)) {
        error = std::to_string(file.levels.size()) + " levels, 1 to " + std::to_string(fullLevels) + " expected for " +
            sizeText(std::uint64_t(file.width), std::uint64_t(file.height));
        return false;
    }
    for (std::size_t level = 0; level < file.levels.size(); ++level) {
        const std::size_t expected = levelBytes(file.format, file.width, file.height, level);
        if (file.levels[level].size() != expected) {
            error = "level " + std::to_string(level) + " holds " + std::to_string(file.levels[level].size()) +
                " bytes, " + std::to_string(expected) + " expected";
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> serializeKtx2(const Ktx2File& file, const std::string& writer)
{
    const ContainerFormat& container = containerFormat(file.format);
    const std::size_t levelCount = file.levels.size();
    const std::vector<std::uint8_t> dfd = dataFormatDescriptor(file.format);
    const std::vector<std::uint8_t> kvd = keyValueData(file.format, writer);
    const std::size_t dfdOffset = fixedBytes + levelCount * levelEntryBytes;
    const std::size_t kvdOffset = dfdOffset + dfd.size();
    const std::size_t alignment = std::size_t(formatInfo(file.format).blockBytes); // lcm(block bytes, 4)

    // The smallest level comes first in the file, each on a multiple of the alignment.
    std::vector<std::size_t> offsets(levelCount);
    std::size_t end = kvdOffset + kvd.size();
    for (std::size_t level = levelCount; level-- > 0;) {
        offsets[level] = (end + alignment - 1) / alignment * alignment;
        end = offsets[level] + file.levels[level].size();
    }

    ByteWriter out;
    out.append(std::vector<std::uint8_t>(std::begin(fileIdentifier), std::end(fileIdentifier)));
    for (std::uint32_t word : {container.vkFormat, 1u, std::uint32_t(file.width), std::uint32_t(file.height), 0u, 0u,
                               1u, std::uint32_t(levelCount), 0u})
        out.u32(word); // format, type size, size, depth, layers, faces, levels, no supercompression
    out.u32(std::uint32_t(dfdOffset));
    out.u32(std::uint32_t(dfd.size()));
    out.u32(std::uint32_t(kvdOffset));
    out.u32(std::uint32_t(kvd.size()));
    out.u64(0); // no supercompression global data
    out.u64(0);
    for (std::size_t level = 0; level < levelCount; ++level) {
        out.u64(offsets[level]);
        out.u64(file.levels[level].size());
        out.u64(file.levels[level].size());
    }
    out.append(dfd);
    out.append(kvd);
    for (std::size_t level = levelCount; level-- > 0;) {
        out.padTo(alignment);
        out.append(file.levels[level]);
    }
    return out.bytes;
}

bool parseKtx2(const std::vector<std::uint8_t>& bytes, Ktx2File& file, std::string& error)
{
    if (!hasKtx2Identifier(bytes)) {
        error = "not a KTX2 file (no KTX 2.0 identifier)";
        return false;
    }
    if (bytes.size() < fixedBytes) {
        error =
            "truncated KTX2 header (" + std::to_string(bytes.size()) + " of " + std::to_string(fixedBytes) + " bytes)";
        return false;
    }
    const ByteReader in(bytes);
    const Header header = readHeader(in);
    Format format{};
    if (!checkTextureShape(header, error) || !checkSections(in, header, error) ||
        !identifyFormat(in, header, format, error))
        return false;
    Ktx2File parsed;
    parsed.format = format;
    parsed.width = int(header.width);
    parsed.height = int(header.height);
    if (!readLevels(bytes, header, parsed, error))
        return false;
    file = std::move(parsed);
    return true;
}

} // namespace etc
