#include "EacLevelError.h"

#include <algorithm>
#include <cstdlib>

namespace etc {

void candidateLevelsPortable(const LevelRule& rule, std::int16_t (&levels)[8])
{
    for (int k = 0; k < 8; ++k) {
        levels[k] = static_cast<std::int16_t>(
            std::clamp(rule.baseValue + rule.modifiers[k] * rule.scale, rule.lowest, rule.highest));
    }
}

int candidateErrorPortable(const std::int16_t (&targets)[texelsPerBlock], const LevelRule& rule)
{
    std::int16_t levels[8];
    candidateLevelsPortable(rule, levels);
    int error = 0;
    for (std::int16_t target : targets) {
        int nearest = INT16_MAX;
        for (std::int16_t level : levels) {
            nearest = std::min(nearest, std::abs(target - level));
        }
        error += nearest * nearest;
    }
    return error;
}

} // namespace etc
