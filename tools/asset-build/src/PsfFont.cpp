#include "PsfFont.h"

#include "AtomicFile.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace assets {

namespace {

constexpr std::uint8_t psf1Magic[2] = {0x36, 0x04};
constexpr std::uint8_t psf2Magic[4] = {0x72, 0xb5, 0x4a, 0x86};
constexpr std::uint8_t psf1ModeHas512 = 0x01;
constexpr std::uint8_t psf1ModeHasTable = 0x02;
constexpr std::uint8_t psf1ModeHasSequences = 0x04;
constexpr std::uint32_t psf2FlagHasTable = 0x01;
// A console font has at most a few thousand glyphs; bounds keep a corrupt header from
// asking for absurd allocations.
constexpr std::uint32_t maximumGlyphs = 65536;
constexpr std::uint32_t maximumSide = 256;

std::uint32_t readLittle32(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return std::uint32_t(bytes[offset]) | std::uint32_t(bytes[offset + 1]) << 8 |
        std::uint32_t(bytes[offset + 2]) << 16 | std::uint32_t(bytes[offset + 3]) << 24;
}

bool startsWith(const std::vector<std::uint8_t>& bytes, const std::uint8_t* magic, std::size_t length)
{
    if (bytes.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (bytes[i] != magic[i])
            return false;
    return true;
}

bool takeBitmaps(const std::vector<std::uint8_t>& bytes, std::size_t offset, PsfFont& font, std::string& error)
{
    const std::size_t glyphBytes = std::size_t(font.height) * font.bytesPerRow;
    const std::size_t total = glyphBytes * font.glyphCount;
    if (bytes.size() < offset || bytes.size() - offset < total) {
        error = "the glyph bitmaps are truncated";
        return false;
    }
    font.bitmaps.assign(bytes.begin() + offset, bytes.begin() + offset + total);
    return true;
}

// A code point listed for several glyphs keeps the first: later ones are alternatives.
void mapCodePoint(PsfFont& font, std::uint32_t codePoint, int glyph)
{
    font.glyphOfCodePoint.emplace(codePoint, glyph);
}

// PSF1 table: per glyph, 16-bit little-endian code points up to 0xFFFF; 0xFFFE starts
// combining sequences, which a single-character atlas does not need.
bool readPsf1Table(const std::vector<std::uint8_t>& bytes, std::size_t offset, PsfFont& font, std::string& error)
{
    for (int glyph = 0; glyph < font.glyphCount; ++glyph) {
        bool inSequence = false;
        for (;;) {
            if (offset + 2 > bytes.size()) {
                error = "the unicode table is truncated";
                return false;
            }
            const std::uint32_t value = bytes[offset] | bytes[offset + 1] << 8;
            offset += 2;
            if (value == 0xFFFF)
                break;
            if (value == 0xFFFE)
                inSequence = true;
            else if (!inSequence)
                mapCodePoint(font, value, glyph);
        }
    }
    return true;
}

// Decodes one UTF-8 character at `offset`; false on a malformed one.
bool decodeUtf8(const std::vector<std::uint8_t>& bytes, std::size_t& offset, std::uint32_t& codePoint)
{
    const std::uint8_t lead = bytes[offset];
    int extra = lead < 0x80     ? 0
        : (lead & 0xE0) == 0xC0 ? 1
        : (lead & 0xF0) == 0xE0 ? 2
        : (lead & 0xF8) == 0xF0 ? 3
                                : -1;
    if (extra < 0 || offset + 1 + extra > bytes.size())
        return false;
    codePoint = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const std::uint8_t next = bytes[offset + i];
        if ((next & 0xC0) != 0x80)
            return false;
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    offset += 1 + extra;
    return true;
}

// PSF2 table: per glyph, UTF-8 characters up to 0xFF; 0xFE starts combining sequences.
bool readPsf2Table(const std::vector<std::uint8_t>& bytes, std::size_t offset, PsfFont& font, std::string& error)
{
    for (int glyph = 0; glyph < font.glyphCount; ++glyph) {
        bool inSequence = false;
        for (;;) {
            if (offset >= bytes.size()) {
                error = "the unicode table is truncated";
                return false;
            }
            if (bytes[offset] == 0xFF) {
                ++offset;
                break;
            }
            if (bytes[offset] == 0xFE) {
                inSequence = true;
                ++offset;
                continue;
            }
            std::uint32_t codePoint = 0;
            if (!decodeUtf8(bytes, offset, codePoint)) {
                error = "the unicode table holds malformed UTF-8";
                return false;
            }
            if (!inSequence)
                mapCodePoint(font, codePoint, glyph);
        }
    }
    return true;
}

bool parsePsf1(const std::vector<std::uint8_t>& bytes, PsfFont& font, std::string& error)
{
    if (bytes.size() < 4) {
        error = "the header is truncated";
        return false;
    }
    const std::uint8_t mode = bytes[2];
    font.width = 8;
    font.height = bytes[3];
    font.bytesPerRow = 1;
    font.glyphCount = (mode & psf1ModeHas512) ? 512 : 256;
    if (font.height == 0) {
        error = "the glyphs have no height";
        return false;
    }
    if (!takeBitmaps(bytes, 4, font, error))
        return false;
    if ((mode & (psf1ModeHasTable | psf1ModeHasSequences)) == 0)
        return true;
    return readPsf1Table(bytes, 4 + font.bitmaps.size(), font, error);
}

bool parsePsf2(const std::vector<std::uint8_t>& bytes, PsfFont& font, std::string& error)
{
    if (bytes.size() < 32) {
        error = "the header is truncated";
        return false;
    }
    const std::uint32_t headerSize = readLittle32(bytes, 8);
    const std::uint32_t flags = readLittle32(bytes, 12);
    const std::uint32_t glyphCount = readLittle32(bytes, 16);
    const std::uint32_t glyphBytes = readLittle32(bytes, 20);
    const std::uint32_t height = readLittle32(bytes, 24);
    const std::uint32_t width = readLittle32(bytes, 28);
    if (width == 0 || height == 0 || width > maximumSide || height > maximumSide || glyphCount == 0 ||
        glyphCount > maximumGlyphs) {
        error = "the header gives impossible sizes";
        return false;
    }
    font.width = int(width);
    font.height = int(height);
    font.bytesPerRow = int((width + 7) / 8);
    font.glyphCount = int(glyphCount);
    if (glyphBytes != std::uint32_t(font.bytesPerRow) * height) {
        error = "the glyph size does not match the width and height";
        return false;
    }
    if (headerSize < 32 || !takeBitmaps(bytes, headerSize, font, error)) {
        if (error.empty())
            error = "the header size is wrong";
        return false;
    }
    if ((flags & psf2FlagHasTable) == 0)
        return true;
    return readPsf2Table(bytes, headerSize + font.bitmaps.size(), font, error);
}

} // namespace

int PsfFont::glyphFor(std::uint32_t codePoint) const
{
    if (glyphOfCodePoint.empty())
        return codePoint < std::uint32_t(glyphCount) ? int(codePoint) : -1;
    auto found = glyphOfCodePoint.find(codePoint);
    return found == glyphOfCodePoint.end() ? -1 : found->second;
}

bool PsfFont::pixel(int glyph, int x, int y) const
{
    const std::uint8_t row = bitmaps[(std::size_t(glyph) * height + y) * bytesPerRow + x / 8];
    return (row >> (7 - x % 8)) & 1;
}

bool parsePsf(const std::vector<std::uint8_t>& bytes, PsfFont& font, std::string& error)
{
    font = PsfFont{};
    if (startsWith(bytes, psf2Magic, 4))
        return parsePsf2(bytes, font, error);
    if (startsWith(bytes, psf1Magic, 2))
        return parsePsf1(bytes, font, error);
    error = "not a PSF font (no PSF1 or PSF2 magic)";
    return false;
}

bool loadPsfFile(const std::string& path, PsfFont& font, std::string& error)
{
    // gzread passes files that are not compressed through unchanged.
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = imageio::readFailure(path, std::strerror(errno));
        return false;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[16384];
    int n;
    while ((n = gzread(file, buffer, sizeof buffer)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    if (n < 0) {
        int code = 0;
        const char* reason = gzerror(file, &code);
        error = imageio::readFailure(path, code == Z_ERRNO ? std::strerror(errno) : reason);
    }
    gzclose(file);
    if (n < 0)
        return false;
    std::string why;
    if (!parsePsf(bytes, font, why)) {
        error = imageio::readFailure(path, why);
        return false;
    }
    return true;
}

} // namespace assets
