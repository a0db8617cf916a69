#include "PkmEncoding.h"

#include <gtest/gtest.h>

TEST(PkmEncoding, RefusesImagesAPkmHeaderCannotHold)
{
    etc::PkmFile pkm;
    std::string error;
    EXPECT_FALSE(texops::encodePkm(etc::Image{}, etc::Format::Etc1, {}, pkm, error));
    EXPECT_NE(error.find("0 x 0"), std::string::npos) << error;
    const etc::Image wide{texops::maximumPkmSide + 1, 1,
                          std::vector<std::uint8_t>(std::size_t(texops::maximumPkmSide + 1) * 4)};
    EXPECT_FALSE(texops::encodePkm(wide, etc::Format::Etc1, {}, pkm, error));
    EXPECT_NE(error.find(std::to_string(texops::maximumPkmSide + 1)), std::string::npos) << error;
}
