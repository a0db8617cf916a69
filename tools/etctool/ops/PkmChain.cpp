#include "PkmChain.h"

#include "LevelNames.h"

#include <cstdio>

namespace texops {

bool savePkmChain(const std::string& pattern, const std::vector<etc::PkmFile>& levels, std::string& error)
{
    std::vector<std::string> written;
    for (std::size_t level = 0; level < levels.size(); ++level) {
        std::string path = levelFileName(pattern, int(level));
        if (!etc::savePkm(path, levels[level], error)) {
            for (const std::string& done : written)
                (void)std::remove(done.c_str()); // best effort: the failure is reported already
            return false;
        }
        written.push_back(path);
    }
    return true;
}

} // namespace texops
