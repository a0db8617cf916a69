#include "PkmEncoding.h"

#include "TestImages.h"

#include <gtest/gtest.h>

TEST(PkmEncoding, FillsTheRecordWithTheImageSizeAndAWholeBlockPayload)
{
    etc::PkmFile pkm;
    std::string error;
    ASSERT_TRUE(texops::encodePkm(patternImage(6, 5), etc::Format::Rgba8, {etc::Effort::Fast, {}}, pkm, error)) << error;
    EXPECT_EQ(pkm.format, etc::Format::Rgba8);
    EXPECT_EQ(pkm.width, 6);
    EXPECT_EQ(pkm.height, 5);
    EXPECT_EQ(pkm.payload.size(), 4u * 16u); // 2 x 2 blocks of 16 bytes
}

TEST(PkmEncoding, RefusesImagesAPkmHeaderCannotHold)
{
    etc::PkmFile pkm;
    std::string error;
    EXPECT_FALSE(texops::encodePkm(etc::Image{}, etc::Format::Etc1, {}, pkm, error));
    EXPECT_NE(error.find("0 x 0"), std::string::npos) << error;
    const etc::Image wide{texops::maximumPkmSide + 1, 1, std::vector<std::uint8_t>(std::size_t(texops::maximumPkmSide + 1) * 4)};
    EXPECT_FALSE(texops::encodePkm(wide, etc::Format::Etc1, {}, pkm, error));
    EXPECT_NE(error.find(std::to_string(texops::maximumPkmSide + 1)), std::string::npos) << error;
}
