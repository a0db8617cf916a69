#ifndef KORVO_ETC_HEADER_H
#define KORVO_ETC_HEADER_H

#include <GLES3/gl3.h>

namespace KorvoSDK {

// The size fields of a PKM file: bytes 8 to 15, kept in file order (big-endian 16-bit
// padded width, padded height, width, height). The padded sizes are whole 4x4 blocks.
class ETCHeader {
public:
    static constexpr int pkmHeaderSize = 16;

    ETCHeader();
    // Copies bytes 8 to 15 of the PKM file that starts at `pkmFile`; the caller makes sure
    // the file holds at least pkmHeaderSize bytes.
    explicit ETCHeader(const unsigned char* pkmFile);

    unsigned short width() const;
    unsigned short height() const;
    unsigned short paddedWidth() const;
    unsigned short paddedHeight() const;

    // Payload bytes for internalFormat: one byte per padded pixel for the formats with
    // 16-byte blocks (RG11 EAC, RGBA8 ETC2 EAC and their signed / sRGB variants), half a
    // byte for every other format (8-byte blocks, as ETC1).
    GLsizei imageSize(GLenum internalFormat) const;

private:
    unsigned short field(int offset) const;

    unsigned char bytes[8];
};

} // namespace KorvoSDK

#endif
