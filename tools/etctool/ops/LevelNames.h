#ifndef TEXTURE_OPS_LEVEL_NAMES_H
#define TEXTURE_OPS_LEVEL_NAMES_H

#include <string>

namespace texops {

// File names of a mipmap chain come from a pattern holding "%d" exactly once, which
// becomes the level number in decimal without leading zeros ("mip_%d.pkm": mip_0.pkm,
// ..., mip_10.pkm). The GL loaders build the same names.
bool isLevelPattern(const std::string& pattern);

std::string levelFileName(const std::string& pattern, int level);

} // namespace texops

#endif
