#include "LevelNames.h"

namespace texops {

namespace {

const std::string placeholder = "%d";

} // namespace

bool isLevelPattern(const std::string& pattern)
{
    std::size_t first = pattern.find(placeholder);
    return first != std::string::npos && pattern.find(placeholder, first + 1) == std::string::npos;
}

std::string levelFileName(const std::string& pattern, int level)
{
    std::string name = pattern;
    name.replace(name.find(placeholder), placeholder.size(), std::to_string(level));
    return name;
}

} // namespace texops
