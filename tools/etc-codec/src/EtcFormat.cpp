#include "EtcFormat.h"

namespace etc {

// Rows in the order of the Format enumerators, so that a format indexes its own row.
const std::vector<FormatInfo>& allFormats()
{
    static const std::vector<FormatInfo> formats = {
        {Format::Etc1, "etc1", "GL_ETC1_RGB8_OES", 0x8D64, "10", 0, 8, 3, false, false},
        {Format::R11, "r11", "GL_COMPRESSED_R11_EAC", 0x9270, "20", 5, 8, 1, false, false},
        {Format::SignedR11, "signed-r11", "GL_COMPRESSED_SIGNED_R11_EAC", 0x9271, "20", 7, 8, 1, true, false},
        {Format::Rg11, "rg11", "GL_COMPRESSED_RG11_EAC", 0x9272, "20", 6, 16, 2, false, false},
        {Format::SignedRg11, "signed-rg11", "GL_COMPRESSED_SIGNED_RG11_EAC", 0x9273, "20", 8, 16, 2, true, false},
        {Format::Rgb8, "rgb8", "GL_COMPRESSED_RGB8_ETC2", 0x9274, "20", 1, 8, 3, false, false},
        {Format::Srgb8, "srgb8", "GL_COMPRESSED_SRGB8_ETC2", 0x9275, "20", 9, 8, 3, false, true},
        {Format::Rgba8, "rgba8", "GL_COMPRESSED_RGBA8_ETC2_EAC", 0x9278, "20", 3, 16, 4, false, false},
        {Format::Srgb8Alpha8, "srgb8-alpha8", "GL_COMPRESSED_SRGB8_ALPHA8_ETC2_EAC", 0x9279, "20", 10, 16, 4, false,
         true},
        {Format::Rgb8Punchthrough, "rgb8-a1", "GL_COMPRESSED_RGB8_PUNCHTHROUGH_ALPHA1_ETC2", 0x9276, "20", 4, 8, 4,
         false, false},
        {Format::Srgb8Punchthrough, "srgb8-a1", "GL_COMPRESSED_SRGB8_PUNCHTHROUGH_ALPHA1_ETC2", 0x9277, "20", 11, 8, 4,
         false, true},
    };
    return formats;
}

const FormatInfo& formatInfo(Format format) { return allFormats()[static_cast<std::size_t>(format)]; }

const FormatInfo* findFormatByToolName(std::string_view name)
{
    for (const FormatInfo& info : allFormats()) {
        if (name == info.toolName) {
            return &info;
        }
    }
    return nullptr;
}

const FormatInfo* findFormatByPkmType(std::string_view version, std::uint16_t dataType)
{
    for (const FormatInfo& info : allFormats()) {
        if (version == info.pkmVersion && dataType == info.pkmDataType) {
            return &info;
        }
    }
    return nullptr;
}

} // namespace etc
