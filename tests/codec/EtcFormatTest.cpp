#include "EtcFormat.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(EtcFormat, EveryFormatHasItsOwnRow)
{
    const auto& formats = etc::allFormats();
    ASSERT_EQ(formats.size(), 11u);
    std::set<std::string> toolNames;
    std::set<std::uint32_t> glFormats;
    std::set<std::uint16_t> pkmTypes;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(formats[i].format), i);
        EXPECT_EQ(&etc::formatInfo(formats[i].format), &formats[i]);
        toolNames.insert(formats[i].toolName);
        glFormats.insert(formats[i].glInternalFormat);
        pkmTypes.insert(formats[i].pkmDataType);
    }
    EXPECT_EQ(toolNames.size(), 11u);
    EXPECT_EQ(glFormats.size(), 11u);
    EXPECT_EQ(pkmTypes.size(), 11u);
}

TEST(EtcFormat, GlAndPkmCodes)
{
    const etc::FormatInfo& etc1 = etc::formatInfo(etc::Format::Etc1);
    EXPECT_EQ(etc1.glInternalFormat, 0x8D64u);
    EXPECT_STREQ(etc1.pkmVersion, "10");
    EXPECT_EQ(etc1.pkmDataType, 0);
    const etc::FormatInfo& rg11 = etc::formatInfo(etc::Format::SignedRg11);
    EXPECT_STREQ(rg11.glName, "GL_COMPRESSED_SIGNED_RG11_EAC");
    EXPECT_EQ(rg11.glInternalFormat, 0x9273u);
    EXPECT_EQ(rg11.pkmDataType, 8);
    EXPECT_EQ(rg11.blockBytes, 16);
    EXPECT_EQ(rg11.channels, 2);
    EXPECT_TRUE(rg11.isSigned);
    const etc::FormatInfo& srgbA1 = etc::formatInfo(etc::Format::Srgb8Punchthrough);
    EXPECT_EQ(srgbA1.glInternalFormat, 0x9277u);
    EXPECT_EQ(srgbA1.pkmDataType, 11);
    EXPECT_EQ(srgbA1.blockBytes, 8);
    EXPECT_TRUE(srgbA1.isSrgb);
    EXPECT_EQ(etc::formatInfo(etc::Format::Rgba8).pkmDataType, 3);
    EXPECT_EQ(etc::formatInfo(etc::Format::Rgb8Punchthrough).pkmDataType, 4);
    EXPECT_EQ(etc::formatInfo(etc::Format::R11).glInternalFormat, 0x9270u);
}

TEST(EtcFormat, LookUpByToolNameAndPkmType)
{
    ASSERT_NE(etc::findFormatByToolName("srgb8-alpha8"), nullptr);
    EXPECT_EQ(etc::findFormatByToolName("srgb8-alpha8")->format, etc::Format::Srgb8Alpha8);
    EXPECT_EQ(etc::findFormatByToolName("rgb8-a1")->format, etc::Format::Rgb8Punchthrough);
    EXPECT_EQ(etc::findFormatByToolName("RGB8"), nullptr);
    EXPECT_EQ(etc::findFormatByToolName(""), nullptr);

    EXPECT_EQ(etc::findFormatByPkmType("10", 0)->format, etc::Format::Etc1);
    EXPECT_EQ(etc::findFormatByPkmType("20", 5)->format, etc::Format::R11);
    EXPECT_EQ(etc::findFormatByPkmType("20", 10)->format, etc::Format::Srgb8Alpha8);
    EXPECT_EQ(etc::findFormatByPkmType("20", 0), nullptr); // ETC1 is version 10 only
    EXPECT_EQ(etc::findFormatByPkmType("10", 1), nullptr);
    EXPECT_EQ(etc::findFormatByPkmType("20", 2), nullptr); // type 2 is unused
    EXPECT_EQ(etc::findFormatByPkmType("20", 12), nullptr);
}

} // namespace
