#ifndef ETC_FORMAT_H
#define ETC_FORMAT_H

#include <cstdint>
#include <string_view>
#include <vector>

namespace etc {

// GL_ETC1_RGB8_OES and the ten ETC2/EAC formats of OpenGL ES 3.0.
enum class Format {
    Etc1,
    R11,
    SignedR11,
    Rg11,
    SignedRg11,
    Rgb8,
    Srgb8,
    Rgba8,
    Srgb8Alpha8,
    Rgb8Punchthrough,
    Srgb8Punchthrough,
};

struct FormatInfo {
    Format format;
    const char* toolName; // on the command line: "etc1", "r11", "signed-r11", "rg11", "signed-rg11",
        // "rgb8", "srgb8", "rgba8", "srgb8-alpha8", "rgb8-a1", "srgb8-a1"
    const char* glName; // "GL_ETC1_RGB8_OES", "GL_COMPRESSED_R11_EAC", ...
    std::uint32_t glInternalFormat;
    const char* pkmVersion;    // "10" for ETC1, "20" for the others
    std::uint16_t pkmDataType; // 0 ETC1, 1 RGB8, 3 RGBA8, 4 RGB8_A1, 5 R11, 6 RG11, 7 SIGNED_R11,
        // 8 SIGNED_RG11, 9 SRGB8, 10 SRGB8_ALPHA8, 11 SRGB8_A1
    int blockBytes; // 8, or 16 for RG11 and the RGBA8 formats
    int channels;   // channels the format carries: 1, 2, 3 or 4
    bool isSigned;
    bool isSrgb;
};

const std::vector<FormatInfo>& allFormats();
const FormatInfo& formatInfo(Format format);
const FormatInfo* findFormatByToolName(std::string_view name);
const FormatInfo* findFormatByPkmType(std::string_view version, std::uint16_t dataType);

} // namespace etc

#endif
