// The framework's PKM header: its fields and the payload size it implies for every format the
// programs upload.
#include "FuzzInput.h"

#include "ETCHeader.h"

#include <GLES2/gl2ext.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < static_cast<std::size_t>(KorvoSDK::ETCHeader::pkmHeaderSize))
        return 0;
    const KorvoSDK::ETCHeader header(data);
    static const GLenum formats[] = {GL_ETC1_RGB8_OES,
                                     GL_COMPRESSED_R11_EAC,
                                     GL_COMPRESSED_SIGNED_R11_EAC,
                                     GL_COMPRESSED_RG11_EAC,
                                     GL_COMPRESSED_SIGNED_RG11_EAC,
                                     GL_COMPRESSED_RGB8_ETC2,
                                     GL_COMPRESSED_SRGB8_ETC2,
                                     GL_COMPRESSED_RGB8_PUNCHTHROUGH_ALPHA1_ETC2,
                                     GL_COMPRESSED_SRGB8_PUNCHTHROUGH_ALPHA1_ETC2,
                                     GL_COMPRESSED_RGBA8_ETC2_EAC,
                                     GL_COMPRESSED_SRGB8_ALPHA8_ETC2_EAC};
    volatile unsigned sink = header.width() + header.height() + header.paddedWidth() + header.paddedHeight();
    for (GLenum format : formats)
        sink = sink + static_cast<unsigned>(header.imageSize(format));
    return 0;
}
