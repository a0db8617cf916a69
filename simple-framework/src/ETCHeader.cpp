#include "ETCHeader.h"

#include <cstring>

namespace KorvoSDK {

namespace {

constexpr int sizeFieldsOffset = 8;

bool hasSixteenByteBlocks(GLenum internalFormat)
{
    switch (internalFormat) {
    case GL_COMPRESSED_RG11_EAC:
    case GL_COMPRESSED_SIGNED_RG11_EAC:
    case GL_COMPRESSED_RGBA8_ETC2_EAC:
    case GL_COMPRESSED_SRGB8_ALPHA8_ETC2_EAC:
        return true;
    default:
        return false;
    }
}

} // namespace

ETCHeader::ETCHeader() : bytes{} { }

ETCHeader::ETCHeader(const unsigned char* pkmFile) { memcpy(bytes, pkmFile + sizeFieldsOffset, sizeof(bytes)); }

unsigned short ETCHeader::field(int offset) const
{
    return static_cast<unsigned short>(bytes[offset] * 256 + bytes[offset + 1]);
}

unsigned short ETCHeader::paddedWidth() const { return field(0); }
unsigned short ETCHeader::paddedHeight() const { return field(2); }
unsigned short ETCHeader::width() const { return field(4); }
unsigned short ETCHeader::height() const { return field(6); }

GLsizei ETCHeader::imageSize(GLenum internalFormat) const
{
    // Unsigned: 65535 x 65535 fits 32 bits unsigned but not signed.
    const unsigned paddedPixels = static_cast<unsigned>(paddedWidth()) * paddedHeight();
    return static_cast<GLsizei>(hasSixteenByteBlocks(internalFormat) ? paddedPixels : paddedPixels >> 1);
}

} // namespace KorvoSDK
