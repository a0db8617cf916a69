#include "PkmChain.h"

#include "LevelNames.h"
#include "PkmIo.h"

namespace texops {

std::vector<std::string> chainFileNames(const std::string& pattern, std::size_t levelCount)
{
    std::vector<std::string> names;
    for (std::size_t level = 0; level < levelCount; ++level)
        names.push_back(levelFileName(pattern, int(level)));
    return names;
}

bool savePkmChain(const std::string& pattern, const std::vector<etc::PkmFile>& levels, std::string& error)
{
    return imageio::writePkmChain(chainFileNames(pattern, levels.size()), levels, error);
}

} // namespace texops
