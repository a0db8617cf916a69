// The carousel's table of formats: order, enums, labels and files, and how each is shown.

#include "DisplayMode.h"
#include "ImageTable.h"

#include <gtest/gtest.h>

using namespace FormatCarousel;

namespace {

struct ExpectedRow {
    GLenum internalFormat;
    const char* formatName;
    const char* file;
    DisplayMode displayMode;
};

// The enum values are written out rather than taken from the GL header's macros, so a row
// whose enum and name disagree is caught.
const ExpectedRow expectedRows[imageCount] = {
    {0x9270, "GL_COMPRESSED_R11_EAC", "HeightMap.pkm", ShowGrey},
    {0x9271, "GL_COMPRESSED_SIGNED_R11_EAC", "HeightMapSigned.pkm", ShowSignedGrey},
    {0x9272, "GL_COMPRESSED_RG11_EAC", "BumpMap.pkm", ShowNormals},
    {0x9273, "GL_COMPRESSED_SIGNED_RG11_EAC", "BumpMapSigned.pkm", ShowSignedNormals},
    {0x9274, "GL_COMPRESSED_RGB8_ETC2", "Texture.pkm", ShowColour},
    {0x9275, "GL_COMPRESSED_SRGB8_ETC2", "Texture.pkm", ShowColour},
    {0x9278, "GL_COMPRESSED_RGBA8_ETC2_EAC", "SemiAlpha.pkm", ShowColour},
    {0x9279, "GL_COMPRESSED_SRGB8_ALPHA8_ETC2_EAC", "SemiAlpha.pkm", ShowColour},
    {0x9276, "GL_COMPRESSED_RGB8_PUNCHTHROUGH_ALPHA1_ETC2", "BinaryAlpha.pkm", ShowColour},
    {0x9277, "GL_COMPRESSED_SRGB8_PUNCHTHROUGH_ALPHA1_ETC2", "BinaryAlpha.pkm", ShowColour},
};

} // namespace

TEST(FormatCarouselImageTable, TenRowsInDisplayOrderWithTheirEnumsNamesAndFiles)
{
    for (unsigned i = 0; i < imageCount; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const ExpectedRow& expected = expectedRows[i];
        EXPECT_EQ(imageArray[i].internalFormat, expected.internalFormat);
        EXPECT_STREQ(imageArray[i].formatName, expected.formatName);
        EXPECT_EQ(imageArray[i].fileName, std::string("assets/textures/compressed/") + expected.file);
        EXPECT_EQ(imageArray[i].textureId, 0u) << "no texture before set-up";
    }
}

TEST(FormatCarouselImageTable, EachFormatIsShownByItsChannelsAndSignedness)
{
    for (unsigned i = 0; i < imageCount; ++i)
        EXPECT_EQ(displayModeFor(imageArray[i].internalFormat), expectedRows[i].displayMode)
            << imageArray[i].formatName;
    // Formats outside the table (ETC1, uncompressed) are colour images.
    EXPECT_EQ(displayModeFor(0x8D64), ShowColour);
    EXPECT_EQ(displayModeFor(GL_RGBA8), ShowColour);
}
